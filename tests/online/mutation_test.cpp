// Seeded corruption of valid server datagrams: the parser and a connected client
// take hundreds of thousands of them without a crash, without allocating while
// parsing, and without a value outside the protocol's ranges reaching the match
// state or the simulation.
#include <gtest/gtest.h>

// The replacement operators below pair malloc with free; GCC cannot see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <random>
#include <set>

#include "client_harness.h"
#include "online/match_protocol.h"
#include "online_test_support.h"

namespace {
std::atomic<bool> gCounting{false};
std::atomic<std::uint64_t> gAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
    if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tarvo::online::test {
namespace {

namespace proto = online::protocol;

std::vector<std::string> Corpus() {
    Snap snap;
    snap.tick = "77";
    snap.local.health = "64.50";
    snap.remotes = {Remote(40, "ada"), Remote(41, "\xD0\x9E\xD0\xBB\xD1\x8F"), Remote(42, "\xF0\x9F\x98\x80 x")};
    ReportFields report;
    report.serial = "77";
    report.values[0] = "4";
    return {"TARV1|WELCOME|00000000000000ff|7", "TARV1|FULL|00000000000000ff", snap.Text(), ReportText(report),
            Econ(77, 250, 3, 1, 1, 2, "EQUIPPED")};
}

// One of several kinds of damage, chosen by the generator.
std::string Mutate(const std::string& original, std::mt19937& random) {
    static const char* const kNasty[] = {"",     "-",     "nan",     "inf",      "1e9",   "-0",    "4294967296",
                                         "99999999999", "0x10", "1.",   ".5",      "\xFF",  "\xC0\x80", "|",
                                         "64.000001", "-720.5", "65535", "2147483648", " 1", "1 "};
    std::string text = original;
    std::uniform_int_distribution<int> kind(0, 9);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const int rounds = 1 + static_cast<int>(pick(3));
    for (int r = 0; r < rounds && !text.empty(); ++r) {
        switch (kind(random)) {
            case 0:  // flip one bit
                text[pick(text.size())] ^= static_cast<char>(1 << pick(8));
                break;
            case 1:  // any byte
                text[pick(text.size())] = static_cast<char>(pick(256));
                break;
            case 2:  // insert bytes
                text.insert(pick(text.size() + 1), std::string(1 + pick(4), static_cast<char>(pick(256))));
                break;
            case 3:  // cut a range out
            {
                const std::size_t at = pick(text.size());
                text.erase(at, 1 + pick(text.size() - at));
                break;
            }
            case 4:  // truncate
                text.resize(pick(text.size()));
                break;
            case 5:  // replace one field by something nasty
            case 6: {
                std::vector<std::size_t> bars{0};
                for (std::size_t i = 0; i < text.size(); ++i) {
                    if (text[i] == '|') bars.push_back(i + 1);
                }
                const std::size_t start = bars[pick(bars.size())];
                std::size_t end = text.find('|', start);
                if (end == std::string::npos) end = text.size();
                text.replace(start, end - start, kNasty[pick(std::size(kNasty))]);
                break;
            }
            case 7:  // repeat a field
            {
                const std::size_t bar = text.find('|', pick(text.size()));
                if (bar != std::string::npos) {
                    const std::size_t next = text.find('|', bar + 1);
                    text.insert(bar, text.substr(bar, (next == std::string::npos ? text.size() : next) - bar));
                }
                break;
            }
            case 8:  // a digit nudged, which often stays in range
            {
                const std::size_t at = pick(text.size());
                if (text[at] >= '0' && text[at] <= '9') text[at] = static_cast<char>('0' + pick(10));
                break;
            }
            default:  // grow past what a datagram may be
                if (pick(20) == 0) text.append(proto::kMaxDatagramBytes, '7');
                break;
        }
    }
    return text;
}

// Everything a parsed datagram carries is inside the protocol's ranges.
void ExpectInRange(const proto::ServerDatagram& d) {
    switch (d.kind) {
        case proto::ServerKind::Welcome:
            ASSERT_GE(d.playerId, 1);
            ASSERT_LE(d.playerId, 65535);
            break;
        case proto::ServerKind::Snapshot: {
            const proto::Snapshot& s = d.snapshot;
            ASSERT_GE(s.count, 0);
            ASSERT_LE(s.count, proto::kMaxRemotePlayers);
            ASSERT_TRUE(std::isfinite(s.local.position.x) && std::abs(s.local.position.x) <= 64.0f);
            ASSERT_TRUE(s.local.health >= 0.0f && s.local.health <= 1000.0f);
            ASSERT_TRUE(s.local.weapon >= 0 && s.local.weapon <= 2);
            std::set<int> ids;
            for (int i = 0; i < s.count; ++i) {
                const proto::RemoteRecord& r = s.remotes[i];
                ASSERT_TRUE(ids.insert(r.id).second);
                ASSERT_TRUE(r.team >= 0 && r.team <= 2);
                ASSERT_TRUE(std::isfinite(r.yaw) && std::abs(r.yaw) <= 720.0f);
                ASSERT_LE(r.name.length, proto::kMaxNameUnits);
            }
            break;
        }
        case proto::ServerKind::Report:
            ASSERT_TRUE(d.report.words[0] >= 0 && d.report.words[0] <= 6);
            ASSERT_TRUE(d.report.words[5] >= 0 && d.report.words[5] <= 720);
            ASSERT_TRUE(d.report.pointProgress >= -1.0f && d.report.pointProgress <= 1.0f);
            break;
        case proto::ServerKind::Economy:
            ASSERT_TRUE((d.economy.ownedMask >> d.economy.selected) & 1u);
            ASSERT_TRUE(d.economy.messageLength >= 1 && d.economy.messageLength <= 24);
            break;
        default:
            break;
    }
}

TEST(MatchMutation, TwoHundredThousandDamagedDatagramsParseSafelyWithoutAllocating) {
    const std::vector<std::string> corpus = Corpus();
    proto::ServerDatagram d;
    for (const std::string& text : corpus) ASSERT_NE(proto::ParseServerDatagram(text, d), proto::ServerKind::Invalid);

    std::mt19937 random(20240613u);
    std::size_t accepted = 0;
    std::uint64_t allocations = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::string text = Mutate(corpus[static_cast<std::size_t>(i) % corpus.size()], random);
        gAllocations = 0;
        gCounting = true;
        const proto::ServerKind kind = proto::ParseServerDatagram(text, d);
        gCounting = false;
        allocations += gAllocations;
        if (kind != proto::ServerKind::Invalid) {
            ++accepted;
            ExpectInRange(d);
            if (::testing::Test::HasFatalFailure()) {
                ADD_FAILURE() << "accepted: " << text;
                return;
            }
        }
    }
    EXPECT_EQ(allocations, 0u);
    // Some damage stays valid (a digit nudged within range); most must be caught.
    EXPECT_GT(accepted, 100u);
    EXPECT_LT(accepted, 100000u);
}

void ExpectSaneClient(const MatchClient& client, const gameplay::TrainingSimulation& sim) {
    const MatchInfo& info = client.Info();
    EXPECT_TRUE(info.mode >= 0 && info.mode <= 6);
    EXPECT_TRUE(info.map >= 0 && info.map <= 2);
    EXPECT_TRUE(info.localTeam >= 0 && info.localTeam <= 2);
    EXPECT_TRUE(info.roundSeconds >= 0 && info.roundSeconds <= 720);
    EXPECT_TRUE(info.roundState >= 0 && info.roundState <= 2);
    EXPECT_TRUE(info.pointProgress >= -1.0f && info.pointProgress <= 1.0f);
    EXPECT_EQ(info.localPlayerId, 7);
    const MatchEconomy& economy = client.Economy();
    EXPECT_TRUE((economy.ownedWeapons >> economy.selectedWeapon) & 1u);
    EXPECT_TRUE(economy.coins >= 0);
    EXPECT_TRUE(!economy.message.empty() && economy.message.size() <= 24);
    const gameplay::PlayerState& player = sim.Player();
    EXPECT_TRUE(std::isfinite(player.position.x) && std::abs(player.position.x) <= 64.0f);
    EXPECT_TRUE(std::isfinite(player.position.y) && player.position.y >= -16.0f && player.position.y <= 48.0f);
    EXPECT_TRUE(std::isfinite(player.position.z) && std::abs(player.position.z) <= 64.0f);
    EXPECT_TRUE(player.weaponIndex >= 0 && player.weaponIndex <= 2);
    EXPECT_TRUE(std::isfinite(player.distanceTravelled));
    EXPECT_TRUE(sim.Weapon().magazine >= 0 && sim.Weapon().magazine <= 200);
    EXPECT_LE(sim.Bots().size(), 15u);
    std::set<int> ids;
    for (const gameplay::Bot& bot : sim.Bots()) {
        EXPECT_TRUE(ids.insert(bot.id).second);
        EXPECT_NE(bot.id, 7);
        EXPECT_LE(bot.name.size(), 20u);
        EXPECT_TRUE(std::isfinite(bot.position.x) && std::isfinite(bot.yaw));
        EXPECT_TRUE(std::isfinite(bot.horizontalSpeed) && bot.horizontalSpeed >= 0.0f);
    }
}

TEST(MatchMutation, AConnectedClientTakesThousandsOfDamagedDatagramsOverUdp) {
    testing::FakeMatchServer server;
    ClientHarness h;
    ASSERT_TRUE(h.Join(server));
    server.SetTicking(false);
    h.PumpFor(60ms);

    // The corpus as the server would send it to this player (id 7), with serials
    // ahead of anything the server sent.
    Snap snap;
    snap.tick = "5000";
    snap.remotes = {Remote(40, "ada"), Remote(41, "\xD0\x9E\xD0\xBB\xD1\x8F"), Remote(42, "x")};
    ReportFields report;
    report.serial = "5000";
    const std::vector<std::string> corpus = {snap.Text(), ReportText(report), Econ(5000, 250, 3, 1, 1, 0, "READY"),
                                             "TARV1|WELCOME|00000000000000ff|7"};
    std::mt19937 random(7u);
    const std::uint64_t receivedBefore = h.client.Traffic().received;
    constexpr int kDatagrams = 6000;
    int sent = 0;
    for (int batch = 0; sent < kDatagrams; ++batch) {
        for (int i = 0; i < 40 && sent < kDatagrams; ++i, ++sent) {
            std::string text = Mutate(corpus[static_cast<std::size_t>(sent) % corpus.size()], random);
            if (sent % 500 == 0) text.assign(60000, 'T');  // far past the datagram limit
            if (text.empty()) text = "T";
            ASSERT_TRUE(server.Inject(text));
        }
        h.client.Pump(h.simulation, h.input, false, false);
        Sleep(1);
        h.client.Pump(h.simulation, h.input, false, false);
        ExpectSaneClient(h.client, h.simulation);
        if (::testing::Test::HasFailure()) return;
    }
    h.PumpFor(100ms);
    ExpectSaneClient(h.client, h.simulation);
    const MatchTraffic& traffic = h.client.Traffic();
    EXPECT_GT(traffic.received - receivedBefore, static_cast<std::uint64_t>(kDatagrams) / 2)
        << "most of the flood reached the client";
    EXPECT_GT(traffic.dropped, static_cast<std::uint64_t>(kDatagrams) / 4);
    EXPECT_TRUE(h.client.Error().empty()) << "no damaged datagram can claim a full room";
    EXPECT_TRUE(h.client.Connected());

    // Still in the match: reports counting on from the corpus are taken again (the
    // newest accepted serial lies somewhere within one serial step of the corpus).
    for (std::uint32_t serial = 5000 + 4096; serial < 5000 + 2 * proto::kMaxSerialStep; serial += 4096) {
        ReportFields fresh;
        fresh.serial = std::to_string(serial);
        fresh.values[3] = "42";
        fresh.values[5] = "1";
        ASSERT_TRUE(server.Inject(ReportText(fresh)));
    }
    EXPECT_TRUE(h.PumpUntil([&] { return h.client.Info().cyanScore == 42 && h.client.Info().roundSeconds == 1; }));
}

}  // namespace
}  // namespace tarvo::online::test
