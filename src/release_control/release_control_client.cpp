#include "release_control/release_control_client.h"

#include <windows.h>

#include <algorithm>
#include <system_error>

#include "auth/secure_storage.h"
#include "common/data_roots.h"
#include "common/file_utils.h"
#include "release_control/command_envelope.h"
#include "release_control/sodium_library.h"
#include "release_control/web_request.h"

namespace tarvo::release_control {

namespace {

// Mixed into the DPAPI blob so no other protected file of the product opens as a key.
constexpr std::string_view kKeyPurpose = "tarvo.release-control.owner-key";
constexpr std::size_t kStoredKeyBytes = kPublicKeyBytes + kSecretKeyBytes;

// The key pair while it is in use; the secret half is zeroed when it goes.
struct OwnerKeyPair {
    PublicKey publicKey{};
    SecretKey secretKey{};

    OwnerKeyPair() = default;
    OwnerKeyPair(const OwnerKeyPair&) = delete;
    OwnerKeyPair& operator=(const OwnerKeyPair&) = delete;
    ~OwnerKeyPair() { SecureZeroMemory(secretKey.data(), secretKey.size()); }
};

void FillInfo(OwnerKeyInfo& info, const PublicKey& publicKey) {
    info.publicKeyHex = HexLower(publicKey.data(), publicKey.size());
    info.fingerprint = Fingerprint(info.publicKeyHex);
}

// The magic, a version byte and a DPAPI blob of 96 key bytes fit many times over.
constexpr std::size_t kMaxKeyFileBytes = 64 * 1024;

// What is on disk where the key belongs.
enum class KeyFile { Missing, Present, Unusable };

// Reads the key file. Unusable, with `message` set, when a file (or something) is there
// that cannot be read: only a key that is certainly absent may be created.
KeyFile ReadKeyFile(const std::filesystem::path& file, std::string& bytes, std::wstring& message) {
    switch (distribution::ReadWholeFile(file, kMaxKeyFileBytes, bytes)) {
        case distribution::FileRead::Read: return KeyFile::Present;
        case distribution::FileRead::Missing: return KeyFile::Missing;
        case distribution::FileRead::TooLarge:
            message = L"The owner key file is too large to be a key file; it was left untouched.";
            return KeyFile::Unusable;
        case distribution::FileRead::Failed: break;
    }
    const DWORD code = GetLastError();
    message = L"The owner key file could not be read (" + distribution::LastErrorMessage(code) +
              L"); no new key was made and the file was left untouched.";
    return KeyFile::Unusable;
}

// Takes the pair out of the key file's bytes. False with `message` when they are unusable.
bool LoadKeyPair(std::string_view bytes, OwnerKeyPair& pair, std::wstring& message) {
    const auto blob = DecodeOwnerKeyFile(bytes);
    if (!blob) {
        message = L"The owner key file is not a TARVRK1 key file; it was left untouched.";
        return false;
    }
    std::string plain;
    auth::WipeOnExit<std::string> wipePlain(plain);
    if (!auth::UnprotectForUser(*blob, kKeyPurpose, plain)) {
        message =
            L"Windows DPAPI could not open the owner key (another user's or a damaged file); it was left "
            L"untouched.";
        return false;
    }
    if (plain.size() != kStoredKeyBytes) {
        message = L"The owner key file holds a key of the wrong size; it was left untouched.";
        return false;
    }
    std::copy_n(reinterpret_cast<const std::uint8_t*>(plain.data()), kPublicKeyBytes, pair.publicKey.begin());
    std::copy_n(reinterpret_cast<const std::uint8_t*>(plain.data()) + kPublicKeyBytes, kSecretKeyBytes,
                pair.secretKey.begin());
    // An Ed25519 secret key ends with its own public key: the two halves must agree.
    if (!std::equal(pair.publicKey.begin(), pair.publicKey.end(), pair.secretKey.begin() + 32)) {
        message = L"The owner key file is inconsistent; it was left untouched.";
        return false;
    }
    return true;
}

bool CreateKeyPair(const std::filesystem::path& file, OwnerKeyPair& pair, std::wstring& message) {
    const SodiumLibrary& sodium = SodiumLibrary::Shared();
    if (!sodium.Available()) {
        message = sodium.Error();
        return false;
    }
    if (!sodium.GenerateKeyPair(pair.publicKey, pair.secretKey)) {
        message = L"libsodium could not generate an owner key.";
        return false;
    }
    std::string plain;
    auth::WipeOnExit<std::string> wipePlain(plain);
    plain.reserve(kStoredKeyBytes);
    plain.append(reinterpret_cast<const char*>(pair.publicKey.data()), kPublicKeyBytes);
    plain.append(reinterpret_cast<const char*>(pair.secretKey.data()), kSecretKeyBytes);
    std::string blob;
    if (!auth::ProtectForUser(plain, kKeyPurpose, blob)) {
        message = L"Windows DPAPI could not protect the owner key.";
        return false;
    }
    std::wstring error;
    if (!distribution::AtomicWriteUtf8(file, EncodeOwnerKeyFile(blob), error)) {
        message = L"The owner key could not be stored: " + error;
        return false;
    }
    return true;
}

// Loads the pair, creating it only when no file exists at all.
OwnerKeyInfo EnsurePair(const std::filesystem::path& file, OwnerKeyPair& pair) {
    OwnerKeyInfo info;
    info.path = file;
    std::string bytes;
    auth::WipeOnExit<std::string> wipeBytes(bytes);
    switch (ReadKeyFile(file, bytes, info.message)) {
        case KeyFile::Unusable: return info;
        case KeyFile::Present:
            if (!LoadKeyPair(bytes, pair, info.message)) return info;
            info.message = L"Owner key loaded.";
            break;
        case KeyFile::Missing:
            if (!CreateKeyPair(file, pair, info.message)) return info;
            info.created = true;
            info.message = L"A new owner key was created and protected for this Windows user.";
            break;
    }
    info.ready = true;
    FillInfo(info, pair.publicKey);
    return info;
}

std::uint64_t UnixSeconds() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr std::uint64_t kEpochOffset = 116444736000000000ull;  // 1601-01-01 to 1970-01-01 in 100 ns
    return ticks > kEpochOffset ? (ticks - kEpochOffset) / 10000000ull : 0;
}

// Signs the payload made by `build` (given the key id, the timestamp and the nonce)
// and posts it in its envelope to `path`.
template <typename BuildPayload>
HttpResult SignAndSend(const std::wstring& baseUrl, std::wstring_view path, std::uint64_t timestamp,
                       const std::wstring& nonce, BuildPayload build) {
    HttpResult result;
    const SodiumLibrary& sodium = SodiumLibrary::Shared();
    if (!sodium.Available()) {
        result.message = sodium.Error();
        return result;
    }
    if (!ParseWebAddress(baseUrl)) {
        result.message = L"The release-control address is not a valid http or https URL.";
        return result;
    }
    OwnerKeyPair pair;
    const OwnerKeyInfo key = EnsurePair(ReleaseControlClient::OwnerKeyPath(), pair);
    if (!key.ready) {
        result.message = key.message;
        return result;
    }
    std::wstring useNonce = nonce;
    if (useNonce.empty()) {
        useNonce = auth::RandomHexToken(16);
        if (useNonce.empty()) {
            result.message = L"No random nonce could be drawn; the command was not sent.";
            return result;
        }
    }
    std::string payload = build(key.publicKeyHex, timestamp ? timestamp : UnixSeconds(), useNonce);
    auth::WipeOnExit<std::string> wipePayload(payload);
    if (payload.empty()) {
        result.message = L"A text of the command is too long or not valid Unicode; the command was not sent.";
        return result;
    }
    Signature signature{};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(payload.data());
    if (!sodium.Sign(std::span<const std::uint8_t>(bytes, payload.size()), pair.secretKey, signature)) {
        result.message = L"libsodium could not sign the command.";
        return result;
    }
    std::string envelope = Envelope(payload, pair.publicKey, signature);
    auth::WipeOnExit<std::string> wipeEnvelope(envelope);
    return SendWebRequest(baseUrl, L"POST", path, envelope);
}

}  // namespace

namespace {

// The whole buffer, so a short password left in the string's inline storage by a
// move goes too.
void WipeCapacity(std::wstring& text) {
    SecureZeroMemory(text.data(), (text.capacity() + 1) * sizeof(wchar_t));
    text.clear();
}

}  // namespace

BackendPrivateConfig::~BackendPrivateConfig() {
    WipeCapacity(databasePassword);
    WipeCapacity(smtpPassword);
}

std::filesystem::path ReleaseControlClient::OwnerKeyPath() {
    return distribution::UserStateRoot() / L"ReleaseControl" / kOwnerKeyFileName;
}

OwnerKeyInfo ReleaseControlClient::EnsureOwnerKey() { return EnsureOwnerKey(OwnerKeyPath()); }

OwnerKeyInfo ReleaseControlClient::EnsureOwnerKey(const std::filesystem::path& keyFile) {
    OwnerKeyPair pair;
    return EnsurePair(keyFile, pair);
}

HttpResult ReleaseControlClient::ServerStatus(const std::wstring& baseUrl) {
    return SendWebRequest(baseUrl, L"GET", L"/control/status", {});
}

HttpResult ReleaseControlClient::SignedCommand(const std::wstring& baseUrl, const std::wstring& action,
                                               const std::wstring& gameRelease, const std::wstring& webRelease,
                                               std::uint64_t timestamp, const std::wstring& nonce) {
    if (!IsReleaseAction(action)) {
        HttpResult refused;
        refused.message = L"Unknown release action; the command was not sent.";
        return refused;
    }
    return SignAndSend(baseUrl, L"/control/release", timestamp, nonce,
                       [&](const std::string& keyId, std::uint64_t time, const std::wstring& useNonce) {
                           return ReleasePayload(keyId, action, gameRelease, webRelease, time, useNonce);
                       });
}

HttpResult ReleaseControlClient::SignedBackendCommand(const std::wstring& baseUrl, const std::wstring& action,
                                                      const BackendPrivateConfig* config, const std::wstring& testEmail,
                                                      std::uint64_t timestamp, const std::wstring& nonce) {
    if (!IsBackendAction(action)) {
        HttpResult refused;
        refused.message = L"Unknown backend action; the command was not sent.";
        return refused;
    }
    return SignAndSend(baseUrl, L"/control/backend", timestamp, nonce,
                       [&](const std::string& keyId, std::uint64_t time, const std::wstring& useNonce) {
                           return BackendPayload(keyId, action, config, testEmail, time, useNonce);
                       });
}

HttpResult ReleaseControlClient::SignedAnnouncement(const std::wstring& baseUrl, const std::wstring& audience,
                                                    const std::wstring& message, std::uint64_t timestamp,
                                                    const std::wstring& nonce) {
    return SignAndSend(baseUrl, L"/control/backend", timestamp, nonce,
                       [&](const std::string& keyId, std::uint64_t time, const std::wstring& useNonce) {
                           return AnnouncementPayload(keyId, audience, message, time, useNonce);
                       });
}

}  // namespace tarvo::release_control
