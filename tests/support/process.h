// Test support: starting built programs and helpers as processes, with their own current folder
// and environment, and waiting for them with a time limit; reading /proc about processes that may
// end at any moment.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testproc {

using Clock = std::chrono::steady_clock;

struct Child {
    pid_t pid = -1;
    Clock::time_point started;
};

// This process's environment with env's entries added (or replaced), as "NAME=value" texts.
inline std::vector<std::string> Environment(const std::map<std::string, std::string>& env) {
    std::map<std::string, std::string> merged;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        auto eq = entry.find('=');
        if (eq != std::string::npos) merged[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (auto& [k, v] : env) merged[k] = v;
    std::vector<std::string> text;
    for (auto& [k, v] : merged) text.push_back(k + "=" + v);
    return text;
}

// Starts argv[0] (a path) with cwd as its current folder (none: ours) and env added to this
// process's environment; its standard output goes to stdoutPath when one is given.
inline Child Start(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
                   const std::map<std::string, std::string>& env = {},
                   const std::filesystem::path& stdoutPath = {}) {
    std::vector<std::string> envText = Environment(env);
    std::vector<char*> envp, args;
    for (auto& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argvCopy = argv;
    for (auto& a : argvCopy) args.push_back(a.data());
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    if (!stdoutPath.empty()) {
        posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    Child child;
    child.started = Clock::now();
    if (posix_spawn(&child.pid, argvCopy[0].c_str(), &actions, nullptr, args.data(), envp.data()) != 0)
        child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// Waits up to limit; the exit code, or nothing when it did not end (it is then killed).
inline std::optional<int> Wait(Child& child, std::chrono::milliseconds limit,
                               Clock::time_point* ended = nullptr) {
    auto deadline = Clock::now() + limit;
    for (;;) {
        int status = 0;
        pid_t r = waitpid(child.pid, &status, WNOHANG);
        if (r == child.pid) {
            if (ended) *ended = Clock::now();
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (Clock::now() > deadline) {
            kill(child.pid, SIGKILL);
            waitpid(child.pid, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Waits until no child of this process is left, every one ended and collected, at most limit;
// false when some still run. During an OrphanAdoption, the programs started detached count too.
inline bool WaitForNoChildren(std::chrono::milliseconds limit = std::chrono::seconds(60)) {
    auto deadline = Clock::now() + limit;
    for (;;) {
        pid_t r = waitpid(-1, nullptr, WNOHANG);
        if (r > 0 || (r < 0 && errno == EINTR)) continue;
        if (r < 0) return true;  // ECHILD: none left
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// While it lives, this process adopts its descendants' orphans: a program started detached (its
// intermediate process ends at once) becomes our child, so its end is a sign that can be waited
// for (WaitForNoChildren).
class OrphanAdoption {
public:
    OrphanAdoption() : FOn(prctl(PR_SET_CHILD_SUBREAPER, 1) == 0) {}
    ~OrphanAdoption() { prctl(PR_SET_CHILD_SUBREAPER, 0); }
    OrphanAdoption(const OrphanAdoption&) = delete;
    OrphanAdoption& operator=(const OrphanAdoption&) = delete;
    bool On() const { return FOn; }

private:
    bool FOn;
};

// A descriptor for the process pid as it is now (a pidfd), -1 when there is none: a signal sent
// through it never reaches a later process given the same pid once this one is collected.
inline int HoldProcess(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }
inline void KillHeld(int pidfd) { syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0); }

// A file of /proc read with plain calls; nothing when it cannot be read, as when the process it
// tells of is gone: ENOENT at the open, or ESRCH at a read once the process has been collected
// after the open (where a stream would throw).
inline std::optional<std::string> ReadProc(const std::filesystem::path& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) != 0) {
        if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
        else if (errno != EINTR) break;
    }
    close(fd);
    if (n < 0) return std::nullopt;
    return text;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The names of a folder's entries.
inline std::set<std::string> Entries(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

// A fresh folder under the system's temporary folder, removed with the object.
struct TempDir {
    std::filesystem::path path;
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "varnith-XXXXXX").string();
        path = mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

}  // namespace testproc
