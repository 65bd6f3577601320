#include "common/hashing.h"

#include <windows.h>
#include <bcrypt.h>

#include <memory>
#include <vector>

namespace tarvo::distribution {
namespace {

// Owns the provider, the hash object and its buffer; whatever was opened is released on every path.
struct Sha256Context {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    std::vector<UCHAR> object;
    ~Sha256Context() {
        if (hash != nullptr) BCryptDestroyHash(hash);
        if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

struct FileHandle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

constexpr DWORD kChunkBytes = 1048576;

}  // namespace

std::string Sha256File(const std::filesystem::path& path, std::wstring& error) {
    Sha256Context context;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&context.algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
        context.algorithm = nullptr;
        error = L"Windows SHA-256 provider unavailable.";
        return {};
    }
    DWORD objectLength = 0;
    ULONG got = 0;
    if (!BCRYPT_SUCCESS(BCryptGetProperty(context.algorithm, BCRYPT_OBJECT_LENGTH,
                                          reinterpret_cast<PUCHAR>(&objectLength), sizeof(objectLength), &got, 0))) {
        error = L"Windows SHA-256 provider unavailable.";
        return {};
    }
    context.object.assign(objectLength, 0);
    if (!BCRYPT_SUCCESS(BCryptCreateHash(context.algorithm, &context.hash, context.object.data(), objectLength,
                                         nullptr, 0, 0))) {
        context.hash = nullptr;
        error = L"Cannot create SHA-256 hash.";
        return {};
    }

    FileHandle file;
    file.handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file.handle == INVALID_HANDLE_VALUE) {
        error = L"Cannot open file for SHA-256: " + path.wstring();
        return {};
    }
    std::vector<UCHAR> chunk(kChunkBytes);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.handle, chunk.data(), kChunkBytes, &read, nullptr)) {
            // A partial file must never pass for the whole one.
            error = L"Cannot read file for SHA-256: " + path.wstring();
            return {};
        }
        if (read == 0) break;
        if (!BCRYPT_SUCCESS(BCryptHashData(context.hash, chunk.data(), read, 0))) {
            error = L"SHA-256 processing failed.";
            return {};
        }
    }

    UCHAR digest[32] = {};
    if (!BCRYPT_SUCCESS(BCryptFinishHash(context.hash, digest, sizeof(digest), 0))) {
        error = L"SHA-256 finalization failed.";
        return {};
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(64);
    for (UCHAR byte : digest) {
        text.push_back(kHex[byte >> 4]);
        text.push_back(kHex[byte & 0x0F]);
    }
    return text;
}

}  // namespace tarvo::distribution
