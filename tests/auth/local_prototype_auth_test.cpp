#include <gtest/gtest.h>

#include "auth/binary_record.h"
#include "auth/device_credential_store.h"
#include "auth/local_prototype_auth_provider.h"
#include "auth/mock_providers.h"
#include "auth/secure_storage.h"
#include "support/temp_folder.h"

using tarvo::auth::AuthResult;
using tarvo::auth::DeviceCredential;
using tarvo::auth::DpapiDeviceCredentialStore;
using tarvo::auth::LocalAccountRecord;
using tarvo::auth::LocalPrototypeAuthProvider;
using tarvo::testing::ReadBytes;
using tarvo::testing::TempDataRoot;
using tarvo::testing::WriteBytes;

namespace {

// The text's UTF-16LE or UTF-8 bytes occur in the file.
bool ContainsText(const std::string& file, const std::wstring& text) {
    const std::string utf16(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    const std::string utf8(text.begin(), text.end());  // ASCII tokens
    return file.find(utf16) != std::string::npos || file.find(utf8) != std::string::npos;
}

}  // namespace

TEST(LooksLikeEmail, AcceptsExactlyTheStatedShapes) {
    struct Case {
        const wchar_t* text;
        bool expected;
    } cases[] = {
        {L"a@b.c", true},            // shortest accepted shape
        {L"ann@example.com", true},
        {L"a@bc.", true},            // '.' as the very last character
        {L"a@b.c.d", true},
        {L"Іван@пошта.укр", true},
        {L"", false},
        {L"@b.cd", false},           // '@' first
        {L"a@.bc", false},           // only '.' directly after '@'
        {L"a@bcd", false},           // no '.' after '@'
        {L"a@b.", false},            // two characters after '@'
        {L"a@.c", false},
        {L"a b@c.d", false},         // space anywhere
        {L"ab@c.d ", false},
        {L"abc", false},             // no '@'
        {L"a.b@cde", false},         // the '.' before '@' does not count
        {L"a@@b.c", true},           // only the first '@' is examined
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LocalPrototypeAuthProvider::LooksLikeEmail(c.text), c.expected) << std::wstring(c.text).size();
    }
}

TEST(MeetsPasswordRequirements, NeedsLengthAndThreeKinds) {
    struct Case {
        const wchar_t* text;
        bool expected;
    } cases[] = {
        {L"Abcdef12", true},   {L"Abcdef1", false},  // seven with all kinds
        {L"abcdefg1", false},  {L"ABCDEFG1", false}, {L"Abcdefgh", false},
        {L"", false},          {L"Pass word 1", true}, {L"ПарольX1", true},
        {L"12345678Aa", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LocalPrototypeAuthProvider::MeetsPasswordRequirements(c.text), c.expected);
    }
}

TEST(Pbkdf2, MatchesPublishedVector) {
    // PBKDF2-HMAC-SHA256("passwd", "salt", 1, 64).
    const std::uint8_t expected[64] = {
        0x55, 0xac, 0x04, 0x6e, 0x56, 0xe3, 0x08, 0x9f, 0xec, 0x16, 0x91, 0xc2, 0x25, 0x44, 0xb6, 0x05,
        0xf9, 0x41, 0x85, 0x21, 0x6d, 0xde, 0x04, 0x65, 0xe6, 0x8b, 0x9d, 0x57, 0xc2, 0x0d, 0xac, 0xbc,
        0x49, 0xca, 0x9c, 0xcc, 0xf1, 0x79, 0xb6, 0x45, 0x99, 0x16, 0x64, 0xb3, 0x9d, 0x77, 0xef, 0x31,
        0x7c, 0x71, 0xb8, 0x45, 0xb1, 0xe3, 0x0b, 0xd5, 0x09, 0x11, 0x20, 0x41, 0xd3, 0xa1, 0x97, 0x83};
    const std::uint8_t salt[] = {'s', 'a', 'l', 't'};
    std::uint8_t derived[64] = {};
    ASSERT_TRUE(tarvo::auth::Pbkdf2Sha256("passwd", salt, 1, derived));
    EXPECT_EQ(0, memcmp(derived, expected, 64));
}

class LocalAccountsTest : public ::testing::Test {
protected:
    TempDataRoot root;
    LocalPrototypeAuthProvider provider;
};

TEST_F(LocalAccountsTest, RegisterThenLogin) {
    EXPECT_EQ(provider.Path(), root.Path() / L"Prototype" / L"accounts.dat");
    AuthResult registered = provider.Register(L"Ann@Example.com", L"Ann", L"Secret123");
    ASSERT_EQ(registered.status, AuthResult::Ok) << registered.message;
    ASSERT_TRUE(registered.account);
    const LocalAccountRecord& record = *registered.account;
    EXPECT_FALSE(record.accountId.empty());
    EXPECT_NE(record.accountId, L"LOCAL");
    EXPECT_EQ(record.email, L"Ann@Example.com");
    EXPECT_EQ(record.nickname, L"Ann");
    EXPECT_EQ(record.passwordHash.size(), 32u);
    EXPECT_EQ(record.salt.size(), 16u);
    EXPECT_EQ(record.createdAt.size(), 24u);
    EXPECT_FALSE(record.emailVerified);
    EXPECT_FALSE(record.verificationToken.empty());

    // The file holds no password text and no verification token, before or after verification.
    for (bool verified : {false, true}) {
        if (verified) { ASSERT_EQ(provider.VerifyEmail(L"ann@example.com", record.verificationToken).status, 0u); }
        std::string file = ReadBytes(provider.Path());
        EXPECT_EQ(file.substr(0, 8), "TARVAC02");
        EXPECT_EQ(file.find("Secret123"), std::string::npos);
        EXPECT_EQ(file.find(std::string("S\0e\0c\0r\0e\0t\0", 12)), std::string::npos);
        EXPECT_FALSE(ContainsText(file, record.verificationToken));
    }

    // A second provider reads the same file; the e-mail matches ignoring case.
    LocalPrototypeAuthProvider again;
    AuthResult login = again.Login(L"ann@example.COM", L"Secret123");
    EXPECT_EQ(login.status, 0u);
    ASSERT_TRUE(login.account);
    EXPECT_EQ(login.account->accountId, record.accountId);
    EXPECT_EQ(login.account->passwordHash, record.passwordHash);
    EXPECT_TRUE(login.account->verificationToken.empty());
}

TEST_F(LocalAccountsTest, AnOlderFileWithClearTokensIsReadAndRewrittenWithoutThem) {
    // Version 2 kept the token itself where version 3 keeps a salt and a hash.
    std::vector<std::uint8_t> salt(16, 7);
    std::vector<std::uint8_t> hash(32);
    ASSERT_TRUE(tarvo::auth::Pbkdf2Sha256("Secret123", salt, 1000, hash));
    tarvo::auth::RecordWriter v2;
    v2.Raw("TARVAC02");
    v2.U32(2);
    v2.U32(1000);
    v2.U32(1);
    v2.WString(L"local-0011223344556677");
    v2.WString(L"ann@example.com");
    v2.WString(L"Ann");
    v2.Bytes(hash);
    v2.Bytes(salt);
    v2.WString(L"2026-01-01T00:00:00.000Z");
    v2.Bool(true);
    v2.WString(L"00112233445566778899aabbccddeeff");
    ASSERT_TRUE(tarvo::auth::AppendDigest(v2.Data()));
    WriteBytes(provider.Path(), v2.Data());
    const std::wstring token = L"00112233445566778899aabbccddeeff";
    ASSERT_TRUE(ContainsText(ReadBytes(provider.Path()), token));

    // A device trusted before the change is still restored; the token left the file at the first read.
    DpapiDeviceCredentialStore store;
    std::wstring error;
    ASSERT_TRUE(store.Save({L"local-0011223344556677", L"ann@example.com", token}, error)) << error;
    std::optional<LocalAccountRecord> restored = provider.RestoreDeviceCredential(store);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->nickname, L"Ann");
    const std::string rewritten = ReadBytes(provider.Path());
    std::uint32_t version = 0;
    memcpy(&version, rewritten.data() + 8, 4);
    EXPECT_EQ(version, 3u);
    EXPECT_FALSE(ContainsText(rewritten, token));
    EXPECT_EQ(provider.Login(L"ann@example.com", L"Secret123").status, AuthResult::Ok);
    EXPECT_EQ(provider.VerifyEmail(L"ann@example.com", token).status, AuthResult::Ok);
    EXPECT_EQ(provider.VerifyEmail(L"ann@example.com", L"00112233445566778899aabbccddeefe").status,
              AuthResult::InvalidToken);
}

TEST_F(LocalAccountsTest, WrongPasswordAndUnknownAccount) {
    ASSERT_EQ(provider.Register(L"ann@example.com", L"Ann", L"Secret123").status, AuthResult::Ok);
    EXPECT_EQ(provider.Login(L"ann@example.com", L"secret123").status, AuthResult::WrongPassword);
    EXPECT_EQ(provider.Login(L"ann@example.com", L"").status, AuthResult::WrongPassword);
    EXPECT_FALSE(provider.Login(L"ann@example.com", L"Secret1234").account);
    EXPECT_EQ(provider.Login(L"bob@example.com", L"Secret123").status, AuthResult::UnknownAccount);
    EXPECT_EQ(LocalPrototypeAuthProvider(root.Path() / L"none.dat").Login(L"a@b.c", L"x").status,
              AuthResult::UnknownAccount);
}

TEST_F(LocalAccountsTest, RegistrationIsValidatedAndUnique) {
    EXPECT_EQ(provider.Register(L"not-an-email", L"Ann", L"Secret123").status, AuthResult::InvalidEmail);
    EXPECT_EQ(provider.Register(L"ann@example.com", L"", L"Secret123").status, AuthResult::InvalidNickname);
    EXPECT_EQ(provider.Register(L"ann@example.com", L"Ann", L"secret123").status, AuthResult::WeakPassword);
    EXPECT_FALSE(std::filesystem::exists(provider.Path()));
    ASSERT_EQ(provider.Register(L"ann@example.com", L"Ann", L"Secret123").status, AuthResult::Ok);
    EXPECT_EQ(provider.Register(L"ANN@example.com", L"Other", L"Other123").status, AuthResult::AccountExists);
    // The same password gets a different salt and hash for another account.
    AuthResult bob = provider.Register(L"bob@example.com", L"Bob", L"Secret123");
    ASSERT_EQ(bob.status, AuthResult::Ok);
    AuthResult ann = provider.Login(L"ann@example.com", L"Secret123");
    ASSERT_TRUE(ann.account);
    EXPECT_NE(ann.account->salt, bob.account->salt);
    EXPECT_NE(ann.account->passwordHash, bob.account->passwordHash);
    EXPECT_NE(ann.account->accountId, bob.account->accountId);
    EXPECT_EQ(provider.Login(L"bob@example.com", L"Secret123").status, AuthResult::Ok);
}

TEST_F(LocalAccountsTest, StoredHashIsPbkdf2OfThePassword) {
    AuthResult r = provider.Register(L"ann@example.com", L"Ann", L"Secret123");
    ASSERT_TRUE(r.account);
    std::string file = ReadBytes(provider.Path());
    std::uint32_t iterations = 0;
    memcpy(&iterations, file.data() + 12, 4);
    EXPECT_GE(iterations, 100000u);
    std::vector<std::uint8_t> derived(32);
    ASSERT_TRUE(tarvo::auth::Pbkdf2Sha256("Secret123", r.account->salt, iterations, derived));
    EXPECT_EQ(derived, r.account->passwordHash);
}

TEST_F(LocalAccountsTest, DamagedFileIsRefusedAndNeverOverwritten) {
    ASSERT_EQ(provider.Register(L"ann@example.com", L"Ann", L"Secret123").status, AuthResult::Ok);
    const std::string good = ReadBytes(provider.Path());

    std::vector<std::string> damaged;
    for (std::size_t at : {std::size_t{0}, std::size_t{9}, std::size_t{20}, good.size() / 2, good.size() - 1}) {
        std::string flipped = good;
        flipped[at] ^= 0x01;
        damaged.push_back(flipped);
    }
    damaged.push_back(good.substr(0, good.size() - 1));
    damaged.push_back(good.substr(0, 40));
    damaged.push_back("");
    damaged.push_back(good + "x");
    for (const std::string& bytes : damaged) {
        WriteBytes(provider.Path(), bytes);
        EXPECT_EQ(provider.Login(L"ann@example.com", L"Secret123").status, AuthResult::StorageFailed);
        EXPECT_EQ(provider.Register(L"bob@example.com", L"Bob", L"Secret123").status, AuthResult::StorageFailed);
        EXPECT_EQ(ReadBytes(provider.Path()), bytes);  // the damaged file is left for inspection, not replaced
    }
    WriteBytes(provider.Path(), good);
    EXPECT_EQ(provider.Login(L"ann@example.com", L"Secret123").status, AuthResult::Ok);
}

TEST_F(LocalAccountsTest, LengthsClaimingMoreThanTheFileHoldsAreRefused) {
    // A well-sealed file whose record claims a 1 GiB string: refused before anything is allocated.
    std::string body = "TARVAC02";
    auto u32 = [&](std::uint32_t v) { body.append(reinterpret_cast<const char*>(&v), 4); };
    u32(2);
    u32(1000);
    u32(1);
    u32(0x40000000);
    ASSERT_TRUE(tarvo::auth::AppendDigest(body));
    WriteBytes(provider.Path(), body);
    EXPECT_EQ(provider.Login(L"ann@example.com", L"Secret123").status, AuthResult::StorageFailed);
}

TEST_F(LocalAccountsTest, EmailVerificationNeedsTheToken) {
    AuthResult r = provider.Register(L"ann@example.com", L"Ann", L"Secret123");
    ASSERT_TRUE(r.account);
    EXPECT_EQ(provider.VerifyEmail(L"ann@example.com", L"wrong").status, AuthResult::InvalidToken);
    EXPECT_EQ(provider.VerifyEmail(L"ann@example.com", L"").status, AuthResult::InvalidToken);
    EXPECT_EQ(provider.VerifyEmail(L"nobody@example.com", r.account->verificationToken).status,
              AuthResult::UnknownAccount);
    AuthResult verified = provider.VerifyEmail(L"ANN@example.com", r.account->verificationToken);
    ASSERT_EQ(verified.status, AuthResult::Ok);
    EXPECT_TRUE(verified.account->emailVerified);
    EXPECT_TRUE(provider.Login(L"ann@example.com", L"Secret123").account->emailVerified);
}

class DeviceCredentialTest : public ::testing::Test {
protected:
    LocalAccountRecord RegisterVerified(const wchar_t* email) {
        AuthResult r = provider.Register(email, L"Ann", L"Secret123");
        EXPECT_TRUE(r.account);
        AuthResult v = provider.VerifyEmail(email, r.account->verificationToken);
        EXPECT_TRUE(v.account);
        return *v.account;
    }

    TempDataRoot root;
    LocalPrototypeAuthProvider provider;
    DpapiDeviceCredentialStore store;
};

TEST_F(DeviceCredentialTest, StoreRoundTripsAndIsProtected) {
    EXPECT_EQ(store.Path(), root.Path() / L"Auth" / L"device.auth");
    std::wstring error;
    EXPECT_FALSE(store.Load(error));
    EXPECT_EQ(error, L"Trusted device credential is missing.");
    ASSERT_TRUE(store.Save({L"local-1", L"Ann@x.com", L"tok-secret"}, error)) << error;
    EXPECT_EQ(ReadBytes(store.Path()).find("TARVDC01"), std::string::npos);
    std::optional<DeviceCredential> loaded = DpapiDeviceCredentialStore().Load(error);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->accountId, L"local-1");
    EXPECT_EQ(loaded->email, L"Ann@x.com");
    EXPECT_EQ(loaded->verificationToken, L"tok-secret");
    store.Clear();
    EXPECT_FALSE(std::filesystem::exists(store.Path()));
}

TEST_F(DeviceCredentialTest, DamagedCredentialIsRefused) {
    std::wstring error;
    ASSERT_TRUE(store.Save({L"local-1", L"a@b.cd", L"tok"}, error));
    const std::string good = ReadBytes(store.Path());
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x10;
    for (const std::string& bytes : {flipped, good.substr(0, good.size() - 3), std::string("junk")}) {
        WriteBytes(store.Path(), bytes);
        EXPECT_FALSE(store.Load(error));
    }
    // Well protected but with trailing bytes or missing fields.
    std::string blob;
    ASSERT_TRUE(tarvo::auth::ProtectForUser(std::string("TARVDC01\x01\0\0\0", 12), "TARVDC01", blob));
    WriteBytes(store.Path(), blob);
    error.clear();
    EXPECT_FALSE(store.Load(error));
    EXPECT_EQ(error, L"Trusted device credential is malformed.");
}

TEST_F(DeviceCredentialTest, RestoresOnlyAMatchingVerifiedAccount) {
    LocalAccountRecord ann = RegisterVerified(L"ann@example.com");
    std::wstring error;
    EXPECT_FALSE(provider.RestoreDeviceCredential(store));  // nothing stored yet
    ASSERT_TRUE(provider.RememberDevice(ann, store, error)) << error;
    std::optional<LocalAccountRecord> restored = LocalPrototypeAuthProvider().RestoreDeviceCredential(store);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->accountId, ann.accountId);
    EXPECT_EQ(restored->nickname, L"Ann");
    EXPECT_TRUE(restored->emailVerified);

    // E-mail compared ignoring case.
    ASSERT_TRUE(store.Save({ann.accountId, L"ANN@EXAMPLE.COM", ann.verificationToken}, error));
    EXPECT_TRUE(provider.RestoreDeviceCredential(store));
    // Any mismatch restores nothing.
    ASSERT_TRUE(store.Save({ann.accountId, ann.email, L"other-token"}, error));
    EXPECT_FALSE(provider.RestoreDeviceCredential(store));
    ASSERT_TRUE(store.Save({L"local-unknown", ann.email, ann.verificationToken}, error));
    EXPECT_FALSE(provider.RestoreDeviceCredential(store));
    ASSERT_TRUE(store.Save({ann.accountId, L"bob@example.com", ann.verificationToken}, error));
    EXPECT_FALSE(provider.RestoreDeviceCredential(store));
}

TEST_F(DeviceCredentialTest, UnverifiedAccountCannotTrustOrRestore) {
    AuthResult r = provider.Register(L"ann@example.com", L"Ann", L"Secret123");
    ASSERT_TRUE(r.account);
    std::wstring error;
    EXPECT_FALSE(provider.RememberDevice(*r.account, store, error));
    EXPECT_FALSE(std::filesystem::exists(store.Path()));
    // Even a hand-made credential does not restore an unverified account.
    ASSERT_TRUE(store.Save({r.account->accountId, r.account->email, r.account->verificationToken}, error));
    EXPECT_FALSE(provider.RestoreDeviceCredential(store));
}

TEST(MockProviders, SessionAndVerificationStandIns) {
    tarvo::auth::MockSessionProvider session;
    EXPECT_FALSE(session.IsActive());
    session.Begin(L"p-1");
    EXPECT_TRUE(session.IsActive());
    EXPECT_EQ(session.AccountId(), L"p-1");
    session.Begin(L"");
    EXPECT_FALSE(session.IsActive());
    session.Begin(L"p-2");
    session.End();
    EXPECT_FALSE(session.IsActive());

    tarvo::auth::MockEmailVerificationProvider mail;
    EXPECT_EQ(mail.SentCount(), 0u);
    EXPECT_TRUE(mail.SendVerification(L"a@b.cd", L"tok"));
    EXPECT_EQ(mail.SentCount(), 1u);
}
