#include "auth/device_credential_store.h"

#include <system_error>
#include <utility>

#include "auth/binary_record.h"
#include "auth/secure_storage.h"
#include "common/data_roots.h"
#include "common/file_utils.h"

namespace tarvo::auth {
namespace {

constexpr std::string_view kMagic = "TARVDC01";
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kMaxFieldBytes = 8192;
// Three fields and DPAPI's framing fit many times over.
constexpr std::size_t kMaxFileBytes = 64 * 1024;

}  // namespace

DpapiDeviceCredentialStore::DpapiDeviceCredentialStore(std::filesystem::path path) : path_(std::move(path)) {
    if (path_.empty()) path_ = distribution::UserStateRoot() / L"Auth" / L"device.auth";
}

// device.auth is a DPAPI blob (current user, entropy "TARVDC01") whose plain bytes are:
//   "TARVDC01", u32 version 1, account id, e-mail, verification token (u32 byte length + UTF-16LE each),
// and nothing after them.
std::optional<DeviceCredential> DpapiDeviceCredentialStore::Load(std::wstring& error) const {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path_, ec)) {
        error = L"Trusted device credential is missing.";
        return std::nullopt;
    }
    std::string blob;
    if (distribution::ReadWholeFile(path_, kMaxFileBytes, blob) == distribution::FileRead::TooLarge) {
        error = L"Trusted device credential is malformed.";
        return std::nullopt;
    }
    std::string plain;
    WipeOnExit wipePlain(plain);
    if (!UnprotectForUser(blob, kMagic, plain)) {
        error = L"Windows DPAPI could not unprotect the trusted device credential.";
        return std::nullopt;
    }
    RecordReader reader(plain);
    std::string_view magic;
    std::uint32_t version = 0;
    DeviceCredential credential;
    bool read = reader.Raw(kMagic.size(), magic) && magic == kMagic && reader.U32(version) && version == kVersion &&
                reader.WString(credential.accountId, kMaxFieldBytes) &&
                reader.WString(credential.email, kMaxFieldBytes) &&
                reader.WString(credential.verificationToken, kMaxFieldBytes) && reader.AtEnd();
    if (!read || credential.accountId.empty() || credential.verificationToken.empty()) {
        Wipe(credential.verificationToken);
        error = L"Trusted device credential is malformed.";
        return std::nullopt;
    }
    return credential;
}

bool DpapiDeviceCredentialStore::Save(const DeviceCredential& credential, std::wstring& error) const {
    RecordWriter writer;
    WipeOnExit wipePlain(writer.Data());
    writer.Raw(kMagic);
    writer.U32(kVersion);
    writer.WString(credential.accountId);
    writer.WString(credential.email);
    writer.WString(credential.verificationToken);
    std::string blob;
    if (!ProtectForUser(writer.Data(), kMagic, blob)) {
        error = L"Windows DPAPI could not protect the trusted device credential.";
        return false;
    }
    std::wstring writeError;
    if (!distribution::AtomicWriteUtf8(path_, blob, writeError)) {
        error = L"Trusted device credential could not be stored.";
        return false;
    }
    return true;
}

void DpapiDeviceCredentialStore::Clear() const {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
}

}  // namespace tarvo::auth
