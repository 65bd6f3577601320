#include "support/fake_release_control.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>

#include "account/json_reader.h"
#include "release_control/command_envelope.h"
#include "release_control/sodium_library.h"

namespace tarvo::testing {

namespace {

using release_control::Base64Decode;

const char* Reason(int status) {
    switch (status) {
        case 200: return "OK";
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 404: return "Not Found";
        case 409: return "Conflict";
        case 500: return "Internal Server Error";
        default: return "Status";
    }
}

bool SendAll(SOCKET s, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n =
            send(s, bytes.data() + sent, static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 65536)), 0);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::uint64_t NowSeconds() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000ull) / 10000000ull;
}

std::string Message(const std::string& text) { return "{\"ok\":false,\"message\":\"" + text + "\"}"; }

}  // namespace

ReleaseControlRequest OpenSignedEnvelope(const std::string& body) {
    ReleaseControlRequest request;
    request.body = body;
    if (!account::IsJsonObject(body)) return request;
    const auto tag = account::JsonMemberString(body, "envelope");
    const auto key = account::JsonMemberString(body, "publicKey");
    const auto payload = account::JsonMemberString(body, "payload");
    const auto signature = account::JsonMemberString(body, "signature");
    if (!tag || *tag != release_control::kEnvelopeTag || !key || !payload || !signature) return request;
    const auto keyBytes = Base64Decode(*key);
    const auto payloadBytes = Base64Decode(*payload);
    const auto signatureBytes = Base64Decode(*signature);
    if (!keyBytes || !payloadBytes || !signatureBytes || keyBytes->size() != release_control::kPublicKeyBytes ||
        signatureBytes->size() != release_control::kSignatureBytes) {
        return request;
    }
    request.envelopeValid = true;
    request.payload = *payloadBytes;
    release_control::PublicKey publicKey{};
    release_control::Signature sig{};
    std::copy(keyBytes->begin(), keyBytes->end(), publicKey.begin());
    std::copy(signatureBytes->begin(), signatureBytes->end(), sig.begin());
    request.publicKeyHex = release_control::HexLower(publicKey.data(), publicKey.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(request.payload.data());
    request.signatureValid = release_control::SodiumLibrary::Shared().Verify(
        std::span<const std::uint8_t>(bytes, request.payload.size()), sig, publicKey);
    return request;
}

FakeReleaseControl::FakeReleaseControl()
    : statusBody_(R"({"ok":true,"state":"staged","message":"One release is staged: 0.0.03.5."})") {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    listener_ = static_cast<std::uintptr_t>(s);
    if (s == INVALID_SOCKET) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
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

FakeReleaseControl::~FakeReleaseControl() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    if (static_cast<SOCKET>(listener_) != INVALID_SOCKET) closesocket(static_cast<SOCKET>(listener_));
    if (thread_.joinable()) thread_.join();
    WSACleanup();
}

std::wstring FakeReleaseControl::BaseUrl() const { return L"http://127.0.0.1:" + std::to_wstring(port_); }

void FakeReleaseControl::TrustKey(std::string publicKeyHex) {
    std::lock_guard lock(mutex_);
    trusted_ = std::move(publicKeyHex);
}

void FakeReleaseControl::SetStatusBody(std::string body) {
    std::lock_guard lock(mutex_);
    statusBody_ = std::move(body);
}

void FakeReleaseControl::SetBackendReply(const std::string& action, std::string body) {
    std::lock_guard lock(mutex_);
    backendReplies_[action] = std::move(body);
}

void FakeReleaseControl::Script(const std::string& path, int status, std::string body) {
    std::lock_guard lock(mutex_);
    script_[path] = {status, std::move(body)};
}

void FakeReleaseControl::SetClockWindow(std::uint64_t seconds) {
    std::lock_guard lock(mutex_);
    clockWindow_ = seconds;
}

std::vector<ReleaseControlRequest> FakeReleaseControl::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<ReleaseControlRequest> FakeReleaseControl::Commands() const {
    std::lock_guard lock(mutex_);
    std::vector<ReleaseControlRequest> posts;
    for (const auto& r : requests_) {
        if (r.method == "POST") posts.push_back(r);
    }
    return posts;
}

std::size_t FakeReleaseControl::RequestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

void FakeReleaseControl::Serve() {
    while (true) {
        const SOCKET client = accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (client == INVALID_SOCKET) return;  // closed by the destructor
        HandleConnection(static_cast<std::uintptr_t>(client));
        closesocket(client);
        std::lock_guard lock(mutex_);
        if (stopping_) return;
    }
}

void FakeReleaseControl::HandleConnection(std::uintptr_t socket) {
    const SOCKET s = static_cast<SOCKET>(socket);
    DWORD timeout = 5000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    std::string data;
    char buffer[16384];
    std::size_t headerEnd = std::string::npos;
    while ((headerEnd = data.find("\r\n\r\n")) == std::string::npos) {
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0 || data.size() > (1u << 20)) return;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    const std::string head = data.substr(0, headerEnd);
    std::size_t contentLength = 0;
    std::size_t lineStart = head.find("\r\n");
    while (lineStart != std::string::npos && lineStart < head.size()) {
        const std::size_t next = head.find("\r\n", lineStart + 2);
        const std::string line =
            head.substr(lineStart + 2, (next == std::string::npos ? head.size() : next) - lineStart - 2);
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos && Lower(line.substr(0, colon)) == "content-length") {
            contentLength = static_cast<std::size_t>(std::strtoull(line.c_str() + colon + 1, nullptr, 10));
        }
        lineStart = next;
    }
    std::string body = data.substr(headerEnd + 4);
    while (body.size() < contentLength) {
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        body.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t firstSpace = head.find(' ');
    const std::size_t secondSpace = head.find(' ', firstSpace + 1);
    const std::string method = head.substr(0, firstSpace);
    const std::string path = head.substr(firstSpace + 1, secondSpace - firstSpace - 1);

    int status = 404;
    std::string reply;
    ReleaseControlRequest request = Answer(method, path, body, status, reply);
    request.status = status;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    const std::string response =
        "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) +
        "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(reply.size()) +
        "\r\nConnection: close\r\n\r\n" + reply;
    SendAll(s, response);
    shutdown(s, SD_SEND);
}

ReleaseControlRequest FakeReleaseControl::Answer(std::string method, std::string path, std::string body, int& status,
                                                 std::string& reply) {
    std::lock_guard lock(mutex_);
    ReleaseControlRequest request;
    if (auto it = script_.find(path); it != script_.end()) {
        status = it->second.first;
        reply = it->second.second;
    } else if (method == "GET" && path == "/control/status") {
        status = 200;
        reply = statusBody_;
    } else if (method == "POST" && (path == "/control/release" || path == "/control/backend")) {
        request = OpenSignedEnvelope(body);
        const std::string expectedType = path == "/control/release" ? "release" : "backend";
        const auto type = account::JsonMemberString(request.payload, "type");
        const auto action = account::JsonMemberString(request.payload, "action");
        const auto nonce = account::JsonMemberString(request.payload, "nonce");
        const auto timestamp = account::JsonMemberUnsigned(request.payload, "timestamp");
        if (request.signatureValid) {
            if (!trusted_) trusted_ = request.publicKeyHex;
            request.trustedKey = *trusted_ == request.publicKeyHex;
        }
        const std::uint64_t now = NowSeconds();
        if (!request.envelopeValid || !account::IsJsonObject(request.payload) || !type || *type != expectedType ||
            !action || !nonce || nonce->empty() || !timestamp) {
            status = 400;
            reply = Message("malformed command");
        } else if (!request.signatureValid) {
            status = 401;
            reply = Message("signature rejected");
        } else if (!request.trustedKey) {
            status = 401;
            reply = Message("unknown owner key");
        } else if ((*timestamp > now ? *timestamp - now : now - *timestamp) > clockWindow_) {
            status = 401;
            reply = Message("stale command");
        } else if (std::find(seenNonces_.begin(), seenNonces_.end(), *nonce) != seenNonces_.end()) {
            status = 409;
            reply = Message("replayed nonce");
        } else {
            seenNonces_.push_back(*nonce);
            status = 200;
            if (expectedType == "backend" && backendReplies_.count(*action)) {
                reply = backendReplies_[*action];
            } else {
                reply = "{\"ok\":true,\"state\":\"" + *action + "\",\"message\":\"" + expectedType + " " + *action +
                        " accepted.\"}";
            }
        }
    } else {
        status = 404;
        reply = Message("not found");
    }
    request.method = std::move(method);
    request.path = std::move(path);
    request.body = std::move(body);
    return request;
}

}  // namespace tarvo::testing
