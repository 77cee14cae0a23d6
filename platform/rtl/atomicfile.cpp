#include "rtl/atomicfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

constexpr std::string_view kTempLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kTempEnding = 6;

// Where a path's file name begins.
std::size_t NameAt(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// The start of a temporary's name beside path: hidden, "." before the name and "." after it;
// six letters or digits follow.
std::string TempPrefix(const std::string& path) {
    const std::size_t at = NameAt(path);
    return path.substr(0, at) + "." + path.substr(at) + ".";
}

bool IsTempName(std::string_view entry, std::string_view prefix) {
    if (entry.size() != prefix.size() + kTempEnding || entry.substr(0, prefix.size()) != prefix) return false;
    return entry.substr(prefix.size()).find_first_not_of(kTempLetters) == std::string_view::npos;
}

// A fresh name of a temporary beside path.
std::string TempName(const std::string& prefix) {
    unsigned char random[kTempEnding] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
        for (unsigned char& r : random) r = static_cast<unsigned char>(std::rand());
    std::string name = prefix;
    for (unsigned char r : random) name += kTempLetters[r % kTempLetters.size()];
    return name;
}

// Gives the unnamed file fd the name name, failing when that name exists. Through /proc where it
// is mounted, else by the descriptor itself (which the system may allow only to privileged users).
bool LinkUnnamed(int fd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno != ENOENT) return false;
    return ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
}

// Gives the unnamed file fd a fresh temporary name beside the target; empty when it cannot.
std::string LinkUnderTempName(int fd, const std::string& prefix) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TempName(prefix);
        if (LinkUnnamed(fd, name)) return name;
        if (errno != EEXIST) break;
    }
    return {};
}

// Removes the temporaries beside path that no live writer holds: a writer keeps its temporary
// locked while it lives, and the lock goes with it when it dies.
void RemoveStaleTemporaries(const std::string& path) {
    const std::string folder = path.substr(0, NameAt(path)), prefix = TempPrefix(path);
    const std::string namePrefix = prefix.substr(folder.size());
    DIR* dir = ::opendir(OsFolderOf(path).c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTempName(entry->d_name, namePrefix)) continue;
        const std::string temp = folder + entry->d_name;
        const int fd = ::open(temp.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {}, named {};
        // A live writer holds its temporary locked; the lock dies with the writer.
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::lstat(temp.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            ::unlink(temp.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

}  // namespace

std::string OsFolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

mode_t NewFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteFileAtomically(const std::string& path, mode_t mode, const struct stat* keepOwner,
                         bool replace, const std::function<bool(int fd)>& fill) {
    RemoveStaleTemporaries(path);
    const std::string folder = OsFolderOf(path), prefix = TempPrefix(path);
    // Unnamed while it is written, so that a writer that dies leaves nothing behind; where the
    // file system has no unnamed files, a named temporary beside the target.
    std::string temp;
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        temp = prefix + "XXXXXX";
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0) return false;
    }
    (void)::flock(fd, LOCK_EX);  // ours while we live: RemoveStaleTemporaries passes it over
    if (keepOwner && (keepOwner->st_uid != ::geteuid() || keepOwner->st_gid != ::getegid()))
        (void)::fchown(fd, keepOwner->st_uid, keepOwner->st_gid);  // keep the owner where we may
    bool ok = ::fchmod(fd, mode) == 0 && fill(fd) && ::fsync(fd) == 0;
    if (ok && temp.empty() && !replace) {
        ok = LinkUnnamed(fd, path);  // fails on an existing name
    } else if (ok) {
        // A name can be given only where none stands: the new file is named beside the target
        // and renamed over it, the one moment in which a named temporary exists.
        if (temp.empty()) temp = LinkUnderTempName(fd, prefix);
        ok = !temp.empty() &&
             (replace ? ::rename(temp.c_str(), path.c_str()) == 0
                      : ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0);
    }
    const int error = errno;
    if (!ok && !temp.empty()) ::unlink(temp.c_str());
    ::close(fd);
    if (!ok) {
        errno = error;
        return false;
    }
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);  // the new name itself on disk
        ::close(dir);
    }
    return true;
}

std::string FollowLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved = real;
            std::free(real);
            return resolved;
        }
    }
    return path;
}
