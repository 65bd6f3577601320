// The TARV1 datagram rules: what the client accepts from a server field by field,
// and what it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "online/match_protocol.h"
#include "online_test_support.h"

namespace tarvo::online::test {
namespace {

namespace proto = online::protocol;

proto::ServerKind Parse(const std::string& text) {
    static proto::ServerDatagram d;
    return proto::ParseServerDatagram(text, d);
}

proto::ServerDatagram Decoded(const std::string& text) {
    proto::ServerDatagram d;
    EXPECT_NE(proto::ParseServerDatagram(text, d), proto::ServerKind::Invalid) << text;
    return d;
}

TEST(MatchProtocol, WelcomeAndFullCarryTheNonceAndAPlayerId) {
    const proto::ServerDatagram d = Decoded("TARV1|WELCOME|00000000000000ff|7");
    EXPECT_EQ(d.kind, proto::ServerKind::Welcome);
    EXPECT_EQ(d.nonce, 0xFFu);
    EXPECT_EQ(d.playerId, 7);
    EXPECT_EQ(Parse("TARV1|FULL|0123456789abcdef"), proto::ServerKind::Full);

    EXPECT_EQ(Parse("TARV1|WELCOME|00000000000000ff|0"), proto::ServerKind::Invalid) << "ids start at 1";
    EXPECT_EQ(Parse("TARV1|WELCOME|00000000000000ff|65536"), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse("TARV1|WELCOME|00000000000000FF|7"), proto::ServerKind::Invalid) << "lower-case hex only";
    EXPECT_EQ(Parse("TARV1|WELCOME|0ff|7"), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse("TARV1|WELCOME|00000000000000ff|7|"), proto::ServerKind::Invalid) << "a trailing field";
    EXPECT_EQ(Parse("TARV1|FULL|0123456789abcdef|x"), proto::ServerKind::Invalid);
}

TEST(MatchProtocol, WrongTagsTypesAndBytesAreRefused) {
    EXPECT_EQ(Parse(""), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse("TARV2|WELCOME|00000000000000ff|7"), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse("tarv1|WELCOME|00000000000000ff|7"), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse("TARV1|welcome|00000000000000ff|7"), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse("TARV1|HELLO|00000000000000ff|7"), proto::ServerKind::Invalid) << "a client message";
    EXPECT_EQ(Parse("TARV1|WELCOME|00000000000000ff|7\n"), proto::ServerKind::Invalid) << "control byte";
    EXPECT_EQ(Parse(std::string("TARV1|WELCOME|00000000000000ff|7\0", 33)), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse("TARV1|WELCOME|00000000000000ff|+7"), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse("TARV1|WELCOME|00000000000000ff| 7"), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse("TARV1"), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse("|||||"), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse(std::string(5000, '|')), proto::ServerKind::Invalid) << "too many fields";
    // Longer than a datagram may be, even when it would otherwise parse.
    EXPECT_EQ(Parse(Econ(1, 0, 1, 0, 1, 0, "READY") + std::string(proto::kMaxDatagramBytes, 'A')),
              proto::ServerKind::Invalid);
}

TEST(MatchProtocol, SnapshotCarriesTheLocalPlayerAndEveryRemotePlayer) {
    Snap snap;
    snap.local.x = "-3.5";
    snap.local.health = "87.25";
    snap.local.magazine = "17";
    snap.local.weapon = "1";
    snap.local.team = "2";
    snap.remotes.push_back(Remote(40, "ada"));
    snap.remotes.push_back(Remote(41, "\xD0\x9E\xD0\xBB\xD1\x8F"));  // "Оля"
    snap.remotes[1].shots = "4294967295";
    snap.remotes[1].dead = "1";
    const proto::ServerDatagram d = Decoded(snap.Text());
    ASSERT_EQ(d.kind, proto::ServerKind::Snapshot);
    const proto::Snapshot& s = d.snapshot;
    EXPECT_EQ(s.tick, 5u);
    EXPECT_FLOAT_EQ(s.local.position.x, -3.5f);
    EXPECT_FLOAT_EQ(s.local.health, 87.25f);
    EXPECT_EQ(s.local.magazine, 17);
    EXPECT_EQ(s.local.weapon, 1);
    EXPECT_EQ(s.local.team, 2);
    ASSERT_EQ(s.count, 2);
    EXPECT_EQ(s.remotes[0].id, 40);
    EXPECT_EQ(s.remotes[0].name.View(), L"ada");
    EXPECT_EQ(s.remotes[1].name.View(), L"\u041E\u043B\u044F");
    EXPECT_EQ(s.remotes[1].shots, 4294967295u);
    EXPECT_TRUE(s.remotes[1].dead);
}

TEST(MatchProtocol, SnapshotFieldsOutOfRangeDropTheWholeSnapshot) {
    const auto withLocal = [](auto edit) {
        Snap snap;
        snap.remotes.push_back(Remote(40, "ada"));
        edit(snap.local);
        return Parse(snap.Text());
    };
    EXPECT_EQ(withLocal([](LocalFields&) {}), proto::ServerKind::Snapshot);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.x = "64"; }), proto::ServerKind::Snapshot);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.x = "64.01"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.y = "-16.5"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.z = "nan"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.z = "1e3"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.z = "1."; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.z = ".5"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.z = "1.1234567"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.health = "-1"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.dead = "2"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.team = "3"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.weapon = "3"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.weapon = "-1"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.magazine = "201"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.kills = "100000"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withLocal([](LocalFields& l) { l.fireMode = "2"; }), proto::ServerKind::Invalid);

    const auto withRemote = [](auto edit) {
        Snap snap;
        snap.remotes.push_back(Remote(40, "ada"));
        edit(snap.remotes[0]);
        return Parse(snap.Text());
    };
    EXPECT_EQ(withRemote([](RemoteFields& r) { r.id = "0"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withRemote([](RemoteFields& r) { r.yaw = "720.01"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withRemote([](RemoteFields& r) { r.shots = "4294967296"; }), proto::ServerKind::Invalid);
    EXPECT_EQ(withRemote([](RemoteFields& r) { r.name = "\xC0\xAF"; }), proto::ServerKind::Invalid) << "overlong";
    EXPECT_EQ(withRemote([](RemoteFields& r) { r.name = "\xED\xA0\x80"; }), proto::ServerKind::Invalid)
        << "an encoded surrogate";
    EXPECT_EQ(withRemote([](RemoteFields& r) { r.name = "ab\xE2\x82"; }), proto::ServerKind::Invalid) << "cut short";
    EXPECT_EQ(withRemote([](RemoteFields& r) { r.name = "\xC2\x85"; }), proto::ServerKind::Invalid) << "C1 control";
    EXPECT_EQ(withRemote([](RemoteFields& r) { r.name = std::string(21, 'x'); }), proto::ServerKind::Invalid);
    EXPECT_EQ(withRemote([](RemoteFields& r) { r.name = std::string(20, 'x'); }), proto::ServerKind::Snapshot);
    EXPECT_EQ(withRemote([](RemoteFields& r) { r.name = ""; }), proto::ServerKind::Snapshot);
    // Ten astral characters are twenty UTF-16 units: fits; eleven do not.
    std::string astral;
    for (int i = 0; i < 10; ++i) astral += "\xF0\x9F\x98\x80";
    EXPECT_EQ(withRemote([&](RemoteFields& r) { r.name = astral; }), proto::ServerKind::Snapshot);
    EXPECT_EQ(withRemote([&](RemoteFields& r) { r.name = astral + "\xF0\x9F\x98\x80"; }), proto::ServerKind::Invalid);
}

TEST(MatchProtocol, SnapshotCountMustMatchTheRecordsAndIdsMustBeUnique) {
    Snap snap;
    for (int i = 0; i < proto::kMaxRemotePlayers; ++i) snap.remotes.push_back(Remote(40 + i, "p"));
    EXPECT_EQ(Parse(snap.Text()), proto::ServerKind::Snapshot);
    snap.remotes.push_back(Remote(99, "p"));
    EXPECT_EQ(Parse(snap.Text()), proto::ServerKind::Invalid) << "sixteen remote players";

    Snap pair;
    pair.remotes = {Remote(40, "a"), Remote(40, "b")};
    EXPECT_EQ(Parse(pair.Text()), proto::ServerKind::Invalid) << "one id twice";

    Snap liar;
    liar.remotes = {Remote(40, "a")};
    liar.countOverride = "2";
    EXPECT_EQ(Parse(liar.Text()), proto::ServerKind::Invalid);
    liar.countOverride = "0";
    EXPECT_EQ(Parse(liar.Text()), proto::ServerKind::Invalid);

    const std::string whole = Snap{}.Text();
    EXPECT_EQ(Parse(whole), proto::ServerKind::Snapshot);
    EXPECT_EQ(Parse(whole.substr(0, whole.rfind('|'))), proto::ServerKind::Invalid) << "truncated";
}

TEST(MatchProtocol, ReportIsCheckedFieldByField) {
    const proto::ServerDatagram d = Decoded(ReportText({}));
    ASSERT_EQ(d.kind, proto::ServerKind::Report);
    EXPECT_EQ(d.report.words[0], 6);
    EXPECT_EQ(d.report.words[5], 300);
    EXPECT_EQ(d.report.playerId, 7);
    EXPECT_FLOAT_EQ(d.report.pointProgress, -0.5f);

    // One field at a time pushed just past its range; the boundary itself passes.
    struct Case {
        int index;
        const char* inside;
        const char* outside;
    };
    const Case cases[] = {{0, "6", "7"},        {1, "2", "3"},          {2, "2", "3"},       {3, "99999", "100000"},
                          {4, "0", "-1"},       {5, "720", "721"},      {6, "2", "3"},       {7, "65535", "65536"},
                          {8, "999", "1000"},   {9, "1", "2"},          {10, "-99999", "-100000"},
                          {11, "25", "26"},     {12, "2", "3"},         {13, "-1", "-1.01"}, {14, "4294967295", "-1"},
                          {15, "0", "4294967296"}, {16, "65535", "0"}};
    for (const Case& c : cases) {
        ReportFields inside;
        inside.values[c.index] = c.inside;
        EXPECT_EQ(Parse(ReportText(inside)), proto::ServerKind::Report) << "field " << c.index << " " << c.inside;
        ReportFields outside;
        outside.values[c.index] = c.outside;
        EXPECT_EQ(Parse(ReportText(outside)), proto::ServerKind::Invalid) << "field " << c.index << " " << c.outside;
    }
}

TEST(MatchProtocol, EconomyNeedsAKnownShapeOfMessageAndAnOwnedSelection) {
    const proto::ServerDatagram d = Decoded(Econ(3, 250, 3, 1, 1, 2, "EQUIPPED"));
    ASSERT_EQ(d.kind, proto::ServerKind::Economy);
    EXPECT_EQ(d.economy.coins, 250);
    EXPECT_EQ(d.economy.ownedMask, 3u);
    EXPECT_EQ(d.economy.selected, 1u);
    EXPECT_TRUE(d.economy.authenticated);
    EXPECT_EQ(d.economy.purchaseAck, 2u);
    EXPECT_EQ(d.economy.Message(), "EQUIPPED");

    EXPECT_EQ(Parse(Econ(3, 250, 1, 1, 1, 2, "EQUIPPED")), proto::ServerKind::Invalid) << "selected but not owned";
    EXPECT_EQ(Parse(Econ(3, 250, 0, 0, 1, 2, "READY")), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse(Econ(3, 250, 8, 0, 1, 2, "READY")), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse(Econ(3, -1, 1, 0, 1, 2, "READY")), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse(Econ(3, 10000000, 1, 0, 1, 2, "READY")), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse(Econ(3, 5, 1, 0, 1, 2, "ready")), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse(Econ(3, 5, 1, 0, 1, 2, "")), proto::ServerKind::Invalid);
    EXPECT_EQ(Parse(Econ(3, 5, 1, 0, 1, 2, std::string(24, 'A'))), proto::ServerKind::Economy);
    EXPECT_EQ(Parse(Econ(3, 5, 1, 0, 1, 2, std::string(25, 'A'))), proto::ServerKind::Invalid);
}

TEST(MatchProtocol, SerialsCompareModuloTwoToTheThirtyTwo) {
    EXPECT_TRUE(proto::SerialNewer(2, 1));
    EXPECT_FALSE(proto::SerialNewer(1, 1));
    EXPECT_FALSE(proto::SerialNewer(1, 2));
    EXPECT_TRUE(proto::SerialNewer(3, 0xFFFFFFFEu)) << "wraps";
    EXPECT_FALSE(proto::SerialNewer(0xFFFFFFFEu, 3));
    EXPECT_TRUE(proto::SerialNewer(100 + proto::kMaxSerialStep, 100));
    EXPECT_FALSE(proto::SerialNewer(101 + proto::kMaxSerialStep, 100)) << "a jump no server makes";
}

TEST(MatchProtocol, WriterFormatsDecimalsWithoutLocaleOrExponentAndRefusesOverflow) {
    char buffer[64];
    proto::DatagramWriter w(buffer, sizeof buffer, "INPUT");
    w.Integer(7).Integer(-12).Decimal(359.996f).Decimal(-0.004f).Decimal(-2.5f).Nonce(0xABCull);
    EXPECT_EQ(w.Finish(), "TARV1|INPUT|7|-12|360.00|0.00|-2.50|0000000000000abc");

    char small[16];
    proto::DatagramWriter tight(small, sizeof small, "HELLO");
    EXPECT_EQ(tight.Finish(), "TARV1|HELLO");
    tight.Text("0123456789");
    EXPECT_TRUE(tight.Finish().empty()) << "a message that does not fit is not sent cut";
}

TEST(MatchProtocol, DisplayNamesAreMadeSafeForTheWire) {
    EXPECT_EQ(proto::WireDisplayName(L"LOCAL_OPERATOR"), "LOCAL_OPERATOR");
    EXPECT_EQ(proto::WireDisplayName(L"a|b\tc"), "a_b_c");
    EXPECT_EQ(proto::WireDisplayName(L"\u041E\u043B\u044F"), "\xD0\x9E\xD0\xBB\xD1\x8F");
    EXPECT_EQ(proto::WireDisplayName(std::wstring(25, L'x')), std::string(20, 'x'));
    // Nineteen units and a pair: the pair would be split at 20, so it is left out.
    std::wstring pairAtEnd(19, L'x');
    pairAtEnd += L"\xD83D\xDE00";
    EXPECT_EQ(proto::WireDisplayName(pairAtEnd), std::string(19, 'x'));
    EXPECT_EQ(proto::WireDisplayName(L"ab\xD83D"), "") << "a lone surrogate cannot be converted";
    EXPECT_EQ(proto::WireDisplayName(L""), "");

    // What the client writes, a server can read back.
    const std::string wire = proto::WireDisplayName(L"\u00E9\U0001F600|x");
    wchar_t units[20];
    std::size_t length = 0;
    ASSERT_TRUE(proto::DecodeName(wire, units, 20, length));
    EXPECT_EQ(std::wstring(units, length), L"\u00E9\U0001F600_x");
}

TEST(MatchProtocol, JoinAndModeKeysTheProtocolCanCarry) {
    EXPECT_TRUE(proto::ValidJoinKey(std::string(24, 'k')));
    EXPECT_FALSE(proto::ValidJoinKey(std::string(23, 'k')));
    EXPECT_TRUE(proto::ValidJoinKey(std::string(128, 'k')));
    EXPECT_FALSE(proto::ValidJoinKey(std::string(129, 'k')));
    EXPECT_FALSE(proto::ValidJoinKey(std::string(23, 'k') + "|"));
    EXPECT_FALSE(proto::ValidJoinKey(std::string(23, 'k') + "\xC3\xA9"));
    EXPECT_TRUE(proto::ValidModeKey("ffa"));
    EXPECT_TRUE(proto::ValidModeKey("abcdefghijkl"));
    EXPECT_FALSE(proto::ValidModeKey("abcdefghijklm"));
    EXPECT_FALSE(proto::ValidModeKey(""));
    EXPECT_FALSE(proto::ValidModeKey("FFA"));
    EXPECT_TRUE(proto::ValidCredentialText("prof-1.a_b~"));
    EXPECT_FALSE(proto::ValidCredentialText("a|b"));
    EXPECT_FALSE(proto::ValidCredentialText(std::string(257, 'a')));
}

}  // namespace
}  // namespace tarvo::online::test
