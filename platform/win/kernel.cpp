#include "win/kernel.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "rtl/clock.h"
#include "rtl/codepage.h"

DWORD GetTickCount() { return static_cast<DWORD>(Clock().NowMs()); }

void Sleep(DWORD milliseconds) { Clock().SleepMs(milliseconds); }

BOOL SetCurrentDirectoryA(const char* pathName) {
    if (!pathName || !*pathName) return FALSE;
    return chdir(AnsiToUtf8(pathName).c_str()) == 0 ? TRUE : FALSE;
}

DWORD GetFullPathNameA(const char* fileName, DWORD bufferLength, char* buffer, char** filePart) {
    if (!fileName || !*fileName) return 0;
    std::error_code ec;
    std::filesystem::path path(AnsiToUtf8(AnsiString(fileName)));
    if (path.is_relative()) path = std::filesystem::current_path(ec) / path;
    if (ec) return 0;
    const std::string full = Utf8ToAnsi(path.lexically_normal().string()).str();
    if (full.size() + 1 > bufferLength) return static_cast<DWORD>(full.size() + 1);
    std::memcpy(buffer, full.c_str(), full.size() + 1);
    if (filePart) {
        std::size_t slash = full.rfind('/');
        *filePart = buffer + (slash == std::string::npos ? 0 : slash + 1);
    }
    return static_cast<DWORD>(full.size());
}
