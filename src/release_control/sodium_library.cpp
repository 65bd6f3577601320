#include "release_control/sodium_library.h"

#include <memory>

#include "common/file_utils.h"

namespace tarvo::release_control {

namespace {

bool IsBareName(const std::wstring& candidate) { return candidate.find_first_of(L"\\/:") == std::wstring::npos; }

HMODULE LoadCandidate(const std::wstring& candidate) {
    if (IsBareName(candidate)) {
        // The application folder, System32 and added folders; never the working directory.
        return LoadLibraryExW(candidate.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    }
    // Its own dependencies are looked up beside it first.
    return LoadLibraryExW(candidate.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

SodiumLibrary::SodiumLibrary(const std::vector<std::wstring>& candidates) {
    for (const auto& candidate : candidates) {
        if (candidate.empty()) continue;
        const HMODULE module = LoadCandidate(candidate);
        if (!module) continue;
        if (Bind(module)) {
            module_ = module;
            loadedFrom_ = candidate;
            error_.clear();
            return;
        }
        FreeLibrary(module);
    }
    if (error_.empty()) {
        error_ = L"libsodium is not available: " + std::wstring(kSodiumDllName) +
                 L" was not found beside the program. Signed commands are disabled.";
    }
}

SodiumLibrary::~SodiumLibrary() {
    if (module_) FreeLibrary(module_);
}

bool SodiumLibrary::Bind(HMODULE module) {
    const auto init = reinterpret_cast<InitFn>(GetProcAddress(module, "sodium_init"));
    const auto keypair = reinterpret_cast<KeypairFn>(GetProcAddress(module, "crypto_sign_keypair"));
    const auto sign = reinterpret_cast<SignFn>(GetProcAddress(module, "crypto_sign_detached"));
    const auto verify = reinterpret_cast<VerifyFn>(GetProcAddress(module, "crypto_sign_verify_detached"));
    if (!init || !keypair || !sign || !verify) {
        error_ = L"libsodium is not usable: the loaded " + std::wstring(kSodiumDllName) +
                 L" lacks the Ed25519 functions. Signed commands are disabled.";
        return false;
    }
    // 0 on the first call, 1 when already initialised, -1 when the library cannot run.
    if (init() < 0) {
        error_ = L"libsodium could not be initialised. Signed commands are disabled.";
        return false;
    }
    keypair_ = keypair;
    sign_ = sign;
    verify_ = verify;
    return true;
}

const SodiumLibrary& SodiumLibrary::Shared() {
    static const SodiumLibrary shared([] {
        std::vector<std::wstring> candidates;
        try {
            candidates.push_back((distribution::ExecutableDirectory() / kSodiumDllName).wstring());
        } catch (...) {
            // No folder of our own: only the name search remains.
        }
        candidates.emplace_back(kSodiumDllName);
        return candidates;
    }());
    return shared;
}

bool SodiumLibrary::GenerateKeyPair(PublicKey& publicKey, SecretKey& secretKey) const {
    if (!keypair_) return false;
    return keypair_(publicKey.data(), secretKey.data()) == 0;
}

bool SodiumLibrary::Sign(std::span<const std::uint8_t> message, const SecretKey& secretKey,
                         Signature& signature) const {
    if (!sign_) return false;
    unsigned long long length = 0;
    const int result = sign_(signature.data(), &length, message.data(), message.size(), secretKey.data());
    return result == 0 && length == kSignatureBytes;
}

bool SodiumLibrary::Verify(std::span<const std::uint8_t> message, const Signature& signature,
                           const PublicKey& publicKey) const {
    if (!verify_) return false;
    return verify_(signature.data(), message.data(), message.size(), publicKey.data()) == 0;
}

}  // namespace tarvo::release_control
