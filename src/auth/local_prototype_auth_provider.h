#pragma once
// Local prototype accounts ("accounts.dat" in the "Prototype" folder of the user state root): passwords are
// kept only as PBKDF2-SHA256 hashes with a per-account random salt, verification tokens only as salted hashes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "auth/auth_interfaces.h"

namespace tarvo::auth {

class DpapiDeviceCredentialStore;

struct LocalAccountRecord {
    std::wstring accountId;
    std::wstring email;
    std::wstring nickname;
    std::vector<std::uint8_t> passwordHash;
    std::vector<std::uint8_t> salt;
    std::wstring createdAt;  // UTC time stamp; "SERVER ACCOUNT" for records made from a server session
    bool emailVerified = false;
    // The e-mail code and trusted-device secret: set only in the records Register and VerifyEmail return
    // (the file keeps its hash); empty in every record read back.
    std::wstring verificationToken;
};

struct AuthResult {
    // Unscoped so callers may test `status != 0` as well as compare with the names.
    enum Status : std::uint32_t {
        Ok = 0,
        InvalidEmail = 1,
        InvalidNickname = 2,
        WeakPassword = 3,
        AccountExists = 4,
        UnknownAccount = 5,
        WrongPassword = 6,
        InvalidToken = 7,
        StorageFailed = 8,  // the accounts file cannot be read (damaged) or written
    };
    Status status = StorageFailed;
    std::wstring message;                       // English, for logs and diagnostics
    std::optional<LocalAccountRecord> account;  // set when status is Ok
};

class LocalPrototypeAuthProvider final : public IAuthProvider {
public:
    // Empty path: "accounts.dat" in the "Prototype" folder of the user state root.
    explicit LocalPrototypeAuthProvider(std::filesystem::path accountsFile = {});

    const std::filesystem::path& Path() const { return path_; }

    // Not empty, first '@' not first, at least three characters after it, a '.' at or after the second
    // character after the '@', no space.
    static bool LooksLikeEmail(std::wstring_view text);
    // At least 8 UTF-16 units with a lower-case letter, an upper-case letter and a digit.
    static bool MeetsPasswordRequirements(std::wstring_view password);

    // Creates an unverified account with a fresh verification token (returned in the record).
    AuthResult Register(std::wstring email, std::wstring nickname, std::wstring password) override;
    // Status Ok exactly when the password of the account with that e-mail (ignoring case) is right.
    AuthResult Login(std::wstring email, std::wstring password) override;
    // Marks the account verified when the token matches its verification token.
    AuthResult VerifyEmail(std::wstring email, std::wstring token);

    // Stores the trusted-device credential of a verified account.
    bool RememberDevice(const LocalAccountRecord& account, const DpapiDeviceCredentialStore& store,
                        std::wstring& error) const;
    // The verified account named by the stored credential when its id, e-mail (ignoring case) and token match.
    std::optional<LocalAccountRecord> RestoreDeviceCredential(const DpapiDeviceCredentialStore& store) const;

private:
    std::filesystem::path path_;
};

}  // namespace tarvo::auth
