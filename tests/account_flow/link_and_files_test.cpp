// Moving a local prototype profile to a server account (safe data and avatar upload),
// and damaged session, credential, account and profile files.
#include "auth/device_credential_store.h"
#include "auth/local_prototype_auth_provider.h"
#include "flow_fixture.h"
#include "player/local_player_data_store.h"
#include "shell/base64_file.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class AccountLink : public AccountFlowFixture {
protected:
    enum class Avatar { None, Imported, OutsideTheProfileFolder };

    // A local prototype account in use, with a profile that has played.
    void UseLocalAccount(Avatar avatar) {
        const auth::AuthResult made = shell->localAuth.Register(L"local@example.com", L"Lokal", L"LocalPass1");
        ASSERT_EQ(made.status, auth::AuthResult::Ok);
        shell->accountRecord = *made.account;
        shell->LoadPlayerData();
        shell->playerData.botStats.trainingsStarted = 4;
        shell->playerData.botStats.kills = 21;
        shell->playerData.botStats.deaths = 6;
        shell->playerData.botStats.shotsFired = 300;
        shell->playerData.botStats.shotsHit = 120;
        shell->playerData.botStats.playSeconds = 99.9;
        const std::filesystem::path image = Root() / "face.png";
        testing::WriteBytes(image, std::string("\x89PNG\r\n\x1a\n-avatar-bytes", 21));
        if (avatar == Avatar::Imported) { ASSERT_TRUE(shell->playerStore.ImportAvatar(shell->playerData, image)); }
        if (avatar == Avatar::OutsideTheProfileFolder) {
            // As an edited profile file may have it: a real image, named from the profile folder upward.
            shell->playerData.avatar.imagePath = (shell->playerStore.ProfileFolder() / ".." / "face.png").wstring();
            shell->playerData.avatar.customImage = true;
        }
        shell->SavePlayerData();
        shell->Navigate(ScreenId::MainMenu);
    }
};

TEST_F(AccountLink, LocalProfileMovesToTheServerAccountWithItsAvatar) {
    shell->localization.SetLocale(localization::Locale::English);
    shell->rendererPreference = renderer::RenderBackendKind::Vulkan;
    shell->masterVolume = 0.25f;
    UseLocalAccount(Avatar::Imported);
    const std::wstring localKey = shell->playerData.identity.playerKey;

    shell->Dispatch("auth.link");
    EXPECT_EQ(shell->router.Current(), ScreenId::LinkAccount);

    Type("field.local_password", L"wrong");
    shell->Dispatch("auth.link.verify.existing");
    EXPECT_EQ(shell->fieldErrors["field.local_password"], L"LOCAL PASSWORD IS INCORRECT");
    EXPECT_EQ(shell->router.Current(), ScreenId::LinkAccount);

    Type("field.local_password", L"LocalPass1");
    shell->Dispatch("auth.link.verify.existing");
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
    EXPECT_FALSE(shell->registerTab);
    EXPECT_TRUE(shell->linkPending);
    EXPECT_TRUE(shell->fieldValues["field.local_password"].empty());

    service.Script("auth/login", 200, SessionReply("srv-link", "Linked"));
    service.Script("account/link-legacy", 200, R"({"message":"Linked"})");
    service.Script("profile/avatar", 200, R"({"avatarId":"av-77"})");
    SubmitLogin(L"linked@example.com", L"ServerPass1");
    ASSERT_TRUE(Settle());

    EXPECT_EQ(shell->router.Current(), ScreenId::LinkComplete);
    EXPECT_FALSE(shell->linkPending);
    EXPECT_FALSE(shell->linkSourceProfile);
    EXPECT_EQ(service.LastRequest("sync"), std::nullopt) << "the server must not overwrite the linked figures";

    const auto link = service.LastRequest("account/link-legacy");
    ASSERT_TRUE(link);
    const std::string expectedSafeData =
        R"({"inventory":["weapon.legacy_assault_rifle","character.rozizodivo_biped.004"],)"
        R"("botStats":{"trainingsStarted":4,"trainingsCompleted":0,"kills":21,"deaths":6,"shotsFired":300,)"
        R"("shotsHit":120,"headshots":0,"playSeconds":99},)"
        R"("settings":{"locale":"en-US","renderer":"vulkan","masterVolume":0.250000,)"
        R"("controlBindings":{"crouch":"C","reload":"R","ads":"RMB","fireMode":"B"}}})";
    EXPECT_NE(link->body.find("\"safeData\":" + expectedSafeData), std::string::npos) << link->body;
    const std::string localKeyUtf8(localKey.begin(), localKey.end());
    EXPECT_NE(link->body.find("\"legacyAccountId\":\"" + localKeyUtf8 + "\""), std::string::npos) << link->body;
    EXPECT_EQ(link->Header("authorization"), "Bearer access-1");

    const auto avatar = service.LastRequest("profile/avatar");
    ASSERT_TRUE(avatar);
    const std::string base64 = Base64File(shell->playerData.avatar.imagePath);
    ASSERT_FALSE(base64.empty());
    EXPECT_NE(avatar->body.find("\"dataBase64\":\"" + base64 + "\""), std::string::npos) << avatar->body;

    // The played profile now lives under the server account, with the new avatar id.
    const player::LocalPlayerData stored = player::LocalPlayerDataStore().Load(L"srv-link", L"x");
    EXPECT_EQ(stored.identity.displayName, L"Linked");
    EXPECT_EQ(stored.botStats.kills, 21u);
    EXPECT_EQ(stored.avatar.avatarId, L"av-77");
    EXPECT_TRUE(stored.avatar.customImage);
}

TEST_F(AccountLink, RegistrationCarriesTheLocalKeyAndAnAvatarOutsideTheProfileFolderIsNotUploaded) {
    UseLocalAccount(Avatar::OutsideTheProfileFolder);
    ASSERT_FALSE(Base64File(shell->playerData.avatar.imagePath).empty()) << "the file itself is readable";
    const std::wstring localKey = shell->playerData.identity.playerKey;
    shell->Dispatch("auth.link");
    Type("field.local_password", L"LocalPass1");
    shell->Dispatch("auth.link.verify.new");
    EXPECT_TRUE(shell->registerTab);
    EXPECT_EQ(shell->fieldValues["field.nickname"], L"Lokal");

    service.Script("auth/register", 200, SessionReply("srv-reg", ""));
    service.Script("account/link-legacy", 200, "{}");
    shell->acceptPolicy = true;
    Type("field.email", L"fresh@example.com");
    Type("field.password", L"ServerPass1");
    Type("field.repeat", L"ServerPass1");
    shell->Dispatch("auth.register");
    ASSERT_TRUE(Settle());
    const auto registered = service.LastRequest("auth/register");
    ASSERT_TRUE(registered);
    EXPECT_NE(registered->body.find("\"legacyAccountId\":\"" + std::string(localKey.begin(), localKey.end()) + "\""),
              std::string::npos)
        << registered->body;
    EXPECT_EQ(shell->router.Current(), ScreenId::LinkComplete);
    EXPECT_EQ(service.LastRequest("profile/avatar"), std::nullopt);
    EXPECT_EQ(shell->playerData.identity.displayName, L"Lokal") << "an empty server nickname keeps the local one";
    EXPECT_EQ(shell->playerData.identity.playerKey, L"srv-reg");
}

TEST_F(AccountLink, AFailedLinkKeepsTheLinkPendingAndTheSession) {
    UseLocalAccount(Avatar::None);
    shell->Dispatch("auth.link");
    Type("field.local_password", L"LocalPass1");
    shell->Dispatch("auth.link.verify.existing");
    service.Script("auth/login", 200, SessionReply("srv-x", "X"));
    service.Script("account/link-legacy", 500, R"({"message":"Link failed"})");
    SubmitLogin(L"x@example.com", L"ServerPass1");
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(shell->linkPending);
    EXPECT_TRUE(shell->linkSourceProfile);
    EXPECT_TRUE(shell->serverSession);
    EXPECT_EQ(shell->toast, L"Link failed");
}

TEST_F(AccountLink, TheLocalPasswordIsNeeded) {
    shell->localization.SetLocale(localization::Locale::English);
    shell->Dispatch("auth.link.verify.existing");  // no local account at all
    EXPECT_EQ(shell->fieldErrors["field.local_password"], L"ENTER THE LOCAL PASSWORD");
    UseLocalAccount(Avatar::None);
    shell->localization.SetLocale(localization::Locale::Ukrainian);
    Type("field.local_password", L"");
    shell->Dispatch("auth.link.verify.new");
    EXPECT_EQ(shell->fieldErrors["field.local_password"], L"ВВЕДІТЬ ЛОКАЛЬНИЙ ПАРОЛЬ");
    EXPECT_FALSE(shell->linkPending);
}

// Flips one byte in the middle of a file, or cuts it in half.
void Damage(const std::filesystem::path& file, bool truncate) {
    std::string bytes = testing::ReadBytes(file);
    ASSERT_GT(bytes.size(), 8u);
    if (truncate) {
        bytes.resize(bytes.size() / 2);
    } else {
        bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x5A);
    }
    testing::WriteBytes(file, bytes);
}

class DamagedFiles : public AccountFlowFixture {
protected:
    void StartFromSplash() {
        shell = std::make_unique<NativeShell>(GetModuleHandleW(nullptr), ProductKind::Game, service.BaseUrl());
        shell->startup.EnterSplash(NativeShell::Clock::now() - std::chrono::seconds(4));
        shell->PumpSplashTransition();
    }
};

TEST_F(DamagedFiles, ADamagedSessionIsRefusedAndTheStartGoesToSignIn) {
    for (const std::string damage : {"tampered", "truncated", "1 TiB of holes"}) {
        SCOPED_TRACE(damage);
        SignIn();
        ASSERT_TRUE(Settle());
        shell.reset();
        if (damage == "1 TiB of holes") {
            // What a damaged disk can show: read whole, it would end the program at every start.
            ASSERT_TRUE(testing::WriteSparseFile(SessionFile(), 1ull << 40));
        } else {
            Damage(SessionFile(), damage == "truncated");
        }
        std::wstring error;
        EXPECT_FALSE(account::ServerSessionStore().Load(error));
        EXPECT_FALSE(error.empty());
        if (damage == "1 TiB of holes") {
            EXPECT_EQ(error, L"Stored account session is malformed.");
        }

        const size_t sent = service.RequestCount();
        StartFromSplash();
        EXPECT_EQ(shell->router.Current(), ScreenId::Login);
        EXPECT_FALSE(shell->serverSession);
        EXPECT_FALSE(shell->accountRequest);
        EXPECT_EQ(service.RequestCount(), sent) << "no refresh with a refused session";
        EXPECT_TRUE(Logged("NavigationRequested(Login)"));
    }
}

TEST_F(DamagedFiles, ADamagedDeviceCredentialIsRefused) {
    // A verified local account that trusts this device.
    auth::AuthResult made = shell->localAuth.Register(L"trust@example.com", L"Trust", L"LocalPass1");
    ASSERT_EQ(made.status, auth::AuthResult::Ok);
    made = shell->localAuth.VerifyEmail(L"trust@example.com", made.account->verificationToken);
    ASSERT_EQ(made.status, auth::AuthResult::Ok);
    std::wstring error;
    ASSERT_TRUE(shell->localAuth.RememberDevice(*made.account, shell->deviceCredentials, error));

    StartFromSplash();
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    EXPECT_TRUE(Logged("TrustedDeviceRestored"));
    ASSERT_TRUE(shell->accountRecord);
    EXPECT_EQ(shell->accountRecord->nickname, L"Trust");
    EXPECT_FALSE(shell->accountRequest) << "a local account sends nothing";

    Damage(shell->deviceCredentials.Path(), false);
    EXPECT_FALSE(shell->deviceCredentials.Load(error));
    StartFromSplash();
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
    EXPECT_FALSE(shell->accountRecord);
}

TEST_F(DamagedFiles, ADamagedAccountsFileFailsTheLocalPasswordCheck) {
    const auth::AuthResult made = shell->localAuth.Register(L"local@example.com", L"Lokal", L"LocalPass1");
    ASSERT_EQ(made.status, auth::AuthResult::Ok);
    shell->accountRecord = *made.account;
    Damage(shell->localAuth.Path(), true);
    shell->localization.SetLocale(localization::Locale::English);
    Type("field.local_password", L"LocalPass1");
    shell->Dispatch("auth.link.verify.existing");
    EXPECT_EQ(shell->fieldErrors["field.local_password"], L"LOCAL PASSWORD IS INCORRECT");
    EXPECT_FALSE(shell->linkPending);
    EXPECT_EQ(shell->localAuth.Login(L"local@example.com", L"LocalPass1").status, auth::AuthResult::StorageFailed);
}

TEST_F(DamagedFiles, ADamagedProfileFileIsKeptBesideAndWhatStillReadsStays) {
    SignIn("srv-p", "Pavlo");
    shell->playerData.botStats.kills = 12;
    shell->SavePlayerData();
    const std::filesystem::path file = shell->playerStore.Path();
    const std::filesystem::path kept = file.wstring() + L".damaged";
    const std::string good = testing::ReadBytes(file);

    // Half of it: nothing reads, so the default profile with the record's name.
    Damage(file, true);
    const std::string halved = testing::ReadBytes(file);
    shell->LoadPlayerData();
    EXPECT_EQ(shell->playerData.identity.playerKey, L"srv-p");
    EXPECT_EQ(shell->playerData.identity.displayName, L"Pavlo") << "the default profile carries the record's name";
    EXPECT_EQ(shell->playerData.botStats.kills, 0u);
    shell->SavePlayerData();
    EXPECT_EQ(testing::ReadBytes(kept), halved);
    EXPECT_TRUE(Logged("PlayerDataDamaged Kept=player.dat.damaged Profiles=0"));

    // A wrong digest: the profile still reads whole and goes on.
    std::string misSealed = good;
    misSealed.back() = static_cast<char>(misSealed.back() ^ 0x01);
    testing::WriteBytes(file, misSealed);
    shell->LoadPlayerData();
    EXPECT_EQ(shell->playerData.botStats.kills, 12u);
    shell->SavePlayerData();
    EXPECT_EQ(testing::ReadBytes(kept), misSealed);
    EXPECT_TRUE(Logged("PlayerDataDamaged Kept=player.dat.damaged Profiles=1"));
    EXPECT_EQ(player::LocalPlayerDataStore().Load(L"srv-p", L"x").botStats.kills, 12u);
}

}  // namespace
}  // namespace tarvo::ui::test
