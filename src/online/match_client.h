#pragma once
// The online test match client: a non-blocking UDP client of the TARV1 protocol
// (online/match_protocol.h) that the gameplay frame pumps once per frame, writing
// the server's state into the simulation. UI thread only.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "online/match_identity.h"

namespace tarvo::gameplay {
class TrainingSimulation;
struct InputState;
}  // namespace tarvo::gameplay

namespace tarvo::online {

// The last accepted match report. The first thirteen words are copied into the
// frame overlay in this order.
struct MatchInfo {
    std::int32_t mode = 6;          // 0..6 in the order of MatchModeNames; 6 before any report
    std::int32_t map = 0;           // 0..2
    std::int32_t localTeam = 0;     // 0 none, 1 cyan, 2 amber
    std::int32_t cyanScore = 0;     // free for all: the leader's score
    std::int32_t amberScore = 0;    // free for all: the local player's score
    std::int32_t roundSeconds = 0;  // at most 720
    std::int32_t roundState = 0;    // 0 waiting, 1 live, 2 ended
    std::int32_t roundWinner = 0;
    std::int32_t roundNumber = 0;
    std::int32_t matchComplete = 0;
    std::int32_t ffaFigure = 0;
    std::int32_t activePoint = 0;   // capture point index, 0 = A
    std::int32_t pointOwner = 0;
    std::int32_t localPlayerId = 0;
    float pointProgress = 0.0f;     // -1..1, sign gives the side
    std::uint32_t localShots = 0;   // the local player's shots as the server counts them
    std::uint32_t shotResets = 0;   // any change resets the shell's shot prediction
    bool valid = false;             // a report has been accepted
};

// The arsenal economy of the match.
struct MatchEconomy {
    std::int32_t coins = 0;
    std::uint32_t ownedWeapons = 1;  // bit n = arsenal weapon n
    std::uint32_t selectedWeapon = 0;
    bool authenticated = false;
    std::string message = "CONNECTING";  // status code of the shop line
};

// What arrived since the client was opened (diagnostics and tests).
struct MatchTraffic {
    std::uint64_t received = 0;  // datagrams read from the socket
    std::uint64_t accepted = 0;  // passed every check and were applied
    std::uint64_t dropped = 0;   // malformed, out of range, oversized, stale or unexpected
};

class MatchClient {
public:
    using Clock = std::chrono::steady_clock;
    using ClockSource = std::function<Clock::time_point()>;

    static constexpr std::chrono::seconds kServerTimeout{8};
    static constexpr std::chrono::milliseconds kHelloInterval{250};
    static constexpr std::chrono::milliseconds kAuthInterval{500};
    static constexpr std::chrono::milliseconds kPurchaseInterval{250};
    static constexpr std::chrono::microseconds kInputInterval{33333};  // 30 a second
    static constexpr int kMaxDatagramsPerPump = 256;  // a flood waits in the socket, the frame goes on

    MatchClient();
    ~MatchClient();
    MatchClient(const MatchClient&) = delete;
    MatchClient& operator=(const MatchClient&) = delete;

    // Closes any previous connection and opens the client to a numeric IPv4 host.
    // False on any failure (bad host, socket error, map index 3 or more, mode key
    // empty or longer than 12 characters, a join key the protocol cannot carry).
    bool Open(const std::string& host, std::uint16_t port, const std::string& joinKey, std::string_view modeKey,
              int mapIndex);
    // Sends the leave datagram when a player id was assigned, closes the socket and
    // resets the client; harmless when closed.
    void Close();
    // One exchange: reads what arrived, then sends what is due (hello, input, name,
    // credential, purchase). The fire and reload flags travel in the next input
    // datagram. True when a server snapshot was written into the simulation.
    bool Pump(gameplay::TrainingSimulation& simulation, const gameplay::InputState& input, bool fire, bool reload);

    bool IsOpen() const;
    std::uint32_t InputSerial() const { return inputSerial_; }  // of the last input datagram sent
    const MatchInfo& Info() const { return info_; }
    const MatchEconomy& Economy() const { return economy_; }
    const std::string& Error() const { return error_; }  // "ROOM_FULL" after a full room
    bool TimedOut() const;                                // nothing accepted for over 8 s since the first hello
    bool Connected() const { return connected_; }         // the server assigned a player id
    const MatchTraffic& Traffic() const { return traffic_; }

    // Buys arsenal item 0..2 at the next pump; "PROFILE_REQUIRED" before the server
    // has confirmed the player's authentication; nothing while a purchase is pending.
    void Buy(int item);
    // First 20 UTF-16 units; an empty or unconvertible name is ignored.
    void SetDisplayName(std::wstring_view name);
    // The credential for this match; sent once the server has assigned a player id
    // and wiped once the server has accepted it.
    void SetIdentity(MatchIdentity identity);

    // Time source of every schedule and of the timeout; tests inject their own. Kept
    // across Close.
    void SetClock(ClockSource clock);

    // Blocking status request to the configured match service; the reply body,
    // empty on failure.
    static std::string FetchStatus();

private:
    struct Connection;
    void ResetMatchState();
    void Receive(gameplay::TrainingSimulation& simulation, Clock::time_point now, bool& snapshotApplied);
    void Send(const gameplay::TrainingSimulation& simulation, const gameplay::InputState& input, bool fire,
              bool reload, Clock::time_point now);
    Clock::time_point Now() const;

    std::unique_ptr<Connection> connection_;  // socket, buffers and the datagram being read
    ClockSource clock_;
    MatchInfo info_;
    MatchEconomy economy_;
    MatchIdentity identity_;
    MatchTraffic traffic_;
    std::string error_;
    std::string wireName_;  // UTF-8, safe for the protocol
    bool nameDirty_ = false;
    bool identityFailed_ = false;
    std::string lastServerMessage_;
    std::uint32_t inputSerial_ = 0;
    std::uint32_t purchaseSerial_ = 0;
    int pendingPurchase_ = -1;
    bool connected_ = false;
    std::int32_t playerId_ = 0;
};

}  // namespace tarvo::online
