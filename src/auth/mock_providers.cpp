#include "auth/mock_providers.h"

#include <utility>

namespace tarvo::auth {

bool MockEmailVerificationProvider::SendVerification(std::wstring_view, std::wstring_view) {
    ++sentCount_;
    return true;
}

void MockSessionProvider::Begin(std::wstring accountId) { accountId_ = std::move(accountId); }

void MockSessionProvider::End() { accountId_.clear(); }

}  // namespace tarvo::auth
