#pragma once
// The signed-in server account and its DPAPI-protected store ("server.session").

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tarvo::account {

struct ServerSession {
    std::wstring playerId;
    std::wstring nickname;
    std::wstring email;
    std::wstring accessToken;
    std::wstring refreshToken;
    std::wstring deviceId;
    std::uint32_t accessExpirySeconds = 0;  // lifetime of the access token as granted
    bool trusted = true;                    // every session built from a reply is trusted
};

class ServerSessionStore {
public:
    // Empty path: "server.session" in the "Auth" folder of the user state root.
    explicit ServerSessionStore(std::filesystem::path path = {});

    // Empty with `error` set when the file is missing, cannot be decrypted or is malformed.
    std::optional<ServerSession> Load(std::wstring& error) const;

    // Protects and writes the file atomically. False with "Windows DPAPI could not protect the account session."
    // or "Protected account session could not be stored.".
    bool Save(const ServerSession& session, std::wstring& error) const;

    // Deletes the file when it exists; errors are ignored.
    void Clear() const;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace tarvo::account
