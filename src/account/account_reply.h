#pragma once
// How the account client turns an HTTP answer (or its absence) into an AccountResponse.

#include <cstdint>
#include <string>
#include <string_view>

#include "account/account_api_client.h"

namespace tarvo::account {

// Reply members read: "code", "message", "state", "challengeId", "maskedEmail", and for a session "playerId",
// "nickname", "email", "accessToken", "refreshToken", "deviceId", "expiresIn" (seconds).
AccountResponse InterpretAccountReply(std::uint32_t httpStatus, std::string body);

// No usable answer: Unavailable, status 0, the client's own message.
AccountResponse UnavailableResponse(std::wstring message);

// No usable answer for a reason the shell words itself: Unavailable, status 0, the English text as message.
AccountResponse FailedResponse(AccountFailure failure);

// The client's own text for a failure, Ukrainian or English; empty for None.
std::wstring_view AccountFailureText(AccountFailure failure, bool ukrainian);

// Refused before sending: InvalidRequest, status 0.
AccountResponse RefusedResponse(std::wstring message);

inline constexpr wchar_t kInvalidUtf8Response[] = L"INVALID UTF-8 RESPONSE";

}  // namespace tarvo::account
