// Test support: a private X server (Xvfb) on a free display, commands whose output is read, and
// screenshots read as PPM.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/process.h"
#include "win/programs.h"

namespace x11test {

namespace fs = std::filesystem;

// The program's path found on PATH, or nothing.
inline std::optional<fs::path> Which(const std::string& name) { return FindOnPath(name.c_str()); }

// Runs argv (argv[0] looked up on PATH) with env added, and returns its standard output, or
// nothing when it failed or did not end within the limit (a safety net against a hang).
inline std::optional<std::string> Output(const std::vector<std::string>& argv,
                                         const std::map<std::string, std::string>& env = {},
                                         std::chrono::milliseconds limit = std::chrono::seconds(60)) {
    std::optional<fs::path> program = Which(argv[0]);
    if (!program) return std::nullopt;
    // Its output goes to a file of its own (descriptor 1 opened by posix_spawn), read at its end.
    static std::atomic<int> serial{0};
    fs::path out = fs::temp_directory_path() / ("x11test-out-" + std::to_string(getpid()) + "-" +
                                                std::to_string(serial++));
    std::vector<std::string> args = argv;
    args[0] = program->string();
    testproc::Child child = testproc::Start(args, {}, env, out);
    if (child.pid < 0) return std::nullopt;
    std::optional<int> code = testproc::Wait(child, limit);
    std::string text = testproc::ReadFile(out);
    std::error_code ec;
    fs::remove(out, ec);
    if (!code || *code != 0) return std::nullopt;
    return text;
}

// An Xvfb server of its own on a free display, ended with the object.
class Xvfb {
public:
    static bool Installed() { return Which("Xvfb").has_value(); }

    // Starts the server; false when it did not start. The server picks the display itself, the
    // first one free, and says which through the -displayfd descriptor once it accepts clients:
    // servers started at the same time never race for one. With endWithLastClient the server
    // also ends when its last client leaves, so that a caller that holds a connection for its
    // whole life leaves no server behind even when killed.
    bool Start(int width, int height, bool endWithLastClient = false) {
        std::optional<fs::path> program = Which("Xvfb");
        if (!program) return false;
        int ready[2];
        if (pipe(ready) != 0) return false;
        fcntl(ready[0], F_SETFD, FD_CLOEXEC);
        const std::string geometry = std::to_string(width) + "x" + std::to_string(height) + "x24";
        // -br: a black root window; -dpi 96: the layout's own resolution, so nothing is scaled.
        std::vector<std::string> argv = {program->string(), "-nolisten", "tcp", "-br", "-dpi", "96",
                                         "-screen", "0", geometry, "-displayfd", std::to_string(ready[1])};
        if (endWithLastClient) argv.push_back("-terminate");
        FChild = testproc::Start(argv, fs::temp_directory_path());
        close(ready[1]);
        // The display number and its line end; end of file instead means the server gave up. The
        // deadline is only a safety net against a server that hangs.
        std::string got;
        pollfd p{ready[0], POLLIN, 0};
        auto deadline = testproc::Clock::now() + std::chrono::seconds(60);
        while (got.find('\n') == std::string::npos && testproc::Clock::now() < deadline) {
            if (poll(&p, 1, 100) <= 0) continue;
            char buffer[32];
            ssize_t r = read(ready[0], buffer, sizeof buffer);
            if (r <= 0) break;
            got.append(buffer, static_cast<std::size_t>(r));
        }
        close(ready[0]);
        if (FChild.pid > 0 && got.find('\n') != std::string::npos) {
            FDisplay = std::atoi(got.c_str());
            return true;
        }
        if (FChild.pid > 0) testproc::Wait(FChild, std::chrono::seconds(5));
        FChild = {};
        return false;
    }

    ~Xvfb() {
        if (FChild.pid > 0) {
            kill(FChild.pid, SIGTERM);
            testproc::Wait(FChild, std::chrono::seconds(5));
        }
    }

    std::string Display() const { return ":" + std::to_string(FDisplay); }

private:
    testproc::Child FChild;
    int FDisplay = -1;
};

// A picture read from a binary PPM (P6, 8 bits a channel).
struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;

    struct Pixel {
        int r, g, b;
        bool operator==(const Pixel&) const = default;
    };
    Pixel At(int x, int y) const {
        const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

inline std::optional<Image> ReadPpm(const fs::path& path) {
    std::string data = testproc::ReadFile(path);
    std::size_t pos = 0;
    auto token = [&]() {
        for (;;) {
            while (pos < data.size() && std::isspace(static_cast<unsigned char>(data[pos]))) ++pos;
            if (pos < data.size() && data[pos] == '#')
                while (pos < data.size() && data[pos] != '\n') ++pos;
            else
                break;
        }
        std::size_t start = pos;
        while (pos < data.size() && !std::isspace(static_cast<unsigned char>(data[pos]))) ++pos;
        return data.substr(start, pos - start);
    };
    if (token() != "P6") return std::nullopt;
    Image image;
    image.width = std::atoi(token().c_str());
    image.height = std::atoi(token().c_str());
    if (token() != "255") return std::nullopt;
    ++pos;  // the one blank after the header
    const std::size_t size = static_cast<std::size_t>(image.width) * image.height * 3;
    if (image.width <= 0 || image.height <= 0 || data.size() < pos + size) return std::nullopt;
    image.rgb.assign(data.begin() + static_cast<std::ptrdiff_t>(pos),
                     data.begin() + static_cast<std::ptrdiff_t>(pos + size));
    return image;
}

// A screenshot of the whole screen of display, through ImageMagick's import.
inline std::optional<Image> Screenshot(const std::string& display, const fs::path& ppm) {
    if (!Output({"import", "-display", display, "-window", "root", "-depth", "8", "ppm:" + ppm.string()}))
        return std::nullopt;
    return ReadPpm(ppm);
}

}  // namespace x11test
