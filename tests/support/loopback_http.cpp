#include "support/loopback_http.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tarvo::testing {
namespace {

constexpr std::size_t kMaxHeadBytes = 1u << 20;

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
        const int n =
            send(s, bytes.data() + sent, static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 65536)), 0);
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

LoopbackHttpServer::LoopbackHttpServer() : listener_(static_cast<std::uintptr_t>(INVALID_SOCKET)) {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
}

LoopbackHttpServer::~LoopbackHttpServer() {
    Stop();
    WSACleanup();
}

bool LoopbackHttpServer::Start(Handler handler) {
    handler_ = std::move(handler);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 16) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(s);
        return false;
    }
    listener_ = static_cast<std::uintptr_t>(s);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void LoopbackHttpServer::Stop() {
    stopping_ = true;
    if (static_cast<SOCKET>(listener_) != INVALID_SOCKET) {
        closesocket(static_cast<SOCKET>(listener_));
        listener_ = static_cast<std::uintptr_t>(INVALID_SOCKET);
    }
    if (thread_.joinable()) thread_.join();
}

void LoopbackHttpServer::Serve() {
    while (true) {
        const SOCKET client = accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            if (stopping_) return;
            continue;
        }
        HandleConnection(static_cast<std::uintptr_t>(client));
        closesocket(client);
    }
}

void LoopbackHttpServer::HandleConnection(std::uintptr_t socketHandle) {
    const SOCKET s = static_cast<SOCKET>(socketHandle);
    DWORD timeout = 5000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);

    std::string data;
    char buffer[16384];
    std::size_t headEnd = std::string::npos;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0 || data.size() > kMaxHeadBytes) return;
        data.append(buffer, static_cast<std::size_t>(n));
    }

    RecordedRequest request;
    const std::size_t lineEnd = data.find("\r\n");
    const std::string requestLine = data.substr(0, lineEnd);
    const std::size_t firstSpace = requestLine.find(' ');
    const std::size_t secondSpace = requestLine.find(' ', firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos) return;
    request.method = requestLine.substr(0, firstSpace);
    request.path = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    std::size_t at = lineEnd + 2;
    while (at < headEnd) {
        const std::size_t end = data.find("\r\n", at);
        const std::string line = data.substr(at, end - at);
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos) request.headers[Lower(Trim(line.substr(0, colon)))] = Trim(line.substr(colon + 1));
        at = end + 2;
    }
    const std::size_t contentLength =
        static_cast<std::size_t>(std::strtoull(request.Header("content-length").c_str(), nullptr, 10));
    request.body = data.substr(headEnd + 4);
    while (request.body.size() < contentLength) {
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        request.body.append(buffer, static_cast<std::size_t>(n));
    }
    request.body.resize(std::min(request.body.size(), contentLength));

    const std::optional<ScriptedReply> reply = handler_(std::move(request));
    if (!reply) return;
    std::string response = "HTTP/1.1 " + std::to_string(reply->status) + " " + Reason(reply->status) + "\r\n";
    if (!reply->contentType.empty()) response += "Content-Type: " + reply->contentType + "\r\n";
    response += "Content-Length: " + std::to_string(reply->body.size()) + "\r\nConnection: close\r\n\r\n";
    response += reply->body;
    SendAll(s, response);
    shutdown(s, SD_SEND);
}

}  // namespace tarvo::testing
