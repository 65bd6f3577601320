#include "support/fake_account_service.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <chrono>

namespace tarvo::testing {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t");
    std::size_t end = text.find_last_not_of(" \t\r");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

const char* Reason(int status) {
    switch (status) {
        case 200: return "OK";
        case 201: return "Created";
        case 204: return "No Content";
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 409: return "Conflict";
        case 413: return "Payload Too Large";
        case 415: return "Unsupported Media Type";
        case 429: return "Too Many Requests";
        case 500: return "Internal Server Error";
        case 503: return "Service Unavailable";
        default: return "Status";
    }
}

bool SendAll(SOCKET s, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        int n = send(s, bytes.data() + sent, static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 65536)), 0);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string RecordedRequest::Header(const std::string& lowerName) const {
    auto it = headers.find(lowerName);
    return it == headers.end() ? std::string() : it->second;
}

FakeAccountService::FakeAccountService(std::string basePath) : basePath_(std::move(basePath)) {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    listener_ = static_cast<std::uintptr_t>(s);
    if (s == INVALID_SOCKET) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 16) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(s);
        listener_ = static_cast<std::uintptr_t>(INVALID_SOCKET);
        return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

FakeAccountService::~FakeAccountService() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        held_ = false;
    }
    changed_.notify_all();
    if (static_cast<SOCKET>(listener_) != INVALID_SOCKET) closesocket(static_cast<SOCKET>(listener_));
    if (thread_.joinable()) thread_.join();
    WSACleanup();
}

std::wstring FakeAccountService::BaseUrl() const {
    std::wstring base(basePath_.begin(), basePath_.end());
    return L"http://127.0.0.1:" + std::to_wstring(port_) + base;
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

void FakeAccountService::Serve() {
    while (true) {
        SOCKET client = accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
            continue;
        }
        HandleConnection(static_cast<std::uintptr_t>(client));
        closesocket(client);
    }
}

void FakeAccountService::HandleConnection(std::uintptr_t socketHandle) {
    SOCKET s = static_cast<SOCKET>(socketHandle);
    DWORD timeout = 5000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);

    std::string data;
    char buffer[8192];
    std::size_t headerEnd = std::string::npos;
    while (headerEnd == std::string::npos) {
        int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        data.append(buffer, static_cast<std::size_t>(n));
        headerEnd = data.find("\r\n\r\n");
    }

    RecordedRequest request;
    std::size_t lineEnd = data.find("\r\n");
    std::string requestLine = data.substr(0, lineEnd);
    std::size_t firstSpace = requestLine.find(' ');
    std::size_t secondSpace = requestLine.find(' ', firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos) return;
    request.method = requestLine.substr(0, firstSpace);
    request.path = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    std::size_t at = lineEnd + 2;
    while (at < headerEnd) {
        std::size_t end = data.find("\r\n", at);
        std::string line = data.substr(at, end - at);
        std::size_t colon = line.find(':');
        if (colon != std::string::npos) request.headers[Lower(Trim(line.substr(0, colon)))] = Trim(line.substr(colon + 1));
        at = end + 2;
    }
    std::size_t contentLength = 0;
    if (std::string value = request.Header("content-length"); !value.empty()) contentLength = std::stoul(value);
    request.body = data.substr(headerEnd + 4);
    while (request.body.size() < contentLength) {
        int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        request.body.append(buffer, static_cast<std::size_t>(n));
    }
    request.body.resize(std::min(request.body.size(), contentLength));

    ScriptedReply reply{404, R"({"code":"NOT_FOUND","message":"No such endpoint."})"};
    {
        std::unique_lock lock(mutex_);
        auto it = script_.find(Normalize(request.path));
        if (it != script_.end()) reply = it->second;
        requests_.push_back(std::move(request));
        changed_.notify_all();
        changed_.wait(lock, [&] { return !held_ || stopping_; });
        if (stopping_) return;
    }

    std::string response = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) + "\r\n";
    if (!reply.contentType.empty()) response += "Content-Type: " + reply.contentType + "\r\n";
    response += "Content-Length: " + std::to_string(reply.body.size()) + "\r\nConnection: close\r\n\r\n";
    response += reply.body;
    SendAll(s, response);
    shutdown(s, SD_SEND);
}

}  // namespace tarvo::testing
