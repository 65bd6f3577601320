#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "asset_test_support.h"
#include "presentation/imported_character_asset.h"

namespace tarvo::presentation {
namespace {

using testing::CharacterFixture;
using testing::CharacterV1Fixture;
using testing::TempFolder;
using testing::WriteBytes;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Outcome {
    bool loaded;
    std::wstring status;
};

Outcome LoadBytes(const std::vector<uint8_t>& bytes) {
    TempFolder temp;
    const auto file = temp / L"character.tarvomesh";
    WriteBytes(file, bytes);
    ImportedCharacterAsset asset;
    const bool loaded = asset.Load(file);
    if (!loaded) {
        // Every refusal leaves the asset empty.
        EXPECT_FALSE(asset.Ready());
        EXPECT_EQ(asset.LodCount(), 0u);
        EXPECT_TRUE(asset.TextureMips().empty());
        EXPECT_TRUE(asset.SourceHashHex().empty());
        EXPECT_EQ(asset.FormatVersion(), 0);
        EXPECT_EQ(asset.HeightMeters(), 0.0f);
    }
    return {loaded, asset.Status()};
}

std::wstring StatusOf(const CharacterFixture& fixture) { return LoadBytes(fixture.Build()).status; }
std::wstring StatusOf(const CharacterV1Fixture& fixture) { return LoadBytes(fixture.Build()).status; }

const std::wstring kV2Ready = L"ROZIZODIVO TRVMESH2 TEXTURED LOD READY";
const std::wstring kV3Ready = L"ROZIZODIVO TRVMESH3 TEXTURED + ANIMATED SOCKETS READY";
const std::wstring kV1Ready = L"ROZIZODIVO TRVMESH1 ROLLBACK READY";

TEST(CharacterAssetHeader, MissingShortAndForeignFiles) {
    ImportedCharacterAsset asset;
    EXPECT_EQ(asset.Status(), L"NOT LOADED");
    TempFolder temp;
    EXPECT_FALSE(asset.Load(temp / L"absent.tarvomesh"));
    EXPECT_EQ(asset.Status(), L"MISSING — PROCEDURAL FALLBACK ACTIVE");
    EXPECT_FALSE(asset.Load(temp.Path()));  // a folder cannot be read either
    EXPECT_EQ(asset.Status(), L"MISSING — PROCEDURAL FALLBACK ACTIVE");

    EXPECT_EQ(LoadBytes({'T', 'R', 'V', 'M', 'E'}).status, L"TRUNCATED HEADER — PROCEDURAL FALLBACK ACTIVE");
    EXPECT_EQ(LoadBytes({'T', 'R', 'V', 'M', 'E', 'S', 'H', '4'}).status, L"INVALID HEADER — PROCEDURAL FALLBACK ACTIVE");
    EXPECT_EQ(LoadBytes({'t', 'R', 'V', 'M', 'E', 'S', 'H', '2'}).status, L"INVALID HEADER — PROCEDURAL FALLBACK ACTIVE");
}

TEST(CharacterAssetHeader, VersionMustMatchMagic) {
    CharacterFixture fixture;
    fixture.magic = "TRVMESH3";
    fixture.version = 2;
    EXPECT_EQ(StatusOf(fixture), L"INVALID TRVMESH2 METADATA — ROLLBACK REQUIRED");
    fixture.magic = "TRVMESH2";
    fixture.version = 3;
    EXPECT_EQ(StatusOf(fixture), L"INVALID TRVMESH2 METADATA — ROLLBACK REQUIRED");
    CharacterV1Fixture old;
    old.version = 2;
    EXPECT_EQ(StatusOf(old), L"INVALID TRVMESH1 METADATA — PROCEDURAL FALLBACK ACTIVE");
}

TEST(CharacterAssetHeader, HeightBoundsAreInclusive) {
    for (const float ok : {0.5f, 4.0f}) {
        CharacterFixture fixture;
        fixture.height = ok;
        EXPECT_EQ(StatusOf(fixture), kV2Ready) << ok;
        CharacterV1Fixture old;
        old.height = ok;
        EXPECT_EQ(StatusOf(old), kV1Ready) << ok;
    }
    for (const float bad : {0.49f, 4.01f, kNaN, std::numeric_limits<float>::infinity()}) {
        CharacterFixture fixture;
        fixture.height = bad;
        EXPECT_EQ(StatusOf(fixture), L"INVALID TRVMESH2 METADATA — ROLLBACK REQUIRED") << bad;
        CharacterV1Fixture old;
        old.height = bad;
        EXPECT_EQ(StatusOf(old), L"INVALID TRVMESH1 METADATA — PROCEDURAL FALLBACK ACTIVE") << bad;
    }
}

TEST(CharacterAssetVersion2, MetadataRangesAreRefused) {
    const std::wstring invalid = L"INVALID TRVMESH2 METADATA — ROLLBACK REQUIRED";
    auto with = [](auto change) {
        CharacterFixture fixture;
        change(fixture);
        return StatusOf(fixture);
    };
    EXPECT_EQ(with([](CharacterFixture& s) { s.lodCount = 0; }), invalid);
    EXPECT_EQ(with([](CharacterFixture& s) { s.lodCount = 9; }), invalid);
    EXPECT_EQ(with([](CharacterFixture& s) { s.clipCount = 0; }), invalid);
    EXPECT_EQ(with([](CharacterFixture& s) { s.clipCount = 17; }), invalid);
    EXPECT_EQ(with([](CharacterFixture& s) { s.mipCount = 0; }), invalid);
    EXPECT_EQ(with([](CharacterFixture& s) { s.mipCount = 17; }), invalid);
    EXPECT_EQ(with([](CharacterFixture& s) { s.reservedWord = 2; }), invalid);
    EXPECT_EQ(with([](CharacterFixture& s) { s.reservedFloat = 0.0f; }), invalid);
    EXPECT_EQ(with([](CharacterFixture& s) { s.reservedFloat = kNaN; }), invalid);
}

TEST(CharacterAssetVersion2, BlockRefusalsNameTheBlock) {
    auto with = [](auto change) {
        CharacterFixture fixture;
        change(fixture);
        return StatusOf(fixture);
    };
    EXPECT_EQ(with([](CharacterFixture& s) { s.truncateTo = 30; }), L"TRUNCATED TRVMESH2 HEADER — ROLLBACK REQUIRED");
    EXPECT_EQ(with([](CharacterFixture& s) { s.truncateTo = 90; }), L"TRUNCATED TRVMESH2 HASH — ROLLBACK REQUIRED");
    const std::wstring clipTable = L"INVALID TRVMESH2 CLIP TABLE — ROLLBACK REQUIRED";
    EXPECT_EQ(with([](CharacterFixture& s) { s.clips[0].name = ""; }), clipTable);
    EXPECT_EQ(with([](CharacterFixture& s) { s.clips[0].name = std::string(65, 'a'); }), clipTable);
    EXPECT_EQ(with([](CharacterFixture& s) { s.clips[1].duration = 0.0f; }), clipTable);
    EXPECT_EQ(with([](CharacterFixture& s) { s.clips[1].duration = kNaN; }), clipTable);
    EXPECT_EQ(with([](CharacterFixture& s) { s.clips[0].frames = 0; }), clipTable);
    EXPECT_EQ(with([](CharacterFixture& s) { s.clips[0].frames = 121; }), clipTable);
    EXPECT_EQ(with([](CharacterFixture& s) { s.clips[0].name = std::string(64, 'a'); }), kV2Ready);
    EXPECT_EQ(with([](CharacterFixture& s) { s.clips[0].frames = 120; }), kV2Ready);

    const std::wstring lod = L"INVALID TRVMESH2 LOD — ROLLBACK REQUIRED";
    EXPECT_EQ(with([](CharacterFixture& s) { s.lods[1].vertices = 2; }), lod);
    EXPECT_EQ(with([](CharacterFixture& s) { s.lods[0].vertices = 250001; }), lod);
    EXPECT_EQ(with([](CharacterFixture& s) { s.lods[0].indices = 4; }), lod);
    EXPECT_EQ(with([](CharacterFixture& s) { s.lods[0].indices = 1200003; }), lod);
    EXPECT_EQ(with([](CharacterFixture& s) { s.lods[1].maxDistance = 0.0f; }), lod);
    EXPECT_EQ(with([](CharacterFixture& s) { s.lods[1].maxDistance = kNaN; }), lod);

    const std::wstring lodData = L"INVALID TRVMESH2 LOD DATA — ROLLBACK REQUIRED";
    EXPECT_EQ(with([](CharacterFixture& s) { s.badIndex = 4; }), lodData);
    EXPECT_EQ(with([](CharacterFixture& s) { s.uvValue = kNaN; }), lodData);
    // A LOD that claims far more data than the file holds is refused before any allocation.
    EXPECT_EQ(with([](CharacterFixture& s) {
                  s.lods[0].vertices = 250000;
                  s.truncateTo = 400;
              }),
              lodData);

    EXPECT_EQ(with([](CharacterFixture& s) { s.badPosition = std::numeric_limits<float>::infinity(); }),
              L"TRUNCATED TRVMESH2 FRAMES — ROLLBACK REQUIRED");

    const std::wstring texture = L"INVALID TRVMESH2 TEXTURE — ROLLBACK REQUIRED";
    EXPECT_EQ(with([](CharacterFixture& s) { s.mips[0].width = 0; }), texture);
    EXPECT_EQ(with([](CharacterFixture& s) { s.mips[0].height = 8193; }), texture);
    EXPECT_EQ(with([](CharacterFixture& s) { s.mips[1].byteCount = 3; }), texture);
    EXPECT_EQ(with([](CharacterFixture& s) { s.mips[1].writePixels = false; }),
              L"TRUNCATED TRVMESH2 TEXTURE — ROLLBACK REQUIRED");
}

TEST(CharacterAssetVersion2, ShortFramesAreTruncated) {
    CharacterFixture fixture;
    auto bytes = fixture.Build();
    // Cut inside the last clip's positions of the last LOD (just before the texture records).
    const size_t textureBytes = (12 + 16) + (12 + 4);
    bytes.resize(bytes.size() - textureBytes - 5);
    EXPECT_EQ(LoadBytes(bytes).status, L"TRUNCATED TRVMESH2 FRAMES — ROLLBACK REQUIRED");
}

TEST(CharacterAssetVersion2, FrameLimitCountsEveryLod) {
    // LOD 1 alone holds exactly 18000000 vertex-frames (allowed); LOD 0's 216 before it
    // push the file over the limit before LOD 1's positions are even read.
    CharacterFixture fixture;
    fixture.clips = {{"idle", 1.0f, 72}};
    fixture.lods = {{3, 3, 10.0f}};
    fixture.lodCount = 2;
    fixture.mips = {};
    fixture.mipCount = 1;
    testing::ByteWriter w;
    w.bytes = fixture.Build();
    w.U32(250000).U32(3).F32(100.0f);
    w.Fill(0, 250000 * 8);
    w.U32(0).U32(1).U32(2);
    EXPECT_EQ(LoadBytes(w.bytes).status, L"TRVMESH2 FRAME LIMIT EXCEEDED — ROLLBACK REQUIRED");
}

TEST(CharacterAssetVersion2, BaseColorBitIsCheckedLast) {
    CharacterFixture fixture;
    fixture.baseColor = 2;
    EXPECT_EQ(StatusOf(fixture), L"TRVMESH2 BASE COLOR MISSING — ROLLBACK REQUIRED");
    fixture.baseColor = 0x101;  // only the low byte is kept
    EXPECT_EQ(StatusOf(fixture), kV2Ready);
}

TEST(CharacterAssetVersion3, PosesAreReadAndChecked) {
    CharacterFixture fixture;
    fixture.magic = "TRVMESH3";
    fixture.version = 3;
    EXPECT_EQ(StatusOf(fixture), kV3Ready);
    fixture.poseValue = kNaN;
    EXPECT_EQ(StatusOf(fixture), L"INVALID TRVMESH3 ATTACHMENT POSES — ROLLBACK REQUIRED");
    fixture.poseValue = 0.25f;
    fixture.truncateTo = 104 + 2 * 13 + 2 * 12 + 36 * 3;  // cut inside the poses
    EXPECT_EQ(StatusOf(fixture), L"INVALID TRVMESH3 ATTACHMENT POSES — ROLLBACK REQUIRED");
}

TEST(CharacterAssetVersion1, RefusalsNameTheBlock) {
    auto with = [](auto change) {
        CharacterV1Fixture fixture;
        change(fixture);
        return StatusOf(fixture);
    };
    const std::wstring meta = L"INVALID TRVMESH1 METADATA — PROCEDURAL FALLBACK ACTIVE";
    EXPECT_EQ(with([](CharacterV1Fixture& s) { s.vertices = 2; }), meta);
    EXPECT_EQ(with([](CharacterV1Fixture& s) { s.vertices = 100001; }), meta);
    EXPECT_EQ(with([](CharacterV1Fixture& s) { s.indices = 7; }), meta);
    EXPECT_EQ(with([](CharacterV1Fixture& s) { s.indices = 600003; }), meta);
    EXPECT_EQ(with([](CharacterV1Fixture& s) { s.clipCount = 17; }), meta);
    EXPECT_EQ(with([](CharacterV1Fixture& s) { s.reservedFloat = -1.0f; }), meta);
    EXPECT_EQ(with([](CharacterV1Fixture& s) { s.badIndex = 4; }), L"INVALID TRVMESH1 TOPOLOGY — PROCEDURAL FALLBACK ACTIVE");
    const std::wstring clip = L"INVALID TRVMESH1 CLIP — PROCEDURAL FALLBACK ACTIVE";
    EXPECT_EQ(with([](CharacterV1Fixture& s) { s.clips[1].name = ""; }), clip);
    EXPECT_EQ(with([](CharacterV1Fixture& s) { s.clips[1].duration = -1.0f; }), clip);
    EXPECT_EQ(with([](CharacterV1Fixture& s) { s.clips[0].frames = 121; }), clip);
    EXPECT_EQ(with([](CharacterV1Fixture& s) { s.writePositions = false; }),
              L"TRUNCATED TRVMESH1 FRAMES — PROCEDURAL FALLBACK ACTIVE");

    auto bytes = CharacterV1Fixture{}.Build();
    bytes.resize(20);
    EXPECT_EQ(LoadBytes(bytes).status, L"TRUNCATED TRVMESH1 HEADER — PROCEDURAL FALLBACK ACTIVE");
    bytes = CharacterV1Fixture{}.Build();
    bytes.resize(50);
    EXPECT_EQ(LoadBytes(bytes).status, L"TRUNCATED TRVMESH1 HASH — PROCEDURAL FALLBACK ACTIVE");
    bytes = CharacterV1Fixture{}.Build();
    bytes.resize(70);
    EXPECT_EQ(LoadBytes(bytes).status, L"INVALID TRVMESH1 TOPOLOGY — PROCEDURAL FALLBACK ACTIVE");
}

TEST(CharacterAssetVersion1, LoadsAsOneUntexturedLod) {
    TempFolder temp;
    WriteBytes(temp / L"old.tarvomesh", CharacterV1Fixture{}.Build());
    ImportedCharacterAsset asset;
    ASSERT_TRUE(asset.Load(temp / L"old.tarvomesh"));
    EXPECT_EQ(asset.Status(), kV1Ready);
    EXPECT_EQ(asset.FormatVersion(), 1);
    EXPECT_FALSE(asset.Textured());
    EXPECT_TRUE(asset.TextureHashHex().empty());
    EXPECT_EQ(asset.SourceHashHex(), "0101010101010101010101010101010101010101010101010101010101010101");
    EXPECT_EQ(asset.LodCount(), 1u);
    EXPECT_EQ(asset.LodForDistance(5000.0f), 0u);
    EXPECT_EQ(asset.VertexCount(0), 4u);
    EXPECT_EQ(asset.TriangleCount(0), 2u);
    EXPECT_TRUE(asset.TextureCoordinates(0).empty());
    EXPECT_TRUE(asset.HasClip("run"));
    EXPECT_FALSE(asset.SampleAttachments("run", 0.0f).has_value());
    const auto frame = asset.Sample("run", 0.25f, 0);  // 3 frames over 0.5 s: frame 1
    ASSERT_EQ(frame.size(), 4u);
    EXPECT_EQ(frame[0].x, 1.0f);
    EXPECT_EQ(frame[3].y, 3.0f);
    EXPECT_EQ(frame[0].z, 1.0f);
}

TEST(CharacterAssetVersion1, ClipAtTheVertexFrameLimitLoads) {
    // 120 frames of 100000 vertices: 12000000 vertex-frames, 144 MB of positions.
    CharacterV1Fixture fixture;
    fixture.vertices = 100000;
    fixture.indices = 3;
    fixture.clips = {{"idle", 1.0f, 120}};
    fixture.writePositions = false;
    const auto head = fixture.Build();
    TempFolder temp;
    const auto file = temp / L"big.tarvomesh";
    ASSERT_TRUE(testing::WriteWithZeroTail(file, head, head.size() + uint64_t{12} * 100000 * 120));
    ImportedCharacterAsset asset;
    EXPECT_TRUE(asset.Load(file));
    EXPECT_EQ(asset.VertexCount(0), 100000u);
    EXPECT_EQ(asset.Sample("idle", 0.999f, 0).size(), 100000u);
}

TEST(CharacterAssetTexture, LargestLevelAndTotalLimit) {
    TempFolder temp;
    const auto file = temp / L"texture.tarvomesh";
    const uint64_t full = uint64_t{8192} * 8192 * 4;
    auto fileWith = [&](uint32_t secondSide) {
        CharacterFixture fixture;
        fixture.mips = {{8192, 8192, std::nullopt, false}};
        fixture.mipCount = 2;
        auto bytes = fixture.Build();
        std::vector<uint8_t> second(12);
        const uint32_t fields[3] = {secondSide, secondSide, secondSide * secondSide * 4};
        std::memcpy(second.data(), fields, 12);
        // The first level's pixels are a sparse zero run; the second header follows them.
        EXPECT_TRUE(testing::WriteWithZeroTail(file, bytes, bytes.size() + full));
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER end{};
        SetFilePointerEx(h, end, nullptr, FILE_END);
        DWORD written = 0;
        WriteFile(h, second.data(), 12, &written, nullptr);
        if (secondSide == 4096) {
            end.QuadPart = static_cast<LONGLONG>(bytes.size() + full + 12 + uint64_t{4096} * 4096 * 4);
            SetFilePointerEx(h, end, nullptr, FILE_BEGIN);
            SetEndOfFile(h);
        }
        CloseHandle(h);
    };
    fileWith(8192);
    ImportedCharacterAsset asset;
    EXPECT_FALSE(asset.Load(file));
    EXPECT_EQ(asset.Status(), L"TRVMESH2 TEXTURE LIMIT EXCEEDED — ROLLBACK REQUIRED");
    fileWith(4096);
    ASSERT_TRUE(asset.Load(file)) << std::string(asset.Status().begin(), asset.Status().end());
    ASSERT_EQ(asset.TextureMips().size(), 2u);
    EXPECT_EQ(asset.TextureMips()[0].pixels.size(), full);
    EXPECT_EQ(asset.TextureMips()[1].width, 4096u);
    EXPECT_TRUE(asset.Textured());
}

class LoadedCharacter : public ::testing::Test {
protected:
    void SetUp() override {
        CharacterFixture fixture;
        fixture.magic = "TRVMESH3";
        fixture.version = 3;
        fixture.clips = {{"idle", 2.0f, 4}, {"walk", 1.0f, 2}};
        fixture.lods = {{4, 6, 10.0f}, {3, 3, 40.0f}, {3, 3, 1000.0f}};
        WriteBytes(temp / L"c.tarvomesh", fixture.Build());
        ASSERT_TRUE(asset.Load(temp / L"c.tarvomesh"));
    }
    TempFolder temp;
    ImportedCharacterAsset asset;
};

TEST_F(LoadedCharacter, ReportsWhatItHolds) {
    EXPECT_EQ(asset.Status(), kV3Ready);
    EXPECT_TRUE(asset.Ready());
    EXPECT_TRUE(asset.Textured());
    EXPECT_EQ(asset.FormatVersion(), 3);
    EXPECT_FLOAT_EQ(asset.HeightMeters(), 1.8f);
    EXPECT_EQ(asset.SourceHashHex(), "ABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABAB");
    EXPECT_EQ(asset.TextureHashHex(), "5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C");
    EXPECT_EQ(asset.LodCount(), 3u);
    EXPECT_EQ(asset.VertexCount(0), 4u);
    EXPECT_EQ(asset.VertexCount(3), 0u);
    EXPECT_EQ(asset.TriangleCount(0), 2u);
    EXPECT_EQ(asset.TriangleCount(9), 0u);
    EXPECT_EQ(asset.Indices(0).size(), 6u);
    EXPECT_TRUE(asset.Indices(3).empty());
    EXPECT_EQ(asset.TextureCoordinates(1).size(), 3u);
    EXPECT_TRUE(asset.TextureCoordinates(3).empty());
    ASSERT_EQ(asset.TextureMips().size(), 2u);
    EXPECT_EQ(asset.TextureMips()[0].pixels.size(), 16u);
    EXPECT_TRUE(asset.HasClip("walk"));
    EXPECT_FALSE(asset.HasClip("Walk"));
    EXPECT_FALSE(asset.HasClip("run"));
}

TEST_F(LoadedCharacter, SamplingHoldsFramesAndWraps) {
    // idle: 4 frames over 2 s, so each frame lasts 0.5 s.
    EXPECT_EQ(asset.Sample("idle", 0.0f, 0)[0].x, 0.0f);
    EXPECT_EQ(asset.Sample("idle", 0.49f, 0)[0].x, 0.0f);
    EXPECT_EQ(asset.Sample("idle", 0.5f, 0)[0].x, 1.0f);
    EXPECT_EQ(asset.Sample("idle", 1.99f, 0)[0].x, 3.0f);
    EXPECT_EQ(asset.Sample("idle", 2.0f, 0)[0].x, 0.0f);  // the duration wraps to frame 0
    EXPECT_EQ(asset.Sample("idle", 2.6f, 0)[0].x, 1.0f);
    EXPECT_EQ(asset.Sample("idle", -1.0f, 0)[0].x, 0.0f);
    EXPECT_EQ(asset.Sample("idle", std::numeric_limits<float>::quiet_NaN(), 0)[0].x, 0.0f);
    EXPECT_EQ(asset.Sample("idle", std::numeric_limits<float>::infinity(), 0)[0].x, 0.0f);
    const auto walk = asset.Sample("walk", 0.75f, 2);
    ASSERT_EQ(walk.size(), 3u);
    EXPECT_EQ(walk[2].x, 1.0f);
    EXPECT_EQ(walk[2].y, 2.0f);
    EXPECT_EQ(walk[2].z, 21.0f);  // clip 1 of LOD 2
    EXPECT_TRUE(asset.Sample("run", 0.0f, 0).empty());
    EXPECT_TRUE(asset.Sample("idle", 0.0f, 3).empty());
}

TEST_F(LoadedCharacter, AttachmentPosesFollowTheSameFrames) {
    const auto pose = asset.SampleAttachments("idle", 1.2f);
    ASSERT_TRUE(pose.has_value());
    EXPECT_EQ(pose->values[0], 2.0f);
    EXPECT_EQ(pose->values[8], 0.25f);
    EXPECT_EQ(asset.SampleAttachments("idle", -3.0f)->values[0], 0.0f);
    EXPECT_EQ(asset.SampleAttachments("walk", 0.5f)->values[0], 1.0f);
    EXPECT_FALSE(asset.SampleAttachments("run", 0.0f).has_value());
}

TEST_F(LoadedCharacter, LevelOfDetailByDistance) {
    EXPECT_EQ(asset.LodForDistance(0.0f), 0u);
    EXPECT_EQ(asset.LodForDistance(10.0f), 0u);
    EXPECT_EQ(asset.LodForDistance(10.5f), 1u);
    EXPECT_EQ(asset.LodForDistance(40.0f), 1u);
    EXPECT_EQ(asset.LodForDistance(999.0f), 2u);
    EXPECT_EQ(asset.LodForDistance(5000.0f), 2u);
    EXPECT_EQ(asset.LodForDistance(std::numeric_limits<float>::quiet_NaN()), 2u);
    asset.Reset();
    EXPECT_EQ(asset.LodForDistance(1.0f), 0u);
    EXPECT_EQ(asset.Status(), L"NOT LOADED");
    EXPECT_FALSE(asset.Ready());
    EXPECT_FALSE(asset.HasClip("idle"));
}

TEST_F(LoadedCharacter, FailedReloadLosesThePreviousContent) {
    EXPECT_FALSE(asset.Load(temp / L"absent"));
    EXPECT_FALSE(asset.Ready());
    EXPECT_EQ(asset.LodCount(), 0u);
}

TEST(CharacterAssetRollback, CorruptRuntimeFileFallsBackToTheShippedRollback) {
    const auto runtime = DiscoverRozizodivoRuntimeAsset();
    const auto rollback = DiscoverRozizodivoRollbackAsset();
    ASSERT_TRUE(std::filesystem::exists(runtime));
    ASSERT_TRUE(std::filesystem::exists(rollback));

    // Copy the shipped runtime file and damage a few floats deep inside its frames.
    TempFolder temp;
    const auto damaged = temp / L"rozizodivo_biped.tarvomesh";
    {
        std::ifstream in(runtime, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GT(bytes.size(), 1000u);
        // All-ones bytes are NaN whatever the float alignment.
        std::memset(bytes.data() + bytes.size() / 2, 0xFF, 64);
        WriteBytes(damaged, bytes);
    }
    ImportedCharacterAsset asset;
    EXPECT_TRUE(asset.LoadWithRollback(damaged, rollback));
    EXPECT_TRUE(asset.UsedRollback());
    EXPECT_EQ(asset.Status(), L"ROZIZODIVO 0.0.03 ROLLBACK ACTIVE");
    EXPECT_EQ(asset.FormatVersion(), 1);
    EXPECT_TRUE(asset.HasClip("idle"));
    EXPECT_TRUE(asset.HasClip("walk"));
    EXPECT_TRUE(asset.HasClip("run"));

    ImportedCharacterAsset plain;
    EXPECT_FALSE(plain.Load(damaged));
    EXPECT_NE(plain.Status().find(L"ROLLBACK REQUIRED"), std::wstring::npos);

    EXPECT_FALSE(asset.LoadWithRollback(damaged, temp / L"none.tarvomesh"));
    EXPECT_FALSE(asset.Ready());
    EXPECT_FALSE(asset.UsedRollback());
    EXPECT_EQ(asset.Status(), plain.Status() + L"; ROLLBACK UNAVAILABLE — PROCEDURAL FALLBACK ACTIVE");
}

TEST(CharacterAssetShipped, RuntimeFileIsTheNewestFormatWithEverything) {
    ImportedCharacterAsset asset;
    ASSERT_TRUE(asset.LoadWithRollback(DiscoverRozizodivoRuntimeAsset(), DiscoverRozizodivoRollbackAsset()));
    EXPECT_FALSE(asset.UsedRollback());
    EXPECT_EQ(asset.Status(), kV3Ready);
    EXPECT_TRUE(asset.Textured());
    EXPECT_GE(asset.LodCount(), 2u);
    for (size_t lod = 0; lod + 1 < asset.LodCount(); ++lod) {
        EXPECT_GT(asset.TriangleCount(lod), asset.TriangleCount(lod + 1));  // finest first
        EXPECT_EQ(asset.LodForDistance(1.0f), 0u);
    }
    EXPECT_GT(asset.HeightMeters(), 1.5f);
    EXPECT_LT(asset.HeightMeters(), 2.1f);
    for (const char* clip : {"idle", "walk", "run"}) {
        ASSERT_TRUE(asset.HasClip(clip)) << clip;
        for (size_t lod = 0; lod < asset.LodCount(); ++lod) {
            const auto frame = asset.Sample(clip, 0.3f, lod);
            ASSERT_EQ(frame.size(), asset.VertexCount(lod));
            float lowest = 1e9f;
            float highest = -1e9f;
            for (const auto& p : frame) {
                lowest = std::min(lowest, p.y);
                highest = std::max(highest, p.y);
            }
            EXPECT_NEAR(lowest, 0.0f, 0.05f) << clip;  // feet on the floor
            EXPECT_NEAR(highest, asset.HeightMeters(), 0.15f) << clip;
        }
        const auto pose = asset.SampleAttachments(clip, 0.3f);
        ASSERT_TRUE(pose.has_value());
        // The weapon grip is in front of the chest, the support hand further forward.
        EXPECT_GT(pose->values[1], 0.9f);
        EXPECT_GT(pose->values[2], 0.0f);
        EXPECT_GT(pose->values[5], pose->values[2]);
    }
    // The walk cycle moves the vertices between frames.
    const auto a = asset.Sample("walk", 0.0f, 0);
    const auto b = asset.Sample("walk", 0.5f, 0);
    float moved = 0.0f;
    for (size_t i = 0; i < a.size(); ++i) {
        moved = std::max(moved, std::fabs(a[i].z - b[i].z));
    }
    EXPECT_GT(moved, 0.1f);
    ASSERT_FALSE(asset.TextureMips().empty());
    EXPECT_EQ(asset.TextureMips()[0].pixels.size(), size_t{asset.TextureMips()[0].width} * asset.TextureMips()[0].height * 4);
    for (const auto& uv : asset.TextureCoordinates(0)) {
        EXPECT_TRUE(uv.u >= 0.0f && uv.u <= 1.0f && uv.v >= 0.0f && uv.v <= 1.0f);
    }
}

TEST(CharacterAssetShipped, RollbackCopyIsTheOldFormat) {
    ImportedCharacterAsset asset;
    ASSERT_TRUE(asset.Load(DiscoverRozizodivoRollbackAsset()));
    EXPECT_EQ(asset.Status(), kV1Ready);
    EXPECT_EQ(asset.FormatVersion(), 1);
    EXPECT_TRUE(asset.HasClip("run"));
}

}  // namespace
}  // namespace tarvo::presentation
