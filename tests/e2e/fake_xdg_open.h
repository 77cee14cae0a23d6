// Test support: the recording stand-in for the desktop's opener (tests/e2e/fake-xdg-open), put
// first on PATH as "xdg-open", and the reading of what it recorded.
#pragma once

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
