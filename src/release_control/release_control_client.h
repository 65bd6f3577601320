#pragma once
// The owner's side of release control: the Ed25519 owner key (kept under DPAPI in
// "release-control.key") and the commands the owner console sends to the
// release-control service, each signed with that key. Every operation is blocking
// and returns its outcome as a record; none throws.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvo::release_control {

// The service the owner console talks to; tests hand their own base URL to each call.
inline constexpr std::wstring_view kDefaultReleaseControlUrl = L"https://control.tarvonix.net";

inline constexpr wchar_t kOwnerKeyFileName[] = L"release-control.key";
inline constexpr std::string_view kOwnerKeyMagic = "TARVRK1";

// One exchange with the service.
struct HttpResult {
    bool sent = false;  // the request went out and a status line came back
    std::uint32_t status = 0;
    std::string body;      // the reply as received (UTF-8), untrusted
    std::wstring message;  // why nothing was sent or no answer came; "HTTP <status>" otherwise

    bool Succeeded() const { return sent && status >= 200 && status < 300; }
};

struct OwnerKeyInfo {
    bool ready = false;    // a usable key is stored
    bool created = false;  // this call made it
    std::filesystem::path path;
    std::string publicKeyHex;  // 64 lower-case hex digits
    std::wstring fingerprint;  // the first 16 hex digits in groups of four, upper case
    std::wstring message;      // what happened, or why there is no key
};

// The backend's private settings sent with the configuration actions. The two
// passwords are wiped when the record is destroyed.
struct BackendPrivateConfig {
    std::wstring databaseHost;
    std::wstring databaseName;
    std::wstring databaseUser;
    std::wstring databasePassword;
    std::wstring mailDomain;
    std::wstring smtpHost;
    std::wstring smtpPort;
    std::wstring smtpSecurity;  // "starttls", "tls" or "none"
    std::wstring smtpUser;
    std::wstring smtpPassword;
    std::wstring fromName;

    BackendPrivateConfig() = default;
    BackendPrivateConfig(const BackendPrivateConfig&) = default;
    BackendPrivateConfig& operator=(const BackendPrivateConfig&) = default;
    ~BackendPrivateConfig();
};

class ReleaseControlClient {
public:
    // Where the key lives: "ReleaseControl" / "release-control.key" under the user state root.
    static std::filesystem::path OwnerKeyPath();

    // Loads the owner key, or creates and stores one when there is none. A file that
    // exists but cannot be read back (damaged, another user's, wrong magic) is never
    // overwritten: the owner must move it away first.
    static OwnerKeyInfo EnsureOwnerKey();
    static OwnerKeyInfo EnsureOwnerKey(const std::filesystem::path& keyFile);

    // GET <base>/control/status; not signed.
    static HttpResult ServerStatus(const std::wstring& baseUrl);

    // POST <base>/control/release. `action` is "check", "activate", "rollback" or "finalize";
    // a timestamp of 0 takes the current time and an empty nonce draws a random one.
    static HttpResult SignedCommand(const std::wstring& baseUrl, const std::wstring& action,
                                    const std::wstring& gameRelease, const std::wstring& webRelease,
                                    std::uint64_t timestamp, const std::wstring& nonce);

    // POST <base>/control/backend. `config` travels with the configuration actions, the
    // test e-mail with the mail test (either may be absent).
    static HttpResult SignedBackendCommand(const std::wstring& baseUrl, const std::wstring& action,
                                           const BackendPrivateConfig* config, const std::wstring& testEmail,
                                           std::uint64_t timestamp, const std::wstring& nonce);

    // POST <base>/control/backend with the action "announcement": a message to one audience.
    static HttpResult SignedAnnouncement(const std::wstring& baseUrl, const std::wstring& audience,
                                         const std::wstring& message, std::uint64_t timestamp,
                                         const std::wstring& nonce);
};

}  // namespace tarvo::release_control
