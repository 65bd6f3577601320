#include "online/match_client.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "auth/secure_storage.h"
#include "gameplay/training_simulation.h"
#include "online/match_protocol.h"
#include "online/match_service.h"

#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif

namespace tarvo::online {

namespace proto = protocol;

namespace {

// A remote player who moves further than this between two snapshots was placed,
// not walking: no speed and no distance for the animation.
constexpr float kMaxWalkSpeed = 12.0f;

std::uint64_t RandomNonce() {
    std::array<std::uint8_t, 8> bytes{};
    std::uint64_t value = 0;
    if (auth::FillRandom(bytes)) {
        for (std::uint8_t b : bytes) value = (value << 8) | b;
    }
    if (value == 0) value = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return value;
}

float HorizontalDistance(gameplay::Vec3 a, gameplay::Vec3 b) {
    const float dx = a.x - b.x;
    const float dz = a.z - b.z;
    return std::sqrt(dx * dx + dz * dz);
}

float WrapYaw(float yaw) {
    if (!std::isfinite(yaw)) return 0.0f;
    float wrapped = std::fmod(yaw, 360.0f);
    if (wrapped < 0.0f) wrapped += 360.0f;
    return wrapped;
}

}  // namespace

// Everything that exists only while the client is open.
struct MatchClient::Connection {
    SOCKET socket = INVALID_SOCKET;
    bool winsock = false;
    std::uint64_t nonce = 0;
    std::string joinKey;
    std::string modeKey;
    int map = 0;

    // The server cannot answer before it has heard a hello, and the session's start
    // (which follows the open) may take seconds: the timeout counts from the first hello.
    bool helloSent = false;
    Clock::time_point lastAccepted{};  // or the first hello's time, before anything was accepted
    Clock::time_point nextHelloAt{};
    Clock::time_point nextInputAt{};
    Clock::time_point nextAuthAt{};
    Clock::time_point nextPurchaseAt{};

    bool haveTick = false;
    std::uint32_t lastTick = 0;
    bool haveReport = false;
    std::uint32_t lastReport = 0;
    bool haveEconomy = false;
    std::uint32_t lastEconomy = 0;

    proto::ServerDatagram incoming;
    proto::Snapshot pending;  // the newest snapshot of this pump, applied once at its end
    bool havePending = false;
    std::uint32_t appliedTick = 0;
    bool appliedOnce = false;

    std::array<char, proto::kMaxDatagramBytes + 1> receiveBuffer{};
    std::array<char, 1024> sendBuffer{};

    ~Connection() {
        if (socket != INVALID_SOCKET) closesocket(socket);
        if (winsock) WSACleanup();
    }

    void Send(std::string_view datagram) const {
        if (datagram.empty() || socket == INVALID_SOCKET) return;
        // A lost datagram is the protocol's business: every message is repeated or superseded.
        send(socket, datagram.data(), static_cast<int>(datagram.size()), 0);
    }
};

MatchClient::MatchClient() = default;

MatchClient::~MatchClient() { Close(); }

MatchClient::Clock::time_point MatchClient::Now() const { return clock_ ? clock_() : Clock::now(); }

void MatchClient::SetClock(ClockSource clock) { clock_ = std::move(clock); }

bool MatchClient::IsOpen() const { return connection_ != nullptr; }

bool MatchClient::Open(const std::string& host, std::uint16_t port, const std::string& joinKey,
                       std::string_view modeKey, int mapIndex) {
    Close();
    if (mapIndex < 0 || mapIndex > 2 || port == 0) return false;
    if (!proto::ValidModeKey(modeKey) || !proto::ValidJoinKey(joinKey)) return false;

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (host.empty() || host.size() > 15 || inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) return false;
    if (address.sin_addr.s_addr == htonl(INADDR_ANY) || address.sin_addr.s_addr == htonl(INADDR_BROADCAST)) {
        return false;
    }

    auto connection = std::make_unique<Connection>();
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    connection->winsock = true;
    connection->socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (connection->socket == INVALID_SOCKET) return false;
    u_long nonBlocking = 1;
    if (ioctlsocket(connection->socket, FIONBIO, &nonBlocking) != 0) return false;
    // A connected socket hears only the server. An unreachable port must not turn
    // into a reset error on every later receive.
    BOOL reportResets = FALSE;
    DWORD ignored = 0;
    WSAIoctl(connection->socket, SIO_UDP_CONNRESET, &reportResets, sizeof reportResets, nullptr, 0, &ignored,
             nullptr, nullptr);
    if (connect(connection->socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return false;

    connection->nonce = RandomNonce();
    connection->joinKey = joinKey;
    connection->modeKey.assign(modeKey);
    connection->map = mapIndex;
    const Clock::time_point now = Now();
    connection->nextHelloAt = now;
    connection->nextInputAt = now;
    connection->nextAuthAt = now;
    connection->nextPurchaseAt = now;
    connection_ = std::move(connection);
    return true;
}

void MatchClient::ResetMatchState() {
    info_ = MatchInfo{};
    economy_ = MatchEconomy{};
    identity_.Wipe();
    traffic_ = MatchTraffic{};
    error_.clear();
    identityFailed_ = false;
    lastServerMessage_.clear();
    inputSerial_ = 0;
    purchaseSerial_ = 0;
    pendingPurchase_ = -1;
    connected_ = false;
    playerId_ = 0;
}

void MatchClient::Close() {
    if (connection_ && connected_) {
        proto::DatagramWriter leave(connection_->sendBuffer.data(), connection_->sendBuffer.size(), "LEAVE");
        leave.Integer(playerId_);
        connection_->Send(leave.Finish());
    }
    connection_.reset();
    ResetMatchState();
}

bool MatchClient::TimedOut() const {
    return connection_ && connection_->helloSent && Now() - connection_->lastAccepted > kServerTimeout;
}

bool MatchClient::Pump(gameplay::TrainingSimulation& simulation, const gameplay::InputState& input, bool fire,
                       bool reload) {
    if (!connection_ || !error_.empty()) return false;
    const Clock::time_point now = Now();
    bool applied = false;
    Receive(simulation, now, applied);
    if (error_.empty()) Send(simulation, input, fire, reload, now);
    return applied;
}

void MatchClient::Receive(gameplay::TrainingSimulation& simulation, Clock::time_point now, bool& snapshotApplied) {
    Connection& c = *connection_;
    c.havePending = false;
    for (int i = 0; i < kMaxDatagramsPerPump; ++i) {
        const int length = recv(c.socket, c.receiveBuffer.data(), static_cast<int>(c.receiveBuffer.size()), 0);
        if (length == SOCKET_ERROR) {
            const int error = WSAGetLastError();
            if (error == WSAEMSGSIZE || error == WSAECONNRESET) {  // oversized (truncated), or an ICMP echo
                ++traffic_.received;
                ++traffic_.dropped;
                continue;
            }
            break;  // WSAEWOULDBLOCK: nothing more this frame
        }
        ++traffic_.received;
        const auto size = static_cast<std::size_t>(length);
        if (size == 0 || size > proto::kMaxDatagramBytes) {
            ++traffic_.dropped;
            continue;
        }
        proto::ServerDatagram& d = c.incoming;
        bool accepted = false;
        switch (proto::ParseServerDatagram(std::string_view(c.receiveBuffer.data(), size), d)) {
            case proto::ServerKind::Welcome:
                if (d.nonce == c.nonce && (!connected_ || d.playerId == playerId_)) {
                    connected_ = true;
                    playerId_ = d.playerId;
                    accepted = true;
                }
                break;
            case proto::ServerKind::Full:
                if (d.nonce == c.nonce && !connected_) {
                    error_ = "ROOM_FULL";
                    accepted = true;
                }
                break;
            case proto::ServerKind::Snapshot: {
                if (!connected_ || (c.haveTick && !proto::SerialNewer(d.snapshot.tick, c.lastTick))) break;
                bool foreign = true;
                for (int r = 0; r < d.snapshot.count; ++r) foreign = foreign && d.snapshot.remotes[r].id != playerId_;
                if (!foreign) break;  // the local player listed as somebody else
                c.haveTick = true;
                c.lastTick = d.snapshot.tick;
                c.pending = d.snapshot;
                c.havePending = true;
                accepted = true;
                break;
            }
            case proto::ServerKind::Report: {
                const proto::Report& r = d.report;
                if (!connected_ || r.playerId != playerId_) break;
                if (c.haveReport && !proto::SerialNewer(r.serial, c.lastReport)) break;
                c.haveReport = true;
                c.lastReport = r.serial;
                const auto& w = r.words;
                info_.mode = w[0];
                info_.map = w[1];
                info_.localTeam = w[2];
                info_.cyanScore = w[3];
                info_.amberScore = w[4];
                info_.roundSeconds = w[5];
                info_.roundState = w[6];
                info_.roundWinner = w[7];
                info_.roundNumber = w[8];
                info_.matchComplete = w[9];
                info_.ffaFigure = w[10];
                info_.activePoint = w[11];
                info_.pointOwner = w[12];
                info_.localPlayerId = r.playerId;
                info_.pointProgress = r.pointProgress;
                info_.localShots = r.localShots;
                info_.shotResets = r.shotResets;
                info_.valid = true;
                accepted = true;
                break;
            }
            case proto::ServerKind::Economy: {
                const proto::EconomyRecord& e = d.economy;
                if (!connected_ || (c.haveEconomy && !proto::SerialNewer(e.serial, c.lastEconomy))) break;
                c.haveEconomy = true;
                c.lastEconomy = e.serial;
                economy_.coins = e.coins;
                economy_.ownedWeapons = e.ownedMask;
                economy_.selectedWeapon = e.selected;
                const bool nowAuthenticated = e.authenticated && !economy_.authenticated;
                economy_.authenticated = e.authenticated;
                if (nowAuthenticated) identity_.Wipe();  // the server has it; nothing left to send
                const std::string_view message = e.Message();
                const bool acknowledged =
                    pendingPurchase_ >= 0 && !proto::SerialNewer(purchaseSerial_, e.purchaseAck);
                if (acknowledged) {
                    pendingPurchase_ = -1;
                    economy_.message.assign(message);
                } else if (pendingPurchase_ < 0 && message != lastServerMessage_) {
                    // A code set here (such as "PROFILE_REQUIRED") stays until the server says something new.
                    economy_.message.assign(message);
                }
                if (message != lastServerMessage_) lastServerMessage_.assign(message);
                if (identityFailed_ && !economy_.authenticated && pendingPurchase_ < 0) {
                    economy_.message = "PROFILE_UNAVAILABLE";
                }
                accepted = true;
                break;
            }
            case proto::ServerKind::Invalid:
                break;
        }
        if (accepted) {
            ++traffic_.accepted;
            c.lastAccepted = now;
        } else {
            ++traffic_.dropped;
        }
        if (!error_.empty()) return;
    }
    if (!c.havePending) return;

    // Write the newest snapshot into the simulation. The local view (yaw, pitch) is the
    // player's own and stays; everything else is the server's.
    const proto::Snapshot& s = c.pending;
    const float dt = c.appliedOnce ? static_cast<float>(s.tick - c.appliedTick) / proto::kTickRate : 0.0f;
    c.appliedTick = s.tick;
    c.appliedOnce = true;

    gameplay::PlayerState player = simulation.Player();
    const float walked = HorizontalDistance(player.position, s.local.position);
    const bool walking = dt > 0.0f && walked <= kMaxWalkSpeed * dt;
    player.horizontalSpeed = walking ? walked / dt : 0.0f;
    if (walking) player.distanceTravelled += walked;
    player.position = s.local.position;
    player.health = s.local.health;
    player.dead = s.local.dead;
    player.crouching = s.local.crouching;
    player.onlineValue = s.local.team;
    player.kills = s.local.kills;
    player.deaths = s.local.deaths;
    player.deathsByBots = s.local.deaths;
    player.weaponIndex = s.local.weapon;
    player.verticalVelocity = 0.0f;
    player.grounded = true;
    player.respawnTimer = 0.0f;

    gameplay::WeaponState weapon = simulation.Weapon();
    weapon.magazine = s.local.magazine;
    weapon.reserve = s.local.reserve;
    weapon.reloading = s.local.reloading;
    weapon.reloadTimer = 0.0f;
    weapon.cooldown = 0.0f;
    weapon.fireMode = s.local.fireMode == 1 ? gameplay::FireMode::SemiAutomatic : gameplay::FireMode::Automatic;

    const std::vector<gameplay::Bot>& previous = simulation.Bots();
    std::vector<gameplay::Bot> others;
    others.reserve(static_cast<std::size_t>(s.count));
    for (int i = 0; i < s.count; ++i) {
        const proto::RemoteRecord& r = s.remotes[i];
        gameplay::Bot bot;
        const auto before = std::find_if(previous.begin(), previous.end(),
                                         [&](const gameplay::Bot& b) { return b.id == r.id; });
        bot.state = r.dead ? gameplay::BotState::AwaitingRespawn : gameplay::BotState::Patrol;
        if (before != previous.end()) {
            const float moved = HorizontalDistance(before->position, r.position);
            const bool walks = dt > 0.0f && moved <= kMaxWalkSpeed * dt;
            bot.horizontalSpeed = walks ? moved / dt : 0.0f;
            bot.distanceTravelled = before->distanceTravelled + (walks ? moved : 0.0f);
            bot.stateTimer = before->state == bot.state ? before->stateTimer + dt : 0.0f;
        }
        bot.name.assign(r.name.View());
        bot.shots = static_cast<std::int32_t>(r.shots);  // read back as an unsigned count
        bot.kills = r.kills;
        bot.deaths = r.deaths;
        bot.weaponIndex = r.weapon;
        bot.team = r.team;
        bot.id = r.id;
        bot.position = r.position;
        bot.spawnPosition = r.position;
        bot.stuckCheckPosition = r.position;
        bot.yaw = r.yaw;
        bot.health = r.health;
        others.push_back(std::move(bot));
    }
    simulation.ApplyOnlineSnapshot(player, weapon, std::move(others));
    snapshotApplied = true;
}

void MatchClient::Send(const gameplay::TrainingSimulation& simulation, const gameplay::InputState& input, bool fire,
                       bool reload, Clock::time_point now) {
    Connection& c = *connection_;
    char* buffer = c.sendBuffer.data();
    const std::size_t capacity = c.sendBuffer.size();

    if (!connected_) {
        if (now >= c.nextHelloAt) {
            proto::DatagramWriter hello(buffer, capacity, "HELLO");
            hello.Nonce(c.nonce).Text(c.joinKey).Text(c.modeKey).Integer(c.map).Text(wireName_);
            c.Send(hello.Finish());
            if (!c.helloSent) {
                c.helloSent = true;
                c.lastAccepted = now;
            }
            nameDirty_ = false;
            c.nextHelloAt = now + kHelloInterval;
        }
        return;
    }

    if (now >= c.nextInputAt) {
        std::uint32_t flags = 0;
        if (input.forward) flags |= proto::kForward;
        if (input.back) flags |= proto::kBack;
        if (input.left) flags |= proto::kLeft;
        if (input.right) flags |= proto::kRight;
        if (input.jump) flags |= proto::kJump;
        if (input.crouch) flags |= proto::kCrouch;
        if (input.sprint) flags |= proto::kSprint;
        if (fire) flags |= proto::kFire;
        if (reload) flags |= proto::kReload;
        const gameplay::PlayerState& player = simulation.Player();
        const float pitch = std::isfinite(player.pitch) ? std::clamp(player.pitch, -88.0f, 88.0f) : 0.0f;
        proto::DatagramWriter datagram(buffer, capacity, "INPUT");
        datagram.Integer(playerId_).Integer(inputSerial_ + 1).Integer(flags).Decimal(WrapYaw(player.yaw)).Decimal(pitch);
        c.Send(datagram.Finish());
        ++inputSerial_;
        // Keep the cadence, but after a stall start afresh instead of sending a burst.
        c.nextInputAt += kInputInterval;
        if (c.nextInputAt <= now) c.nextInputAt = now + kInputInterval;
    }

    if (nameDirty_ && !wireName_.empty()) {
        proto::DatagramWriter datagram(buffer, capacity, "NAME");
        datagram.Integer(playerId_).Text(wireName_);
        c.Send(datagram.Finish());
        nameDirty_ = false;
    }

    if (identity_.valid && !economy_.authenticated && now >= c.nextAuthAt) {
        proto::DatagramWriter datagram(buffer, capacity, "AUTH");
        datagram.Integer(playerId_).Text(identity_.profileId).Text(identity_.token);
        c.Send(datagram.Finish());
        SecureZeroMemory(buffer, capacity);  // the token stays only in the identity
        c.nextAuthAt = now + kAuthInterval;
    }

    if (pendingPurchase_ >= 0 && now >= c.nextPurchaseAt) {
        proto::DatagramWriter datagram(buffer, capacity, "BUY");
        datagram.Integer(playerId_).Integer(purchaseSerial_).Integer(pendingPurchase_);
        c.Send(datagram.Finish());
        c.nextPurchaseAt = now + kPurchaseInterval;
    }
}

void MatchClient::Buy(int item) {
    if (pendingPurchase_ >= 0) return;
    if (!economy_.authenticated) {
        economy_.message = "PROFILE_REQUIRED";
        return;
    }
    if (item < 0 || item > 2) return;
    pendingPurchase_ = item;
    ++purchaseSerial_;
    economy_.message = "PENDING";
    if (connection_) connection_->nextPurchaseAt = Now();
}

void MatchClient::SetDisplayName(std::wstring_view name) {
    std::string wire = proto::WireDisplayName(name);
    if (wire.empty()) return;
    if (wire != wireName_) nameDirty_ = true;
    wireName_ = std::move(wire);
}

void MatchClient::SetIdentity(MatchIdentity identity) {
    const bool usable = identity.valid && proto::ValidCredentialText(identity.profileId) &&
                        proto::ValidCredentialText(identity.token);
    if (!usable) identity.Wipe();
    identity_ = std::move(identity);
    identityFailed_ = !usable;
    if (identityFailed_ && !economy_.authenticated && pendingPurchase_ < 0) economy_.message = "PROFILE_UNAVAILABLE";
    if (connection_) connection_->nextAuthAt = Now();
}

std::string MatchClient::FetchStatus() { return FetchMatchStatus(ConfiguredMatchServiceUrl()); }

}  // namespace tarvo::online
