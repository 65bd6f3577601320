#pragma once
// The wire form of signed commands and the stored form of the owner key, as pure
// functions over bytes so both can be checked without a service or a key store.
//
// A signed command is a UTF-8 JSON payload written from a fixed template, signed as
// it stands (the exact bytes), and sent inside an envelope whose members carry the
// payload, the signer's public key and the signature in Base64:
//   {"envelope":"TARVRC1","publicKey":"<b64>","payload":"<b64>","signature":"<b64>"}
// Base64 keeps the signed bytes intact through any JSON handling on the way.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "release_control/release_control_client.h"
#include "release_control/sodium_library.h"

namespace tarvo::release_control {

inline constexpr std::string_view kEnvelopeTag = "TARVRC1";
inline constexpr std::size_t kMaxCommandTextUnits = 256;  // any one text of a payload

// The four actions the release page sends.
bool IsReleaseAction(std::wstring_view action);
// Backend action words: 1 to 32 of a-z, 0-9 and '-'.
bool IsBackendAction(std::wstring_view action);

// The payloads; empty when a text is not convertible to UTF-8 or longer than
// kMaxCommandTextUnits. `keyId` is the signer's public key in hex.
std::string ReleasePayload(std::string_view keyId, std::wstring_view action, std::wstring_view gameRelease,
                           std::wstring_view webRelease, std::uint64_t timestamp, std::wstring_view nonce);
std::string BackendPayload(std::string_view keyId, std::wstring_view action, const BackendPrivateConfig* config,
                           std::wstring_view testEmail, std::uint64_t timestamp, std::wstring_view nonce);
std::string AnnouncementPayload(std::string_view keyId, std::wstring_view audience, std::wstring_view message,
                                std::uint64_t timestamp, std::wstring_view nonce);

std::string Envelope(std::string_view payload, const PublicKey& publicKey, const Signature& signature);

// JSON string escaping of UTF-8 text: quote, backslash and every byte below 0x20.
std::string JsonEscape(std::string_view utf8);

std::string Base64Encode(std::string_view bytes);
std::optional<std::string> Base64Decode(std::string_view text);  // strict: standard alphabet with padding
std::string HexLower(const std::uint8_t* bytes, std::size_t count);

// The key file: the magic "TARVRK1", a version byte (1), then the DPAPI blob of
// the public key followed by the secret key.
std::string EncodeOwnerKeyFile(std::string_view protectedBlob);
// The protected blob of a well-formed file; empty for a wrong magic or version, or no blob.
std::optional<std::string> DecodeOwnerKeyFile(std::string_view file);

// "ABCD EF01 2345 6789" from the first 16 hex digits.
std::wstring Fingerprint(std::string_view publicKeyHex);

}  // namespace tarvo::release_control
