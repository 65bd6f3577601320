#pragma once
// Thin wrappers over DPAPI (crypt32) and CNG (bcrypt) for the account stores, plus wiping of secrets.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::auth {

// DPAPI for the current user. `purpose` is mixed in as entropy so one store's blob never opens as another's.
bool ProtectForUser(std::string_view plain, std::string_view purpose, std::string& blob);
bool UnprotectForUser(std::string_view blob, std::string_view purpose, std::string& plain);

// Bytes from the system's preferred random generator.
bool FillRandom(std::span<std::uint8_t> out);
// Lower-case hex of `count` random bytes; empty on failure.
std::wstring RandomHexToken(std::size_t count);

using Sha256Digest = std::array<std::uint8_t, 32>;
bool Sha256(std::string_view bytes, Sha256Digest& digest);

// Integrity trailer of the unprotected record files: the SHA-256 of everything before it. It catches
// damaged and hand-edited files; it is not a defence against a deliberate forger.
bool AppendDigest(std::string& file);
// The bytes before a matching trailer; false when the file is shorter than a digest or the digest differs.
bool VerifyDigest(std::string_view file, std::string_view& body);

// PBKDF2 with HMAC-SHA256.
bool Pbkdf2Sha256(std::string_view password, std::span<const std::uint8_t> salt, std::uint32_t iterations,
                  std::span<std::uint8_t> derived);

// Equal length and bytes, in time independent of where they differ.
bool ConstantTimeEqual(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

// Overwrite with zeros (not optimised away), then empty.
void Wipe(std::string& text);
void Wipe(std::wstring& text);
void Wipe(std::vector<std::uint8_t>& bytes);

// Wipes the string it guards when it goes out of scope.
template <typename Text>
class WipeOnExit {
public:
    explicit WipeOnExit(Text& text) : text_(text) {}
    ~WipeOnExit() { Wipe(text_); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

private:
    Text& text_;
};

}  // namespace tarvo::auth
