#include "auth/local_prototype_auth_provider.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <system_error>
#include <utility>

#include "auth/binary_record.h"
#include "auth/device_credential_store.h"
#include "auth/secure_storage.h"
#include "common/data_roots.h"
#include "common/file_utils.h"
#include "common/text_utils.h"
#include "common/time_utils.h"

namespace tarvo::auth {
namespace {

constexpr std::string_view kMagic = "TARVAC02";
constexpr std::uint32_t kVersion = 3;
constexpr std::uint32_t kClearTokenVersion = 2;  // read, then rewritten as version 3
constexpr std::uint32_t kIterations = 120000;
constexpr std::uint32_t kMaxIterations = 10'000'000;  // a larger claim is damage, not a stronger hash
constexpr std::size_t kHashBytes = 32;
constexpr std::size_t kSaltBytes = 16;
constexpr std::size_t kMaxFieldBytes = 8192;
constexpr std::size_t kTokenSaltBytes = 16;
// Hundreds of accounts with every text at its limit; a larger file is damage.
constexpr std::size_t kMaxFileBytes = 16u << 20;

// One account as the file keeps it: the verification token (also the trusted-device secret, which
// device.auth keeps under DPAPI) only as a salted hash, so reading this file gives neither away.
struct StoredAccount {
    LocalAccountRecord record;  // its verificationToken is always empty
    std::vector<std::uint8_t> tokenSalt;
    std::vector<std::uint8_t> tokenHash;  // empty when the account has no token
};

struct AccountsFile {
    std::uint32_t iterations = kIterations;
    std::vector<StoredAccount> accounts;
};

enum class ReadOutcome { Read, Missing, Damaged };

AuthResult Fail(AuthResult::Status status, std::wstring message) {
    AuthResult result;
    result.status = status;
    result.message = std::move(message);
    return result;
}

AuthResult Succeed(LocalAccountRecord account) {
    AuthResult result;
    result.status = AuthResult::Ok;
    result.message = L"OK";
    result.account = std::move(account);
    return result;
}

AuthResult Damaged() { return Fail(AuthResult::StorageFailed, L"Local accounts file is damaged."); }

bool SameEmail(std::wstring_view a, std::wstring_view b) {
    if (a.size() > 0x7FFFFFFF || b.size() > 0x7FFFFFFF) return false;
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// SHA-256 of the salt followed by the token's UTF-16LE units; empty when the system refuses.
std::vector<std::uint8_t> HashToken(std::wstring_view token, const std::vector<std::uint8_t>& salt) {
    std::string input;
    WipeOnExit wipeInput(input);
    input.reserve(salt.size() + token.size() * sizeof(wchar_t));
    input.append(reinterpret_cast<const char*>(salt.data()), salt.size());
    input.append(reinterpret_cast<const char*>(token.data()), token.size() * sizeof(wchar_t));
    Sha256Digest digest{};
    if (!Sha256(input, digest)) return {};
    return {digest.begin(), digest.end()};
}

// Replaces the account's token by a fresh salt and the token's hash; false when the system refuses.
bool KeepTokenHash(StoredAccount& stored, std::wstring_view token) {
    stored.tokenHash.clear();
    stored.tokenSalt.assign(kTokenSaltBytes, 0);
    if (!FillRandom(stored.tokenSalt)) return false;
    if (!token.empty()) {
        stored.tokenHash = HashToken(token, stored.tokenSalt);
        if (stored.tokenHash.empty()) return false;
    }
    return true;
}

// The token matches the stored hash, in time independent of where they differ.
bool TokenMatches(const StoredAccount& stored, std::wstring_view token) {
    if (token.empty() || stored.tokenHash.empty()) return false;
    std::vector<std::uint8_t> hash = HashToken(token, stored.tokenSalt);
    const bool same = !hash.empty() && ConstantTimeEqual(hash, stored.tokenHash);
    Wipe(hash);
    return same;
}

bool WriteAccounts(const std::filesystem::path& path, const AccountsFile& file) {
    RecordWriter writer;
    writer.Raw(kMagic);
    writer.U32(kVersion);
    writer.U32(file.iterations);
    writer.U32(static_cast<std::uint32_t>(file.accounts.size()));
    for (const StoredAccount& stored : file.accounts) {
        const LocalAccountRecord& record = stored.record;
        writer.WString(record.accountId);
        writer.WString(record.email);
        writer.WString(record.nickname);
        writer.Bytes(record.passwordHash);
        writer.Bytes(record.salt);
        writer.WString(record.createdAt);
        writer.Bool(record.emailVerified);
        writer.Bytes(stored.tokenSalt);
        writer.Bytes(stored.tokenHash);
    }
    if (!AppendDigest(writer.Data())) return false;
    // Never write a file the reader would refuse.
    if (writer.Data().size() > kMaxFileBytes) return false;
    std::wstring error;
    return distribution::AtomicWriteUtf8(path, writer.Data(), error);
}

// accounts.dat, all integers little-endian, strings as u32 byte length + UTF-16LE:
//   "TARVAC02", u32 version 3, u32 PBKDF2 iteration count, u32 record count,
//   per record: account id, e-mail, nickname, password hash (u32 length 32 + bytes), salt (u32 length + bytes),
//               created-at, e-mail verified (u8 0/1), token salt (u32 length 16 + bytes),
//               token hash (u32 length 32 + the SHA-256 of the salt and the token's UTF-16LE, or length 0),
//   then the SHA-256 of everything before it.
// Version 2 kept the verification token itself (a string) in place of the two token fields; such a file is
// read and at once rewritten as version 3.
ReadOutcome ReadAccounts(const std::filesystem::path& path, AccountsFile& file) {
    std::string bytes;
    switch (distribution::ReadWholeFile(path, kMaxFileBytes, bytes)) {
        case distribution::FileRead::Read: break;
        case distribution::FileRead::Missing: return ReadOutcome::Missing;
        default: return ReadOutcome::Damaged;  // too large, or there but unreadable: never replaced
    }
    std::string_view body;
    if (!VerifyDigest(bytes, body)) return ReadOutcome::Damaged;

    RecordReader reader(body);
    std::string_view magic;
    std::uint32_t version = 0, count = 0;
    if (!reader.Raw(kMagic.size(), magic) || magic != kMagic || !reader.U32(version) ||
        (version != kVersion && version != kClearTokenVersion) || !reader.U32(file.iterations) ||
        file.iterations == 0 || file.iterations > kMaxIterations || !reader.U32(count)) {
        return ReadOutcome::Damaged;
    }
    // Every record takes bytes, so a count larger than the file stops at the first failed read.
    for (std::uint32_t i = 0; i < count; ++i) {
        StoredAccount stored;
        LocalAccountRecord& record = stored.record;
        bool read = reader.WString(record.accountId, kMaxFieldBytes) && reader.WString(record.email, kMaxFieldBytes) &&
                    reader.WString(record.nickname, kMaxFieldBytes) && reader.Bytes(record.passwordHash) &&
                    reader.Bytes(record.salt) && reader.WString(record.createdAt, kMaxFieldBytes) &&
                    reader.Bool(record.emailVerified);
        if (read && version == kClearTokenVersion) {
            std::wstring token;
            WipeOnExit wipeToken(token);
            read = reader.WString(token, kMaxFieldBytes) && KeepTokenHash(stored, token);
        } else if (read) {
            read = reader.Bytes(stored.tokenSalt) && reader.Bytes(stored.tokenHash) &&
                   stored.tokenSalt.size() == kTokenSaltBytes &&
                   (stored.tokenHash.empty() || stored.tokenHash.size() == kHashBytes);
        }
        if (!read || record.accountId.empty() || record.passwordHash.size() != kHashBytes || record.salt.empty() ||
            record.salt.size() > 256) {
            return ReadOutcome::Damaged;
        }
        file.accounts.push_back(std::move(stored));
    }
    if (!reader.AtEnd()) return ReadOutcome::Damaged;
    // The clear tokens leave the disk now; should the rewrite fail, the next read tries again.
    if (version == kClearTokenVersion) WriteAccounts(path, file);
    return ReadOutcome::Read;
}

// The derived hash, empty when the password cannot be encoded or the system refuses.
std::vector<std::uint8_t> HashPassword(const std::wstring& password, const std::vector<std::uint8_t>& salt,
                                       std::uint32_t iterations) {
    std::string utf8 = distribution::WideToUtf8(password);
    WipeOnExit wipeUtf8(utf8);
    if (utf8.empty()) return {};
    std::vector<std::uint8_t> hash(kHashBytes);
    if (!Pbkdf2Sha256(utf8, salt, iterations, hash)) return {};
    return hash;
}

StoredAccount* FindByEmail(AccountsFile& file, std::wstring_view email) {
    auto it = std::find_if(file.accounts.begin(), file.accounts.end(),
                           [&](const StoredAccount& s) { return SameEmail(s.record.email, email); });
    return it == file.accounts.end() ? nullptr : &*it;
}

}  // namespace

LocalPrototypeAuthProvider::LocalPrototypeAuthProvider(std::filesystem::path accountsFile)
    : path_(std::move(accountsFile)) {
    if (path_.empty()) path_ = distribution::UserStateRoot() / L"Prototype" / L"accounts.dat";
}

bool LocalPrototypeAuthProvider::LooksLikeEmail(std::wstring_view text) {
    if (text.empty() || text.find(L' ') != std::wstring_view::npos) return false;
    std::size_t at = text.find(L'@');
    if (at == std::wstring_view::npos || at == 0) return false;
    if (text.size() - at - 1 < 3) return false;
    return text.find(L'.', at + 2) != std::wstring_view::npos;
}

bool LocalPrototypeAuthProvider::MeetsPasswordRequirements(std::wstring_view password) {
    if (password.size() < 8) return false;
    bool lower = false, upper = false, digit = false;
    for (wchar_t c : password) {
        lower = lower || std::iswlower(c);
        upper = upper || std::iswupper(c);
        digit = digit || std::iswdigit(c);
    }
    return lower && upper && digit;
}

AuthResult LocalPrototypeAuthProvider::Register(std::wstring email, std::wstring nickname, std::wstring password) {
    WipeOnExit wipePassword(password);
    if (!LooksLikeEmail(email)) return Fail(AuthResult::InvalidEmail, L"The e-mail address is not valid.");
    if (nickname.empty()) return Fail(AuthResult::InvalidNickname, L"The nickname is empty.");
    if (!MeetsPasswordRequirements(password))
        return Fail(AuthResult::WeakPassword, L"The password does not meet the requirements.");

    AccountsFile file;
    if (ReadAccounts(path_, file) == ReadOutcome::Damaged) return Damaged();
    if (FindByEmail(file, email)) return Fail(AuthResult::AccountExists, L"An account with this e-mail exists.");

    LocalAccountRecord record;
    record.accountId = L"local-" + RandomHexToken(8);
    record.email = std::move(email);
    record.nickname = std::move(nickname);
    record.salt.resize(kSaltBytes);
    record.createdAt = distribution::UtcTimestamp();
    record.verificationToken = RandomHexToken(16);
    if (record.accountId.size() == 6 || record.verificationToken.empty() || !FillRandom(record.salt))
        return Fail(AuthResult::StorageFailed, L"Windows could not generate random data.");
    record.passwordHash = HashPassword(password, record.salt, file.iterations);
    if (record.passwordHash.empty()) return Fail(AuthResult::WeakPassword, L"The password cannot be encoded.");

    StoredAccount stored;
    stored.record = record;
    stored.record.verificationToken.clear();
    if (!KeepTokenHash(stored, record.verificationToken))
        return Fail(AuthResult::StorageFailed, L"Windows could not generate random data.");
    file.accounts.push_back(std::move(stored));
    if (!WriteAccounts(path_, file)) return Fail(AuthResult::StorageFailed, L"Local accounts file could not be stored.");
    return Succeed(std::move(record));  // the only place the new token is handed out
}

AuthResult LocalPrototypeAuthProvider::Login(std::wstring email, std::wstring password) {
    WipeOnExit wipePassword(password);
    AccountsFile file;
    ReadOutcome outcome = ReadAccounts(path_, file);
    if (outcome == ReadOutcome::Damaged) return Damaged();
    const StoredAccount* stored = FindByEmail(file, email);
    if (!stored) return Fail(AuthResult::UnknownAccount, L"No local account has this e-mail.");
    std::vector<std::uint8_t> hash = HashPassword(password, stored->record.salt, file.iterations);
    bool match = !hash.empty() && ConstantTimeEqual(hash, stored->record.passwordHash);
    Wipe(hash);
    if (!match) return Fail(AuthResult::WrongPassword, L"The password is incorrect.");
    return Succeed(stored->record);
}

AuthResult LocalPrototypeAuthProvider::VerifyEmail(std::wstring email, std::wstring token) {
    WipeOnExit wipeToken(token);
    AccountsFile file;
    if (ReadAccounts(path_, file) == ReadOutcome::Damaged) return Damaged();
    StoredAccount* stored = FindByEmail(file, email);
    if (!stored) return Fail(AuthResult::UnknownAccount, L"No local account has this e-mail.");
    if (!TokenMatches(*stored, token)) return Fail(AuthResult::InvalidToken, L"The verification code is incorrect.");
    if (!stored->record.emailVerified) {
        stored->record.emailVerified = true;
        if (!WriteAccounts(path_, file))
            return Fail(AuthResult::StorageFailed, L"Local accounts file could not be stored.");
    }
    // The caller proved it holds the token; it may now trust this device with it.
    LocalAccountRecord verified = stored->record;
    verified.verificationToken = token;
    return Succeed(std::move(verified));
}

bool LocalPrototypeAuthProvider::RememberDevice(const LocalAccountRecord& account,
                                                const DpapiDeviceCredentialStore& store, std::wstring& error) const {
    if (!account.emailVerified || account.accountId.empty() || account.verificationToken.empty()) {
        error = L"Only a verified local account can trust this device.";
        return false;
    }
    DeviceCredential credential{account.accountId, account.email, account.verificationToken};
    bool saved = store.Save(credential, error);
    Wipe(credential.verificationToken);
    return saved;
}

std::optional<LocalAccountRecord> LocalPrototypeAuthProvider::RestoreDeviceCredential(
    const DpapiDeviceCredentialStore& store) const {
    std::wstring error;
    std::optional<DeviceCredential> credential = store.Load(error);
    if (!credential) return std::nullopt;
    WipeOnExit wipeToken(credential->verificationToken);

    AccountsFile file;
    if (ReadAccounts(path_, file) != ReadOutcome::Read) return std::nullopt;
    for (const StoredAccount& stored : file.accounts) {
        const LocalAccountRecord& record = stored.record;
        if (record.accountId == credential->accountId && SameEmail(record.email, credential->email) &&
            record.emailVerified && TokenMatches(stored, credential->verificationToken)) {
            return record;
        }
    }
    return std::nullopt;
}

}  // namespace tarvo::auth
