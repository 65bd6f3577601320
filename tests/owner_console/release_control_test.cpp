// The owner key on disk and the signed commands against the local fake service,
// which checks every signature with libsodium.
#include <set>

#include "account/json_reader.h"
#include "owner_console_support.h"
#include "release_control/command_envelope.h"
#include "release_control/web_request.h"
#include "support/fake_release_control.h"

namespace tarvo::release_control {
namespace {

using testing::FakeReleaseControl;
using testing::OpenSignedEnvelope;
using testing::ReadBytes;
using testing::WriteBytes;

class OwnerKey : public testing::OwnerConsoleTest {};

TEST_F(OwnerKey, IsCreatedOnceUnderDpapiAndReloadedUnchanged) {
    const OwnerKeyInfo created = ReleaseControlClient::EnsureOwnerKey();
    ASSERT_TRUE(created.ready) << std::string(created.message.begin(), created.message.end());
    EXPECT_TRUE(created.created);
    EXPECT_EQ(created.path, Root() / "ReleaseControl" / "release-control.key");
    EXPECT_EQ(created.publicKeyHex.size(), 64u);
    EXPECT_EQ(created.fingerprint.size(), 19u);

    const std::string file = ReadBytes(created.path);
    EXPECT_EQ(file.substr(0, 8), std::string("TARVRK1\x01"));
    // The pair is stored protected: not even the public half appears in clear.
    const auto blob = DecodeOwnerKeyFile(file);
    ASSERT_TRUE(blob.has_value());
    std::string publicKey;
    for (size_t i = 0; i < 64; i += 2)
        publicKey += static_cast<char>(std::stoi(created.publicKeyHex.substr(i, 2), nullptr, 16));
    EXPECT_EQ(file.find(publicKey), std::string::npos);

    const OwnerKeyInfo again = ReleaseControlClient::EnsureOwnerKey();
    ASSERT_TRUE(again.ready);
    EXPECT_FALSE(again.created);
    EXPECT_EQ(again.publicKeyHex, created.publicKeyHex);
    EXPECT_EQ(ReadBytes(created.path), file) << "loading never rewrites the file";
    EXPECT_FALSE(std::filesystem::exists(created.path.wstring() + L".tmp"));
}

TEST_F(OwnerKey, AnUnreadableFileIsReportedAndLeftUntouched) {
    const std::filesystem::path file = Root() / "elsewhere.key";
    const std::vector<std::string> damaged = {
        "TARVRK1",                                  // header only
        std::string("TARVRK0\x01") + "0123456789",  // another magic
        std::string("TARVRK1\x01") + "not a dpapi blob at all",
        "",  // empty file
    };
    for (const std::string& bytes : damaged) {
        WriteBytes(file, bytes);
        const OwnerKeyInfo info = ReleaseControlClient::EnsureOwnerKey(file);
        EXPECT_FALSE(info.ready);
        EXPECT_FALSE(info.created);
        EXPECT_FALSE(info.message.empty());
        EXPECT_EQ(ReadBytes(file), bytes) << "an owner key is never overwritten";
    }

    // A key file that cannot even be looked at (held by another program that lets it be
    // replaced but not read) is not taken for a missing one: no key is made over it.
    const OwnerKeyInfo real = ReleaseControlClient::EnsureOwnerKey();
    ASSERT_TRUE(real.ready);
    const std::string stored = ReadBytes(real.path);
    HANDLE holder = CreateFileW(real.path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const OwnerKeyInfo blocked = ReleaseControlClient::EnsureOwnerKey();
    CloseHandle(holder);
    EXPECT_FALSE(blocked.ready);
    EXPECT_FALSE(blocked.created);
    EXPECT_EQ(blocked.message.find(L"The owner key file could not be read ("), 0u)
        << std::string(blocked.message.begin(), blocked.message.end());
    EXPECT_NE(blocked.message.find(L"left untouched"), std::wstring::npos);
    EXPECT_EQ(ReadBytes(real.path), stored);
    EXPECT_EQ(ReleaseControlClient::EnsureOwnerKey().publicKeyHex, real.publicKeyHex);

    // One of 1 TiB is refused by its size alone.
    ASSERT_TRUE(testing::WriteSparseFile(file, 1ull << 40));
    const OwnerKeyInfo huge = ReleaseControlClient::EnsureOwnerKey(file);
    EXPECT_FALSE(huge.ready);
    EXPECT_FALSE(huge.created);
    EXPECT_EQ(std::filesystem::file_size(file), 1ull << 40);
}

TEST_F(OwnerKey, AFlippedByteInTheProtectedKeyIsRefused) {
    const OwnerKeyInfo real = ReleaseControlClient::EnsureOwnerKey();
    ASSERT_TRUE(real.ready);
    std::string file = ReadBytes(real.path);
    file[file.size() - 24] = static_cast<char>(file[file.size() - 24] ^ 0x5A);
    const std::filesystem::path copy = Root() / "flipped.key";
    WriteBytes(copy, file);
    EXPECT_FALSE(ReleaseControlClient::EnsureOwnerKey(copy).ready);
}

class SignedCommands : public testing::OwnerConsoleTest {
protected:
    FakeReleaseControl service;
};

TEST_F(SignedCommands, ACheckIsSignedWithTheStoredKeyAndAccepted) {
    ASSERT_TRUE(service.Running());
    const HttpResult result = ReleaseControlClient::SignedCommand(service.BaseUrl(), L"check", L"", L"", 0, L"");
    ASSERT_TRUE(result.sent) << std::string(result.message.begin(), result.message.end());
    EXPECT_EQ(result.status, 200u);
    EXPECT_TRUE(result.Succeeded());

    const auto commands = service.Commands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].path, "/control/release");
    EXPECT_TRUE(commands[0].signatureValid);
    const OwnerKeyInfo key = ReleaseControlClient::EnsureOwnerKey();
    EXPECT_FALSE(key.created) << "the command made the key";
    EXPECT_EQ(commands[0].publicKeyHex, key.publicKeyHex);

    const std::string& payload = commands[0].payload;
    EXPECT_EQ(account::JsonMemberString(payload, "action"), std::optional<std::string>("check"));
    EXPECT_EQ(account::JsonMemberString(payload, "keyId"), std::optional<std::string>(key.publicKeyHex));
    const auto nonce = account::JsonMemberString(payload, "nonce");
    ASSERT_TRUE(nonce.has_value());
    EXPECT_EQ(nonce->size(), 32u) << "16 random bytes in hex";
    EXPECT_GT(account::JsonMemberUnsigned(payload, "timestamp").value_or(0), 1700000000u) << "the current time";
}

TEST_F(SignedCommands, EveryCommandDrawsItsOwnNonceAndGivenOnesAreUsedAsTheyAre) {
    std::set<std::string> nonces;
    for (const wchar_t* action : {L"check", L"activate", L"finalize", L"rollback"}) {
        EXPECT_TRUE(ReleaseControlClient::SignedCommand(service.BaseUrl(), action, L"", L"", 0, L"").Succeeded());
    }
    for (const auto& c : service.Commands()) nonces.insert(*account::JsonMemberString(c.payload, "nonce"));
    EXPECT_EQ(nonces.size(), 4u);

    service.SetClockWindow(UINT64_MAX);
    const HttpResult fixed =
        ReleaseControlClient::SignedCommand(service.BaseUrl(), L"check", L"0.0.03.5", L"24.05", 1234567890, L"fixed-1");
    EXPECT_TRUE(fixed.Succeeded());
    const std::string payload = service.Commands().back().payload;
    EXPECT_EQ(account::JsonMemberUnsigned(payload, "timestamp"), std::optional<std::uint64_t>(1234567890));
    EXPECT_EQ(account::JsonMemberString(payload, "nonce"), std::optional<std::string>("fixed-1"));
    EXPECT_EQ(account::JsonMemberString(payload, "gameRelease"), std::optional<std::string>("0.0.03.5"));

    // The service refuses the same nonce twice; the client reports the refusal as an answer.
    const HttpResult replay =
        ReleaseControlClient::SignedCommand(service.BaseUrl(), L"check", L"", L"", 1234567890, L"fixed-1");
    EXPECT_TRUE(replay.sent);
    EXPECT_EQ(replay.status, 409u);
    EXPECT_FALSE(replay.Succeeded());
}

TEST_F(SignedCommands, TheServiceRejectsTamperedPayloadsAndForeignKeys) {
    ASSERT_TRUE(ReleaseControlClient::SignedCommand(service.BaseUrl(), L"check", L"", L"", 0, L"").Succeeded());
    const auto sent = service.Commands().at(0);
    ASSERT_TRUE(OpenSignedEnvelope(sent.body).signatureValid);

    // The same envelope with one byte of the payload changed no longer verifies.
    std::string payload = sent.payload;
    payload[payload.find("check")] = 'C';
    std::string body = sent.body;
    const std::string original = Base64Encode(sent.payload);
    body.replace(body.find(original), original.size(), Base64Encode(payload));
    const auto tampered = OpenSignedEnvelope(body);
    EXPECT_TRUE(tampered.envelopeValid);
    EXPECT_FALSE(tampered.signatureValid);

    // A service that trusts another key refuses a correctly signed command.
    FakeReleaseControl other;
    other.TrustKey(std::string(64, 'a'));
    const HttpResult refused = ReleaseControlClient::SignedCommand(other.BaseUrl(), L"check", L"", L"", 0, L"");
    EXPECT_EQ(refused.status, 401u);
    EXPECT_TRUE(other.Commands().at(0).signatureValid);
    EXPECT_FALSE(other.Commands().at(0).trustedKey);
}

TEST_F(SignedCommands, BackendCommandsCarryTheConfigurationAndTestAddress) {
    BackendPrivateConfig config;
    config.databaseHost = L"db-test-1";
    config.databasePassword = L"se\"cret";
    config.smtpPassword = L"mail-pass";
    const HttpResult result = ReleaseControlClient::SignedBackendCommand(service.BaseUrl(), L"test-mail", &config,
                                                                         L"qa@tarvonix.net", 0, L"");
    ASSERT_TRUE(result.Succeeded()) << std::string(result.message.begin(), result.message.end());
    const auto command = service.Commands().at(0);
    EXPECT_EQ(command.path, "/control/backend");
    EXPECT_TRUE(command.signatureValid);
    EXPECT_EQ(account::JsonMemberString(command.payload, "databasePassword"), std::optional<std::string>("se\"cret"));
    EXPECT_EQ(account::JsonMemberString(command.payload, "testEmail"), std::optional<std::string>("qa@tarvonix.net"));
    EXPECT_EQ(command.body.find("se\"cret"), std::string::npos) << "the body carries the payload in Base64 only";

    EXPECT_TRUE(
        ReleaseControlClient::SignedAnnouncement(service.BaseUrl(), L"testers", L"Тест о 20:00", 0, L"").Succeeded());
    const std::string announcement = service.Commands().back().payload;
    EXPECT_EQ(account::JsonMemberString(announcement, "action"), std::optional<std::string>("announcement"));
    EXPECT_EQ(account::JsonMemberString(announcement, "audience"), std::optional<std::string>("testers"));
}

TEST_F(SignedCommands, BadInputIsRefusedBeforeAnythingIsSent) {
    const std::vector<HttpResult> refused = {
        ReleaseControlClient::SignedCommand(service.BaseUrl(), L"deploy", L"", L"", 0, L""),
        ReleaseControlClient::SignedBackendCommand(service.BaseUrl(), L"drop tables", nullptr, L"", 0, L""),
        ReleaseControlClient::SignedCommand(L"ftp://127.0.0.1/", L"check", L"", L"", 0, L""),
        ReleaseControlClient::SignedCommand(service.BaseUrl(), L"check", std::wstring(400, L'9'), L"", 0, L""),
    };
    for (const HttpResult& r : refused) {
        EXPECT_FALSE(r.sent);
        EXPECT_FALSE(r.message.empty());
    }
    EXPECT_EQ(service.RequestCount(), 0u);
}

TEST_F(SignedCommands, StatusTransportFailuresAndOversizedReplies) {
    const HttpResult status = ReleaseControlClient::ServerStatus(service.BaseUrl());
    EXPECT_TRUE(status.Succeeded());
    EXPECT_NE(status.body.find("staged"), std::string::npos);
    EXPECT_EQ(service.Requests().at(0).method, "GET");

    std::wstring closed;
    {
        FakeReleaseControl gone;
        closed = gone.BaseUrl();
    }
    const HttpResult unreachable = ReleaseControlClient::ServerStatus(closed);
    EXPECT_FALSE(unreachable.sent);
    EXPECT_NE(unreachable.message.find(L"127.0.0.1"), std::wstring::npos);

    service.Script("/control/status", 200, std::string(kMaxReplyBytes + 1, 'x'));
    const HttpResult large = ReleaseControlClient::ServerStatus(service.BaseUrl());
    EXPECT_FALSE(large.sent);
    EXPECT_TRUE(large.body.empty());
}

TEST(SodiumLoading, MissingOrWrongLibrariesAreReportedNotFatal) {
    const SodiumLibrary missing({L"C:\\no-such-folder\\libsodium.dll", L"no-such-libsodium.dll"});
    EXPECT_FALSE(missing.Available());
    EXPECT_NE(missing.Error().find(L"libsodium.dll"), std::wstring::npos);
    PublicKey pk{};
    SecretKey sk{};
    EXPECT_FALSE(missing.GenerateKeyPair(pk, sk));

    // A DLL that loads but is not libsodium.
    const SodiumLibrary wrong({L"kernel32.dll"});
    EXPECT_FALSE(wrong.Available());
    EXPECT_NE(wrong.Error().find(L"Ed25519"), std::wstring::npos);
}

TEST(SodiumLoading, SignaturesVerifyOnlyForTheirMessageAndKey) {
    const SodiumLibrary& sodium = SodiumLibrary::Shared();
    ASSERT_TRUE(sodium.Available());
    PublicKey pk{}, otherPk{};
    SecretKey sk{}, otherSk{};
    ASSERT_TRUE(sodium.GenerateKeyPair(pk, sk));
    ASSERT_TRUE(sodium.GenerateKeyPair(otherPk, otherSk));
    const std::uint8_t message[] = {'t', 'a', 'r', 'v'};
    Signature signature{};
    ASSERT_TRUE(sodium.Sign(message, sk, signature));
    EXPECT_TRUE(sodium.Verify(message, signature, pk));
    EXPECT_FALSE(sodium.Verify(message, signature, otherPk));
    const std::uint8_t changed[] = {'t', 'a', 'r', 'w'};
    EXPECT_FALSE(sodium.Verify(changed, signature, pk));
}

}  // namespace
}  // namespace tarvo::release_control
