#pragma once
// libsodium, loaded at run time: the owner key is Ed25519 and every release-control
// command is signed with it. The program ships without a hard import so that it
// still starts where the DLL is missing; signing is then refused with Error().
#include <windows.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarvo::release_control {

inline constexpr wchar_t kSodiumDllName[] = L"libsodium.dll";

inline constexpr std::size_t kPublicKeyBytes = 32;  // crypto_sign_PUBLICKEYBYTES
inline constexpr std::size_t kSecretKeyBytes = 64;  // crypto_sign_SECRETKEYBYTES (seed, then public key)
inline constexpr std::size_t kSignatureBytes = 64;  // crypto_sign_BYTES

using PublicKey = std::array<std::uint8_t, kPublicKeyBytes>;
using SecretKey = std::array<std::uint8_t, kSecretKeyBytes>;
using Signature = std::array<std::uint8_t, kSignatureBytes>;

class SodiumLibrary {
public:
    // Tries each candidate in order: a full path is loaded as it is, a bare name
    // through the system's standard search (without the working directory).
    explicit SodiumLibrary(const std::vector<std::wstring>& candidates);
    ~SodiumLibrary();
    SodiumLibrary(const SodiumLibrary&) = delete;
    SodiumLibrary& operator=(const SodiumLibrary&) = delete;

    // The process's library: the DLL beside the executable, then the name. Loaded on
    // first use, safely against concurrent first calls; unloaded at exit.
    static const SodiumLibrary& Shared();

    bool Available() const { return module_ != nullptr; }
    const std::wstring& Error() const { return error_; }  // why it is not available
    const std::wstring& LoadedFrom() const { return loadedFrom_; }

    // Each returns false when the library is unavailable or the call fails.
    bool GenerateKeyPair(PublicKey& publicKey, SecretKey& secretKey) const;
    bool Sign(std::span<const std::uint8_t> message, const SecretKey& secretKey, Signature& signature) const;
    bool Verify(std::span<const std::uint8_t> message, const Signature& signature, const PublicKey& publicKey) const;

private:
    using InitFn = int (*)();
    using KeypairFn = int (*)(unsigned char*, unsigned char*);
    using SignFn = int (*)(unsigned char*, unsigned long long*, const unsigned char*, unsigned long long,
                           const unsigned char*);
    using VerifyFn = int (*)(const unsigned char*, const unsigned char*, unsigned long long, const unsigned char*);

    bool Bind(HMODULE module);

    HMODULE module_ = nullptr;
    KeypairFn keypair_ = nullptr;
    SignFn sign_ = nullptr;
    VerifyFn verify_ = nullptr;
    std::wstring error_;
    std::wstring loadedFrom_;
};

}  // namespace tarvo::release_control
