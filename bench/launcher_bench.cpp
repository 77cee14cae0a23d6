// Start-up of the built launcher on a private X server, measured from outside the program:
//   first frame  - from the exec to the splash's first painted pixel on screen (the root
//                  window's pixel inside the splash, read with XGetImage, turns to its colour);
//   opener       - from the exec to the recording opener's start (its own record time);
//   set-up       - estimated as the lifetime less the display time of 1 s, which runs from the
//                  set-up (so it includes the few milliseconds of closing down);
//   peak memory  - the launcher's VmHWM just before it ends, and wait4's ru_maxrss.
// One start per repetition; the aggregates give the medians. Not part of the test suite.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "e2e/fake_xdg_open.h"
#include "support/process.h"
#include "support/x11.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kScreenW = 1024, kScreenH = 768;
constexpr int kW = 364, kH = 53;
// A pixel of the box that no label or icon covers: left of the icon, at mid height.
constexpr int kProbeX = (kScreenW - kW) / 2 + 4, kProbeY = (kScreenH - kH) / 2 + kH / 2;
// All four corners in one colour, so the probe's colour is known exactly: red 0x40, green
// 0xA0, blue 0xC0 (written $00C0A040).
constexpr unsigned long kProbeRgb = 0x40A0C0;

// The X server and a connection to it, for the whole program.
struct Screen {
    x11test::Xvfb server;
    Display* display = nullptr;

    Screen() {
        if (!server.Start(kScreenW, kScreenH, true)) throw std::runtime_error("the X server did not start");
        display = XOpenDisplay(server.Display().c_str());
        if (!display) throw std::runtime_error("cannot connect to " + server.Display());
    }
    ~Screen() {
        if (display) XCloseDisplay(display);
    }

    unsigned long Probe() const {
        XImage* image = XGetImage(display, DefaultRootWindow(display), kProbeX, kProbeY, 1, 1,
                                  AllPlanes, ZPixmap);
        if (!image) return ~0ul;
        unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return pixel;
    }

    static Screen& Get() {
        static Screen screen;
        return screen;
    }
};

long long WallNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch()).count();
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// VmHWM of a running process in kB, or 0 when it has gone.
long PeakKb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

void BM_LauncherStartUp(benchmark::State& state) {
    Screen& screen = Screen::Get();
    for (auto _ : state) {
        testproc::TempDir tmp;
        const fs::path root = tmp.path / "disc", bin = tmp.path / "bin", log = tmp.path / "opened.log";
        fs::create_directories(root);
        for (const char* name : {"Varnith2.exe", "Varnith2.ico"})
            fs::copy_file(fs::path(VARNITH_BIN_DIR) / name, root / name);
        fakeopen::Install(bin);
        testproc::WriteFile(root / "readme.txt", "the document\n");
        testproc::WriteFile(root / "Varnith2.ini",
                            "[KEY]\r\nPNAME=Trellan2\r\nVER=2.10\r\nCopyright=2004,PURUNE-SHA\r\n"
                            "User=bench\r\n[Option]\r\nStayTop=NO\r\nIcon=Varnith2.ico\r\n"
                            "FrmLTColor=$00C0A040\r\nFrmLBColor=$00C0A040\r\n"
                            "FrmRTColor=$00C0A040\r\nFrmRBColor=$00C0A040\r\nMessage=Starting\r\n"
                            "MColor=clBlack\r\nMBold=1\r\nMItalic=0\r\nMFont=x\r\n"
                            "RunFile=readme.txt\r\nTimer=1\r\n");
        if (screen.Probe() == kProbeRgb) {
            state.SkipWithError("the probe pixel already has the splash's colour");
            break;
        }

        const long long startNs = WallNs();
        testproc::Child child = testproc::Start(
            {(root / "Varnith2.exe").string()}, tmp.path,
            {{"DISPLAY", screen.server.Display()}, {"QT_QPA_PLATFORM", "xcb"},
             {"PATH", bin.string() + ":" + std::getenv("PATH")}, {"FAKE_XDG_OPEN_LOG", log.string()}});
        if (child.pid < 0) {
            state.SkipWithError("cannot start the launcher");
            break;
        }
        std::optional<Clock::duration> frame;
        long peakKb = 0;
        rusage usage{};
        int status = 0;
        const auto deadline = child.started + std::chrono::seconds(10);
        for (;;) {
            if (!frame && screen.Probe() == kProbeRgb) frame = Clock::now() - child.started;
            if (long kb = PeakKb(child.pid)) peakKb = kb;
            if (wait4(child.pid, &status, WNOHANG, &usage) == child.pid) break;
            if (Clock::now() > deadline) {
                kill(child.pid, SIGKILL);
                wait4(child.pid, &status, 0, &usage);
                break;
            }
            // Busy until the first frame, then at a gentler pace until the end.
            if (frame) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const Clock::duration lifetime = Clock::now() - child.started;
        auto records = fakeopen::ReadRecords(log);
        if (!frame || records.size() != 1 || !WIFEXITED(status)) {
            state.SkipWithError("no frame, no single opener start, or no clean end");
            break;
        }
        const double openerMs = (records[0].timeNs - startNs) / 1e6;
        const double setUpMs = Ms(lifetime) - 1000;
        state.SetIterationTime(std::chrono::duration<double>(*frame).count());
        state.counters["frame_ms"] = Ms(*frame);
        state.counters["opener_ms"] = openerMs;
        state.counters["setup_est_ms"] = setUpMs;
        state.counters["opener_after_setup_ms"] = openerMs - setUpMs;
        state.counters["VmHWM_MB"] = peakKb / 1024.0;
        state.counters["maxrss_MB"] = usage.ru_maxrss / 1024.0;
    }
}
BENCHMARK(BM_LauncherStartUp)
    ->Iterations(1)
    ->Repetitions(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

// The recording opener's own share of "opener_ms": from its exec to its record time.
void BM_RecordingOpenerOwnStart(benchmark::State& state) {
    for (auto _ : state) {
        testproc::TempDir tmp;
        const fs::path log = tmp.path / "opened.log";
        const long long startNs = WallNs();
        testproc::Child child = testproc::Start({fakeopen::Script().string(), "x"}, tmp.path,
                                                {{"FAKE_XDG_OPEN_LOG", log.string()}});
        testproc::Wait(child, std::chrono::seconds(10));
        auto records = fakeopen::ReadRecords(log);
        if (records.size() != 1) {
            state.SkipWithError("no record");
            break;
        }
        const double ms = (records[0].timeNs - startNs) / 1e6;
        state.SetIterationTime(ms / 1000);
        state.counters["record_ms"] = ms;
    }
}
BENCHMARK(BM_RecordingOpenerOwnStart)
    ->Iterations(1)
    ->Repetitions(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

}  // namespace
