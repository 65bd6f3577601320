#pragma once
// Client of the account service (JSON over HTTP(S) under the base URL's path). Every request runs on its
// own worker thread and hands its result back through a future; the future never holds an exception.

#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <string_view>

#include "account/server_session.h"

namespace tarvo::account {

enum class AccountResponseKind : std::uint32_t {
    Success = 0,                     // 2xx without a verification state
    EmailVerificationRequired = 1,   // 2xx with "state" "EMAIL_VERIFICATION_REQUIRED"
    DeviceVerificationRequired = 2,  // 2xx with "state" "DEVICE_VERIFICATION_REQUIRED"
    Unavailable = 3,                 // no answer, bad URL, unreadable 2xx reply, status 500 and above
    InvalidRequest = 4,              // 400, 413, 415, or request data refused before sending
    Rejected = 5,                    // any other status
};

// Why a request got no usable answer, for the shell to word in the interface language.
enum class AccountFailure : std::uint32_t {
    None = 0,     // a reply, or a refusal worded by the client itself
    NotSent,      // this program declined to send it (too many earlier exchanges still closing)
    Unreachable,  // no reply
    CutOff,       // the reply broke off or is shorter than it said
    TooLarge,
    TimedOut,
    Cancelled,
    Unreadable,   // a 2xx reply that is not a JSON object
};

struct AccountResponse {
    AccountResponseKind kind = AccountResponseKind::Unavailable;
    AccountFailure failure = AccountFailure::None;
    std::uint32_t httpStatus = 0;  // 0 when no reply was received
    std::wstring code;             // the reply's "code"; empty when absent
    std::wstring message;          // the reply's "message", else "OK" (2xx) / "Account request failed.", or the client's own text
    std::wstring challengeId;
    std::wstring maskedEmail;
    std::optional<ServerSession> session;  // only for Success replies carrying both tokens
    std::string body;                      // reply body, UTF-8 bytes as received without a leading byte-order mark
};

class AccountApiClient {
public:
    // e.g. L"https://accounts.example/api/v1" or L"http://127.0.0.1:8080/api/v1". An unusable URL makes
    // every request answer Unavailable.
    explicit AccountApiClient(std::wstring baseUrl);

    const std::wstring& BaseUrl() const { return baseUrl_; }

    // Requests. `locale` is "uk-UA" or "en-US"; tokens are the session's access or refresh token.
    std::future<AccountResponse> Register(std::wstring email, std::wstring nickname, std::wstring password,
                                          std::wstring locale, std::wstring legacyAccountId) const;
    std::future<AccountResponse> Login(std::wstring email, std::wstring password, std::wstring locale) const;
    std::future<AccountResponse> VerifyEmail(std::wstring challengeId, std::wstring code) const;
    std::future<AccountResponse> VerifyDevice(std::wstring challengeId, std::wstring code) const;
    std::future<AccountResponse> ResendVerification(std::wstring challengeId, std::wstring locale) const;
    std::future<AccountResponse> ForgotPassword(std::wstring email, std::wstring locale) const;
    std::future<AccountResponse> ResetPassword(std::wstring challengeId, std::wstring code,
                                               std::wstring newPassword) const;
    std::future<AccountResponse> Refresh(std::wstring refreshToken) const;
    std::future<AccountResponse> Logout(std::wstring accessToken, bool allDevices) const;
    std::future<AccountResponse> GetSync(std::wstring accessToken) const;
    std::future<AccountResponse> GetDevices(std::wstring accessToken) const;
    std::future<AccountResponse> RevokeDevice(std::wstring accessToken, std::wstring deviceId,
                                              bool confirmCurrent) const;
    // `base64` is the image's Base64 text; sent as "image/png".
    std::future<AccountResponse> UploadAvatar(std::wstring accessToken, std::string base64) const;
    // `settingsJson`, `deltaJson` and `safeDataJson` are UTF-8 JSON values inserted as they are; text that is
    // not one JSON value is refused (InvalidRequest) without sending anything.
    std::future<AccountResponse> SyncSettings(std::wstring accessToken, std::string settingsJson,
                                              std::uint32_t version) const;
    // The next sync writes the service's figures over the local ones, so a lost submission loses its
    // session: this exchange is not cut short by CancelHttpRequests; it ends by its deadline.
    std::future<AccountResponse> SyncBotStats(std::wstring accessToken, std::wstring submissionId,
                                              std::string deltaJson) const;
    std::future<AccountResponse> LinkLegacy(std::wstring accessToken, std::wstring legacyAccountId,
                                            std::string safeDataJson) const;

    // '"' and '\' get a backslash; tab, LF and CR become \t, \n, \r; other bytes below 0x20 become \u00XX.
    static std::string JsonEscape(std::string_view utf8);

private:
    std::wstring baseUrl_;
};

}  // namespace tarvo::account
