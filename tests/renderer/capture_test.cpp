#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "common/text_utils.h"
#include "renderer/qa_capture.h"
#include "support/temp_folder.h"

namespace tarvo::renderer {
namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

TEST(QaCapture, BmpHeaderAndPixelBytes) {
    testing::TempFolder temp;
    const uint8_t rgba[8] = {10, 20, 30, 0, 200, 100, 50, 7};
    const auto file = temp.Path() / "two.bmp";
    ASSERT_TRUE(WriteQaFrame(file, 2, 1, rgba, 8, false));
    const std::vector<uint8_t> bytes = ReadAll(file);
    ASSERT_EQ(bytes.size(), 62u);
    const std::vector<uint8_t> header(bytes.begin(), bytes.begin() + 54);
    const std::vector<uint8_t> expected = {
        'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,          // file header
        40, 0, 0, 0, 2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,          // info size, width 2, height -1
        1, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, 0,                      // planes, 32 bits, no compression, size 0
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};          // resolutions and colour counts
    EXPECT_EQ(header, expected);
    // RGBA in, B G R 255 out.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 54, bytes.end()),
              (std::vector<uint8_t>{30, 20, 10, 255, 50, 100, 200, 255}));

    ASSERT_TRUE(WriteQaFrame(file, 2, 1, rgba, 8, true));  // replaces the file
    const std::vector<uint8_t> bgr = ReadAll(file);
    ASSERT_EQ(bgr.size(), 62u);
    EXPECT_EQ(std::vector<uint8_t>(bgr.begin() + 54, bgr.end()),
              (std::vector<uint8_t>{10, 20, 30, 255, 200, 100, 50, 255}));
}

TEST(QaCapture, RowPitchAndTopDownRows) {
    testing::TempFolder temp;
    // Two rows of one pixel each, 12 bytes apart: the padding must be skipped.
    const uint8_t pixels[24] = {1, 2, 3, 4, 99, 99, 99, 99, 99, 99, 99, 99, 5, 6, 7, 8};
    const auto file = temp.Path() / "pitch.bmp";
    ASSERT_TRUE(WriteQaFrame(file, 1, 2, pixels, 12, true));
    const std::vector<uint8_t> bytes = ReadAll(file);
    ASSERT_EQ(bytes.size(), 54u + 8u);
    EXPECT_EQ(U32At(bytes, 2), 62u);
    EXPECT_EQ(static_cast<int32_t>(U32At(bytes, 22)), -2);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 54, bytes.end()), (std::vector<uint8_t>{1, 2, 3, 255, 5, 6, 7, 255}));
}

TEST(QaCapture, RefusalsFoldersAndUtf8Paths) {
    testing::TempFolder temp;
    const uint8_t pixel[4] = {1, 2, 3, 4};
    const auto never = temp.Path() / "never.bmp";
    EXPECT_FALSE(WriteQaFrame(never, 1, 1, nullptr, 4, true));
    EXPECT_FALSE(WriteQaFrame(never, 0, 1, pixel, 4, true));
    EXPECT_FALSE(WriteQaFrame(never, 1, 0, pixel, 4, true));
    EXPECT_FALSE(std::filesystem::exists(never));

    const auto nested = temp.Path() / "a" / "b" / "c" / "frame.bmp";
    EXPECT_TRUE(WriteQaFrame(nested, 1, 1, pixel, 4, true));
    EXPECT_EQ(std::filesystem::file_size(nested), 58u);

    // A folder that cannot be made (a file stands in the way) is a false result, not a throw.
    std::ofstream(temp.Path() / "blocker") << "x";
    EXPECT_FALSE(WriteQaFrame(temp.Path() / "blocker" / "frame.bmp", 1, 1, pixel, 4, true));
    // A target that is a folder cannot be written and leaves nothing behind.
    std::filesystem::create_directories(temp.Path() / "dir.bmp");
    EXPECT_FALSE(WriteQaFrame(temp.Path() / "dir.bmp", 1, 1, pixel, 4, true));
    EXPECT_TRUE(std::filesystem::is_directory(temp.Path() / "dir.bmp"));

    // The overlay's path is UTF-8: Cyrillic folder names survive, invalid bytes are refused.
    const std::string utf8 = distribution::WideToUtf8(temp.Path().wstring()) + "\\\xD0\xBA\xD0\xB0\xD0\xB4\xD1\x80\xD0\xB8" +
                             "\\\xD0\xBA\xD0\xB0\xD0\xB4\xD1\x80.bmp";
    ASSERT_TRUE(WriteQaFrameUtf8(utf8, 1, 1, pixel, 4, true));
    EXPECT_TRUE(std::filesystem::exists(temp.Path() / L"кадри" / L"кадр.bmp"));
    EXPECT_FALSE(WriteQaFrameUtf8((temp.Path() / "bad").string() + "\xFF.bmp", 1, 1, pixel, 4, true));
}

}  // namespace
}  // namespace tarvo::renderer
