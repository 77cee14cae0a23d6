#include "rtl/fileutils.h"

#include <sys/stat.h>

#include "rtl/codepage.h"

namespace {
bool Stat(const AnsiString& path, struct stat& st) {
    return !path.IsEmpty() && stat(AnsiToUtf8(path).c_str(), &st) == 0;
}
}  // namespace

bool FileExists(const AnsiString& path) {
    struct stat st;
    return Stat(path, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const AnsiString& path) {
    struct stat st;
    return Stat(path, st) && S_ISDIR(st.st_mode);
}
