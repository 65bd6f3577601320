#include "support/fake_match_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace tarvo::testing {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kPrices[3] = {0, 300, 600};
constexpr int kMagazines[3] = {30, 32, 12};
constexpr float kShotIntervals[3] = {0.111f, 0.071f, 0.333f};
constexpr const char* kModeKeys[7] = {"tdm4", "tdm6", "duo", "duel", "core", "training", "ffa"};

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        fields.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) return fields;
        start = bar + 1;
    }
}

bool ToInt(const std::string& text, long long& value) {
    if (text.empty() || text.size() > 11) return false;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return end && *end == '\0';
}

std::string Fixed(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

int ModeIndex(const std::string& key) {
    for (int i = 0; i < 7; ++i) {
        if (key == kModeKeys[i]) return i;
    }
    return 6;
}

}  // namespace

FakeMatchServer::FakeMatchServer(FakeMatchOptions options)
    : options_(std::move(options)), socket_(INVALID_SOCKET), nextId_(options_.firstPlayerId) {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(s);
        return;
    }
    socket_ = s;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

FakeMatchServer::~FakeMatchServer() {
    Stop();
    WSACleanup();
}

void FakeMatchServer::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    if (socket_ != INVALID_SOCKET) {
        closesocket(static_cast<SOCKET>(socket_));
        socket_ = INVALID_SOCKET;
    }
}

void FakeMatchServer::SetTicking(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    ticking_ = on;
}

void FakeMatchServer::SetRemotePlayers(std::vector<FakeRemotePlayer> players) {
    std::lock_guard<std::mutex> lock(mutex_);
    remotes_ = std::move(players);
}

bool FakeMatchServer::Inject(std::string_view datagram) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (lastAddress_.empty() || socket_ == INVALID_SOCKET) return false;
    return sendto(static_cast<SOCKET>(socket_), datagram.data(), static_cast<int>(datagram.size()), 0,
                  reinterpret_cast<const sockaddr*>(lastAddress_.data()), static_cast<int>(lastAddress_.size())) >= 0;
}

std::vector<FakeMatchPlayer> FakeMatchServer::Players() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return players_;
}

std::vector<std::string> FakeMatchServer::Received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

std::size_t FakeMatchServer::CountReceived(std::string_view type) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string prefix = "TARV1|" + std::string(type) + "|";
    return static_cast<std::size_t>(std::count_if(received_.begin(), received_.end(), [&](const std::string& d) {
        return d.rfind(prefix, 0) == 0 || d == prefix.substr(0, prefix.size() - 1);
    }));
}

void FakeMatchServer::Serve() {
    using Clock = std::chrono::steady_clock;
    const auto interval = std::chrono::microseconds(33333);
    Clock::time_point nextTick = Clock::now() + interval;
    std::string buffer(65536, '\0');
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_) return;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(static_cast<SOCKET>(socket_), &readable);
        timeval wait{0, 5000};
        if (select(0, &readable, nullptr, nullptr, &wait) > 0) {
            sockaddr_in from{};
            int fromLength = sizeof from;
            const int n = recvfrom(static_cast<SOCKET>(socket_), buffer.data(), static_cast<int>(buffer.size()), 0,
                                   reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (n > 0) Handle(buffer.substr(0, static_cast<std::size_t>(n)), &from, fromLength);
        }
        if (Clock::now() >= nextTick) {
            nextTick += interval;
            Tick(1.0f / 30.0f);
        }
    }
}

void FakeMatchServer::SendTo(const FakeMatchPlayer& player, std::string_view datagram) {
    const auto at = static_cast<std::size_t>(&player - players_.data());
    const std::string& address = addresses_[at];
    sendto(static_cast<SOCKET>(socket_), datagram.data(), static_cast<int>(datagram.size()), 0,
           reinterpret_cast<const sockaddr*>(address.data()), static_cast<int>(address.size()));
}

void FakeMatchServer::Handle(const std::string& datagram, const void* from, int fromLength) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (received_.size() < 50000) received_.push_back(datagram);
    const std::vector<std::string> f = Split(datagram);
    if (f.size() < 3 || f[0] != "TARV1") return;
    const std::string address(static_cast<const char*>(from), static_cast<std::size_t>(fromLength));
    const std::string& type = f[1];

    if (type == "HELLO") {
        long long map = 0;
        if (f.size() != 7 || f[3] != options_.joinKey || !ToInt(f[5], map)) return;
        lastAddress_ = address;
        if (!options_.answerHellos) return;
        for (std::size_t i = 0; i < players_.size(); ++i) {
            if (players_[i].nonce == f[2] && !players_[i].left) {
                SendTo(players_[i], "TARV1|WELCOME|" + f[2] + "|" + std::to_string(players_[i].id));
                return;
            }
        }
        const auto joined = std::count_if(players_.begin(), players_.end(), [](const auto& p) { return !p.left; });
        if (joined >= options_.capacity) {
            const std::string full = "TARV1|FULL|" + f[2];
            sendto(static_cast<SOCKET>(socket_), full.data(), static_cast<int>(full.size()), 0,
                   static_cast<const sockaddr*>(from), fromLength);
            return;
        }
        FakeMatchPlayer player;
        player.id = nextId_++;
        player.nonce = f[2];
        player.modeKey = f[4];
        player.map = static_cast<int>(map);
        player.name = f[6];
        player.team = options_.team;
        player.coins = options_.startCoins;
        players_.push_back(player);
        addresses_.push_back(address);
        SendTo(players_.back(), "TARV1|WELCOME|" + f[2] + "|" + std::to_string(player.id));
        return;
    }

    long long id = 0;
    if (!ToInt(f[2], id)) return;
    auto player = std::find_if(players_.begin(), players_.end(),
                               [&](const FakeMatchPlayer& p) { return p.id == id && !p.left; });
    if (player == players_.end()) return;
    FakeMatchPlayer& p = *player;

    if (type == "INPUT" && f.size() == 7) {
        long long serial = 0, flags = 0;
        if (!ToInt(f[3], serial) || !ToInt(f[4], flags)) return;
        p.inputSerial = static_cast<std::uint32_t>(serial);
        p.flags = static_cast<std::uint32_t>(flags);
        p.yaw = std::strtof(f[5].c_str(), nullptr);
        p.pitch = std::strtof(f[6].c_str(), nullptr);
        ++p.inputs;
        p.crouching = (p.flags & 32u) != 0;
        if (p.flags & 128u) {
            ++p.fireInputs;
            if (!p.dead && !p.reloading && p.cooldown <= 0.0f && p.magazine > 0) {
                --p.magazine;
                ++p.shots;
                p.cooldown = kShotIntervals[p.weapon];
            }
        }
        if ((p.flags & 256u) && !p.reloading && p.reserve > 0 && p.magazine < kMagazines[p.weapon]) {
            ++p.reloadInputs;
            p.reloading = true;
            p.reloadLeft = 0.5f;
        }
    } else if (type == "NAME" && f.size() == 4) {
        p.name = f[3];
    } else if (type == "AUTH" && f.size() == 5) {
        const auto known = options_.credentials.find(f[3]);
        if (known != options_.credentials.end() && known->second == f[4]) {
            p.authenticated = true;
            p.profileId = f[3];
            p.message = "READY";
        }
    } else if (type == "BUY" && f.size() == 5) {
        long long serial = 0, item = 0;
        if (!ToInt(f[3], serial) || !ToInt(f[4], item) || item < 0 || item > 2) return;
        const auto s = static_cast<std::uint32_t>(serial);
        if (static_cast<std::int32_t>(s - p.purchaseAck) <= 0) return;  // seen already
        p.purchaseAck = s;
        const auto bit = 1u << item;
        if (!p.authenticated) {
            p.message = "PROFILE_REQUIRED";
            return;
        }
        if (!(p.owned & bit)) {
            if (p.coins < kPrices[item]) {
                p.message = "NOT_ENOUGH_COINS";
                return;
            }
            p.coins -= kPrices[item];
            p.owned |= bit;
        }
        p.selected = static_cast<std::uint32_t>(item);
        p.weapon = static_cast<int>(item);
        p.magazine = kMagazines[item];
        p.reloading = false;
        ++p.shotResets;
        ++p.purchases;
        p.message = "EQUIPPED";
    } else if (type == "LEAVE" && f.size() == 3) {
        p.left = true;
    }
}

void FakeMatchServer::Tick(float dt) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    ++tick_;
    for (FakeMatchPlayer& p : players_) {
        if (p.left) continue;
        if (p.cooldown > 0.0f) p.cooldown -= dt;
        if (p.reloading) {
            p.reloadLeft -= dt;
            if (p.reloadLeft <= 0.0f) {
                const int moved = std::min(p.reserve, kMagazines[p.weapon] - p.magazine);
                p.magazine += moved;
                p.reserve -= moved;
                p.reloading = false;
            }
        }
        if (!p.dead) {
            const float yaw = p.yaw * kPi / 180.0f;
            const float speed = (p.flags & 64u) ? 6.5f : 4.5f;
            float forward = 0.0f, right = 0.0f;
            if (p.flags & 1u) forward += 1.0f;
            if (p.flags & 2u) forward -= 1.0f;
            if (p.flags & 8u) right += 1.0f;
            if (p.flags & 4u) right -= 1.0f;
            p.x += (std::sin(yaw) * forward + std::cos(yaw) * right) * speed * dt;
            p.z += (std::cos(yaw) * forward - std::sin(yaw) * right) * speed * dt;
            p.x = std::clamp(p.x, -30.0f, 30.0f);
            p.z = std::clamp(p.z, -40.0f, 40.0f);
        }
    }
    if (!ticking_) return;
    for (FakeMatchPlayer& p : players_) {
        if (p.left) continue;
        SendTo(p, Snapshot(p));
        SendTo(p, Report(p));
        SendTo(p, Economy(p));
    }
}

std::string FakeMatchServer::Snapshot(const FakeMatchPlayer& p) const {
    std::string s = "TARV1|SNAP|" + std::to_string(tick_);
    s += "|" + Fixed(p.x) + "|" + Fixed(p.y) + "|" + Fixed(p.z) + "|" + Fixed(p.health) + "|" +
         (p.dead ? "1" : "0") + "|" + (p.crouching ? "1" : "0") + "|" + std::to_string(p.team) + "|" +
         std::to_string(p.kills) + "|" + std::to_string(p.deaths) + "|" + std::to_string(p.weapon) + "|" +
         std::to_string(p.magazine) + "|" + std::to_string(p.reserve) + "|" + (p.reloading ? "1" : "0") + "|0";
    // The other joined clients are remote players too.
    std::vector<std::string> others;
    for (const FakeMatchPlayer& o : players_) {
        if (o.left || o.id == p.id) continue;
        others.push_back(std::to_string(o.id) + "|" + std::to_string(o.team) + "|" + std::to_string(o.weapon) + "|" +
                         std::to_string(o.kills) + "|" + std::to_string(o.deaths) + "|" + std::to_string(o.shots) +
                         "|" + Fixed(o.health) + "|" + (o.dead ? "1" : "0") + "|" + Fixed(o.x) + "|" + Fixed(o.y) +
                         "|" + Fixed(o.z) + "|" + Fixed(std::fmod(o.yaw, 360.0f)) + "|" + o.name);
    }
    for (const FakeRemotePlayer& r : remotes_) {
        others.push_back(std::to_string(r.id) + "|" + std::to_string(r.team) + "|" + std::to_string(r.weapon) + "|" +
                         std::to_string(r.kills) + "|" + std::to_string(r.deaths) + "|" + std::to_string(r.shots) +
                         "|" + Fixed(r.health) + "|" + (r.dead ? "1" : "0") + "|" + Fixed(r.x) + "|" + Fixed(r.y) +
                         "|" + Fixed(r.z) + "|" + Fixed(r.yaw) + "|" + r.name);
    }
    if (others.size() > 15) others.resize(15);
    s += "|" + std::to_string(others.size());
    for (const std::string& o : others) s += "|" + o;
    return s;
}

std::string FakeMatchServer::Report(const FakeMatchPlayer& p) const {
    const int mode = ModeIndex(p.modeKey);
    int cyan = 0, amber = 0, third = 0;
    if (mode == 6) {
        int leader = p.kills;
        for (const FakeRemotePlayer& r : remotes_) leader = std::max(leader, r.kills);
        cyan = leader;
        amber = p.kills;
        third = static_cast<int>(remotes_.size()) + 1;
    } else {
        for (const FakeMatchPlayer& o : players_) (o.team == 1 ? cyan : amber) += o.left ? 0 : o.kills;
        for (const FakeRemotePlayer& r : remotes_) (r.team == 1 ? cyan : amber) += r.kills;
    }
    const int point = 0, owner = 0;
    char text[256];
    std::snprintf(text, sizeof text, "TARV1|REPORT|%u|%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|0.00|%u|%u|%d", tick_,
                  mode, p.map, p.team, cyan, amber, options_.clockSeconds, options_.roundState, 0,
                  options_.roundNumber, 0, third, point, owner, p.shots, p.shotResets, p.id);
    return text;
}

std::string FakeMatchServer::Economy(const FakeMatchPlayer& p) const {
    char text[160];
    std::snprintf(text, sizeof text, "TARV1|ECON|%u|%d|%u|%u|%d|%u|%s", tick_, p.coins, p.owned, p.selected,
                  p.authenticated ? 1 : 0, p.purchaseAck, p.message.c_str());
    return text;
}

}  // namespace tarvo::testing
