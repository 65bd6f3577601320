// Every account screen painted with sample data and written as a PNG through WIC,
// then read back. The files go to TARVO_SCREENSHOT_DIR when it is set (for looking
// at them), else to a temporary folder removed afterwards.
#include <wincodec.h>

#include "account/server_session.h"
#include "account_screens/account_canvas.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

std::filesystem::path ScreenshotFolder(const std::filesystem::path& fallback) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"TARVO_SCREENSHOT_DIR", buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return fallback;
    std::filesystem::path folder(buffer);
    std::filesystem::create_directories(folder);
    return folder;
}

class Screenshots : public AccountCanvas {
protected:
    void WritePng(const std::filesystem::path& file) {
        using Microsoft::WRL::ComPtr;
        ComPtr<IWICStream> stream;
        ASSERT_HRESULT_SUCCEEDED(shell->wicFactory->CreateStream(&stream));
        ASSERT_HRESULT_SUCCEEDED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE));
        ComPtr<IWICBitmapEncoder> encoder;
        ASSERT_HRESULT_SUCCEEDED(shell->wicFactory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder));
        ASSERT_HRESULT_SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
        ComPtr<IWICBitmapFrameEncode> frame;
        ASSERT_HRESULT_SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr));
        ASSERT_HRESULT_SUCCEEDED(frame->Initialize(nullptr));
        ASSERT_HRESULT_SUCCEEDED(frame->SetSize(1920, 1080));
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        ASSERT_HRESULT_SUCCEEDED(frame->SetPixelFormat(&format));
        // The canvas is opaque, so its premultiplied bytes are the straight ones.
        ASSERT_HRESULT_SUCCEEDED(
            frame->WritePixels(1080, 1920 * 4, static_cast<UINT>(pixels.size()), pixels.data()));
        ASSERT_HRESULT_SUCCEEDED(frame->Commit());
        ASSERT_HRESULT_SUCCEEDED(encoder->Commit());
    }

    void ExpectPngMatches(const std::filesystem::path& file) {
        using Microsoft::WRL::ComPtr;
        ComPtr<IWICBitmapDecoder> decoder;
        ASSERT_HRESULT_SUCCEEDED(shell->wicFactory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ,
                                                                              WICDecodeMetadataCacheOnLoad, &decoder));
        ComPtr<IWICBitmapFrameDecode> frame;
        ASSERT_HRESULT_SUCCEEDED(decoder->GetFrame(0, &frame));
        UINT width = 0, height = 0;
        ASSERT_HRESULT_SUCCEEDED(frame->GetSize(&width, &height));
        EXPECT_EQ(width, 1920u);
        EXPECT_EQ(height, 1080u);
        ComPtr<IWICFormatConverter> converter;
        ASSERT_HRESULT_SUCCEEDED(shell->wicFactory->CreateFormatConverter(&converter));
        ASSERT_HRESULT_SUCCEEDED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                                       WICBitmapDitherTypeNone, nullptr, 0.0,
                                                       WICBitmapPaletteTypeCustom));
        std::vector<BYTE> decoded(pixels.size());
        ASSERT_HRESULT_SUCCEEDED(converter->CopyPixels(nullptr, 1920 * 4, static_cast<UINT>(decoded.size()),
                                                       decoded.data()));
        EXPECT_TRUE(decoded == pixels) << "PNG is lossless";
    }

    void Shoot(const std::string& name) {
        Paint();
        const std::filesystem::path file =
            folder_ / (name + (English() ? "-en" : "-uk") + ".png");
        WritePng(file);
        ExpectPngMatches(file);
    }

    std::filesystem::path folder_ = ScreenshotFolder(Root());
};

TEST_P(Screenshots, SignInScreens) {
    shell->fieldValues["field.email"] = L"operator@tarvonix.net";
    shell->fieldValues["field.password"] = L"Volley-2025!";
    shell->router.Navigate(ScreenId::Login);
    Shoot("01-sign-in");

    shell->registerTab = true;
    shell->fieldValues["field.nickname"] = L"Кречет";
    shell->fieldValues["field.repeat"] = L"Volley-2025";
    shell->focusedField = "field.nickname";
    shell->caret = 3;
    shell->selectionAnchor = 6;
    shell->fieldErrors["field.repeat"] = std::wstring(shell->localization.Get(L"error_password_match"));
    shell->fieldErrors["field.policy"] = std::wstring(shell->localization.Get(L"error_policy"));
    shell->toast = English() ? L"ACCOUNT SERVICE UNAVAILABLE" : L"СЕРВІС АКАУНТІВ НЕДОСТУПНИЙ";
    Shoot("01-registration");
}

TEST_P(Screenshots, VerificationAndRecoveryScreens) {
    shell->maskedEmail = L"o*******@tarvonix.net";
    shell->fieldValues["field.code"] = L"4821";
    shell->focusedField = "field.code";
    shell->caret = shell->selectionAnchor = 4;
    shell->router.Navigate(ScreenId::VerifyEmail);
    shell->toast = English() ? L"A NEW CODE WAS SENT" : L"НОВИЙ КОД НАДІСЛАНО";
    Shoot("02-verify-email");
    shell->toast.clear();
    shell->focusedField.clear();
    shell->router.Navigate(ScreenId::VerifyDevice);
    Shoot("03-verify-device");
    shell->router.Navigate(ScreenId::ForgotPassword);
    shell->fieldValues["field.email"] = L"operator@tarvonix.net";
    Shoot("04-forgot-password");
    shell->router.Navigate(ScreenId::ResetPassword);
    shell->fieldValues["field.new_password"] = L"NewVolley-77";
    shell->revealedFields["field.new_password"] = true;
    Shoot("05-reset-password");
}

TEST_P(Screenshots, LinkingScreens) {
    shell->router.Navigate(ScreenId::LinkAccount);
    shell->fieldValues["field.local_password"] = L"local-pass";
    Shoot("06-link-account");
    account::ServerSession session;
    session.playerId = L"TVX-7F3A-21C9-0042";
    shell->serverSession = session;
    shell->router.Navigate(ScreenId::LinkComplete);
    Shoot("07-link-complete");
}

TEST_P(Screenshots, DevicesScreen) {
    shell->router.Navigate(ScreenId::Devices);
    Shoot("08-devices-empty");
    const wchar_t* names[] = {L"DESKTOP-TARV01", L"LAPTOP-FIELD", L"", L"ОФІСНИЙ ПК", L"STREAM RIG", L"DESKTOP-OLD"};
    for (int i = 0; i < 6; ++i) {
        ServerDeviceRow row;
        row.deviceId = L"dev-" + std::to_wstring(i);
        row.displayName = names[i];
        row.lastSeenAt = L"2025-03-0" + std::to_wstring(i + 1) + L"T10:00:00Z";
        row.clientVersion = L"0.0.03." + std::to_wstring(5 - i % 2);
        row.current = i == 1;
        shell->trustedDevices.push_back(row);
    }
    shell->hoverCommand = "auth.device.revoke.dev-3";
    Shoot("08-devices-six");
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, Screenshots,
                         ::testing::Values(localization::Locale::Ukrainian, localization::Locale::English), LocaleName);

}  // namespace
}  // namespace tarvo::ui::test
