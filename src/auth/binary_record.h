#pragma once
// Little-endian record encoding shared by the account and profile files: fixed-width integers, one-byte
// booleans, strings as a u32 byte length followed by UTF-16LE, byte blocks as a u32 length and the bytes.
// The reader checks every claimed length against the bytes left before it allocates anything, and once a
// read fails every later read fails too.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::auth {

class RecordWriter {
public:
    void Raw(std::string_view bytes) { bytes_.append(bytes); }
    void U8(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void U32(std::uint32_t value);
    void U64(std::uint64_t value);
    void F64(double value);
    void Bool(bool value) { U8(value ? 1 : 0); }
    void WString(std::wstring_view text);
    void Bytes(const std::vector<std::uint8_t>& bytes);

    std::string& Data() { return bytes_; }

private:
    std::string bytes_;
};

class RecordReader {
public:
    explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}

    bool Raw(std::size_t count, std::string_view& out);
    bool U8(std::uint8_t& value);
    bool U32(std::uint32_t& value);
    bool U64(std::uint64_t& value);
    bool F64(double& value);
    bool Bool(bool& value);  // only 0 or 1
    bool WString(std::wstring& text);
    bool Bytes(std::vector<std::uint8_t>& bytes);
    // The claimed byte length must also stay within `maxBytes`.
    bool WString(std::wstring& text, std::size_t maxBytes);

    bool Ok() const { return ok_; }
    std::size_t Remaining() const { return ok_ ? bytes_.size() - offset_ : 0; }
    bool AtEnd() const { return ok_ && offset_ == bytes_.size(); }

private:
    bool Take(std::size_t count, const char*& at);

    std::string_view bytes_;
    std::size_t offset_ = 0;
    bool ok_ = true;
};

}  // namespace tarvo::auth
