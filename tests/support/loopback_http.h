#pragma once
// The HTTP/1.1 core of the loopback fakes: a listener on 127.0.0.1 (ephemeral port) that serves one
// connection at a time on its own thread, reads each request whole (head and Content-Length body), hands it
// to a handler and writes the handler's reply with "Connection: close".

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>

namespace tarvo::testing {

struct RecordedRequest {
    std::string method;
    std::string path;                            // as sent, including the base path and any query
    std::map<std::string, std::string> headers;  // names lower-cased
    std::string body;

    std::string Header(const std::string& lowerName) const;  // empty when absent
};

struct ScriptedReply {
    int status = 200;
    std::string body;
    std::string contentType = "application/json; charset=utf-8";  // no header when empty
};

class LoopbackHttpServer {
public:
    // The reply to one request; nothing closes the connection unanswered. Runs on the serving thread.
    using Handler = std::function<std::optional<ScriptedReply>(RecordedRequest request)>;

    LoopbackHttpServer();
    ~LoopbackHttpServer();  // Stop()
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // Binds, listens and starts serving; false (and Port() 0) when the socket cannot be set up.
    bool Start(Handler handler);
    // Closes the listener and waits for the serving thread; a handler that is waiting must be released first.
    void Stop();
    std::uint16_t Port() const { return port_; }

private:
    void Serve();
    void HandleConnection(std::uintptr_t socket);

    Handler handler_;
    std::uintptr_t listener_;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace tarvo::testing
