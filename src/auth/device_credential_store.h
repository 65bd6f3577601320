#pragma once
// The trusted-device credential of the local prototype provider ("device.auth"), protected with DPAPI, that
// lets a verified local account sign in again without its password.

#include <filesystem>
#include <optional>
#include <string>

namespace tarvo::auth {

struct DeviceCredential {
    std::wstring accountId;
    std::wstring email;
    std::wstring verificationToken;  // secret; compared with the account's stored token
};

class DpapiDeviceCredentialStore {
public:
    // Empty path: "device.auth" in the "Auth" folder of the user state root.
    explicit DpapiDeviceCredentialStore(std::filesystem::path path = {});

    const std::filesystem::path& Path() const { return path_; }

    // Empty with `error` set when the file is missing, cannot be decrypted or is malformed.
    std::optional<DeviceCredential> Load(std::wstring& error) const;
    bool Save(const DeviceCredential& credential, std::wstring& error) const;
    // Deletes the file when it exists; errors are ignored.
    void Clear() const;

private:
    std::filesystem::path path_;
};

}  // namespace tarvo::auth
