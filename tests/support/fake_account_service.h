#pragma once
// A scripted stand-in for the account service: an HTTP/1.1 server on 127.0.0.1 (ephemeral port) that answers
// each request on its own thread, one connection at a time, and records what it received.
//
//   tarvo::testing::FakeAccountService service;
//   service.Script("auth/login", 200, R"({"accessToken":"a","refreshToken":"r"})");
//   tarvo::account::AccountApiClient client(service.BaseUrl());
//   ... client.Login(...).get() ...
//   EXPECT_EQ(service.Requests().at(0).path, "/api/v1/auth/login");
//
// Paths are scripted relative to the base path ("auth/login") or absolute ("/api/v1/auth/login"); the query
// string is ignored when matching. An unscripted path answers 404 with a small JSON body.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/loopback_http.h"

namespace tarvo::testing {

class FakeAccountService {
public:
    explicit FakeAccountService(std::string basePath = "/api/v1");
    ~FakeAccountService();
    FakeAccountService(const FakeAccountService&) = delete;
    FakeAccountService& operator=(const FakeAccountService&) = delete;

    bool Running() const { return server_.Port() != 0; }
    std::uint16_t Port() const { return server_.Port(); }
    std::wstring BaseUrl() const;  // L"http://127.0.0.1:<port>/api/v1"

    // Every later request to `path` gets this reply (replacing an earlier script for it).
    void Script(const std::string& path, int status, std::string body);
    void Script(const std::string& path, ScriptedReply reply);

    // While held, requests are read and recorded but their replies wait until Release (or destruction).
    void Hold();
    void Release();

    std::vector<RecordedRequest> Requests() const;
    std::size_t RequestCount() const;
    // The most recent request whose path (without query) matches, scripted-path style.
    std::optional<RecordedRequest> LastRequest(const std::string& path) const;
    // Blocks until at least `count` requests were recorded; false after `timeoutMs`, a hang guard
    // long enough for a loaded machine.
    bool WaitForRequests(std::size_t count, int timeoutMs = 60000) const;

private:
    std::string Normalize(const std::string& path) const;
    std::optional<ScriptedReply> Answer(RecordedRequest request);

    std::string basePath_;
    bool stopping_ = false;
    bool held_ = false;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::map<std::string, ScriptedReply> script_;
    std::vector<RecordedRequest> requests_;
    LoopbackHttpServer server_;
};

}  // namespace tarvo::testing
