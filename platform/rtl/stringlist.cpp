#include "rtl/stringlist.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "rtl/atomicfile.h"
#include "rtl/codepage.h"
#include "rtl/consts.h"
#include "rtl/sysutils.h"

namespace {

// Closes a file descriptor when it goes out of scope.
struct FileHandle {
    int fd;
    ~FileHandle() { if (fd >= 0) ::close(fd); }
};

}  // namespace

AnsiString TStrings::Text() const {
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        text += Strings(i).str();
        text += "\r\n";
    }
    return AnsiString(std::move(text));
}

void TStrings::SetText(const AnsiString& Value) {
    Clear();
    const std::string& s = Value.str();
    std::size_t end = s.find('\0');
    if (end == std::string::npos) end = s.size();
    std::size_t i = 0;
    while (i < end) {
        std::size_t start = i;
        while (i < end && s[i] != '\r' && s[i] != '\n') ++i;
        Add(AnsiString(s.substr(start, i - start)));
        if (i < end && s[i] == '\r') ++i;
        if (i < end && s[i] == '\n') ++i;
    }
}

void TStrings::LoadFromFile(const AnsiString& FileName) {
    // Non-blocking, so that a named pipe cannot stall the opening; only regular files are read.
    FileHandle file{::open(AnsiToUtf8(FileName).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat info;
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
        throw EFOpenError(Format(SFOpenError, {FileName}));

    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFOpenError(Format(SFOpenError, {FileName}));
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    SetText(AnsiString(std::move(bytes)));
}

void TStrings::SaveToFile(const AnsiString& FileName) const {
    const std::string text = Text().str();
    const auto fill = [&text](int fd) { return WriteAll(fd, text); };
    const std::string path = FollowLink(AnsiToUtf8(FileName));
    struct stat old {};
    const bool exists = !path.empty() && ::stat(path.c_str(), &old) == 0;
    const bool refused = path.empty() || (exists && (!S_ISREG(old.st_mode) || ::access(path.c_str(), W_OK) != 0));
    if (!refused) {
        // In one step where the folder takes a new file; else, as for a shared file in a folder
        // of another's, the file itself is emptied and written.
        if (WriteFileAtomically(path, exists ? old.st_mode & 07777 : NewFileMode(), exists ? &old : nullptr, true, fill))
            return;
        if (exists && (errno == EACCES || errno == EPERM) && WriteFileInPlace(path, fill)) return;
    }
    throw EFCreateError(Format(SFCreateError, {FileName}));
}
