#pragma once
// Shared plumbing of the asset readers: a file read block by block that knows how
// many bytes are left, so a reader can refuse a claimed block before allocating for
// it (an asset is never held whole beside what is read from it), and the upward asset
// search from the executable's folder.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file_utils.h"

namespace tarvo::presentation::detail {

class AssetFile {
public:
    explicit AssetFile(const std::filesystem::path& path) : file(path) {}

    bool IsOpen() const { return file.Opened() == distribution::FileRead::Read; }
    uint64_t Remaining() const { return file.Size() - offset; }
    // Reads exactly `count` bytes; false on a short read or an I/O error.
    bool Read(void* destination, uint64_t count);
    template <typename T>
    bool ReadValue(T& value) {
        return Read(&value, sizeof(T));
    }

private:
    distribution::ReadOnlyFile file;
    uint64_t offset = 0;
};

// Sizes `items` to `count` elements of `elementBytes` file bytes each, then fills them
// from the file. False, with nothing allocated, when the file has fewer bytes left
// than the block claims; false also when the allocation fails or the read is short.
template <typename T>
bool ReadBlock(AssetFile& file, std::vector<T>& items, uint64_t count) {
    const uint64_t bytes = count * sizeof(T);
    if (count != 0 && bytes / count != sizeof(T)) {
        return false;
    }
    if (bytes > file.Remaining()) {
        return false;
    }
    try {
        items.resize(static_cast<size_t>(count));
    } catch (...) {
        return false;
    }
    return file.Read(items.data(), bytes);
}

// Two upper-case hex digits per byte, high nibble first.
std::string HexText(const uint8_t* bytes, size_t count);

// The first existing `relative` below the executable's folder or one of its seven
// nearest ancestors; the executable's folder joined with `relative` when none exists.
std::filesystem::path DiscoverUpward(const std::filesystem::path& relative);

}  // namespace tarvo::presentation::detail
