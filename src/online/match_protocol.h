#pragma once
// TARV1, the datagram protocol of the online test match. This comment is its one
// description; the client below and any server follow it.
//
// Transport: UDP, one message per datagram, at most kMaxDatagramBytes bytes. A
// message is printable text: fields separated by '|', the first field the tag
// "TARV1", the second the message type. No field holds '|' or a control byte
// (below 0x20, or 0x7F); only name fields hold bytes of 0x80 and above (UTF-8).
//   integer  decimal digits, a leading '-' only where a range below allows it,
//            at most 10 digits
//   decimal  [-]digits[.digits], at most 6 digits on each side, no exponent
//   flag     "0" or "1"
//   nonce    16 lower-case hex digits, drawn by the client for each join
//   name     strict UTF-8 of at most 20 UTF-16 units, no control characters
//   serial   unsigned 32-bit counter; "newer" compares modulo 2^32
//
// Client to server:
//   TARV1|HELLO|nonce|joinKey|modeKey|map|name      join; repeated every 250 ms until
//                                                     WELCOME or FULL answers it
//   TARV1|INPUT|playerId|serial|flags|yaw|pitch     at most 30 a second; flags is an
//                                                     integer of the InputFlag bits, yaw
//                                                     0..360 and pitch -88..88 degrees
//   TARV1|NAME|playerId|name                        the display name changed
//   TARV1|AUTH|playerId|profileId|token             the match credential; repeated every
//                                                     500 ms until ECON says authenticated
//   TARV1|BUY|playerId|serial|item                  buy arsenal item 0..2; repeated every
//                                                     250 ms until ECON acknowledges serial
//   TARV1|LEAVE|playerId                            the player leaves the match
//   joinKey: 24..128 bytes of 0x21..0x7E; modeKey: 1..12 of [a-z0-9]; map 0..2.
//
// Server to client (30 ticks a second; a client drops anything out of range, whole):
//   TARV1|WELCOME|nonce|playerId                    playerId 1..65535; answers HELLO
//   TARV1|FULL|nonce                                the room is full; answers HELLO
//   TARV1|SNAP|tick|<local>|count|<remote>*count    tick is a serial; count 0..15
//     local:  x|y|z|health|dead|crouching|team|kills|deaths|weapon|magazine|reserve|
//             reloading|fireMode
//     remote: id|team|weapon|kills|deaths|shots|health|dead|x|y|z|yaw|name
//   TARV1|REPORT|serial|mode|map|team|cyanScore|amberScore|clock|roundState|
//                roundWinner|roundNumber|matchOver|ffaFigure|point|pointOwner|
//                pointProgress|localShots|shotResets|playerId
//   TARV1|ECON|serial|coins|ownedMask|selected|authenticated|purchaseAck|message
//   Ranges: x and z decimal -64..64, y -16..48; health 0..1000; yaw -720..720;
//   team, pointOwner 0..2; weapon, selected 0..2; kills, deaths 0..99999; shots,
//   localShots, shotResets, purchaseAck serials; magazine 0..200; reserve 0..9999;
//   fireMode 0..1; id 1..65535, unique within a SNAP; mode 0..6; map 0..2;
//   scores 0..99999; clock 0..720; roundState 0..2; roundWinner 0..65535;
//   roundNumber 0..999; matchOver flag; ffaFigure -99999..99999; point 0..25;
//   pointProgress -1..1; coins 0..9999999; ownedMask 1..7 holding the selected
//   weapon's bit; message 1..24 of [A-Z_] (a shop status code such as "READY").
//   A SNAP, REPORT or ECON whose serial is not newer than the newest accepted of its
//   type, or more than kMaxSerialStep ahead of it, is dropped: a restarted server
//   falls silent (the client times out) instead of a damaged serial freezing it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "gameplay/vec3.h"

namespace tarvo::online::protocol {

inline constexpr std::string_view kTag = "TARV1";
inline constexpr std::size_t kMaxDatagramBytes = 4096;
inline constexpr int kMaxRemotePlayers = 15;
inline constexpr int kTickRate = 30;
inline constexpr std::size_t kMaxNameUnits = 20;
inline constexpr std::size_t kMinJoinKeyBytes = 24;
inline constexpr std::size_t kMaxJoinKeyBytes = 128;
inline constexpr std::size_t kMaxModeKeyBytes = 12;
inline constexpr std::size_t kMaxCredentialBytes = 256;

enum InputFlag : std::uint32_t {
    kForward = 1u << 0,
    kBack = 1u << 1,
    kLeft = 1u << 2,
    kRight = 1u << 3,
    kJump = 1u << 4,
    kCrouch = 1u << 5,
    kSprint = 1u << 6,
    kFire = 1u << 7,
    kReload = 1u << 8,
};

// A received name, already decoded to UTF-16 (no allocation while parsing).
struct WireName {
    std::array<wchar_t, kMaxNameUnits> units{};
    std::uint8_t length = 0;
    std::wstring_view View() const { return {units.data(), length}; }
};

struct LocalRecord {
    gameplay::Vec3 position{};
    float health = 0.0f;
    bool dead = false;
    bool crouching = false;
    std::int32_t team = 0;
    std::int32_t kills = 0;
    std::int32_t deaths = 0;
    std::int32_t weapon = 0;
    std::int32_t magazine = 0;
    std::int32_t reserve = 0;
    bool reloading = false;
    std::uint32_t fireMode = 0;
};

struct RemoteRecord {
    std::int32_t id = 0;
    std::int32_t team = 0;
    std::int32_t weapon = 0;
    std::int32_t kills = 0;
    std::int32_t deaths = 0;
    std::uint32_t shots = 0;
    float health = 0.0f;
    bool dead = false;
    gameplay::Vec3 position{};
    float yaw = 0.0f;
    WireName name;
};

struct Snapshot {
    std::uint32_t tick = 0;
    LocalRecord local;
    int count = 0;
    std::array<RemoteRecord, kMaxRemotePlayers> remotes{};
};

struct Report {
    std::uint32_t serial = 0;
    std::array<std::int32_t, 13> words{};  // mode, map, team, cyan, amber, clock, state, winner, round,
                                           // matchOver, ffaFigure, point, pointOwner
    float pointProgress = 0.0f;
    std::uint32_t localShots = 0;
    std::uint32_t shotResets = 0;
    std::int32_t playerId = 0;
};

struct EconomyRecord {
    std::uint32_t serial = 0;
    std::int32_t coins = 0;
    std::uint32_t ownedMask = 1;
    std::uint32_t selected = 0;
    bool authenticated = false;
    std::uint32_t purchaseAck = 0;
    std::array<char, 24> message{};
    std::uint8_t messageLength = 0;
    std::string_view Message() const { return {message.data(), messageLength}; }
};

enum class ServerKind : std::uint8_t { Invalid, Welcome, Full, Snapshot, Report, Economy };

// One decoded server datagram; only the member of `kind` is filled.
struct ServerDatagram {
    ServerKind kind = ServerKind::Invalid;
    std::uint64_t nonce = 0;     // Welcome, Full
    std::int32_t playerId = 0;   // Welcome
    Snapshot snapshot;
    Report report;
    EconomyRecord economy;
};

// Checks every field of a server datagram against the rules above. Invalid (and
// `out` partly written) for anything else; never allocates or throws.
ServerKind ParseServerDatagram(std::string_view bytes, ServerDatagram& out);

// About half an hour of ticks.
inline constexpr std::uint32_t kMaxSerialStep = 65536;

// True when `candidate` is newer than `current` modulo 2^32, by at most kMaxSerialStep.
constexpr bool SerialNewer(std::uint32_t candidate, std::uint32_t current) {
    const std::uint32_t step = candidate - current;
    return step != 0 && step <= kMaxSerialStep;
}

// Strict UTF-8 to UTF-16 of at most `capacity` units: no overlong forms,
// surrogates, values above U+10FFFF or control characters. False otherwise.
bool DecodeName(std::string_view bytes, wchar_t* out, std::size_t capacity, std::size_t& length);

bool ValidJoinKey(std::string_view key);
bool ValidModeKey(std::string_view key);
// Profile ids and tokens of the match credential: 1..256 of [A-Za-z0-9._~-].
bool ValidCredentialText(std::string_view text);

// Writes client datagrams into a caller's buffer; Finish() is empty when the
// message did not fit.
class DatagramWriter {
public:
    DatagramWriter(char* buffer, std::size_t capacity, std::string_view type);
    DatagramWriter& Text(std::string_view field);  // the caller keeps '|' and control bytes out
    DatagramWriter& Integer(std::int64_t value);
    DatagramWriter& Decimal(float value);          // two decimals
    DatagramWriter& Nonce(std::uint64_t value);
    std::string_view Finish() const;

private:
    void Append(std::string_view bytes);
    char* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
    bool overflow_ = false;
};

// A display name made safe for the wire: UTF-16 to UTF-8, at most 20 units
// without splitting a surrogate pair, '|' and control characters replaced by '_'.
// Empty when nothing usable is left.
std::string WireDisplayName(std::wstring_view name);

}  // namespace tarvo::online::protocol
