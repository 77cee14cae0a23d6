#include "win/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "rtl/codepage.h"
#include "win/cmdline.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// ---- The started process ------------------------------------------------------------------------

// One started child, shared by its process and thread handles.
class TProcess {
public:
    TProcess(pid_t pid, int pidFd) : FPid(pid), FPidFd(pidFd) {}
    TProcess(const TProcess&) = delete;
    TProcess& operator=(const TProcess&) = delete;

    // The last handle is gone: a child still running is reaped by a thread of its own when it
    // ends, so that it never lingers as a zombie; it is never ended by us.
    ~TProcess() {
        if (!FReaped && !TryReap()) {
            pid_t pid = FPid;
            std::thread([pid] {
                while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
            }).detach();
        }
        if (FPidFd >= 0) ::close(FPidFd);
    }

    pid_t Pid() const { return FPid; }

    DWORD Wait(DWORD milliseconds) {
        if (FReaped) return WAIT_OBJECT_0;
        if (FPidFd < 0) return WAIT_FAILED;
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
        for (;;) {
            int timeout = -1;
            if (milliseconds != INFINITE) {
                auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
                timeout = static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
            }
            pollfd p{FPidFd, POLLIN, 0};
            int ready = ::poll(&p, 1, timeout);
            if (ready > 0) {
                TryReap();
                return WAIT_OBJECT_0;
            }
            if (ready == 0) {
                if (milliseconds != INFINITE && Clock::now() >= deadline) return WAIT_TIMEOUT;
                continue;
            }
            if (errno != EINTR) return WAIT_FAILED;
        }
    }

private:
    // Collects the ended child's status (a child that is gone already counts as collected).
    bool TryReap() {
        pid_t r;
        do r = ::waitpid(FPid, nullptr, WNOHANG);
        while (r < 0 && errno == EINTR);
        if (r == FPid || (r < 0 && errno == ECHILD)) FReaped = true;
        return FReaped;
    }

    pid_t FPid;
    int FPidFd;
    bool FReaped = false;
};

class TProcessObject : public THandleObject {
public:
    explicit TProcessObject(std::shared_ptr<TProcess> process) : Process(std::move(process)) {}
    std::shared_ptr<TProcess> Process;
};

// The main thread's handle: it ends with the process.
class TThreadObject : public TProcessObject {
    using TProcessObject::TProcessObject;
};

TProcess* ProcessOf(HANDLE object) {
    auto* o = dynamic_cast<TProcessObject*>(HandleObject(object));
    return o ? o->Process.get() : nullptr;
}

// ---- Finding the program ------------------------------------------------------------------------

std::optional<fs::path> OwnFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return std::nullopt;
    return exe.parent_path();
}

bool IsFile(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsProgramFile(const fs::path& path) { return IsFile(path) && ::access(path.c_str(), X_OK) == 0; }

// The folders of a search: the running program's, the current one, then PATH (or the given list).
std::vector<fs::path> SearchFolders(const char* list) {
    std::vector<fs::path> folders;
    std::string dirs;
    if (list) {
        dirs = list;
    } else {
        if (auto own = OwnFolder()) folders.push_back(*own);
        std::error_code ec;
        folders.push_back(fs::current_path(ec));
        const char* path = std::getenv("PATH");
        dirs = path ? path : "";
    }
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        if (end > start) folders.push_back(dirs.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

// A name with "/" is the file it names, from the current folder; a bare name is searched for.
std::optional<fs::path> Find(const std::string& name, bool (*accept)(const fs::path&), const char* list = nullptr) {
    if (name.empty()) return std::nullopt;
    std::error_code ec;
    if (name.find('/') != std::string::npos) {
        fs::path path = fs::absolute(name, ec);
        if (!ec && accept(path)) return path;
        return std::nullopt;
    }
    for (const fs::path& folder : SearchFolders(list)) {
        fs::path candidate = fs::absolute(folder / name, ec);
        if (!ec && accept(candidate)) return candidate;
    }
    return std::nullopt;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

struct TCommand {
    std::optional<fs::path> Program;
    std::string FirstWord;  // what names the program, for the error when it is not found
    std::string Rest;       // the arguments' text
};

// The program part of a command line, by the Windows rules: a quoted text, or the shortest run of
// words that names a program (an unquoted path with blanks in it is found that way).
TCommand SplitProgram(const std::string& line) {
    TCommand c;
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i < line.size() && line[i] == '"') {
        std::size_t close = line.find('"', i + 1);
        if (close == std::string::npos) close = line.size();
        c.FirstWord = line.substr(i + 1, close - i - 1);
        c.Rest = close < line.size() ? line.substr(close + 1) : "";
        c.Program = Find(c.FirstWord, IsProgramFile);
        if (!c.Program) c.Program = Find(c.FirstWord, IsFile);  // started all the same, for its error
        return c;
    }
    for (std::size_t end = i; end <= line.size(); ++end) {
        if (end < line.size() && !IsBlank(line[end])) continue;
        if (end == i || IsBlank(line[end - 1])) continue;  // no word ends here
        std::string candidate = line.substr(i, end - i);
        if (c.FirstWord.empty()) c.FirstWord = candidate;
        if ((c.Program = Find(candidate, IsProgramFile))) {
            c.Rest = line.substr(end);
            return c;
        }
    }
    // No word run names a program: a first word that names a file is started all the same, so
    // that the start reports why it is no program.
    if ((c.Program = Find(c.FirstWord, IsFile))) c.Rest = line.substr(std::min(line.size(), i + c.FirstWord.size()));
    return c;
}

// posix_spawn of argv[0] with argv: input from /dev/null, no descriptor of ours beyond the
// standard ones, default signal handling, its own session. The error number, or 0.
int Spawn(const std::vector<std::string>& argv, const char* folder, pid_t& pid) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (folder) posix_spawn_file_actions_addchdir_np(&actions, folder);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
    int error = posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// A descriptor that becomes readable when the process ends (the C library's pidfd_open is not
// declared for C++ in every version, so the system call is made directly).
int PidFd(pid_t pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)); }

// Starts argv and fills the handles.
BOOL Start(const std::vector<std::string>& argv, const char* folder, PROCESS_INFORMATION* info) {
    pid_t pid = -1;
    if (int error = Spawn(argv, folder, pid)) return Fail(ErrorFromErrno(error));
    auto process = std::make_shared<TProcess>(pid, PidFd(pid));
    if (info) {
        info->hProcess = new TProcessObject(process);
        info->hThread = new TThreadObject(process);
        info->dwProcessId = info->dwThreadId = static_cast<DWORD>(pid);
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

// Where the line's first word ends: after its closing quote, or at the first blank.
std::size_t FirstWordEnd(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i < line.size() && line[i] == '"') {
        std::size_t close = line.find('"', i + 1);
        return close == std::string::npos ? line.size() : close + 1;
    }
    while (i < line.size() && !IsBlank(line[i])) ++i;
    return i;
}

// "EXPLORER.EXE" (or "explorer") as the first word: the rest of the line, when there is one.
std::optional<std::string> ExplorerFolder(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    std::size_t end = i;
    bool quoted = i < line.size() && line[i] == '"';
    if (quoted) end = line.find('"', i + 1);
    else while (end < line.size() && !IsBlank(line[end])) ++end;
    if (end == std::string::npos) return std::nullopt;
    std::string word = line.substr(quoted ? i + 1 : i, end - (quoted ? i + 1 : i));
    if (strcasecmp(word.c_str(), "explorer.exe") != 0 && strcasecmp(word.c_str(), "explorer") != 0)
        return std::nullopt;
    std::string rest = line.substr(std::min(line.size(), end + (quoted ? 1 : 0)));
    while (!rest.empty() && IsBlank(rest.front())) rest.erase(rest.begin());
    while (!rest.empty() && IsBlank(rest.back())) rest.pop_back();
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
    return rest;
}

}  // namespace

void GetStartupInfoA(STARTUPINFOA* startupInfo) {
    if (!startupInfo) return;
    std::memset(startupInfo, 0, sizeof *startupInfo);
    startupInfo->cb = sizeof *startupInfo;
}

BOOL CreateProcessA(const char* applicationName, char* commandLine, void* processAttributes,
                    void* threadAttributes, BOOL inheritHandles, DWORD creationFlags, void* environment,
                    const char* currentDirectory, STARTUPINFOA* startupInfo,
                    PROCESS_INFORMATION* processInformation) {
    if (processInformation) *processInformation = PROCESS_INFORMATION{};
    if (environment) return Fail(ERROR_INVALID_PARAMETER);
    const std::string line = commandLine ? AnsiToUtf8(commandLine) : std::string();
    TCommand command;
    if (applicationName) {
        command.FirstWord = AnsiToUtf8(applicationName);
        command.Program = Find(command.FirstWord, IsProgramFile);
        // The line's first word is the program's name for itself; the rest are its arguments.
        command.Rest = line.substr(FirstWordEnd(line));
    } else {
        command = SplitProgram(line);
    }
    if (!command.Program) return Fail(command.FirstWord.empty() ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);

    std::string folder;
    if (currentDirectory) {
        folder = AnsiToUtf8(currentDirectory);
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return Fail(ERROR_PATH_NOT_FOUND);
    }
    std::vector<std::string> argv{command.Program->string()};
    for (std::string& a : SplitCommandLineArguments(command.Rest)) argv.push_back(std::move(a));
    return Start(argv, currentDirectory ? folder.c_str() : nullptr, processInformation);
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    TProcess* process = ProcessOf(object);
    return process ? process->Wait(milliseconds) : WAIT_FAILED;
}

DWORD WaitForInputIdle(HANDLE process, DWORD milliseconds) {
    return ProcessOf(process) ? 0 : WAIT_FAILED;
}

UINT WinExec(const char* commandLine, UINT showCommand) {
    const std::string line = commandLine ? AnsiToUtf8(commandLine) : std::string();
    PROCESS_INFORMATION info{};
    BOOL started;
    if (std::optional<std::string> folder = ExplorerFolder(line)) {
        std::optional<fs::path> opener = Find("xdg-open", IsProgramFile, std::getenv("PATH") ? std::getenv("PATH") : "");
        if (!opener) return ERROR_FILE_NOT_FOUND;
        const char* home = std::getenv("HOME");
        std::error_code ec;
        fs::path target = folder->empty() ? fs::path(home ? home : "/") : fs::absolute(*folder, ec);
        started = Start({opener->string(), target.string()}, nullptr, &info);
    } else {
        STARTUPINFOA startup;
        GetStartupInfoA(&startup);
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
        std::string text = commandLine ? commandLine : "";
        started = CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    }
    if (!started) {
        DWORD error = GetLastError();
        return error == ERROR_BAD_EXE_FORMAT ? ERROR_BAD_FORMAT : error;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 33;
}

DWORD SearchPathA(const char* path, const char* fileName, const char* extension, DWORD bufferLength,
                  char* buffer, char** filePart) {
    if (!fileName || !*fileName) return 0;
    AnsiString name = fileName;
    AnsiString bare = name.SubString(name.LastDelimiter("/") + 1, name.Length());
    if (extension && *extension && bare.Pos(".") == 0) name += extension;
    std::optional<std::string> list;
    if (path) list = AnsiToUtf8(path);
    std::optional<fs::path> found = Find(AnsiToUtf8(name), IsFile, list ? list->c_str() : nullptr);
    if (!found) return 0;
    const AnsiString full = Utf8ToAnsi(found->lexically_normal().string());
    const DWORD length = static_cast<DWORD>(full.Length());
    if (!buffer || length + 1 > bufferLength) return length + 1;
    std::memcpy(buffer, full.c_str(), length + 1);
    if (filePart) *filePart = buffer + full.LastDelimiter("/");
    return length;
}

HWND GetForegroundWindow() { return nullptr; }
