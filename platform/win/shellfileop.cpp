// SHFileOperationA (declared in shellapi.h): copy, move, rename, and delete into the Trash.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "rtl/atomicfile.h"
#include "rtl/codepage.h"
#include "rtl/findfile.h"
#include "rtl/paths.h"
#include "win/handle.h"
#include "win/shellapi.h"

namespace fs = std::filesystem;

namespace {

// The names of a list: each ended by a NUL, the list by an empty name.
std::vector<AnsiString> Names(const char* list) {
    std::vector<AnsiString> names;
    if (!list) return names;
    while (*list) {
        names.emplace_back(list);
        list += names.back().Length() + 1;
    }
    return names;
}

bool HasWildcards(const AnsiString& name) {
    AnsiString last = ExtractFileName(name);
    return last.Pos("*") > 0 || last.Pos("?") > 0;
}

// The sources as absolute paths, wildcards expanded; an error value when one is missing. Here "*"
// and "?" may be part of a name: a name that exists is taken as itself, and only a name that
// does not is taken as a pattern.
int Sources(const char* list, std::vector<fs::path>& out) {
    std::error_code ec;
    for (const AnsiString& name : Names(list)) {
        fs::path path = fs::absolute(AnsiToUtf8(name), ec).lexically_normal();
        if (path.has_filename() == false && path != path.root_path()) path = path.parent_path();
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0) {
            out.push_back(path);
            continue;
        }
        if (!HasWildcards(name)) return static_cast<int>(ERROR_FILE_NOT_FOUND);
        TSearchRec found;
        bool any = false;
        AnsiString folder = ExtractFilePath(name);
        for (int r = FindFirst(name, faHidden | faSysFile | faDirectory, found); r == 0; r = FindNext(found)) {
            if (found.Name == "." || found.Name == "..") continue;
            out.push_back(fs::absolute(AnsiToUtf8(folder + found.Name), ec).lexically_normal());
            any = true;
        }
        FindClose(found);
        if (!any) return static_cast<int>(ERROR_FILE_NOT_FOUND);
    }
    return out.empty() ? DE_INVALIDFILES : 0;
}

int ErrnoValue() { return static_cast<int>(ErrorFromErrno(errno)); }

// ---- Copying --------------------------------------------------------------------------------------

bool CopyFileBytes(const fs::path& from, const fs::path& to, mode_t mode) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) return false;
    ::fcntl(in, F_SETFL, ::fcntl(in, F_GETFL) & ~O_NONBLOCK);
    bool ok = WriteFileAtomically(to.string(), mode & 07777, nullptr, false, [in](int out) {
        char buffer[65536];
        for (;;) {
            ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return n == 0;
            if (!WriteAll(out, std::string_view(buffer, static_cast<std::size_t>(n)))) return false;
        }
    });
    int error = errno;
    ::close(in);
    errno = error;
    return ok;
}

// Copies a file, a folder with all it holds, or a link as a link; never over an existing name.
int CopyTree(const fs::path& from, const fs::path& to) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0) return ErrnoValue();
    if (S_ISLNK(st.st_mode)) {
        std::error_code ec;
        fs::path target = fs::read_symlink(from, ec);
        if (ec || ::symlink(target.c_str(), to.c_str()) != 0) return ec ? static_cast<int>(ERROR_ACCESS_DENIED) : ErrnoValue();
        return 0;
    }
    if (S_ISREG(st.st_mode)) return CopyFileBytes(from, to, st.st_mode) ? 0 : ErrnoValue();
    if (!S_ISDIR(st.st_mode)) return static_cast<int>(ERROR_ACCESS_DENIED);  // no pipes or devices
    if (::mkdir(to.c_str(), (st.st_mode & 07777) | S_IRWXU) != 0) return ErrnoValue();
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(from, ec)) {
        if (int r = CopyTree(entry.path(), to / entry.path().filename())) return r;
    }
    if (ec) return ErrnoValue();
    ::chmod(to.c_str(), st.st_mode & 07777);
    return 0;
}

bool Inside(const fs::path& inner, const fs::path& outer) {
    auto o = outer.begin(), i = inner.begin();
    for (; o != outer.end(); ++o, ++i)
        if (i == inner.end() || *i != *o) return false;
    return true;
}

bool SameFile(const fs::path& a, const fs::path& b) {
    struct stat sa {}, sb {};
    return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// One source to one target name.
int CopyOrMove(const fs::path& from, const fs::path& to, bool move) {
    if (from == to || SameFile(from, to)) return DE_SAMEFILE;
    if (from == from.root_path()) return DE_ROOTDIR;
    if (Inside(to, from)) return DE_DESTSUBTREE;
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return static_cast<int>(ERROR_ALREADY_EXISTS);
    std::error_code ec;
    fs::create_directories(to.parent_path(), ec);
    if (move) {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
        if (errno != EXDEV) return errno == EEXIST ? static_cast<int>(ERROR_ALREADY_EXISTS) : ErrnoValue();
    }
    if (int r = CopyTree(from, to)) return r;
    // Another device: the source goes only once its copy is complete.
    if (move && fs::remove_all(from, ec) == static_cast<std::uintmax_t>(-1)) return static_cast<int>(ERROR_ACCESS_DENIED);
    return 0;
}

// ---- The Trash ----------------------------------------------------------------------------------

// RFC 2396 escaping of a path for the Path= line: unreserved characters and "/" stay.
std::string EscapePath(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::string_view("-_.!~*'()/").find(static_cast<char>(c)) != std::string_view::npos) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

bool MakePrivateDir(const fs::path& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

// The mount point above path: the highest folder on the same device.
fs::path TopDir(const fs::path& path, dev_t device) {
    fs::path top = path.parent_path();
    while (top != top.root_path()) {
        struct stat st {};
        if (::stat(top.parent_path().c_str(), &st) != 0 || st.st_dev != device) break;
        top = top.parent_path();
    }
    return top;
}

struct TTrash {
    fs::path Dir;   // holds files/ and info/
    fs::path Base;  // the Path= lines are relative to it (empty: absolute)
};

// The Trash that can take path by a rename: the home Trash on its device, else the device's.
std::optional<TTrash> TrashFor(const fs::path& path, const struct stat& item) {
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    fs::path dataHome = data && data[0] == '/' ? fs::path(data) : fs::path(home ? home : "/") / ".local/share";
    std::error_code ec;
    fs::create_directories(dataHome, ec);
    fs::path homeTrash = dataHome / "Trash";
    struct stat st {};
    if (MakePrivateDir(homeTrash) && ::stat(homeTrash.c_str(), &st) == 0 && st.st_dev == item.st_dev)
        return TTrash{homeTrash, {}};
    fs::path top = TopDir(path, item.st_dev);
    const std::string uid = std::to_string(::geteuid());
    fs::path shared = top / ".Trash";
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) && MakePrivateDir(shared / uid))
        return TTrash{shared / uid, top};
    if (MakePrivateDir(top / (".Trash-" + uid))) return TTrash{top / (".Trash-" + uid), top};
    return std::nullopt;
}

int MoveToTrash(const fs::path& path) {
    struct stat item {};
    if (::lstat(path.c_str(), &item) != 0) return static_cast<int>(ERROR_FILE_NOT_FOUND);
    if (path == path.root_path()) return DE_ROOTDIR;
    std::optional<TTrash> trash = TrashFor(path, item);
    if (!trash || !MakePrivateDir(trash->Dir / "files") || !MakePrivateDir(trash->Dir / "info"))
        return static_cast<int>(ERROR_ACCESS_DENIED);

    char date[32];
    std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    const std::string recorded = trash->Base.empty() ? path.string() : path.lexically_relative(trash->Base).string();
    const std::string info = "[Trash Info]\nPath=" + EscapePath(recorded) + "\nDeletionDate=" + date + "\n";

    const std::string name = path.filename().string();
    for (int n = 1; n < 10000; ++n) {
        std::string entry = n == 1 ? name : name + "." + std::to_string(n);
        fs::path infoPath = trash->Dir / "info" / (entry + ".trashinfo");
        fs::path filePath = trash->Dir / "files" / entry;
        // The .trashinfo file, made exclusively, claims the name.
        int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return ErrnoValue();
        }
        bool written = WriteAll(fd, info);
        written = ::close(fd) == 0 && written;
        if (written && ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, filePath.c_str(), RENAME_NOREPLACE) == 0)
            return 0;
        int error = errno;
        ::unlink(infoPath.c_str());
        if (written && error == EEXIST) continue;
        errno = error;
        return written ? ErrnoValue() : static_cast<int>(ERROR_ACCESS_DENIED);
    }
    return static_cast<int>(ERROR_ALREADY_EXISTS);
}

// ---- The operations -------------------------------------------------------------------------------

int Rename(const std::vector<fs::path>& sources, const char* pTo) {
    std::vector<AnsiString> targets = Names(pTo);
    if (sources.size() != 1) return DE_MANYSRC1DEST;
    if (targets.empty()) return DE_INVALIDFILES;
    std::error_code ec;
    const fs::path& from = sources[0];
    fs::path to = fs::absolute(AnsiToUtf8(targets[0]), ec).lexically_normal();
    if (from == from.root_path()) return DE_ROOTDIR;
    if (to.parent_path() != from.parent_path()) return DE_DIFFDIR;
    if (to == from) return 0;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    return errno == EEXIST ? static_cast<int>(ERROR_ALREADY_EXISTS) : ErrnoValue();
}

int CopyOrMoveAll(const std::vector<fs::path>& sources, const char* pTo, bool move) {
    std::vector<AnsiString> targets = Names(pTo);
    if (targets.empty()) return DE_INVALIDFILES;
    std::error_code ec;
    fs::path to = fs::absolute(AnsiToUtf8(targets[0]), ec).lexically_normal();
    if (!to.has_filename() && to != to.root_path()) to = to.parent_path();
    struct stat st {};
    const bool exists = ::stat(to.c_str(), &st) == 0;
    const bool intoFolder = (exists && S_ISDIR(st.st_mode)) || sources.size() > 1;
    if (intoFolder && exists && !S_ISDIR(st.st_mode)) return DE_FLDDESTISFILE;
    for (const fs::path& from : sources) {
        if (int r = CopyOrMove(from, intoFolder ? to / from.filename() : to, move)) return r;
    }
    return 0;
}

}  // namespace

int SHFileOperationA(SHFILEOPSTRUCTA* operation) {
    if (!operation) return static_cast<int>(ERROR_INVALID_PARAMETER);
    operation->fAnyOperationsAborted = FALSE;
    std::vector<fs::path> sources;
    if (int r = Sources(operation->pFrom, sources)) return r;
    switch (operation->wFunc) {
    case FO_COPY: return CopyOrMoveAll(sources, operation->pTo, false);
    case FO_MOVE: return CopyOrMoveAll(sources, operation->pTo, true);
    case FO_RENAME: return Rename(sources, operation->pTo);
    case FO_DELETE:
        for (const fs::path& path : sources) {
            if (operation->fFlags & FOF_ALLOWUNDO) {
                if (int r = MoveToTrash(path)) return r;
            } else {
                std::error_code ec;
                if (path == path.root_path()) return DE_ROOTDIR;
                fs::remove_all(path, ec);
                if (ec) return static_cast<int>(ErrorFromErrno(ec.value()));
            }
        }
        return 0;
    default: return static_cast<int>(ERROR_INVALID_PARAMETER);
    }
}
