#include "owner_console/backend_form.h"

#include <array>
#include <cwctype>

#include "auth/local_prototype_auth_provider.h"

namespace tarvo::ui::ostrel {

namespace {

constexpr std::array<BackendField, 12> kFields{{
    {"field.backend.dbhost", L"ХОСТ БАЗИ ДАНИХ", L"DATABASE HOST", false},
    {"field.backend.dbname", L"НАЗВА БАЗИ", L"DATABASE NAME", false},
    {"field.backend.dbuser", L"КОРИСТУВАЧ БАЗИ", L"DATABASE USER", false},
    {"field.backend.dbpassword", L"ПАРОЛЬ БАЗИ", L"DATABASE PASSWORD", true},
    {"field.backend.domain", L"ПОШТОВИЙ ДОМЕН", L"MAIL DOMAIN", false},
    {"field.backend.smtphost", L"SMTP ХОСТ", L"SMTP HOST", false},
    {"field.backend.smtpport", L"SMTP ПОРТ", L"SMTP PORT", false},
    {"field.backend.security", L"ЗАХИСТ (STARTTLS / TLS / NONE)", L"SECURITY (STARTTLS / TLS / NONE)", false},
    {"field.backend.smtpuser", L"SMTP КОРИСТУВАЧ", L"SMTP USER", false},
    {"field.backend.smtppassword", L"SMTP ПАРОЛЬ", L"SMTP PASSWORD", true},
    {"field.backend.fromname", L"ІМ'Я ВІДПРАВНИКА", L"SENDER NAME", false},
    {"field.backend.testemail", L"ТЕСТОВА АДРЕСА", L"TEST ADDRESS", false},
}};

std::wstring Trimmed(const FieldMap& values, std::string_view key) {
    const auto it = values.find(std::string(key));
    if (it == values.end()) return {};
    const std::wstring& text = it->second;
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::iswspace(text[first])) ++first;
    while (last > first && std::iswspace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

bool HasBlank(std::wstring_view text) {
    for (wchar_t c : text) {
        if (std::iswspace(c) || c < 0x20) return true;
    }
    return false;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

}  // namespace

std::span<const BackendField> BackendFields() { return kFields; }

bool IsPortText(std::wstring_view text) {
    if (text.empty() || text.size() > 5) return false;
    unsigned value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value >= 1 && value <= 65535;
}

std::optional<release_control::BackendPrivateConfig> BackendConfigFromFields(const FieldMap& values, bool needTestEmail,
                                                                             bool ukrainian, FieldMap& errors) {
    bool valid = true;
    const auto fail = [&](std::string_view key, std::wstring_view uk, std::wstring_view en) {
        errors[std::string(key)] = std::wstring(ukrainian ? uk : en);
        valid = false;
    };
    release_control::BackendPrivateConfig config;
    config.databaseHost = Trimmed(values, "field.backend.dbhost");
    config.databaseName = Trimmed(values, "field.backend.dbname");
    config.databaseUser = Trimmed(values, "field.backend.dbuser");
    // Passwords are taken exactly as typed: blanks may be part of them.
    if (const auto it = values.find("field.backend.dbpassword"); it != values.end()) {
        config.databasePassword = it->second;
    }
    config.mailDomain = Trimmed(values, "field.backend.domain");
    config.smtpHost = Trimmed(values, "field.backend.smtphost");
    config.smtpPort = Trimmed(values, "field.backend.smtpport");
    config.smtpSecurity = Lower(Trimmed(values, "field.backend.security"));
    config.smtpUser = Trimmed(values, "field.backend.smtpuser");
    if (const auto it = values.find("field.backend.smtppassword"); it != values.end()) {
        config.smtpPassword = it->second;
    }
    config.fromName = Trimmed(values, "field.backend.fromname");

    if (config.databaseHost.empty() || HasBlank(config.databaseHost)) {
        fail("field.backend.dbhost", L"ВКАЖІТЬ ХОСТ БЕЗ ПРОБІЛІВ", L"ENTER A HOST WITHOUT BLANKS");
    }
    if (config.databaseName.empty()) fail("field.backend.dbname", L"ВКАЖІТЬ НАЗВУ БАЗИ", L"ENTER THE DATABASE NAME");
    if (config.databaseUser.empty()) fail("field.backend.dbuser", L"ВКАЖІТЬ КОРИСТУВАЧА", L"ENTER THE DATABASE USER");
    if (config.mailDomain.empty() || HasBlank(config.mailDomain) ||
        config.mailDomain.find(L'.') == std::wstring::npos) {
        fail("field.backend.domain", L"ВКАЖІТЬ ДОМЕН, НАПРИКЛАД tarvonix.net", L"ENTER A DOMAIN SUCH AS tarvonix.net");
    }
    if (config.smtpHost.empty() || HasBlank(config.smtpHost)) {
        fail("field.backend.smtphost", L"ВКАЖІТЬ SMTP ХОСТ", L"ENTER THE SMTP HOST");
    }
    if (!IsPortText(config.smtpPort)) fail("field.backend.smtpport", L"ПОРТ 1–65535", L"PORT 1–65535");
    if (config.smtpSecurity != L"starttls" && config.smtpSecurity != L"tls" && config.smtpSecurity != L"none") {
        fail("field.backend.security", L"STARTTLS, TLS АБО NONE", L"STARTTLS, TLS OR NONE");
    }
    if (config.fromName.empty()) fail("field.backend.fromname", L"ВКАЖІТЬ ІМ'Я ВІДПРАВНИКА", L"ENTER THE SENDER NAME");
    if (needTestEmail && !auth::LocalPrototypeAuthProvider::LooksLikeEmail(Trimmed(values, kTestEmailField))) {
        fail(kTestEmailField, L"ВКАЖІТЬ АДРЕСУ ДЛЯ ТЕСТОВОГО ЛИСТА", L"ENTER AN ADDRESS FOR THE TEST MAIL");
    }
    if (!valid) return std::nullopt;  // the passwords are wiped with `config`
    return config;
}

}  // namespace tarvo::ui::ostrel
