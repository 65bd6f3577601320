// The shared WinHTTP exchange against a one-shot loopback server that sends raw bytes.
#include <gtest/gtest.h>

#include <winsock2.h>
// after winsock2.h
#include <tlhelp32.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "common/http_request.h"

using tarvo::distribution::CancelHttpRequests;
using tarvo::distribution::CrackHttpUrl;
using tarvo::distribution::HttpAddress;
using tarvo::distribution::HttpOutcome;
using tarvo::distribution::HttpReply;
using tarvo::distribution::HttpRequest;
using tarvo::distribution::SendHttpRequest;

namespace {

// Accepts one connection on 127.0.0.1, reads the request head and body, answers with
// `response` as given and closes. A slow server sends it one byte per `dripMs`. A holding
// one (`hold`) answers no request: it keeps every connection it accepts, sends each the
// first `burst` bytes of `response` and then one more per `dripMs` (none when 0), and counts
// the connections the client closed; a stalling one also reads no more than the first byte of
// each request, so that a client sending a large one is stuck in its send.
struct Pace {
    bool hold = false;
    bool reset = false;
    bool stall = false;
    int dripMs = 0;
    std::size_t burst = 0;
};

class RawServer {
public:
    explicit RawServer(std::string response, Pace pace = {}) : response_(std::move(response)), pace_(pace) {
        WSADATA data{};
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 16) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~RawServer() {
        stop_ = true;
        closesocket(listener_);
        if (thread_.joinable()) thread_.join();
        WSACleanup();
    }
    std::uint16_t Port() const { return port_; }
    // What the server read; waits for it to finish with the one connection.
    const std::string& Received() {
        if (thread_.joinable()) thread_.join();
        return received_;
    }
    // Waits until the whole request was read (a slow server then holds on), or of a stalling
    // server until `stuck` clients are inside the send of their request; a minute at most.
    void WaitForRequest(int stuck = 0) {
        for (int i = 0; i < 6000 && (!requestRead_ || stuck_ < stuck); ++i) Sleep(10);
    }

private:
    void Serve() {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        DWORD timeout = 5000;
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        char buffer[4096];
        std::size_t headEnd = std::string::npos;
        std::size_t wanted = 0;
        while (!pace_.stall && (headEnd == std::string::npos || received_.size() < wanted)) {
            const int n = recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            received_.append(buffer, static_cast<std::size_t>(n));
            if (headEnd == std::string::npos && (headEnd = received_.find("\r\n\r\n")) != std::string::npos) {
                const std::size_t at = received_.find("Content-Length: ");
                const std::size_t body = at < headEnd ? std::stoul(received_.substr(at + 16)) : 0;
                wanted = headEnd + 4 + body;
            }
        }
        requestRead_ = true;
        if (pace_.hold) return Hold(client);
        if (pace_.dripMs > 0) {
            for (std::size_t i = 0; i < response_.size() && !stop_; ++i) {
                if (send(client, response_.data() + i, 1, 0) != 1) break;
                for (int waited = 0; waited < pace_.dripMs && !stop_; waited += 10) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
            }
        } else {
            send(client, response_.data(), static_cast<int>(response_.size()), 0);
        }
        const linger abort{.l_onoff = 1, .l_linger = 0};  // closing then sends a reset
        if (pace_.reset) {
            // Under Wine a reset that comes while no receive waits reads as a clean end: let
            // the client take in what was sent and wait for more first.
            Sleep(500);
            setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
        }
        shutdown(client, pace_.reset ? SD_RECEIVE : SD_SEND);
        closesocket(client);
    }

    // One thread per connection; a blocking send or receive fails once the client closed it.
    void Hold(SOCKET first) {
        std::vector<std::thread> held;
        std::vector<SOCKET> sockets;
        for (SOCKET s = first; s != INVALID_SOCKET; s = accept(listener_, nullptr, nullptr)) {
            sockets.push_back(s);
            held.emplace_back([this, s] {
                if (pace_.stall) {
                    char byte = 0;
                    stuck_ += recv(s, &byte, 1, 0) == 1;
                    while (!stop_) Sleep(10);
                    return;
                }
                const std::size_t burst = std::min(pace_.burst, response_.size());
                bool open = send(s, response_.data(), static_cast<int>(burst), 0) == static_cast<int>(burst);
                for (std::size_t at = burst; open && !stop_; ++at) {
                    if (pace_.dripMs == 0 || at >= response_.size()) {
                        char sink[4096];
                        open = recv(s, sink, sizeof sink, 0) > 0;  // the client's request, then its close
                        continue;
                    }
                    Sleep(pace_.dripMs);
                    open = send(s, &response_[at], 1, 0) == 1;
                }
                if (!open && !stop_) ++closedByClient_;
            });
        }
        for (SOCKET s : sockets) shutdown(s, SD_BOTH);  // ends the waits of those still held
        for (std::thread& t : held) t.join();
        for (SOCKET s : sockets) closesocket(s);
    }

public:
    int ClosedByClient() const { return closedByClient_; }

private:
    std::string response_;
    Pace pace_;
    SOCKET listener_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
    std::string received_;
    std::atomic<bool> requestRead_{false};
    std::atomic<int> stuck_{0};
    std::atomic<int> closedByClient_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

HttpReply Exchange(std::uint16_t port, std::string_view body = {}, std::size_t maxReplyBytes = 64,
                   int stepTimeoutMs = 2000, bool keepOnCancel = false) {
    const HttpAddress address{.secure = false, .host = L"127.0.0.1", .port = port};
    return SendHttpRequest({.userAgent = L"tarvo-test/1",
                            .timeouts = {stepTimeoutMs, stepTimeoutMs, stepTimeoutMs, stepTimeoutMs},
                            .address = &address,
                            .method = body.empty() ? L"GET" : L"POST",
                            .target = L"/base/item",
                            .headers = body.empty() ? L"" : L"Content-Type: application/json\r\nX-Probe: 1\r\n",
                            .body = body,
                            .maxReplyBytes = maxReplyBytes,
                            .keepOnCancel = keepOnCancel});
}

std::string Reply(std::string_view statusLine, std::string_view body, std::string_view extra = {}) {
    return std::string(statusLine) + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
           std::string(extra) + "Connection: close\r\n\r\n" + std::string(body);
}

}  // namespace

TEST(CrackHttpUrl, KeepsSchemeHostPortAndPathWithoutTrailingSlashes) {
    // Secure, host, port, path and whether a user name was given.
    const auto parts = [](std::wstring_view url) {
        const auto a = CrackHttpUrl(url).value_or(HttpAddress{.host = L"(refused)"});
        return std::tuple(a.secure, a.host, a.port, a.path, a.hasUserName);
    };
    EXPECT_EQ(parts(L"http://127.0.0.1:8080/api/v1//"), std::tuple(false, L"127.0.0.1", 8080, L"/api/v1", false));
    EXPECT_EQ(parts(L"https://example.com"), std::tuple(true, L"example.com", 443, L"", false));
    EXPECT_EQ(parts(L"https://owner@example.com/x"), std::tuple(true, L"example.com", 443, L"/x", true));
}

TEST(CrackHttpUrl, RefusesOtherSchemesQueriesAndOverlongText) {
    for (const wchar_t* url : {L"", L"not a url", L"ftp://example.com/", L"http:///path",
                               L"https://example.com/a?b=1"}) {
        EXPECT_FALSE(CrackHttpUrl(url)) << url;
    }
    EXPECT_FALSE(CrackHttpUrl(L"https://example.com/" + std::wstring(2048, L'a')));
}

TEST(SendHttpRequest, SendsTheRequestAndReturnsStatusAndBody) {
    RawServer server(Reply("HTTP/1.1 201 Created", "{\"ok\":true}"));
    ASSERT_NE(server.Port(), 0);
    const HttpReply reply = Exchange(server.Port(), "{\"a\":1}");
    EXPECT_EQ(reply.outcome, HttpOutcome::Answered);
    EXPECT_EQ(reply.status, 201u);
    EXPECT_EQ(reply.body, "{\"ok\":true}");
    const std::string& request = server.Received();
    EXPECT_EQ(request.rfind("POST /base/item HTTP/1.0\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("User-Agent: tarvo-test/1\r\n"), std::string::npos);
    EXPECT_NE(request.find("X-Probe: 1\r\n"), std::string::npos);
    EXPECT_EQ(request.substr(request.size() - 7), "{\"a\":1}");
}

// A reply is answered whole or not at all. Its body ends where its framing says, or where the
// server closes one without a length; short of its Content-Length, without its last chunk, broken
// off by a reset or past the limit it is refused. A redirect is returned, not followed.
TEST(SendHttpRequest, AReplyIsAnsweredWholeOrNotAtAll) {
    const std::string ok = "HTTP/1.1 200 OK\r\n", json = "{\"a\":1}", limit(64, 'x'), past(65, 'x');
    struct Case {
        std::string response;
        Pace pace;
        HttpOutcome outcome;
        std::uint32_t status;
        std::string body;
    };
    const Case cases[] = {
        {ok + "\r\n" + json, {}, HttpOutcome::Answered, 200, json},
        {ok + "\r\n" + json, {.reset = true}, HttpOutcome::CutOff},
        {ok + "Content-Length: 2147483648\r\n\r\n" + json, {}, HttpOutcome::CutOff},
        {ok + "Content-Length: 4294967296\r\n\r\n" + json, {}, HttpOutcome::CutOff},
        {ok + "Content-Length: 12\r\n\r\n" + json, {}, HttpOutcome::CutOff},
        {ok + "Transfer-Encoding: chunked\r\n\r\n7\r\n" + json + "\r\n", {}, HttpOutcome::CutOff},
        {Reply("HTTP/1.1 200 OK", limit), {}, HttpOutcome::Answered, 200, limit},
        {Reply("HTTP/1.1 200 OK", past), {}, HttpOutcome::TooLarge},
        {Reply("HTTP/1.1 302 Found", "", "Location: http://127.0.0.1:9/elsewhere\r\n"), {}, HttpOutcome::Answered, 302},
    };
    for (const Case& c : cases) {
        RawServer server(c.response, c.pace);
        const HttpReply reply = Exchange(server.Port());
        EXPECT_EQ(std::tie(reply.outcome, reply.status, reply.body), std::tie(c.outcome, c.status, c.body))
            << c.response.substr(0, 60) << (c.pace.reset ? " (reset)" : "");
    }
    // Headers that stop mid-line for longer than a step: WinHTTP under Wine takes those it read
    // for all of them.
    RawServer stopped("HTTP/1.1 200 OK\r\nX-Slow: a", {.hold = true, .burst = 26});
    EXPECT_EQ(Exchange(stopped.Port(), {}, 64 * 1024, 1000).outcome, HttpOutcome::CutOff);
}

TEST(SendHttpRequest, NoListenerIsUnreachableARequestWithoutAddressOrTimeoutIsRefusedUnsent) {
    std::uint16_t closed = 0;
    {
        RawServer probe("");  // take a free port, then let it go
        closed = probe.Port();
    }
    EXPECT_EQ(Exchange(closed).outcome, HttpOutcome::Unreachable);
    HttpRequest request;
    EXPECT_EQ(SendHttpRequest(request).outcome, HttpOutcome::Refused);
    RawServer server(Reply("HTTP/1.1 200 OK", "{}"));
    EXPECT_EQ(Exchange(server.Port(), {}, 64, 0).outcome, HttpOutcome::Refused);  // not "no limit"
}

int ThreadsOfThisProcess() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{.dwSize = sizeof(THREADENTRY32)};
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

using Ended = std::pair<HttpOutcome, std::chrono::steady_clock::duration>;

// The exchange's outcome and time on a thread the test can give up on: an exchange that never
// returns fails the test instead of hanging it.
std::future<Ended> Start(std::uint16_t port, int stepTimeoutMs) {
    std::packaged_task<Ended()> task([port, stepTimeoutMs] {
        const auto start = std::chrono::steady_clock::now();
        return Ended(Exchange(port, {}, 64 * 1024, stepTimeoutMs).outcome, std::chrono::steady_clock::now() - start);
    });
    std::future<Ended> ended = task.get_future();
    std::thread(std::move(task)).detach();
    return ended;
}

// Servers that send a byte each 100 ms, of the reply headers or of the body (after the headers,
// or right behind them in one packet), never trip a 250 ms step, and one sends nothing: the
// exchanges end at their 1 s deadline. Soon after, their connections are closed and no thread
// of theirs is left, however many there were, and a healthy server is answered.
TEST(SendHttpRequest, ExchangesWithTricklingOrSilentServersEndAndLetGoOfTheirConnectionsAtTheDeadline) {
    using namespace std::chrono_literals;
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 4000\r\n\r\n";
    RawServer headers("HTTP/1.1 200 OK\r\nX-Slow: " + std::string(4000, 'a'), {.hold = true, .dripMs = 100, .burst = 17});
    RawServer body(head + std::string(4000, 'x'), {.hold = true, .dripMs = 100, .burst = head.size()});
    RawServer behind(head + std::string(4000, 'x'), {.hold = true, .dripMs = 100, .burst = head.size() + 8});
    RawServer silent(head, {.hold = true});
    const int threadsBefore = ThreadsOfThisProcess();
    std::vector<std::future<Ended>> trickled;
    for (int round = 0; round < 3; ++round) {
        for (RawServer* server : {&headers, &body, &behind, &silent}) trickled.push_back(Start(server->Port(), 250));
    }
    for (auto& one : trickled) {
        ASSERT_EQ(one.wait_for(10s), std::future_status::ready) << "an exchange did not return";
        const auto [outcome, took] = one.get();
        EXPECT_EQ(outcome, HttpOutcome::TimedOut);
        EXPECT_LE(took, 2s);
    }
    const auto closed = [&] {
        return std::tuple(headers.ClosedByClient(), body.ClosedByClient(), behind.ClosedByClient(), silent.ClosedByClient());
    };
    for (int i = 0; i < 600 && closed() != std::tuple(3, 3, 3, 3); ++i) Sleep(50);
    EXPECT_EQ(closed(), std::tuple(3, 3, 3, 3));
    // Threads of earlier tests may still be ending: no more than before, not as many.
    for (int i = 0; i < 600 && ThreadsOfThisProcess() > threadsBefore; ++i) Sleep(50);
    EXPECT_LE(ThreadsOfThisProcess(), threadsBefore);
    EXPECT_EQ(Exchange(RawServer(Reply("HTTP/1.1 200 OK", "{}")).Port()).body, "{}");
}

// A cancel stops the exchanges in flight but the one marked to be kept, and none started later.
// WinHTTP goes on with a closed request until its send or receive ends, so the eight it stops
// inside the send of a body the server does not read linger as many as may: the next request
// is refused unsent until the server lets them go.
TEST(CancelHttpRequests, StopsAllButTheKeptOneAndBoundsThoseLeftRunning) {
    const std::string ok = Reply("HTTP/1.1 200 OK", "{}");
    auto stalling = std::make_unique<RawServer>(ok, Pace{.hold = true, .stall = true});
    const std::string large(16 << 20, 'x');  // far more than the sockets buffer
    std::vector<std::future<HttpReply>> left;
    for (int i = 0; i < 8; ++i) {
        left.push_back(std::async(std::launch::async, [&] { return Exchange(stalling->Port(), large, 64, 60000); }));
    }
    stalling->WaitForRequest(8);
    RawServer slow(ok, {.dripMs = 50});
    auto kept = std::async(std::launch::async, [&] { return Exchange(slow.Port(), {}, 64, 10000, true); });
    slow.WaitForRequest();
    EXPECT_EQ(CancelHttpRequests(), 8u);
    for (auto& one : left) EXPECT_EQ(one.get().outcome, HttpOutcome::Cancelled);
    EXPECT_EQ(kept.get().body, "{}");
    EXPECT_EQ(Exchange(RawServer(ok).Port()).outcome, HttpOutcome::Refused);
    stalling.reset();
    HttpOutcome again = HttpOutcome::Refused;
    for (int i = 0; i < 400 && again != HttpOutcome::Answered; ++i, Sleep(50)) {
        again = Exchange(RawServer(ok).Port()).outcome;
    }
    EXPECT_EQ(again, HttpOutcome::Answered);
}
