#pragma once
// Stand-ins that keep the local prototype flows working without a mail server or session service.

#include <cstdint>
#include <string>
#include <string_view>

#include "auth/auth_interfaces.h"

namespace tarvo::auth {

// Sends nothing; counts the verifications it was asked to deliver.
class MockEmailVerificationProvider final : public IEmailVerificationProvider {
public:
    bool SendVerification(std::wstring_view email, std::wstring_view token) override;
    std::uint32_t SentCount() const { return sentCount_; }

private:
    std::uint32_t sentCount_ = 0;
};

// The local session is active while an account id is stored.
class MockSessionProvider final : public ISessionProvider {
public:
    void Begin(std::wstring accountId) override;
    void End() override;
    bool IsActive() const override { return !accountId_.empty(); }
    const std::wstring& AccountId() const { return accountId_; }

private:
    std::wstring accountId_;
};

}  // namespace tarvo::auth
