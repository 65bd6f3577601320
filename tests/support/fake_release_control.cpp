#include "support/fake_release_control.h"

#include <windows.h>

#include <algorithm>

#include "account/json_reader.h"
#include "release_control/command_envelope.h"
#include "release_control/sodium_library.h"

namespace tarvo::testing {

namespace {

using release_control::Base64Decode;

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
    server_.Start([this](RecordedRequest request) -> std::optional<ScriptedReply> { return Reply(request); });
}

FakeReleaseControl::~FakeReleaseControl() { server_.Stop(); }

std::wstring FakeReleaseControl::BaseUrl() const { return L"http://127.0.0.1:" + std::to_wstring(server_.Port()); }

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

ScriptedReply FakeReleaseControl::Reply(const RecordedRequest& http) {
    ScriptedReply reply;
    reply.contentType = "application/json";
    ReleaseControlRequest request = Answer(http.method, http.path, http.body, reply.status, reply.body);
    request.status = reply.status;
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
    return reply;
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
