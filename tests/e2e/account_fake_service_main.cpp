// The scripted fake account service as a program of its own, for end-to-end runs
// of the game: a sign-in road (login, sync, refresh, logout, devices).
// usage: account_fake_service <url-file> <stop-file> <requests-file>
// Writes its base URL to <url-file>, serves until <stop-file> exists (at most four
// minutes), then writes two lines per request received: method, path and bearer;
// then the body.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/fake_account_service.h"

namespace {

std::string Session(const std::string& access, const std::string& refresh) {
    return R"({"playerId":"e2e-player","nickname":"E2E_PILOT","email":"pilot@example.com","accessToken":")" + access +
           R"(","refreshToken":")" + refresh + R"(","deviceId":"e2e-device","expiresIn":900})";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    const std::filesystem::path urlFile = argv[1], stopFile = argv[2], requestsFile = argv[3];
    tarvo::testing::FakeAccountService service;
    if (!service.Running()) return 3;
    service.Script("auth/login", 200, Session("e2e-access-1", "e2e-refresh-1"));
    service.Script("auth/refresh", 200, Session("e2e-access-2", "e2e-refresh-2"));
    service.Script("sync", 200,
                   R"({"nickname":"E2E_PILOT","trainings_started":5,"trainings_completed":4,"kills":42,"deaths":7,)"
                   R"("shots_fired":300,"shots_hit":150,"headshots":9,"play_seconds":1800})");
    service.Script("auth/logout", 200, R"({"message":"Signed out"})");
    service.Script("account/devices", 200, R"({"devices":[{"deviceId":"e2e-device","current":true}]})");

    {
        const std::filesystem::path partial = urlFile.wstring() + L".tmp";
        std::wofstream(partial) << service.BaseUrl();
        std::filesystem::rename(partial, urlFile);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(4);
    while (!std::filesystem::exists(stopFile) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ofstream out(requestsFile, std::ios::binary);
    for (const auto& request : service.Requests()) {
        out << request.method << ' ' << request.path << ' ' << request.Header("authorization") << '\n'
            << request.body << '\n';
    }
    return 0;
}
