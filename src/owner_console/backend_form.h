#pragma once
// The backend page's form: its fields and the checks made before any of its values
// leave the machine. Pure functions of the field values, so tests drive them directly.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "release_control/release_control_client.h"

namespace tarvo::ui::ostrel {

struct BackendField {
    std::string_view key;  // the "field.backend." key
    std::wstring_view labelUk;
    std::wstring_view labelEn;
    bool password;
};

// Database fields, then mail fields, then the test address, in form order.
std::span<const BackendField> BackendFields();
inline constexpr std::string_view kTestEmailField = "field.backend.testemail";

using FieldMap = std::unordered_map<std::string, std::wstring>;

// The private configuration from the form, or nothing with one error per failing
// field in `errors` (texts in Ukrainian when `ukrainian`). `needTestEmail` adds the
// check of the test address for the mail test. Values are taken without their
// surrounding blanks; the security word is stored in lower case.
std::optional<release_control::BackendPrivateConfig> BackendConfigFromFields(const FieldMap& values, bool needTestEmail,
                                                                             bool ukrainian, FieldMap& errors);

// Whether a port text is a decimal number 1..65535 without sign or blanks.
bool IsPortText(std::wstring_view text);

}  // namespace tarvo::ui::ostrel
