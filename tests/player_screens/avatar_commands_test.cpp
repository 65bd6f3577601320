// The avatar commands through the dispatcher: the sample image, a picked file
// (injected in place of the system dialog) with the import's limits, the profile
// paint that follows, and the upload while signed in against the fake service.
#include "common/file_utils.h"
#include "player_screens/player_canvas.h"
#include "shell/base64_file.h"
#include "support/fake_account_service.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class AvatarCommands : public PlayerCanvas {
protected:
    void SetUp() override {
        PlayerCanvas::SetUp();
        shell->router.Navigate(ScreenId::Profile);
    }

    // Points the picker at `file` (nullopt: the user cancelled) and runs the command.
    void Pick(std::optional<std::filesystem::path> file) {
        picks = 0;
        shell->pickAvatarFile = [this, file] {
            ++picks;
            return file;
        };
        shell->Dispatch("profile.avatar");
        EXPECT_EQ(picks, 1);
    }

    std::filesystem::path Sized(const std::wstring& name, size_t bytes) {
        const auto file = Root() / L"pick" / name;
        std::string content(bytes, '\x5a');
        testing::WriteBytes(file, content);
        return file;
    }

    std::filesystem::path AvatarCopy(const wchar_t* extension) const {
        return shell->playerStore.ProfileFolder() / (std::wstring(L"avatar") + extension);
    }

    int picks = 0;
};

TEST_F(AvatarCommands, TheSampleBecomesTheAvatarAndShowsOnTheNextPaint) {
    PaintScreen();
    const std::vector<BYTE> placeholder = screen;
    shell->bitmapCache.emplace(Root() / L"stale.png", nullptr);

    shell->Dispatch("profile.avatar.sample");
    EXPECT_EQ(shell->toast, L"ЛОКАЛЬНИЙ АВАТАР ROZIZODIVO ЗБЕРЕЖЕНО");
    EXPECT_TRUE(shell->playerData.avatar.customImage);
    EXPECT_EQ(std::filesystem::path(shell->playerData.avatar.imagePath), AvatarCopy(L".png"));
    EXPECT_EQ(testing::ReadBytes(AvatarCopy(L".png")),
              testing::ReadBytes(NativeShell::DiscoverAsset("inventory/rozizodivo-preview.png")));
    EXPECT_TRUE(shell->bitmapCache.empty()) << "the cache is emptied";
    // Saved with the profile: a new load sees it.
    EXPECT_TRUE(shell->playerStore.Load(L"LOCAL", L"x").avatar.customImage);

    PaintScreen();
    EXPECT_EQ(shell->bitmapCache.count(AvatarCopy(L".png")), 1u);
    ExpectNoText(L"LOC", D2D1::RectF(182, 220, 510, 548));
    int changed = 0;
    for (int y = 224; y < 544; ++y) {
        for (int x = 186; x < 506; ++x) {
            const size_t i = (static_cast<size_t>(y) * 1920 + static_cast<size_t>(x)) * 4;
            changed += std::abs(screen[i] - placeholder[i]) + std::abs(screen[i + 1] - placeholder[i + 1]) > 24;
        }
    }
    EXPECT_GT(changed, 10000) << "the image covers the avatar square";
    ExpectText(L"ЛОКАЛЬНИЙ АВАТАР ROZIZODIVO ЗБЕРЕЖЕНО", L"", Body(), D2D1::RectF(1264, 950, 1832, 1022), Colors::Text);

    English();
    shell->Dispatch("profile.avatar.sample");
    EXPECT_EQ(shell->toast, L"LOCAL ROZIZODIVO AVATAR SAVED");
}

TEST_F(AvatarCommands, APickedImageIsImportedAndAReplacementIsDrawnFresh) {
    const auto red = Root() / L"pick" / L"Red Photo.PNG";
    WriteSolidPng(red, 32, 32, Rgb{230, 20, 30});
    Pick(red);
    EXPECT_EQ(shell->toast, L"ЛОКАЛЬНИЙ АВАТАР ЗБЕРЕЖЕНО");
    EXPECT_EQ(std::filesystem::path(shell->playerData.avatar.imagePath), AvatarCopy(L".png"));
    PaintScreen();
    EXPECT_GT(ScreenPixel(346, 384).r, 200);

    // Same copy name, new content: the cached bitmap must not survive.
    const auto blue = Root() / L"pick" / L"blue.png";
    WriteSolidPng(blue, 32, 32, Rgb{20, 40, 230});
    Pick(blue);
    PaintScreen();
    const Rgb now = ScreenPixel(346, 384);
    EXPECT_GT(now.b, 200);
    EXPECT_LT(now.r, 60);

    English();
    const auto jpeg = Sized(L"x.jpeg", 1);
    Pick(jpeg);
    EXPECT_EQ(shell->toast, L"LOCAL AVATAR SAVED") << "one byte is within the limits";
    EXPECT_EQ(std::filesystem::path(shell->playerData.avatar.imagePath), AvatarCopy(L".jpeg"));
    PaintScreen();  // an undecodable image: the initials come back under the thin ring
    ExpectText(L"LOC", L"", Display(), D2D1::RectF(182, 220, 510, 548), Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
}

TEST_F(AvatarCommands, RefusedFilesAndACancelLeaveTheProfileAlone) {
    const std::wstring cancelled = L"ВИБІР АВАТАРА СКАСОВАНО АБО ФАЙЛ НЕКОРЕКТНИЙ";
    Pick(std::nullopt);
    EXPECT_EQ(shell->toast, cancelled);

    const auto wide = Root() / L"pick" / L"wide.png";
    WriteSolidPng(wide, 4097, 1, Rgb{1, 2, 3});
    const std::vector<std::filesystem::path> refused{
        Sized(L"anim.gif", 100),               // another extension
        Sized(L"empty.png", 0),                // empty
        Sized(L"big.bmp", 10 * 1024 * 1024 + 1),  // one byte over 10 MiB
        Root() / L"pick" / L"missing.png",
        wide,  // wider than any avatar may be
    };
    for (const auto& file : refused) {
        shell->toast.clear();
        Pick(file);
        EXPECT_EQ(shell->toast, cancelled) << file.string();
        EXPECT_FALSE(shell->playerData.avatar.customImage) << file.string();
    }
    EXPECT_FALSE(std::filesystem::exists(AvatarCopy(L".png")));

    English();
    Pick(std::nullopt);
    EXPECT_EQ(shell->toast, L"AVATAR SELECTION CANCELLED OR INVALID");

    const auto limit = Sized(L"limit.bmp", 10 * 1024 * 1024);
    Pick(limit);
    EXPECT_EQ(shell->toast, L"LOCAL AVATAR SAVED") << "exactly 10 MiB is accepted";
}

// Whatever the picker returned, the window shows the outcome in its status box
// before the command returns, without waiting for a paint message.
TEST_F(AvatarCommands, TheOutcomeIsOnTheWindowBeforeTheCommandReturns) {
    ASSERT_TRUE(shell->RegisterWindowClasses());
    ASSERT_TRUE(shell->CreateMainWindow());  // paints into the test's canvas
    ShowWindow(shell->window, SW_SHOWNOACTIVATE);
    shell->router.Navigate(ScreenId::Profile);
    const auto blue = Root() / L"pick" / L"blue.png";
    WriteSolidPng(blue, 8, 8, Rgb{0, 0, 255});
    for (const std::optional<std::filesystem::path>& file : {std::optional<std::filesystem::path>{}, std::optional(blue)}) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        ID2D1RenderTarget* target = shell->renderTarget.Get();
        target->BeginDraw();
        target->Clear(D2D1::ColorF(1.0f, 0.0f, 0.0f));
        ASSERT_HRESULT_SUCCEEDED(target->EndDraw());

        Pick(file);
        // The status box's cyan marker {1240, 950, 1245, 1022}, where the paint put the canvas.
        const WICRect marker{static_cast<INT>(shell->canvasOffset.x + 1242 * shell->canvasScale),
                             static_cast<INT>(shell->canvasOffset.y + 986 * shell->canvasScale), 1, 1};
        BYTE bgra[4] = {};
        ASSERT_HRESULT_SUCCEEDED(bitmap->CopyPixels(&marker, 4, 4, bgra));
        EXPECT_TRUE(bgra[0] > 200 && bgra[1] > 160 && bgra[2] < 100)
            << (file ? "chosen" : "cancelled") << ": status box marker " << int(bgra[2]) << "," << int(bgra[1]) << ","
            << int(bgra[0]);
    }
    DestroyWindow(shell->window);
}

TEST_F(AvatarCommands, ASampleThatCannotBeCopiedReportsTheFailure) {
    // The profile folder is blocked by a file, so the copy cannot be written.
    const auto folder = shell->playerStore.ProfileFolder();
    std::filesystem::create_directories(folder.parent_path());
    std::filesystem::remove_all(folder);
    testing::WriteBytes(folder, "not a folder");
    shell->Dispatch("profile.avatar.sample");
    EXPECT_EQ(shell->toast, L"НЕ ВДАЛОСЯ ІМПОРТУВАТИ АВАТАР");
    EXPECT_FALSE(shell->playerData.avatar.customImage);
    English();
    shell->Dispatch("profile.avatar.sample");
    EXPECT_EQ(shell->toast, L"LOCAL AVATAR IMPORT FAILED");
}

class SignedInAvatar : public AvatarCommands {
protected:
    void SetUp() override {
        ASSERT_TRUE(service.Running());
        shell = std::make_unique<NativeShell>(GetModuleHandleW(nullptr), ProductKind::Game, service.BaseUrl());
        ASSERT_HRESULT_SUCCEEDED(shell->CreateGraphicsFactories());
        ASSERT_HRESULT_SUCCEEDED(shell->wicFactory->CreateBitmap(1920, 1080, GUID_WICPixelFormat32bppPBGRA,
                                                                 WICBitmapCacheOnLoad, &bitmap));
        AttachTarget();
        shell->router.Navigate(ScreenId::Profile);
        account::ServerSession session;
        session.playerId = L"p-1";
        session.accessToken = L"access-1";
        shell->serverSession = session;
        service.Script("profile/avatar", 200, R"({"avatarId":"av-9","message":"stored"})");
    }

    testing::FakeAccountService service;
};

TEST_F(SignedInAvatar, AnImportStartsTheUploadOfTheImage) {
    shell->Dispatch("profile.avatar.sample");
    EXPECT_EQ(shell->toast, L"ЛОКАЛЬНИЙ АВАТАР ROZIZODIVO ЗБЕРЕЖЕНО");
    ASSERT_TRUE(shell->accountRequest.has_value());
    EXPECT_EQ(shell->accountRequestName, "avatar");
    ASSERT_TRUE(service.WaitForRequests(1));
    const auto request = service.LastRequest("profile/avatar");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "POST");
    EXPECT_EQ(request->Header("authorization"), "Bearer access-1");
    const std::string encoded = Base64File(shell->playerData.avatar.imagePath);
    ASSERT_FALSE(encoded.empty());
    EXPECT_NE(request->body.find("\"" + encoded + "\""), std::string::npos) << "the whole image, Base64";

    // The reply is applied by the account pump: the service's avatar id is kept.
    shell->accountRequest->wait();
    shell->PumpAccountRequest();
    EXPECT_EQ(shell->playerData.avatar.avatarId, L"av-9");
    EXPECT_EQ(shell->toast, L"AVATAR SYNC: PASS");
}

TEST_F(SignedInAvatar, NoSecondRequestWhileOneIsPending) {
    service.Hold();
    shell->Dispatch("profile.avatar.sample");
    ASSERT_TRUE(service.WaitForRequests(1));
    const auto blue = Root() / L"pick" / L"blue.png";
    WriteSolidPng(blue, 8, 8, Rgb{0, 0, 255});
    Pick(blue);
    EXPECT_EQ(shell->toast, L"ЛОКАЛЬНИЙ АВАТАР ЗБЕРЕЖЕНО") << "saved locally all the same";
    EXPECT_EQ(service.RequestCount(), 1u) << "nothing more was sent";
    service.Release();
    shell->accountRequest->wait();
    shell->PumpAccountRequest();
    EXPECT_FALSE(shell->accountRequest.has_value());
    EXPECT_EQ(service.RequestCount(), 1u);
}

TEST_F(SignedInAvatar, APickedImageIsUploadedUnlessTooLargeForIt) {
    const auto small = Root() / L"pick" / L"small.png";
    WriteSolidPng(small, 16, 16, Rgb{10, 200, 10});
    Pick(small);
    ASSERT_TRUE(service.WaitForRequests(1));
    EXPECT_TRUE(service.LastRequest("profile/avatar"));
    ASSERT_TRUE(shell->accountRequest.has_value());
    shell->accountRequest->wait();
    shell->PumpAccountRequest();

    // 9 MiB: saved locally, no upload and no message about it.
    const size_t before = service.RequestCount();
    const auto nine = Sized(L"nine.bmp", 9 * 1024 * 1024);
    Pick(nine);
    EXPECT_EQ(shell->toast, L"ЛОКАЛЬНИЙ АВАТАР ЗБЕРЕЖЕНО");
    EXPECT_FALSE(shell->accountRequest.has_value());
    EXPECT_EQ(service.RequestCount(), before);
}

TEST_F(SignedInAvatar, NothingIsSentWhenSignedOutOrRefused) {
    Pick(std::nullopt);
    shell->serverSession.reset();
    shell->Dispatch("profile.avatar.sample");
    EXPECT_TRUE(shell->playerData.avatar.customImage);
    EXPECT_FALSE(shell->accountRequest.has_value());
    EXPECT_EQ(service.RequestCount(), 0u);
}

}  // namespace
}  // namespace tarvo::ui::test
