#pragma once
// The online test match client: a UDP text client that the gameplay frame pumps
// once per frame, writing the server's state into the simulation.
#include <cstdint>
#include <string>
#include <string_view>

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

// The match credential of one player key; the shell only hands it on.
struct MatchIdentity {
    std::wstring playerKey;
    std::string token;
    bool valid = false;
};

class MatchClient {
public:
    MatchClient();
    ~MatchClient();
    MatchClient(const MatchClient&) = delete;
    MatchClient& operator=(const MatchClient&) = delete;

    // Closes any previous connection and opens the client to a numeric IPv4 host.
    // False on any failure (bad host, socket error, map index 3 or more, mode key
    // empty or longer than 12 characters).
    bool Open(const std::string& host, std::uint16_t port, const std::string& joinKey, std::string_view modeKey,
              int mapIndex);
    // Sends the leave datagram when a player id was assigned; harmless when closed.
    void Close();
    // One exchange of datagrams; received snapshots are written into the simulation.
    bool Pump(gameplay::TrainingSimulation& simulation, const gameplay::InputState& input, bool fire, bool reload);

    std::uint32_t InputSerial() const { return inputSerial_; }
    const MatchInfo& Info() const { return info_; }
    const MatchEconomy& Economy() const { return economy_; }
    const std::string& Error() const { return error_; }  // not empty after a room-full error
    bool TimedOut() const;                                // no accepted datagram for more than 8 s
    bool Connected() const { return connected_; }         // the server assigned a player id

    // Buys arsenal item 0..2 at the next pump; "PROFILE_REQUIRED" before the server
    // has confirmed the player's authentication.
    void Buy(int item);
    // First 20 UTF-16 units; an empty name is ignored.
    void SetDisplayName(std::wstring_view name);
    void SetIdentity(MatchIdentity identity);

    // Blocking status request to the match service; the reply body, empty on failure.
    static std::string FetchStatus();

private:
    MatchInfo info_;
    MatchEconomy economy_;
    MatchIdentity identity_;
    std::string error_;
    std::wstring displayName_;
    std::uint32_t inputSerial_ = 0;
    std::uint32_t purchaseSerial_ = 0;
    int pendingPurchase_ = -1;
    bool connected_ = false;
};

// The cached or freshly fetched match credential of a player key; blocking, run on
// a worker thread.
MatchIdentity LoadMatchIdentity(std::wstring playerKey);

}  // namespace tarvo::online
