#include "win/shell.h"

#include <fcntl.h>
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "rtl/codepage.h"
#include "win/cmdline.h"
#include "win/programs.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr HINSTANCE kStarted = 42;  // what the Windows shell returns for a start

// Why the start failed, as the grandchild reports it through the pipe.
struct TStartError {
    int InFolder;  // 1 when entering the working folder failed, 0 when the start itself did
    int Errno;
};

HINSTANCE ResultOf(const TStartError& e) {
    if (e.InFolder) return SE_ERR_PNF;
    switch (e.Errno) {
    case ENOENT: case ENOTDIR: return SE_ERR_FNF;
    case EACCES: case EPERM: return SE_ERR_ACCESSDENIED;
    case ENOEXEC: return SE_ERR_BADFORMAT;
    default: return SE_ERR_OOM;  // out of processes or memory
    }
}

// Reports the failure of the start from the child, and ends it.
[[noreturn]] void FailStart(int reportFd, int inFolder) {
    TStartError e{inFolder, errno};
    ssize_t ignored = write(reportFd, &e, sizeof e);
    (void)ignored;
    _exit(127);
}

// Starts argv[0] with argv, detached: the intermediate child makes a new session and forks the
// program, then ends at once, so the program is adopted by init and never left as our zombie.
// Between fork and exec only async-signal-safe calls are made. A close-on-exec pipe carries a
// failure back; its end of file means the program is running.
HINSTANCE StartDetached(const std::vector<std::string>& argv, const fs::path* folder) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const char* cwd = folder ? folder->c_str() : nullptr;

    int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
    int report[2];
    if (devNull < 0 || pipe2(report, O_CLOEXEC) != 0) {
        if (devNull >= 0) close(devNull);
        return SE_ERR_OOM;
    }
    pid_t child = fork();
    if (child == 0) {
        setsid();
        pid_t program = fork();
        if (program < 0) FailStart(report[1], 0);
        if (program > 0) _exit(0);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGPIPE, SIG_DFL);
        if (cwd && chdir(cwd) != 0) FailStart(report[1], 1);
        dup2(devNull, STDIN_FILENO);
        // No descriptor of ours beyond the standard three reaches the program.
        close_range(3, ~0u, CLOSE_RANGE_CLOEXEC);
        execve(args[0], args.data(), environ);
        FailStart(report[1], 0);
    }
    int forkErrno = errno;
    close(report[1]);
    close(devNull);
    if (child < 0) {
        close(report[0]);
        return ResultOf({0, forkErrno});
    }
    TStartError error{};
    ssize_t got;
    do got = read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    close(report[0]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
    return got == static_cast<ssize_t>(sizeof error) ? ResultOf(error) : kStarted;
}

bool IsOpenVerb(const char* verb) {
    return !verb || !*verb || strcasecmp(verb, "open") == 0;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// An address: a scheme (a letter, then letters, digits, "+", "-" or ".") and ":". One letter
// before ":" is a drive on Windows, never a scheme. A scheme is ASCII alone, so no byte of it
// can be part of a double-byte character.
bool IsAddress(const char* text) {
    if (!IsAsciiLetter(text[0])) return false;
    std::size_t i = 1;
    while (IsAsciiLetter(text[i]) || (text[i] >= '0' && text[i] <= '9') || text[i] == '+' ||
           text[i] == '-' || text[i] == '.')
        ++i;
    return i >= 2 && text[i] == ':';
}

// Whether the file begins as a web page does: "<!DOCTYPE html" or "<html" in any letter case,
// after a UTF-8 byte-order mark and blanks.
bool IsWebPage(const fs::path& path) {
    char head[64] = {};
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    ssize_t got = read(fd, head, sizeof head - 1);
    close(fd);
    if (got <= 0) return false;
    const char* p = head;
    if (std::strncmp(p, "\xEF\xBB\xBF", 3) == 0) p += 3;
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
    return strncasecmp(p, "<!doctype html", 14) == 0 || strncasecmp(p, "<html", 5) == 0;
}

// The file the desktop's opener is given for path. Linux viewers know no Windows help file,
// and the openers type a file by its name first; a help (".hlp") written as a web page is
// shipped once more beside it as name + ".html", and that copy is what the viewer of web pages
// gets. Any other file is itself.
fs::path ViewedFile(const fs::path& path) {
    if (strcasecmp(path.extension().c_str(), ".hlp") != 0 || !IsWebPage(path)) return path;
    fs::path page = path;
    page += ".html";
    std::error_code ec;
    return fs::is_regular_file(page, ec) ? page : path;
}

}  // namespace

HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* directory, int showCommand) {
    if (!file || !*file) return SE_ERR_FNF;
    if (!IsOpenVerb(verb)) return SE_ERR_NOASSOC;

    std::error_code ec;
    std::optional<fs::path> folder;
    if (directory && *directory) folder = fs::absolute(AnsiToUtf8(directory), ec);

    // An address goes to the opener as it stands: it names no file here, and a letter first
    // keeps it from being taken for an option.
    if (IsAddress(file)) {
        std::optional<fs::path> opener = FindOnPath("xdg-open");
        if (!opener) return SE_ERR_NOASSOC;
        return StartDetached({opener->string(), AnsiToUtf8(file)}, folder ? &*folder : nullptr);
    }

    const fs::path base = folder ? *folder : fs::current_path(ec);
    // An absolute name: never taken for an option, whatever its first character.
    const fs::path path = base / AnsiToUtf8(file);
    if (!path.is_absolute() || !fs::exists(path, ec)) return SE_ERR_FNF;

    std::vector<std::string> argv;
    if (IsProgram(path)) {
        argv.push_back(path.string());
        if (parameters)
            for (std::string& a : SplitCommandLineArguments(AnsiToUtf8(parameters)))
                argv.push_back(std::move(a));
    } else {
        std::optional<fs::path> opener = FindOnPath("xdg-open");
        if (!opener) return SE_ERR_NOASSOC;
        argv = {opener->string(), ViewedFile(path).string()};
    }
    return StartDetached(argv, folder ? &*folder : nullptr);
}
