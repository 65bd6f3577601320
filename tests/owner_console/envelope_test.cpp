// The wire and file forms as bytes: payload templates, escaping, Base64, the key
// file header and the action words.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "release_control/command_envelope.h"

namespace tarvo::release_control {
namespace {

// The test holds the secret texts it looks for only masked, so it never leaves a copy
// of them itself.
constexpr char kMask = static_cast<char>(0xA5);

// How many times the masked text occurs, in clear, in the committed private writable
// memory of this process: every heap (freed blocks included) and every stack.
int OccurrencesInMemory(const std::string& masked) {
    constexpr SIZE_T kChunk = 1 << 20;
    auto* chunk = static_cast<char*>(VirtualAlloc(nullptr, kChunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!chunk) return -1;
    const char first = static_cast<char>(masked[0] ^ kMask);
    auto matches = [&](const char* at) {
        for (size_t k = 1; k < masked.size(); ++k) {
            if (static_cast<char>(at[k] ^ kMask) != masked[k]) return false;
        }
        return true;
    };
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    int found = 0;
    const char* at = static_cast<const char*>(system.lpMinimumApplicationAddress);
    MEMORY_BASIC_INFORMATION region{};
    while (at < system.lpMaximumApplicationAddress && VirtualQuery(at, &region, sizeof region) == sizeof region) {
        const char* base = static_cast<const char*>(region.BaseAddress);
        const bool scan = region.State == MEM_COMMIT && region.Type == MEM_PRIVATE &&
                          (region.Protect & (PAGE_READWRITE | PAGE_EXECUTE_READWRITE)) != 0 &&
                          (region.Protect & PAGE_GUARD) == 0 && base != chunk;
        // Chunks overlap by the text's length, so no occurrence is cut in two.
        for (SIZE_T offset = 0; scan && offset < region.RegionSize; offset += kChunk - masked.size()) {
            const SIZE_T want = std::min(kChunk, region.RegionSize - offset);
            SIZE_T got = 0;
            if (!ReadProcessMemory(GetCurrentProcess(), base + offset, chunk, want, &got)) break;
            for (const char* p = chunk; got >= masked.size() && p <= chunk + got - masked.size(); ++p) {
                p = static_cast<const char*>(std::memchr(p, first, static_cast<size_t>(chunk + got - masked.size() - p) + 1));
                if (!p) break;
                found += matches(p);
            }
            if (want < kChunk) break;
        }
        at = base + region.RegionSize;
    }
    SecureZeroMemory(chunk, kChunk);
    VirtualFree(chunk, 0, MEM_RELEASE);
    return found;
}

// The masked Base64 of masked[from, from + 3n): the form a text takes inside a larger
// Base64 text when it starts on a group boundary there.
std::string MaskedBase64(const std::string& masked, size_t from) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = from; i + 3 <= masked.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(masked[i] ^ kMask) << 16) |
                           (static_cast<unsigned char>(masked[i + 1] ^ kMask) << 8) |
                           static_cast<unsigned char>(masked[i + 2] ^ kMask);
        for (int shift : {18, 12, 6, 0}) out += static_cast<char>(kAlphabet[(v >> shift) & 63] ^ kMask);
    }
    return out;
}

void WipeString(std::string& text) {
    SecureZeroMemory(text.data(), text.capacity());
    text.clear();
}

TEST(CommandPayload, ReleasePayloadIsTheFixedTemplateWithEscapedTexts) {
    EXPECT_EQ(ReleasePayload("ab12", L"check", L"0.0.03.5", L"web \"24\"", 1716230400, L"n0nce"),
              R"({"type":"release","action":"check","gameRelease":"0.0.03.5","webRelease":"web \"24\"",)"
              R"("timestamp":1716230400,"nonce":"n0nce","keyId":"ab12"})");
}

TEST(CommandPayload, BackendPayloadCarriesTheConfigurationOnlyWhenGiven) {
    EXPECT_EQ(BackendPayload("k", L"initialize", nullptr, L"", 7, L"n"),
              R"({"type":"backend","action":"initialize","timestamp":7,"nonce":"n","keyId":"k"})");

    BackendPrivateConfig config;
    config.databaseHost = L"db";
    config.databasePassword = L"p\"\\\n\x01";
    config.smtpPort = L"587";
    config.fromName = L"ТАРВОНІКС";
    const std::string text = BackendPayload("k", L"test-mail", &config, L"owner@tarvonix.net", 7, L"n");
    EXPECT_NE(text.find(R"("config":{"databaseHost":"db","databaseName":"","databaseUser":"",)"
                        R"("databasePassword":"p\"\\\n\u0001","mailDomain":"")"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"fromName\":\"\xD0\xA2\xD0\x90\xD0\xA0"), std::string::npos) << "UTF-8 as is";
    EXPECT_NE(text.find(R"(},"testEmail":"owner@tarvonix.net"})"), std::string::npos) << text;
}

TEST(CommandEnvelope, NoCopyOfAPasswordOutlivesTheEnvelopeOnceTheCallerWipesIt) {
    std::vector<std::string> needles;  // masked: the password in UTF-8 and UTF-16, and in Base64
    {
        BackendPrivateConfig config;  // wipes its passwords when it goes
        std::string masked;
        config.databasePassword.reserve(60);
        unsigned state = 20240611;
        for (int i = 0; i < 60; ++i) {
            state = state * 1103515245u + 12345u;
            const char c = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"[(state >> 16) % 62];
            config.databasePassword.push_back(static_cast<wchar_t>(c));
            masked.push_back(static_cast<char>(c ^ kMask));
        }
        std::string maskedWide;
        for (char m : masked) maskedWide += {m, kMask};  // UTF-16LE: the byte, then zero
        needles = {masked, maskedWide, MaskedBase64(masked, 0), MaskedBase64(masked, 1), MaskedBase64(masked, 2)};

        PublicKey publicKey{};
        Signature signature{};
        std::string payload = BackendPayload("ab12", L"save", &config, L"", 7, L"n0nce");
        std::string envelope = Envelope(payload, publicKey, signature);
        // The search works: the payload holds the password, the envelope its Base64 form.
        EXPECT_GE(OccurrencesInMemory(needles[0]), 1);
        EXPECT_GE(OccurrencesInMemory(needles[2]) + OccurrencesInMemory(needles[3]) + OccurrencesInMemory(needles[4]),
                  1);
        // What the signing client does once the envelope is sent.
        WipeString(envelope);
        WipeString(payload);
    }
    for (size_t i = 0; i < needles.size(); ++i) EXPECT_EQ(OccurrencesInMemory(needles[i]), 0) << "form " << i;
}

TEST(CommandPayload, OverlongOrUnconvertibleTextsRefuseThePayload) {
    EXPECT_TRUE(ReleasePayload("k", L"check", std::wstring(kMaxCommandTextUnits, L'a'), L"", 1, L"n").size() > 0);
    EXPECT_TRUE(ReleasePayload("k", L"check", std::wstring(kMaxCommandTextUnits + 1, L'a'), L"", 1, L"n").empty());
    const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), 0};
    EXPECT_TRUE(AnnouncementPayload("k", L"all", lone, 1, L"n").empty());
    BackendPrivateConfig config;
    config.smtpPassword = std::wstring(300, L'x');
    EXPECT_TRUE(BackendPayload("k", L"save", &config, L"", 1, L"n").empty());
}

TEST(CommandPayload, ActionWords) {
    for (const wchar_t* action : {L"check", L"activate", L"rollback", L"finalize"})
        EXPECT_TRUE(IsReleaseAction(action));
    for (const wchar_t* action : {L"", L"Check", L"status", L"check "}) EXPECT_FALSE(IsReleaseAction(action));
    EXPECT_TRUE(IsBackendAction(L"test-db"));
    EXPECT_TRUE(IsBackendAction(std::wstring(32, L'a')));
    EXPECT_FALSE(IsBackendAction(std::wstring(33, L'a')));
    for (const wchar_t* action : {L"", L"Save", L"a b", L"a\"b", L"../x", L"ok\n"})
        EXPECT_FALSE(IsBackendAction(action));
}

TEST(Base64, RoundTripsEveryLengthAndRefusesNonCanonicalText) {
    std::string bytes;
    for (int n = 0; n < 70; ++n) {
        const std::string text = Base64Encode(bytes);
        EXPECT_EQ(text.size() % 4, 0u);
        const auto back = Base64Decode(text);
        ASSERT_TRUE(back.has_value()) << n;
        EXPECT_EQ(*back, bytes);
        bytes += static_cast<char>(n * 37 + 11);
    }
    EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64Encode("fo"), "Zm8=");
    for (const char* bad : {"Zm8", "Zm8==", "Z===", "Zm=v", "Zm9=Zm9v", "Zm9v!A==", "Zm9=", "Zh=="}) {
        EXPECT_FALSE(Base64Decode(bad).has_value()) << bad;
    }
}

TEST(OwnerKeyFile, HeaderIsTheMagicAndVersionBeforeTheProtectedBlob) {
    const std::string file = EncodeOwnerKeyFile("BLOB");
    EXPECT_EQ(file, std::string("TARVRK1\x01") + "BLOB");
    EXPECT_EQ(DecodeOwnerKeyFile(file), std::optional<std::string>("BLOB"));
    EXPECT_FALSE(DecodeOwnerKeyFile("TARVRK1\x01").has_value()) << "no blob";
    EXPECT_FALSE(DecodeOwnerKeyFile(std::string("TARVRK1\x02") + "BLOB").has_value()) << "unknown version";
    EXPECT_FALSE(DecodeOwnerKeyFile(std::string("TARVRK2\x01") + "BLOB").has_value());
    EXPECT_FALSE(DecodeOwnerKeyFile("").has_value());
}

TEST(OwnerKeyFile, FingerprintGroupsTheFirstSixteenHexDigits) {
    EXPECT_EQ(Fingerprint("0123456789abcdef0011"), L"0123 4567 89AB CDEF");
    EXPECT_EQ(Fingerprint("ab"), L"AB");
    const std::uint8_t bytes[] = {0x00, 0x9f, 0xff};
    EXPECT_EQ(HexLower(bytes, 3), "009fff");
}

}  // namespace
}  // namespace tarvo::release_control
