#include "account/account_api_client.h"

#include <windows.h>

#include <exception>
#include <limits>
#include <utility>

#include "account/account_reply.h"
#include "account/http_transport.h"
#include "account/json_reader.h"
#include "auth/secure_storage.h"
#include "common/data_roots.h"
#include "common/text_utils.h"

namespace tarvo::account {
namespace {

constexpr std::string_view kClientVersionJson = "\"0.0.03.5\"";

// Raised while a body is built from caller data that cannot be sent; becomes an InvalidRequest response.
struct RequestRefused {
    std::wstring message;
};

std::uint32_t KindStatusClass(std::uint32_t status) { return status / 100; }

AccountResponseKind KindForFailureStatus(std::uint32_t status) {
    if (status >= 500) return AccountResponseKind::Unavailable;
    if (status == 400 || status == 413 || status == 415) return AccountResponseKind::InvalidRequest;
    return AccountResponseKind::Rejected;
}

std::wstring WideOrEmpty(const std::optional<std::string>& utf8) {
    return utf8 ? distribution::Utf8ToWide(*utf8) : std::wstring();
}

// A text of the reply that is kept or shown, under the one rule for service texts.
std::wstring TextOrEmpty(std::string_view json, std::string_view key) {
    return JsonMemberText(json, key).value_or(std::wstring());
}

void EscapeInto(std::string& out, std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (char ch : utf8) {
        unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default:
                if (c < 0x20) {
                    out += "\\u00";
                    out.push_back(kHex[c >> 4]);
                    out.push_back(kHex[c & 15]);
                } else {
                    out.push_back(ch);
                }
        }
    }
}

// One JSON object written member by member from a fixed template. The text is reserved up front so that
// secrets (passwords, tokens) are not left behind in reallocated buffers; the caller wipes the result.
class JsonBody {
public:
    JsonBody() {
        text_.reserve(4096);
        text_ = "{";
    }
    ~JsonBody() { auth::Wipe(text_); }
    JsonBody(const JsonBody&) = delete;
    JsonBody& operator=(const JsonBody&) = delete;

    // "name":"value" with the wide value as escaped UTF-8. Text without a UTF-8 form is refused, not sent empty.
    JsonBody& Text(std::string_view name, const std::wstring& value) {
        std::string utf8 = distribution::WideToUtf8(value);
        auth::WipeOnExit wipe(utf8);
        if (utf8.empty() && !value.empty()) throw RequestRefused{L"Account request text is not valid Unicode."};
        Name(name);
        if (text_.capacity() < text_.size() + utf8.size() * 6 + 2) text_.reserve(text_.size() + utf8.size() * 6 + 64);
        text_.push_back('"');
        EscapeInto(text_, utf8);
        text_.push_back('"');
        return *this;
    }

    // "name": followed by JSON written by this client (numbers, literals).
    JsonBody& Literal(std::string_view name, std::string_view json) {
        Name(name);
        text_ += json;
        return *this;
    }

    // "name": followed by caller-supplied JSON, which must be exactly one JSON value.
    JsonBody& Json(std::string_view name, std::string_view json) {
        if (!IsJsonValue(json)) throw RequestRefused{L"Account request data is not valid JSON."};
        return Literal(name, json);
    }

    // The device context that opens the bodies of the sign-in family of requests:
    //   "installationId": this installation's stable id (EnsureInstallationId),
    //   "deviceName": the computer's NetBIOS name, "clientVersion": the client's version.
    JsonBody& DeviceContext() {
        wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
        std::wstring deviceName = GetComputerNameW(name, &size) ? std::wstring(name, size) : std::wstring();
        Text("installationId", distribution::EnsureInstallationId());
        Text("deviceName", deviceName);
        return Literal("clientVersion", kClientVersionJson);
    }

    std::string Finish() {
        text_.push_back('}');
        return std::move(text_);
    }

private:
    void Name(std::string_view name) {
        if (text_.size() > 1) text_.push_back(',');
        text_.push_back('"');
        text_ += name;
        text_ += "\":";
    }

    std::string text_;
};

// Tokens travel in a header: printable ASCII only, so no header can be smuggled in.
void CheckBearer(const std::wstring& token) {
    for (wchar_t c : token) {
        if (c <= 0x20 || c >= 0x7F) throw RequestRefused{L"The session token is not valid."};
    }
}

struct Endpoint {
    const wchar_t* method;
    const wchar_t* path;
    bool mustFinish = false;  // carries data that would be lost if the exchange were cancelled at exit
};

template <typename BuildBody>
std::future<AccountResponse> Launch(const std::wstring& baseUrl, Endpoint endpoint, std::wstring bearer,
                                    BuildBody build) {
    auto task = [baseUrl, endpoint, bearer = std::move(bearer), build = std::move(build)]() mutable -> AccountResponse {
        auth::WipeOnExit wipeBearer(bearer);
        try {
            std::optional<ServiceUrl> url = ParseServiceUrl(baseUrl);
            if (!url) return UnavailableResponse(L"The account service address is not valid.");
            CheckBearer(bearer);
            std::string body = build();
            auth::WipeOnExit wipeBody(body);
            HttpExchange exchange =
                PerformRequest(*url, endpoint.method, endpoint.path, bearer, body, endpoint.mustFinish);
            if (!exchange.answered) return FailedResponse(exchange.failure);
            return InterpretAccountReply(exchange.status, std::move(exchange.body));
        } catch (const RequestRefused& refused) {
            return RefusedResponse(refused.message);
        } catch (...) {
            return UnavailableResponse(L"The account request could not be completed.");
        }
    };
    try {
        return std::async(std::launch::async, std::move(task));
    } catch (...) {
        // No thread could be started: answer at once instead of throwing into the caller.
        std::promise<AccountResponse> failed;
        failed.set_value(UnavailableResponse(L"The account request could not be started."));
        return failed.get_future();
    }
}

std::string NoBody() { return {}; }

}  // namespace

AccountResponse UnavailableResponse(std::wstring message) {
    AccountResponse response;
    response.kind = AccountResponseKind::Unavailable;
    response.message = std::move(message);
    return response;
}

AccountResponse FailedResponse(AccountFailure failure) {
    AccountResponse response = UnavailableResponse(std::wstring(AccountFailureText(failure, false)));
    response.failure = failure;
    return response;
}

std::wstring_view AccountFailureText(AccountFailure failure, bool ukrainian) {
    const auto pick = [ukrainian](std::wstring_view uk, std::wstring_view en) { return ukrainian ? uk : en; };
    switch (failure) {
        case AccountFailure::None: break;
        case AccountFailure::NotSent:
            return pick(L"Запит до сервісу акаунтів не надіслано: попередні ще закриваються. Спробуйте за мить.",
                        L"The account request was not sent: earlier ones are still closing. Try again shortly.");
        case AccountFailure::Unreachable:
            return pick(L"Не вдалося зв'язатися з сервісом акаунтів.", L"The account service could not be reached.");
        case AccountFailure::CutOff:
            return pick(L"Відповідь сервісу акаунтів обірвалася.", L"The account service reply was cut off.");
        case AccountFailure::TooLarge:
            return pick(L"Відповідь сервісу акаунтів завелика.", L"The account service reply is too large.");
        case AccountFailure::TimedOut:
            return pick(L"Сервіс акаунтів не відповів вчасно.", L"The account service did not answer in time.");
        case AccountFailure::Cancelled:
            return pick(L"Запит до сервісу акаунтів скасовано.", L"The account request was cancelled.");
        case AccountFailure::Unreadable:
            return pick(L"Сервіс акаунтів надіслав нечитабельну відповідь.",
                        L"The account service sent an unreadable reply.");
    }
    return {};
}

AccountResponse RefusedResponse(std::wstring message) {
    AccountResponse response;
    response.kind = AccountResponseKind::InvalidRequest;
    response.message = std::move(message);
    return response;
}

AccountResponse InterpretAccountReply(std::uint32_t httpStatus, std::string body) {
    AccountResponse response;
    response.httpStatus = httpStatus;
    response.body = std::move(body);
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";  // allowed before JSON, and no part of it
    if (response.body.starts_with(kByteOrderMark)) response.body.erase(0, kByteOrderMark.size());
    const std::string& json = response.body;
    const bool success = KindStatusClass(httpStatus) == 2;
    response.kind = success ? AccountResponseKind::Success : KindForFailureStatus(httpStatus);

    if (!json.empty() && distribution::Utf8ToWide(json).empty()) {
        if (success) response.kind = AccountResponseKind::Unavailable;
        response.message = kInvalidUtf8Response;
        return response;
    }
    bool blank = json.find_first_not_of(" \t\r\n") == std::string::npos;
    bool object = !blank && IsJsonObject(json);
    if (success && !blank && !object) {
        // A 2xx whose body is not a JSON object cannot be trusted as a success.
        response.kind = AccountResponseKind::Unavailable;
        response.failure = AccountFailure::Unreadable;
        response.message = AccountFailureText(AccountFailure::Unreadable, false);
        return response;
    }
    if (object) {
        response.code = TextOrEmpty(json, "code");
        response.message = TextOrEmpty(json, "message");
        response.challengeId = TextOrEmpty(json, "challengeId");
        response.maskedEmail = TextOrEmpty(json, "maskedEmail");
        if (success) {
            std::string state = JsonMemberString(json, "state").value_or("");
            if (state == "EMAIL_VERIFICATION_REQUIRED") {
                response.kind = AccountResponseKind::EmailVerificationRequired;
            } else if (state == "DEVICE_VERIFICATION_REQUIRED") {
                response.kind = AccountResponseKind::DeviceVerificationRequired;
            }
        }
    }
    if (response.message.empty()) response.message = success ? L"OK" : L"Account request failed.";

    if (object && response.kind == AccountResponseKind::Success) {
        ServerSession session;
        session.accessToken = WideOrEmpty(JsonMemberString(json, "accessToken"));
        session.refreshToken = WideOrEmpty(JsonMemberString(json, "refreshToken"));
        if (!session.accessToken.empty() && !session.refreshToken.empty()) {
            session.playerId = TextOrEmpty(json, "playerId");
            session.nickname = TextOrEmpty(json, "nickname");
            session.email = TextOrEmpty(json, "email");
            session.deviceId = TextOrEmpty(json, "deviceId");
            std::uint64_t expiry = JsonMemberUnsigned(json, "expiresIn").value_or(0);
            constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
            session.accessExpirySeconds = static_cast<std::uint32_t>(expiry > kMax ? kMax : expiry);
            session.trusted = true;
            response.session = std::move(session);
        }
    }
    return response;
}

AccountApiClient::AccountApiClient(std::wstring baseUrl) : baseUrl_(std::move(baseUrl)) {}

std::string AccountApiClient::JsonEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 8);
    EscapeInto(out, utf8);
    return out;
}

std::future<AccountResponse> AccountApiClient::Register(std::wstring email, std::wstring nickname,
                                                        std::wstring password, std::wstring locale,
                                                        std::wstring legacyAccountId) const {
    return Launch(baseUrl_, {L"POST", L"auth/register"}, {},
                  [email = std::move(email), nickname = std::move(nickname), password = std::move(password),
                   locale = std::move(locale), legacy = std::move(legacyAccountId)]() mutable {
                      auth::WipeOnExit wipePassword(password);
                      JsonBody body;
                      body.DeviceContext()
                          .Text("email", email)
                          .Text("nickname", nickname)
                          .Text("password", password)
                          .Text("locale", locale);
                      if (!legacy.empty()) body.Text("legacyAccountId", legacy);
                      return body.Finish();
                  });
}

std::future<AccountResponse> AccountApiClient::Login(std::wstring email, std::wstring password,
                                                     std::wstring locale) const {
    return Launch(baseUrl_, {L"POST", L"auth/login"}, {},
                  [email = std::move(email), password = std::move(password), locale = std::move(locale)]() mutable {
                      auth::WipeOnExit wipePassword(password);
                      return JsonBody()
                          .DeviceContext()
                          .Text("email", email)
                          .Text("password", password)
                          .Text("locale", locale)
                          .Finish();
                  });
}

std::future<AccountResponse> AccountApiClient::VerifyEmail(std::wstring challengeId, std::wstring code) const {
    return Launch(baseUrl_, {L"POST", L"auth/verify-email"}, {},
                  [challengeId = std::move(challengeId), code = std::move(code)] {
                      return JsonBody().DeviceContext().Text("challengeId", challengeId).Text("code", code).Finish();
                  });
}

std::future<AccountResponse> AccountApiClient::VerifyDevice(std::wstring challengeId, std::wstring code) const {
    return Launch(baseUrl_, {L"POST", L"auth/verify-device"}, {},
                  [challengeId = std::move(challengeId), code = std::move(code)] {
                      return JsonBody().DeviceContext().Text("challengeId", challengeId).Text("code", code).Finish();
                  });
}

std::future<AccountResponse> AccountApiClient::ResendVerification(std::wstring challengeId,
                                                                  std::wstring locale) const {
    return Launch(baseUrl_, {L"POST", L"auth/resend-verification"}, {},
                  [challengeId = std::move(challengeId), locale = std::move(locale)] {
                      return JsonBody().Text("challengeId", challengeId).Text("locale", locale).Finish();
                  });
}

std::future<AccountResponse> AccountApiClient::ForgotPassword(std::wstring email, std::wstring locale) const {
    return Launch(baseUrl_, {L"POST", L"auth/forgot-password"}, {},
                  [email = std::move(email), locale = std::move(locale)] {
                      return JsonBody().Text("email", email).Text("locale", locale).Finish();
                  });
}

std::future<AccountResponse> AccountApiClient::ResetPassword(std::wstring challengeId, std::wstring code,
                                                             std::wstring newPassword) const {
    return Launch(baseUrl_, {L"POST", L"auth/reset-password"}, {},
                  [challengeId = std::move(challengeId), code = std::move(code),
                   password = std::move(newPassword)]() mutable {
                      auth::WipeOnExit wipePassword(password);
                      return JsonBody()
                          .Text("challengeId", challengeId)
                          .Text("code", code)
                          .Text("newPassword", password)
                          .Finish();
                  });
}

std::future<AccountResponse> AccountApiClient::Refresh(std::wstring refreshToken) const {
    return Launch(baseUrl_, {L"POST", L"auth/refresh"}, {}, [token = std::move(refreshToken)]() mutable {
        auth::WipeOnExit wipeToken(token);
        return JsonBody().Text("refreshToken", token).Literal("clientVersion", kClientVersionJson).Finish();
    });
}

std::future<AccountResponse> AccountApiClient::Logout(std::wstring accessToken, bool allDevices) const {
    return Launch(baseUrl_, {L"POST", L"auth/logout"}, std::move(accessToken), [allDevices] {
        return JsonBody().Literal("allDevices", allDevices ? "true" : "false").Finish();
    });
}

std::future<AccountResponse> AccountApiClient::GetSync(std::wstring accessToken) const {
    return Launch(baseUrl_, {L"GET", L"sync"}, std::move(accessToken), NoBody);
}

std::future<AccountResponse> AccountApiClient::GetDevices(std::wstring accessToken) const {
    return Launch(baseUrl_, {L"GET", L"account/devices"}, std::move(accessToken), NoBody);
}

std::future<AccountResponse> AccountApiClient::RevokeDevice(std::wstring accessToken, std::wstring deviceId,
                                                            bool confirmCurrent) const {
    return Launch(baseUrl_, {L"POST", L"account/devices/revoke"}, std::move(accessToken),
                  [deviceId = std::move(deviceId), confirmCurrent] {
                      return JsonBody()
                          .Text("deviceId", deviceId)
                          .Literal("confirmCurrent", confirmCurrent ? "true" : "false")
                          .Finish();
                  });
}

std::future<AccountResponse> AccountApiClient::UploadAvatar(std::wstring accessToken, std::string base64) const {
    return Launch(baseUrl_, {L"POST", L"profile/avatar"}, std::move(accessToken), [base64 = std::move(base64)] {
        std::string quoted = "\"" + JsonEscape(base64) + "\"";
        return JsonBody().Literal("mimeType", "\"image/png\"").Literal("dataBase64", quoted).Finish();
    });
}

std::future<AccountResponse> AccountApiClient::SyncSettings(std::wstring accessToken, std::string settingsJson,
                                                            std::uint32_t version) const {
    return Launch(baseUrl_, {L"POST", L"sync/settings"}, std::move(accessToken),
                  [settings = std::move(settingsJson), version] {
                      return JsonBody().Literal("version", std::to_string(version)).Json("settings", settings).Finish();
                  });
}

std::future<AccountResponse> AccountApiClient::SyncBotStats(std::wstring accessToken, std::wstring submissionId,
                                                            std::string deltaJson) const {
    return Launch(baseUrl_, {L"POST", L"sync/bot-stats", true}, std::move(accessToken),
                  [submissionId = std::move(submissionId), delta = std::move(deltaJson)] {
                      return JsonBody().Text("submissionId", submissionId).Json("stats", delta).Finish();
                  });
}

std::future<AccountResponse> AccountApiClient::LinkLegacy(std::wstring accessToken, std::wstring legacyAccountId,
                                                          std::string safeDataJson) const {
    return Launch(baseUrl_, {L"POST", L"account/link-legacy"}, std::move(accessToken),
                  [legacy = std::move(legacyAccountId), safeData = std::move(safeDataJson)] {
                      return JsonBody().Text("legacyAccountId", legacy).Json("safeData", safeData).Finish();
                  });
}

}  // namespace tarvo::account
