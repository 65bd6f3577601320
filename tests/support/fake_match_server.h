#pragma once
// A small match server for tests: a UDP peer on 127.0.0.1 (ephemeral port) that
// speaks the TARV1 protocol as online/match_protocol.h describes it, written from
// that description rather than from the client's code. It takes joins (or answers
// FULL), moves the joined players by their input, fires and reloads their weapons,
// checks credentials, sells the arsenal, and sends SNAP, REPORT and ECON to every
// joined player 30 times a second. Scripted remote players stand in for the others.
//
//   tarvo::testing::FakeMatchServer server({.joinKey = "..."});
//   ... client.Open("127.0.0.1", server.Port(), ...) ...
//   server.SetRemotePlayers({{.id = 40, .team = 2, .name = "ada"}});
//   server.Stop();  // the server goes silent
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tarvo::testing {

struct FakeRemotePlayer {
    int id = 40;
    int team = 2;
    int weapon = 0;
    int kills = 0;
    int deaths = 0;
    std::uint32_t shots = 0;
    float health = 100.0f;
    bool dead = false;
    float x = 0.0f, y = 0.0f, z = 10.0f;
    float yaw = 180.0f;
    std::string name;  // UTF-8, sent as it is
};

// What the server knows of one joined client.
struct FakeMatchPlayer {
    int id = 0;
    std::string nonce;
    std::string modeKey;
    int map = 0;
    std::string name;
    bool left = false;
    // Input as last received.
    std::uint32_t inputSerial = 0;
    std::uint32_t inputs = 0;       // INPUT datagrams taken
    std::uint32_t fireInputs = 0;   // of which carried the fire flag
    std::uint32_t reloadInputs = 0;
    std::uint32_t flags = 0;
    float yaw = 0.0f, pitch = 0.0f;
    // Simulated state.
    float x = 0.0f, y = 0.0f, z = -30.0f;
    float health = 100.0f;
    bool dead = false;
    bool crouching = false;
    int team = 1;
    int kills = 0, deaths = 0;
    int weapon = 0, magazine = 30, reserve = 120;
    bool reloading = false;
    float reloadLeft = 0.0f, cooldown = 0.0f;
    std::uint32_t shots = 0, shotResets = 0;
    // Economy.
    int coins = 500;
    std::uint32_t owned = 1, selected = 0;
    bool authenticated = false;
    std::string profileId;
    std::uint32_t purchaseAck = 0;
    std::uint32_t purchases = 0;  // BUY datagrams that changed something
    std::string message = "CONNECTING";
};

struct FakeMatchOptions {
    std::string joinKey = "tarv1-test-join-key-000000000001";
    int capacity = 8;
    int firstPlayerId = 7;
    std::map<std::string, std::string> credentials;  // profile id -> token
    int startCoins = 500;
    int team = 1;          // team of every joined player
    int clockSeconds = 600;
    int roundState = 1;
    int roundNumber = 1;
    bool answerHellos = true;  // off: hellos are recorded and never answered (a test answers by Inject)
};

class FakeMatchServer {
public:
    explicit FakeMatchServer(FakeMatchOptions options = {});
    ~FakeMatchServer();
    FakeMatchServer(const FakeMatchServer&) = delete;
    FakeMatchServer& operator=(const FakeMatchServer&) = delete;

    bool Running() const { return port_ != 0; }
    std::uint16_t Port() const { return port_; }

    // The server stops answering and sending; its port is closed.
    void Stop();
    // Off: no SNAP, REPORT or ECON goes out on its own (joins are still answered).
    void SetTicking(bool on);

    void SetRemotePlayers(std::vector<FakeRemotePlayer> players);
    // Changes one joined player's simulated state (by id) under the server's lock.
    template <typename Edit>
    void EditPlayer(int id, Edit edit) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (FakeMatchPlayer& p : players_) {
            if (p.id == id) edit(p);
        }
    }

    // Sends bytes as they are to the client that joined last; false before any join.
    bool Inject(std::string_view datagram);

    std::vector<FakeMatchPlayer> Players() const;
    std::vector<std::string> Received() const;            // every datagram, in order (the first 50000)
    std::size_t CountReceived(std::string_view type) const;  // by the second field, "INPUT", "LEAVE", ...

private:
    void Serve();
    void Handle(const std::string& datagram, const void* from, int fromLength);
    void Tick(float dt);
    void SendTo(const FakeMatchPlayer& player, std::string_view datagram);
    std::string Snapshot(const FakeMatchPlayer& player) const;
    std::string Report(const FakeMatchPlayer& player) const;
    std::string Economy(const FakeMatchPlayer& player) const;

    FakeMatchOptions options_;
    std::uintptr_t socket_;
    std::uint16_t port_ = 0;
    mutable std::mutex mutex_;
    bool stopping_ = false;
    bool ticking_ = true;
    std::vector<FakeMatchPlayer> players_;
    std::vector<std::string> addresses_;  // per player: the raw sockaddr_in bytes
    std::vector<FakeRemotePlayer> remotes_;
    std::vector<std::string> received_;
    std::string lastAddress_;
    std::uint32_t tick_ = 0;
    int nextId_ = 7;
    std::thread thread_;
};

}  // namespace tarvo::testing
