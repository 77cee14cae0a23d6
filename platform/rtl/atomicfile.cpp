#include "rtl/atomicfile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

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
    std::string folder = OsFolderOf(path);
    // Hidden while it is written: "." before the name, a unique ending after it.
    const std::size_t nameAt = path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1;
    std::string temp = path.substr(0, nameAt) + "." + path.substr(nameAt) + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    if (keepOwner && (keepOwner->st_uid != ::geteuid() || keepOwner->st_gid != ::getegid()))
        (void)::fchown(fd, keepOwner->st_uid, keepOwner->st_gid);  // keep the owner where we may
    bool ok = ::fchmod(fd, mode) == 0;
    ok = ok && fill(fd) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) {
        ok = replace ? ::rename(temp.c_str(), path.c_str()) == 0
                     : ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0;
    }
    if (!ok) {
        int error = errno;
        ::unlink(temp.c_str());
        errno = error;
        return false;
    }
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);  // the rename itself on disk
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
