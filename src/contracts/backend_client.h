#pragma once
// Contract of the game back end (online statistics and the like). No back end is connected in this build.

namespace tarvo::contracts {

class IBackendClient {
public:
    virtual ~IBackendClient() = default;
    virtual bool IsConnected() const = 0;
};

// Never connects; the screens show the back end as not connected.
class MockBackendClient final : public IBackendClient {
public:
    bool IsConnected() const override { return connected_; }

private:
    bool connected_ = false;
};

}  // namespace tarvo::contracts
