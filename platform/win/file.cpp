#include "win/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "rtl/atomicfile.h"
#include "rtl/codepage.h"

namespace {

class TFileObject : public THandleObject {
public:
    explicit TFileObject(int fd) : Fd(fd) {}
    ~TFileObject() override { ::close(Fd); }
    int Fd;
};

TFileObject* FileOf(HANDLE file) { return dynamic_cast<TFileObject*>(HandleObject(file)); }

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// Copies the rest of from into to.
bool CopyBytes(int from, int to) {
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(n)))) return false;
    }
}

}  // namespace

HANDLE CreateFileA(const char* fileName, DWORD desiredAccess, DWORD shareMode, void* securityAttributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile) {
    if (!fileName || !*fileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const bool read = desiredAccess & GENERIC_READ, write = desiredAccess & GENERIC_WRITE;
    int flags = O_CLOEXEC | O_NONBLOCK;  // a pipe is never waited on
    flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    if (creationDisposition == CREATE_ALWAYS) {
        if (!write) flags = (flags & ~O_RDONLY) | O_RDWR;
        flags |= O_CREAT | O_TRUNC;
    } else if (creationDisposition != OPEN_EXISTING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::string path = AnsiToUtf8(fileName);
    if (creationDisposition == CREATE_ALWAYS) {
        // Emptying must never reach a pipe or a device.
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
    }
    int fd = ::open(path.c_str(), flags, 0666);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        fd = -1;
        errno = EACCES;
    }
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    SetLastError(ERROR_SUCCESS);
    return new TFileObject(fd);
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped) {
    if (read) *read = 0;
    TFileObject* f = FileOf(file);
    if (!f) return Fail(ERROR_INVALID_HANDLE);
    char* p = static_cast<char*>(buffer);
    DWORD done = 0;
    while (done < toRead) {
        std::size_t chunk = std::min<std::size_t>(toRead - done, SSIZE_MAX);
        ssize_t n = ::read(f->Fd, p + done, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (read) *read = done;
            return Fail(ERROR_READ_FAULT);
        }
        if (n == 0) break;
        done += static_cast<DWORD>(n);
    }
    if (read) *read = done;
    return TRUE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* overlapped) {
    if (written) *written = 0;
    TFileObject* f = FileOf(file);
    if (!f) return Fail(ERROR_INVALID_HANDLE);
    if (!WriteAll(f->Fd, std::string_view(static_cast<const char*>(buffer), toWrite)))
        return Fail(ERROR_WRITE_FAULT);
    if (written) *written = toWrite;
    return TRUE;
}

DWORD GetFileSize(HANDLE file, DWORD* sizeHigh) {
    TFileObject* f = FileOf(file);
    struct stat st {};
    if (!f || ::fstat(f->Fd, &st) != 0) {
        SetLastError(f ? ErrorFromErrno(errno) : ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

BOOL CopyFileA(const char* existingFileName, const char* newFileName, BOOL failIfExists) {
    if (!existingFileName || !*existingFileName || !newFileName || !*newFileName)
        return Fail(ERROR_PATH_NOT_FOUND);
    int from = ::open(AnsiToUtf8(existingFileName).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat source {};
    if (from < 0) return Fail(ErrorFromErrno(errno));
    if (::fstat(from, &source) != 0 || !S_ISREG(source.st_mode)) {
        ::close(from);
        return Fail(ERROR_ACCESS_DENIED);
    }
    ::fcntl(from, F_SETFL, ::fcntl(from, F_GETFL) & ~O_NONBLOCK);

    const std::string target = FollowLink(AnsiToUtf8(newFileName));
    struct stat old {};
    const bool exists = !target.empty() && ::stat(target.c_str(), &old) == 0;
    DWORD refusal = ERROR_SUCCESS;
    if (target.empty()) refusal = ErrorFromErrno(errno);  // a loop of links
    else if (exists && failIfExists) refusal = ERROR_FILE_EXISTS;
    else if (exists && (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0))
        refusal = ERROR_ACCESS_DENIED;
    if (refusal != ERROR_SUCCESS) {
        ::close(from);
        return Fail(refusal);
    }
    const bool ok = WriteFileAtomically(target, source.st_mode & 0777, exists ? &old : nullptr, !failIfExists,
                                        [from](int to) { return CopyBytes(from, to); });
    const int error = errno;
    ::close(from);
    if (!ok) return Fail(ErrorFromErrno(error));
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
