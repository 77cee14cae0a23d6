#include "win/programs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace fs = std::filesystem;

namespace {
bool IsExecutableFile(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}
}  // namespace

bool IsProgram(const fs::path& path) {
    if (!IsExecutableFile(path)) return false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    char head[4] = {};
    ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    return (got >= 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0) ||
           (got >= 2 && head[0] == '#' && head[1] == '!');
}

std::optional<fs::path> FindOnPath(const char* name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        if (end > start) {
            fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
            if (IsExecutableFile(candidate)) return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}
