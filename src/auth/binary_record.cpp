#include "auth/binary_record.h"

#include <cstring>
#include <limits>

namespace tarvo::auth {
namespace {

std::uint32_t ToLength(std::size_t size) {
    // Callers keep records far below 4 GiB; a longer field would not be representable anyway.
    return size > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                           : static_cast<std::uint32_t>(size);
}

}  // namespace

void RecordWriter::U32(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void RecordWriter::U64(std::uint64_t value) {
    for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void RecordWriter::F64(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    U64(bits);
}

void RecordWriter::WString(std::wstring_view text) {
    U32(ToLength(text.size() * 2));
    for (wchar_t unit : text) {
        bytes_.push_back(static_cast<char>(unit & 0xFF));
        bytes_.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
}

void RecordWriter::Bytes(const std::vector<std::uint8_t>& bytes) {
    U32(ToLength(bytes.size()));
    bytes_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

bool RecordReader::Take(std::size_t count, const char*& at) {
    if (!ok_ || count > bytes_.size() - offset_) {
        ok_ = false;
        return false;
    }
    at = bytes_.data() + offset_;
    offset_ += count;
    return true;
}

bool RecordReader::Raw(std::size_t count, std::string_view& out) {
    const char* at = nullptr;
    if (!Take(count, at)) return false;
    out = std::string_view(at, count);
    return true;
}

bool RecordReader::U8(std::uint8_t& value) {
    const char* at = nullptr;
    if (!Take(1, at)) return false;
    value = static_cast<std::uint8_t>(*at);
    return true;
}

bool RecordReader::U32(std::uint32_t& value) {
    const char* at = nullptr;
    if (!Take(4, at)) return false;
    value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(at[i]);
    return true;
}

bool RecordReader::U64(std::uint64_t& value) {
    const char* at = nullptr;
    if (!Take(8, at)) return false;
    value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(at[i]);
    return true;
}

bool RecordReader::F64(double& value) {
    std::uint64_t bits = 0;
    if (!U64(bits)) return false;
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool RecordReader::Bool(bool& value) {
    std::uint8_t byte = 0;
    if (!U8(byte)) return false;
    if (byte > 1) {
        ok_ = false;
        return false;
    }
    value = byte == 1;
    return true;
}

bool RecordReader::WString(std::wstring& text) { return WString(text, std::numeric_limits<std::size_t>::max()); }

bool RecordReader::WString(std::wstring& text, std::size_t maxBytes) {
    std::uint32_t length = 0;
    if (!U32(length)) return false;
    const char* at = nullptr;
    if (length % 2 != 0 || length > maxBytes || !Take(length, at)) {
        ok_ = false;
        return false;
    }
    text.assign(length / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<std::uint8_t>(at[2 * i]) |
                                       (static_cast<std::uint8_t>(at[2 * i + 1]) << 8));
    }
    return true;
}

bool RecordReader::Bytes(std::vector<std::uint8_t>& bytes) {
    std::uint32_t length = 0;
    if (!U32(length)) return false;
    const char* at = nullptr;
    if (!Take(length, at)) return false;
    bytes.assign(reinterpret_cast<const std::uint8_t*>(at), reinterpret_cast<const std::uint8_t*>(at) + length);
    return true;
}

}  // namespace tarvo::auth
