#include "auth/secure_storage.h"

#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>

#include <cstring>
#include <limits>

namespace tarvo::auth {
namespace {

DATA_BLOB BlobOf(std::string_view bytes) {
    DATA_BLOB blob{};
    blob.cbData = static_cast<DWORD>(bytes.size());
    blob.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
    return blob;
}

bool FitsDword(std::size_t size) { return size <= std::numeric_limits<DWORD>::max(); }

// Copies the system-allocated DPAPI output, wipes and frees it.
void TakeBlob(DATA_BLOB& out, std::string& target) {
    target.assign(reinterpret_cast<const char*>(out.pbData), out.cbData);
    SecureZeroMemory(out.pbData, out.cbData);
    LocalFree(out.pbData);
}

class AlgorithmHandle {
public:
    AlgorithmHandle(const wchar_t* algorithm, ULONG flags) {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, algorithm, nullptr, flags))) handle_ = nullptr;
    }
    ~AlgorithmHandle() {
        if (handle_) BCryptCloseAlgorithmProvider(handle_, 0);
    }
    AlgorithmHandle(const AlgorithmHandle&) = delete;
    AlgorithmHandle& operator=(const AlgorithmHandle&) = delete;
    BCRYPT_ALG_HANDLE get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

}  // namespace

bool ProtectForUser(std::string_view plain, std::string_view purpose, std::string& blob) {
    if (!FitsDword(plain.size()) || !FitsDword(purpose.size())) return false;
    DATA_BLOB in = BlobOf(plain);
    DATA_BLOB entropy = BlobOf(purpose);
    DATA_BLOB out{};
    if (!CryptProtectData(&in, L"TARVONIX", &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) return false;
    TakeBlob(out, blob);
    return true;
}

bool UnprotectForUser(std::string_view blob, std::string_view purpose, std::string& plain) {
    if (blob.empty() || !FitsDword(blob.size()) || !FitsDword(purpose.size())) return false;
    DATA_BLOB in = BlobOf(blob);
    DATA_BLOB entropy = BlobOf(purpose);
    DATA_BLOB out{};
    if (!CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) return false;
    TakeBlob(out, plain);
    return true;
}

bool FillRandom(std::span<std::uint8_t> out) {
    if (!FitsDword(out.size())) return false;
    return BCRYPT_SUCCESS(BCryptGenRandom(nullptr, out.data(), static_cast<ULONG>(out.size()),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

std::wstring RandomHexToken(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    if (count == 0 || !FillRandom(bytes)) return {};
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    std::wstring text;
    text.reserve(count * 2);
    for (std::uint8_t b : bytes) {
        text.push_back(kHex[b >> 4]);
        text.push_back(kHex[b & 15]);
    }
    Wipe(bytes);
    return text;
}

bool Sha256(std::string_view bytes, Sha256Digest& digest) {
    if (!FitsDword(bytes.size())) return false;
    AlgorithmHandle algorithm(BCRYPT_SHA256_ALGORITHM, 0);
    if (!algorithm.get()) return false;
    return BCRYPT_SUCCESS(BCryptHash(algorithm.get(), nullptr, 0,
                                     reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                                     static_cast<ULONG>(bytes.size()), digest.data(),
                                     static_cast<ULONG>(digest.size())));
}

bool AppendDigest(std::string& file) {
    Sha256Digest digest{};
    if (!Sha256(file, digest)) return false;
    file.append(reinterpret_cast<const char*>(digest.data()), digest.size());
    return true;
}

bool VerifyDigest(std::string_view file, std::string_view& body) {
    Sha256Digest stored{};
    if (file.size() < stored.size()) return false;
    std::string_view content = file.substr(0, file.size() - stored.size());
    std::memcpy(stored.data(), file.data() + content.size(), stored.size());
    Sha256Digest actual{};
    if (!Sha256(content, actual) || !ConstantTimeEqual(stored, actual)) return false;
    body = content;
    return true;
}

bool Pbkdf2Sha256(std::string_view password, std::span<const std::uint8_t> salt, std::uint32_t iterations,
                  std::span<std::uint8_t> derived) {
    if (iterations == 0 || !FitsDword(password.size()) || !FitsDword(salt.size()) || !FitsDword(derived.size()))
        return false;
    AlgorithmHandle algorithm(BCRYPT_SHA256_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    if (!algorithm.get()) return false;
    return BCRYPT_SUCCESS(BCryptDeriveKeyPBKDF2(
        algorithm.get(), reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
        static_cast<ULONG>(password.size()), const_cast<PUCHAR>(salt.data()), static_cast<ULONG>(salt.size()),
        iterations, derived.data(), static_cast<ULONG>(derived.size()), 0));
}

bool ConstantTimeEqual(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    if (a.size() != b.size()) return false;
    std::uint8_t difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) difference |= static_cast<std::uint8_t>(a[i] ^ b[i]);
    return difference == 0;
}

void Wipe(std::string& text) {
    if (!text.empty()) SecureZeroMemory(text.data(), text.size());
    text.clear();
}

void Wipe(std::wstring& text) {
    if (!text.empty()) SecureZeroMemory(text.data(), text.size() * sizeof(wchar_t));
    text.clear();
}

void Wipe(std::vector<std::uint8_t>& bytes) {
    if (!bytes.empty()) SecureZeroMemory(bytes.data(), bytes.size());
    bytes.clear();
}

}  // namespace tarvo::auth
