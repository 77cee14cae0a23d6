// Test support: the recording stand-in for the desktop's opener (tests/e2e/fake-xdg-open), put
// first on PATH as "xdg-open", or registered with the real opener as a desktop's viewer, and the
// reading of what it recorded.
#pragma once

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fakeopen {

namespace fs = std::filesystem;

// The script itself, which can also stand in for any "#!" program that records its start.
inline fs::path Script() { return fs::path(VARNITH_SOURCE_DIR) / "tests/e2e/fake-xdg-open"; }

// Copies the script to path with execute permission.
inline void CopyScript(const fs::path& path) {
    fs::copy_file(Script(), path, fs::copy_options::overwrite_existing);
    chmod(path.c_str(), 0755);
}

// Puts "xdg-open" into binDir (made if needed); callers put binDir first on PATH and name the
// record file in FAKE_XDG_OPEN_LOG.
inline void Install(const fs::path& binDir) {
    fs::create_directories(binDir);
    CopyScript(binDir / "xdg-open");
}

// A desktop of its own under folder, whose real opener (xdg-open, and gio behind it on GNOME or
// Xfce) finds the script as the default application for mimeType: the script as
// folder/bin/viewer, its entry in the private data folder's applications, the default in the
// private configuration's mimeapps.list. The variables returned, added to the environment
// together with XDG_CURRENT_DESKTOP, make that desktop: nothing of the user's or the system's
// applications and defaults counts, and no session bus is reached, but the system's shared
// MIME database types files as on any desktop. The script records into log.
inline std::map<std::string, std::string> DesktopWithViewer(const fs::path& folder,
                                                            const std::string& mimeType,
                                                            const fs::path& log) {
    const fs::path viewer = folder / "bin/viewer";
    fs::create_directories(viewer.parent_path());
    CopyScript(viewer);
    fs::create_directories(folder / "data/applications");
    fs::create_directories(folder / "config");
    fs::create_directories(folder / "config-dirs");
    fs::create_directories(folder / "home");
    std::ofstream(folder / "data/applications/varnith-test-viewer.desktop")
        << "[Desktop Entry]\nType=Application\nName=Viewer\nExec=" << viewer.string()
        << " %f\nMimeType=" << mimeType << ";\n";
    std::ofstream(folder / "config/mimeapps.list")
        << "[Default Applications]\n" << mimeType << "=varnith-test-viewer.desktop\n";
    return {
        {"HOME", (folder / "home").string()},
        {"XDG_CONFIG_HOME", (folder / "config").string()},
        {"XDG_CONFIG_DIRS", (folder / "config-dirs").string()},
        {"XDG_DATA_HOME", (folder / "data").string()},
        {"XDG_DATA_DIRS", "/usr/share"},
        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (folder / "no-session-bus").string()},
        // The opener's other signs of a desktop, and its own choice of browser, are cleared.
        {"DESKTOP_SESSION", ""}, {"KDE_FULL_SESSION", ""}, {"KDE_SESSION_VERSION", ""},
        {"GNOME_DESKTOP_SESSION_ID", ""}, {"MATE_DESKTOP_SESSION_ID", ""}, {"BROWSER", ""},
        {"FAKE_XDG_OPEN_LOG", log.string()},
    };
}

struct Record {
    std::string prog, cwd, stdinTarget;
    long ppid = 0;
    long long timeNs = 0;
    std::vector<std::string> args;
};

// The complete records: a line counts once its line end is written, so a record still being
// written is left for a later reading.
inline std::vector<Record> ReadRecords(const fs::path& log) {
    std::ifstream in(log, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string written = text.str();
    written.erase(written.rfind('\n') + 1);  // all of it without a line end (npos + 1 is 0)
    std::vector<Record> records;
    std::istringstream lines(written);
    std::string line;
    Record r;
    while (std::getline(lines, line)) {
        auto value = [&](const char* key) {
            std::string k = std::string(key) + " ";
            return line.rfind(k, 0) == 0 ? line.substr(k.size()) : std::string();
        };
        if (line == "end") {
            records.push_back(r);
            r = Record{};
        } else if (line.rfind("prog ", 0) == 0) r.prog = value("prog");
        else if (line.rfind("cwd ", 0) == 0) r.cwd = value("cwd");
        else if (line.rfind("stdin ", 0) == 0) r.stdinTarget = value("stdin");
        else if (line.rfind("ppid ", 0) == 0) r.ppid = std::stol(value("ppid"));
        else if (line.rfind("time_ns ", 0) == 0) r.timeNs = std::stoll(value("time_ns"));
        else if (line.rfind("arg ", 0) == 0) r.args.push_back(value("arg"));
    }
    return records;
}

// Polls the record file until it holds at least count records or the limit passes (the started
// process runs on its own; this waits for its output, not for a timer, and the limit is only a
// safety net).
inline std::vector<Record> WaitForRecords(const fs::path& log, std::size_t count,
                                          std::chrono::milliseconds limit = std::chrono::seconds(60)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        std::vector<Record> records = ReadRecords(log);
        if (records.size() >= count || std::chrono::steady_clock::now() > deadline) return records;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace fakeopen
