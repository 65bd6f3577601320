#pragma once
// The small provider interfaces the shell's services implement; the mocks and the local prototype provider
// stand behind them until the real back end takes over.

#include <string>
#include <string_view>

namespace tarvo::auth {

struct AuthResult;

class IAuthProvider {
public:
    virtual ~IAuthProvider() = default;
    virtual AuthResult Register(std::wstring email, std::wstring nickname, std::wstring password) = 0;
    virtual AuthResult Login(std::wstring email, std::wstring password) = 0;
};

// Delivers an e-mail verification token to the address.
class IEmailVerificationProvider {
public:
    virtual ~IEmailVerificationProvider() = default;
    virtual bool SendVerification(std::wstring_view email, std::wstring_view token) = 0;
};

// Tracks which account the local session belongs to.
class ISessionProvider {
public:
    virtual ~ISessionProvider() = default;
    virtual void Begin(std::wstring accountId) = 0;
    virtual void End() = 0;
    virtual bool IsActive() const = 0;
};

}  // namespace tarvo::auth
