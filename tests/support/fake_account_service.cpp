#include "support/fake_account_service.h"

#include <chrono>

namespace tarvo::testing {

FakeAccountService::FakeAccountService(std::string basePath) : basePath_(std::move(basePath)) {
    server_.Start([this](RecordedRequest request) { return Answer(std::move(request)); });
}

FakeAccountService::~FakeAccountService() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        held_ = false;
    }
    changed_.notify_all();
    server_.Stop();
}

std::wstring FakeAccountService::BaseUrl() const {
    std::wstring base(basePath_.begin(), basePath_.end());
    return L"http://127.0.0.1:" + std::to_wstring(Port()) + base;
}

std::string FakeAccountService::Normalize(const std::string& path) const {
    std::string clean = path.substr(0, path.find('?'));
    if (!clean.empty() && clean.front() == '/') return clean;
    return basePath_ + "/" + clean;
}

void FakeAccountService::Script(const std::string& path, int status, std::string body) {
    ScriptedReply reply;
    reply.status = status;
    reply.body = std::move(body);
    Script(path, std::move(reply));
}

void FakeAccountService::Script(const std::string& path, ScriptedReply reply) {
    std::lock_guard lock(mutex_);
    script_[Normalize(path)] = std::move(reply);
}

void FakeAccountService::Hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
}

void FakeAccountService::Release() {
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    changed_.notify_all();
}

std::vector<RecordedRequest> FakeAccountService::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::size_t FakeAccountService::RequestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

std::optional<RecordedRequest> FakeAccountService::LastRequest(const std::string& path) const {
    std::string wanted = Normalize(path);
    std::lock_guard lock(mutex_);
    for (auto it = requests_.rbegin(); it != requests_.rend(); ++it) {
        if (Normalize(it->path) == wanted) return *it;
    }
    return std::nullopt;
}

bool FakeAccountService::WaitForRequests(std::size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return requests_.size() >= count; });
}

std::optional<ScriptedReply> FakeAccountService::Answer(RecordedRequest request) {
    ScriptedReply reply{404, R"({"code":"NOT_FOUND","message":"No such endpoint."})"};
    std::unique_lock lock(mutex_);
    auto it = script_.find(Normalize(request.path));
    if (it != script_.end()) reply = it->second;
    requests_.push_back(std::move(request));
    changed_.notify_all();
    changed_.wait(lock, [&] { return !held_ || stopping_; });
    if (stopping_) return std::nullopt;
    return reply;
}

}  // namespace tarvo::testing
