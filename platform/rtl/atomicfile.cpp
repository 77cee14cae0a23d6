#include "rtl/atomicfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

// A temporary's name beside its target: hidden, the target's name, this writer's mark and a random
// part (".Varnith2.ini.atomicfile-Qx8Zk2Lm9PwR.tmp"), a name no person gives.
constexpr std::string_view kTempLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::string_view kTempMark = ".atomicfile-", kTempEnd = ".tmp";
constexpr std::size_t kTempRandom = 12;
// How much of the target's name a temporary's name holds: a file name has 255 bytes at most.
constexpr std::size_t kTempNameRoom = 255 - 1 - kTempMark.size() - kTempRandom - kTempEnd.size();

// A temporary carries this attribute from its birth until it takes the target's place: a file
// without it is no writer's leftover, whatever its name. Until it is marked, a temporary is as it
// was born: empty, for its owner alone, and with the sticky bit, which no file of a person's has.
constexpr const char* kTempAttribute = "user.atomicfile.temporary";
constexpr mode_t kBirthMode = S_ISVTX | 0600;

// Where a path's file name begins.
std::size_t NameAt(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// The start of a temporary's name beside path, its folder included.
std::string TempPrefix(const std::string& path) {
    const std::size_t at = NameAt(path);
    return path.substr(0, at) + "." + path.substr(at, kTempNameRoom) + std::string(kTempMark);
}

bool IsTempName(std::string_view entry, std::string_view prefix) {
    if (entry.size() != prefix.size() + kTempRandom + kTempEnd.size() || !entry.starts_with(prefix) ||
        !entry.ends_with(kTempEnd))
        return false;
    return entry.substr(prefix.size(), kTempRandom).find_first_not_of(kTempLetters) == std::string_view::npos;
}

// A fresh name of a temporary beside path.
std::string TempName(const std::string& prefix) {
    unsigned char random[kTempRandom] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
        for (unsigned char& r : random) r = static_cast<unsigned char>(std::rand());
    std::string name = prefix;
    for (unsigned char r : random) name += kTempLetters[r % kTempLetters.size()];
    return name += kTempEnd;
}

// Whether name still names the open file fd.
bool StillNamed(int fd, const std::string& name) {
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::lstat(name.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
           named.st_ino == held.st_ino;
}

// Whether the open file fd (with its st) is a writer's temporary: marked, or as it was born.
bool IsTemporary(int fd, const struct stat& st) {
    char value = 0;
    if (::fgetxattr(fd, kTempAttribute, &value, 1) == 1 && value == '1') return true;
    return (st.st_mode & 07777) == kBirthMode && st.st_size == 0;
}

// A named temporary beside the target, made and locked; -1 when none can be made. Another writer
// may take it for a killed writer's in the moment before the lock: it is then made anew.
int CreateTemporary(const std::string& prefix, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TempName(prefix);
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kBirthMode);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return -1;
        (void)::flock(fd, LOCK_EX);
        if (StillNamed(fd, name)) return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
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

// Removes the temporaries beside path that killed writers left: only files of a temporary's name
// that are marked as temporaries (or still as one is born), and that no live writer holds: a
// writer keeps its temporary locked while it lives, and the lock dies with it.
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
        struct stat held {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_nlink == 1 && IsTemporary(fd, held) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, temp))
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
    if (fd >= 0) (void)::flock(fd, LOCK_EX);  // ours while we live: RemoveStaleTemporaries passes it over
    else if ((fd = CreateTemporary(prefix, temp)) < 0) return false;
    // Marked before it is ever named, or right at its birth, so that a leftover of ours is known for
    // one; on a file system without extended attributes a leftover stays.
    (void)::fsetxattr(fd, kTempAttribute, "1", 1, 0);
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
    if (ok) (void)::fremovexattr(fd, kTempAttribute);  // the target keeps nothing of the writer's
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

bool WriteFileInPlace(const std::string& path, const std::function<bool(int fd)>& fill) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) == 0 && fill(fd) && ::fsync(fd) == 0;
    const int error = errno;
    ok = ::close(fd) == 0 && ok;
    if (!ok) errno = error;
    return ok;
}

namespace {

// The system's rule for links in a shared folder (sticky and writable by all, as /tmp): only a
// link of our own or of the folder's owner is followed, so that nobody else's link sends a write
// elsewhere.
bool MayFollow(const std::string& link, const struct stat& st) {
    struct stat folder {};
    if (::stat(OsFolderOf(link).c_str(), &folder) != 0) return false;
    const bool shared = (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || st.st_uid == ::geteuid() || st.st_uid == folder.st_uid;
}

}  // namespace

std::string FollowLink(const std::string& path) {
    // Link by link, as the system follows them when the name is opened for writing: the file that
    // the last link names is the one written, also one that does not exist yet.
    std::string name = path;
    for (int links = 0; links <= 40; ++links) {
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return name;
        if (!MayFollow(name, st)) {
            errno = EACCES;
            return {};
        }
        char target[PATH_MAX];
        const ssize_t n = ::readlink(name.c_str(), target, sizeof target);
        if (n <= 0 || n == static_cast<ssize_t>(sizeof target)) {
            errno = n < 0 ? errno : ENAMETOOLONG;
            return {};
        }
        const std::string to(target, static_cast<std::size_t>(n));
        name = to.front() == '/' ? to : name.substr(0, NameAt(name)) + to;
    }
    errno = ELOOP;  // a loop of links
    return {};
}
