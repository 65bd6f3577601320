#pragma once
// A private data root for each test (the owner key and the log live there) and the
// libsodium check every signing test starts with.
#include <gtest/gtest.h>

#include "release_control/release_control_client.h"
#include "release_control/sodium_library.h"
#include "support/temp_folder.h"

namespace tarvo::testing {

class OwnerConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(release_control::SodiumLibrary::Shared().Available())
            << "libsodium.dll must stand beside the test executable (tools/build-libsodium.sh <build-dir>): "
            << std::string(release_control::SodiumLibrary::Shared().Error().begin(),
                           release_control::SodiumLibrary::Shared().Error().end());
    }

    const std::filesystem::path& Root() const { return root_.Path(); }
    std::filesystem::path KeyFile() const { return release_control::ReleaseControlClient::OwnerKeyPath(); }

private:
    TempDataRoot root_;
};

}  // namespace tarvo::testing
