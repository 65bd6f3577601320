#pragma once
// A stand-in for the release-control service on 127.0.0.1 (ephemeral port). It
// opens every signed envelope, checks its Ed25519 signature with libsodium, the
// trusted owner key (the first key it sees, unless one is set), the age of the
// time stamp and the nonce against replays, and answers like the real service:
// 200 for an accepted command, 401 for a bad signature or unknown key, 409 for a
// replay. Every request is recorded with what the checks found.
//
//   tarvo::testing::FakeReleaseControl service;
//   auto result = ReleaseControlClient::SignedCommand(service.BaseUrl(), L"check", L"", L"", 0, L"");
//   EXPECT_TRUE(service.Commands().at(0).signatureValid);
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/loopback_http.h"

namespace tarvo::testing {

// What the service made of one request.
struct ReleaseControlRequest {
    std::string method;
    std::string path;
    std::string body;
    bool envelopeValid = false;   // the envelope and its three Base64 members decoded
    bool signatureValid = false;  // crypto_sign_verify_detached accepted it
    bool trustedKey = false;      // signed by the owner key the service trusts
    std::string payload;          // the signed bytes
    std::string publicKeyHex;
    int status = 0;  // what the service answered
};

// The envelope checks alone, for tests that tamper with envelopes.
ReleaseControlRequest OpenSignedEnvelope(const std::string& body);

class FakeReleaseControl {
public:
    FakeReleaseControl();
    ~FakeReleaseControl();
    FakeReleaseControl(const FakeReleaseControl&) = delete;
    FakeReleaseControl& operator=(const FakeReleaseControl&) = delete;

    bool Running() const { return server_.Port() != 0; }
    std::wstring BaseUrl() const;  // L"http://127.0.0.1:<port>"

    // Only this key (64 hex digits) is trusted; by default the first key seen is.
    void TrustKey(std::string publicKeyHex);
    // The body of GET /control/status (status 200).
    void SetStatusBody(std::string body);
    // The body of an accepted backend action ("players", "metrics", ...).
    void SetBackendReply(const std::string& action, std::string body);
    // Any request to `path` gets this reply, before any check.
    void Script(const std::string& path, int status, std::string body);
    // Allowed age of a command's time stamp, in seconds either way (default 300).
    void SetClockWindow(std::uint64_t seconds);

    std::vector<ReleaseControlRequest> Requests() const;
    std::vector<ReleaseControlRequest> Commands() const;  // the POSTs
    std::size_t RequestCount() const;

private:
    ScriptedReply Reply(const RecordedRequest& request);
    ReleaseControlRequest Answer(std::string method, std::string path, std::string body, int& status,
                                 std::string& reply);

    mutable std::mutex mutex_;
    std::optional<std::string> trusted_;
    std::string statusBody_;
    std::map<std::string, std::string> backendReplies_;
    std::map<std::string, std::pair<int, std::string>> script_;
    std::vector<std::string> seenNonces_;
    std::uint64_t clockWindow_ = 300;
    std::vector<ReleaseControlRequest> requests_;
    LoopbackHttpServer server_;
};

}  // namespace tarvo::testing
