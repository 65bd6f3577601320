#include <gtest/gtest.h>

#include "common/text_utils.h"

using tarvo::distribution::Utf8ToWide;
using tarvo::distribution::WideToUtf8;

TEST(Utf8ToWide, DecodesValidSequencesOfEveryLength) {
    EXPECT_EQ(Utf8ToWide("\xC3\xA9"), std::wstring(1, L'\u00E9'));
    EXPECT_EQ(Utf8ToWide("plain ASCII"), L"plain ASCII");
    EXPECT_EQ(Utf8ToWide("\xD0\x93\xD1\x80\xD0\xB0"), L"Гра");
    EXPECT_EQ(Utf8ToWide("\xE2\x82\xAC"), std::wstring(1, L'\u20AC'));
    // Outside the basic plane: one surrogate pair.
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x8E\xAF"), std::wstring({wchar_t(0xD83C), wchar_t(0xDFAF)}));
    // Embedded NUL is data, not an end.
    EXPECT_EQ(Utf8ToWide(std::string_view("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Utf8ToWide, KeepsByteOrderMarkAsCharacter) {
    EXPECT_EQ(Utf8ToWide("\xEF\xBB\xBFx"), std::wstring({wchar_t(0xFEFF), L'x'}));
}

TEST(Utf8ToWide, AnyInvalidSequenceEmptiesTheWholeResult) {
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(Utf8ToWide("\xFF"), L"");
    EXPECT_EQ(Utf8ToWide("valid then \xFF"), L"");
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"");          // overlong '/'
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"");      // encoded surrogate
    EXPECT_EQ(Utf8ToWide("\xE2\x82"), L"");          // truncated
    EXPECT_EQ(Utf8ToWide("\x80"), L"");              // lone continuation byte
    EXPECT_EQ(Utf8ToWide("\xF4\x90\x80\x80"), L"");  // beyond U+10FFFF
}

TEST(WideToUtf8, EncodesAndRoundTrips) {
    EXPECT_EQ(WideToUtf8(std::wstring(1, L'\u00E9')), "\xC3\xA9");
    EXPECT_EQ(WideToUtf8(std::wstring({wchar_t(0xD83C), wchar_t(0xDFAF)})), "\xF0\x9F\x8E\xAF");
    const std::wstring text = L"ТРЕНУВАННЯ З БОТАМИ — STAGE 001 ї є ґ";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
}

TEST(WideToUtf8, UnpairedSurrogatesGiveEmptyResult) {
    EXPECT_EQ(WideToUtf8(L""), "");
    EXPECT_EQ(WideToUtf8(std::wstring({L'a', wchar_t(0xD800)})), "");           // high at the end
    EXPECT_EQ(WideToUtf8(std::wstring({wchar_t(0xD800), L'a'})), "");           // high before a non-surrogate
    EXPECT_EQ(WideToUtf8(std::wstring({wchar_t(0xDC00), L'a'})), "");           // lone low
    EXPECT_EQ(WideToUtf8(std::wstring({wchar_t(0xDFAF), wchar_t(0xD83C)})), "");  // pair in the wrong order
}
