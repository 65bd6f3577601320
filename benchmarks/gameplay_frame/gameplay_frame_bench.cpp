// Frame pacing of a training on the real shell: the whole program's message loop
// runs a bot training for some seconds per frame-rate limit, with the real backend
// in the render view. Prints the frames drawn per second against the limit and
// against the renderer's ceiling on this machine, taken as the rate reached with
// the highest limit (300), where the loop never waits for a frame. Two rounds show
// how much a shared machine moves the figures.
// usage: bench_gameplay_frame.exe [seconds]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <string>

#include "core/runtime_log.h"
#include "gameplay/training_simulation.h"
#include "shell/native_shell.h"
#include "support/forwarding_backend.h"

using namespace tarvo;

namespace {

double Seconds() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

// Forwards to the live backend; counts frames and the time spent drawing them.
class TimedBackend final : public testing::ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    bool Render(const gameplay::TrainingSimulation& sim, const renderer::RenderOverlay& overlay) override {
        const double start = Seconds();
        const bool ok = ForwardingBackend::Render(sim, overlay);
        drawing += Seconds() - start;
        ++frames;
        return ok;
    }

    int frames = 0;
    double drawing = 0.0;
};

struct Run {
    ui::NativeShell* shell = nullptr;
    std::int32_t limit = 60;
    double seconds = 10.0;
    int phase = 0;
    double started = 0.0;
    TimedBackend* timed = nullptr;
    double pacedFps = 0.0;
    double drawMs = 0.0;
    float shellFps = 0.0f;
    bool failed = false;
};
Run* current = nullptr;

// Steps of one run, from a thread timer inside the shell's own message loop.
void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
    Run& run = *current;
    ui::NativeShell& shell = *run.shell;
    if (!shell.window) return;
    if (run.phase == 0) {
        shell.vsync = false;
        shell.fpsLimit = run.limit;
        shell.Dispatch("mode.5");
        shell.Dispatch("training.start");
        if (!shell.simulation) {
            run.failed = true;
            PostMessageW(shell.window, WM_CLOSE, 0, 0);
            return;
        }
        auto timed = std::make_unique<TimedBackend>(std::move(shell.renderBackend));
        run.timed = timed.get();
        shell.renderBackend = std::move(timed);
        shell.lastFrameAt = ui::NativeShell::Clock::now();
        run.started = Seconds();
        run.phase = 1;
        return;
    }
    if (run.phase == 1 && Seconds() - run.started >= run.seconds) {
        const double elapsed = Seconds() - run.started;
        run.pacedFps = run.timed->frames / elapsed;
        run.drawMs = run.timed->frames ? 1000.0 * run.timed->drawing / run.timed->frames : 0.0;
        run.shellFps = shell.measuredFps;
        run.phase = 2;
        shell.StopGameplay(true);
        PostMessageW(shell.window, WM_CLOSE, 0, 0);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const double seconds = argc > 1 ? std::wcstod(argv[1], nullptr) : 10.0;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::filesystem::path root =
        std::filesystem::path(temp) / (L"tarvo-bench-frame-" + std::to_wstring(GetCurrentProcessId()));
    SetEnvironmentVariableW(L"TARVO_QA_DATA_ROOT", root.c_str());
    core::Log().Initialize(L"tarvonix-volley.log");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    std::printf("round  limit  frames/s  in Render ms  of limit  of ceiling  last fps window\n");
    for (int round = 1; round <= 2; ++round) {
    double ceiling = 0.0;
    for (const std::int32_t limit : {300, 30, 60, 144}) {
        Run run;
        run.limit = limit;
        run.seconds = seconds;
        current = &run;
        {
            ui::NativeShell shell(GetModuleHandleW(nullptr), ui::ProductKind::Game, L"http://127.0.0.1:9/api/v1");
            run.shell = &shell;
            const UINT_PTR timer = SetTimer(nullptr, 0, 500, Step);
            shell.Run(SW_SHOWNOACTIVATE);
            KillTimer(nullptr, timer);
        }
        if (run.failed) {
            std::printf("%5d  %5d  the training did not start\n", round, limit);
            continue;
        }
        if (limit == 300) ceiling = run.pacedFps;
        std::printf("%5d  %5d  %8.2f  %12.2f  %8.2f  %10.2f  %15.2f\n", round, limit, run.pacedFps, run.drawMs,
                    run.pacedFps / limit, ceiling > 0.0 ? run.pacedFps / ceiling : 0.0, run.shellFps);
        std::fflush(stdout);
    }
    }
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    CoUninitialize();
    return 0;
}
