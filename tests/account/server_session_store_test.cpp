#include <gtest/gtest.h>

#include "account/server_session.h"
#include "auth/secure_storage.h"
#include "support/temp_folder.h"

using tarvo::account::ServerSession;
using tarvo::account::ServerSessionStore;
using tarvo::testing::ReadBytes;
using tarvo::testing::TempDataRoot;
using tarvo::testing::WriteBytes;

namespace {

ServerSession SampleSession() {
    ServerSession s;
    s.playerId = L"p-42";
    s.nickname = L"Іван \\ \"q\"\nline";
    s.email = L"ivan@example.ua";
    s.accessToken = L"access.token.value";
    s.refreshToken = L"refresh\rtoken";
    s.deviceId = L"dev-1";
    s.accessExpirySeconds = 3600;
    s.trusted = true;
    return s;
}

void ExpectSame(const ServerSession& a, const ServerSession& b) {
    EXPECT_EQ(a.playerId, b.playerId);
    EXPECT_EQ(a.nickname, b.nickname);
    EXPECT_EQ(a.email, b.email);
    EXPECT_EQ(a.accessToken, b.accessToken);
    EXPECT_EQ(a.refreshToken, b.refreshToken);
    EXPECT_EQ(a.deviceId, b.deviceId);
    EXPECT_EQ(a.accessExpirySeconds, b.accessExpirySeconds);
    EXPECT_EQ(a.trusted, b.trusted);
}

// Protects arbitrary plain text the way the store does, to present well-protected but malformed content.
void WriteProtected(const std::filesystem::path& path, const std::string& plain) {
    std::string blob;
    ASSERT_TRUE(tarvo::auth::ProtectForUser(plain, "TARVSS01", blob));
    WriteBytes(path, blob);
}

}  // namespace

TEST(ServerSessionStore, DefaultsToAuthFolderOfTheStateRoot) {
    TempDataRoot root;
    ServerSessionStore store;
    EXPECT_EQ(store.Path(), root.Path() / L"Auth" / L"server.session");
}

TEST(ServerSessionStore, RoundTripsEveryFieldAndIsProtected) {
    TempDataRoot root;
    ServerSessionStore store;
    std::wstring error;
    ASSERT_TRUE(store.Save(SampleSession(), error)) << error;
    EXPECT_FALSE(std::filesystem::exists(store.Path().wstring() + L".tmp"));

    std::string onDisk = ReadBytes(store.Path());
    EXPECT_EQ(onDisk.find("TARVSS01"), std::string::npos);  // nothing readable without DPAPI
    EXPECT_EQ(onDisk.find("access.token.value"), std::string::npos);

    std::optional<ServerSession> loaded = ServerSessionStore().Load(error);
    ASSERT_TRUE(loaded) << error;
    ExpectSame(*loaded, SampleSession());

    ServerSession untrusted = SampleSession();
    untrusted.trusted = false;
    untrusted.accessExpirySeconds = 4294967295u;
    ASSERT_TRUE(store.Save(untrusted, error));
    loaded = store.Load(error);
    ASSERT_TRUE(loaded);
    ExpectSame(*loaded, untrusted);
}

TEST(ServerSessionStore, MissingFileIsNoSession) {
    TempDataRoot root;
    std::wstring error;
    EXPECT_FALSE(ServerSessionStore().Load(error));
    EXPECT_EQ(error, L"No stored account session.");
}

TEST(ServerSessionStore, TamperedOrTruncatedFileIsRefused) {
    TempDataRoot root;
    ServerSessionStore store;
    std::wstring error;
    ASSERT_TRUE(store.Save(SampleSession(), error));
    const std::string good = ReadBytes(store.Path());

    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x40;
    WriteBytes(store.Path(), flipped);
    error.clear();
    EXPECT_FALSE(store.Load(error));
    EXPECT_EQ(error, L"Windows DPAPI could not unprotect the account session.");

    for (std::size_t keep : {std::size_t{0}, std::size_t{1}, good.size() / 2, good.size() - 1}) {
        WriteBytes(store.Path(), good.substr(0, keep));
        EXPECT_FALSE(store.Load(error)) << keep;
    }
    WriteBytes(store.Path(), "plain text that was never protected");
    EXPECT_FALSE(store.Load(error));
}

TEST(ServerSessionStore, ProtectedButMalformedContentIsRefused) {
    TempDataRoot root;
    ServerSessionStore store;
    const std::string fields = "p\nn\ne\nacc\nref\nd\n60\n1\n";
    WriteProtected(store.Path(), "TARVSS01\n" + fields);
    std::wstring error;
    ASSERT_TRUE(store.Load(error)) << error;  // the control case reads

    const std::string malformed[] = {
        "TARVSS02\n" + fields,                     // wrong magic
        "TARVSS01\n" + fields.substr(0, fields.size() - 2),  // a line short
        "TARVSS01\n" + fields + "extra\n",         // a line too many
        "TARVSS01\np\nn\ne\nacc\nref\nd\n60\n1",   // last line not ended
        "TARVSS01\np\nn\ne\n\nref\nd\n60\n1\n",    // no access token
        "TARVSS01\np\nn\ne\nacc\n\nd\n60\n1\n",    // no refresh token
        "TARVSS01\np\nn\ne\nacc\nref\nd\n-1\n1\n", // bad expiry
        "TARVSS01\np\nn\ne\nacc\nref\nd\n4294967296\n1\n",
        "TARVSS01\np\nn\ne\nacc\nref\nd\n60\nyes\n",
        "TARVSS01\np\\x\nn\ne\nacc\nref\nd\n60\n1\n",     // unknown escape
        "TARVSS01\np\xff\nn\ne\nacc\nref\nd\n60\n1\n",    // invalid UTF-8
        "TARVSS01\r\np\nn\ne\nacc\nref\nd\n60\n1\n",
    };
    for (const std::string& plain : malformed) {
        WriteProtected(store.Path(), plain);
        error.clear();
        EXPECT_FALSE(store.Load(error)) << plain;
        EXPECT_EQ(error, L"Stored account session is malformed.");
    }
    // A blob protected for another store does not open here.
    std::string other;
    ASSERT_TRUE(tarvo::auth::ProtectForUser("TARVSS01\n" + fields, "TARVDC01", other));
    WriteBytes(store.Path(), other);
    EXPECT_FALSE(store.Load(error));
}

TEST(ServerSessionStore, UnstorableSessionReportsAndClearIgnoresErrors) {
    TempDataRoot root;
    std::filesystem::path blocked = root.Path() / L"blocked";
    std::filesystem::create_directories(blocked / L"server.session" / L"child");  // a folder where the file goes
    ServerSessionStore store(blocked / L"server.session");
    std::wstring error;
    EXPECT_FALSE(store.Save(SampleSession(), error));
    EXPECT_EQ(error, L"Protected account session could not be stored.");
    store.Clear();  // a folder is not removed and nothing is thrown
    EXPECT_TRUE(std::filesystem::exists(blocked / L"server.session" / L"child"));

    ServerSession lone = SampleSession();
    lone.nickname = std::wstring(1, wchar_t(0xDC00));
    ServerSessionStore normal;
    EXPECT_FALSE(normal.Save(lone, error));

    ASSERT_TRUE(normal.Save(SampleSession(), error));
    normal.Clear();
    EXPECT_FALSE(std::filesystem::exists(normal.Path()));
    normal.Clear();  // already gone
}
