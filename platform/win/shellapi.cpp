#include "win/shellapi.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "rtl/codepage.h"
#include "win/programs.h"

namespace fs = std::filesystem;

// The folder an item list names; empty for a virtual folder.
struct ITEMIDLIST {
    std::string Path;  // UTF-8
};

namespace {

constexpr HINSTANCE kFound = 42;  // what the Windows shell returns for a program found

// ---- XDG folders --------------------------------------------------------------------------------

std::string Home() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (passwd* pw = ::getpwuid(::getuid())) return pw->pw_dir;
    return "/";
}

// A base directory: the variable when it holds an absolute path, else home + fallback.
std::string BaseDir(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return value;
    return Home() + fallback;
}

// A user directory from $XDG_CONFIG_HOME/user-dirs.dirs: lines XDG_<NAME>_DIR="$HOME/..." or
// "/...", with "\" escaping the next character.
std::optional<std::string> UserDir(const std::string& name) {
    std::ifstream in(BaseDir("XDG_CONFIG_HOME", "/.config") + "/user-dirs.dirs");
    const std::string key = "XDG_" + name + "_DIR=";
    std::optional<std::string> found;
    std::string line;
    while (std::getline(in, line)) {
        std::size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos || line.compare(i, key.size(), key) != 0) continue;
        i += key.size();
        if (i >= line.size() || line[i] != '"') continue;
        std::string value;
        for (++i; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) ++i;
            value += line[i];
        }
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
            found = Home() + value.substr(5);
        else if (!value.empty() && value[0] == '/')
            found = value;
    }
    return found;
}

std::string UserDirOr(const std::string& name, const std::string& fallback) {
    std::optional<std::string> dir = UserDir(name);
    return dir ? *dir : fallback;
}

// A folder as the shell gives it: no empty folder names, no final delimiter but the root's.
std::string ShellFolder(const std::string& path) {
    std::string folder;
    for (char c : path)
        if (c != '/' || folder.empty() || folder.back() != '/') folder += c;
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

class TShellMalloc : public IMalloc {};

}  // namespace

HINSTANCE FindExecutableA(const char* file, const char* directory, char* result) {
    if (result) result[0] = '\0';
    if (!file || !*file) return SE_ERR_FNF;
    std::error_code ec;
    fs::path base = directory && *directory ? fs::absolute(AnsiToUtf8(directory), ec) : fs::current_path(ec);
    fs::path path = base / AnsiToUtf8(file);
    if (!fs::exists(path, ec)) return SE_ERR_FNF;
    std::optional<fs::path> program;
    if (IsProgram(path)) program = path.lexically_normal();
    else program = FindOnPath("xdg-open");
    if (!program) return SE_ERR_NOASSOC;
    AnsiString text = Utf8ToAnsi(program->string());
    if (static_cast<DWORD>(text.Length()) >= MAX_PATH) return SE_ERR_OOM;
    if (result) std::memcpy(result, text.c_str(), static_cast<std::size_t>(text.Length()) + 1);
    return kFound;
}

HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list) {
    if (!list) return E_INVALIDARG;
    *list = nullptr;
    const std::string home = Home();
    std::optional<std::string> path;
    switch (folder) {
    case CSIDL_PROGRAMS:
    case CSIDL_STARTMENU: path = BaseDir("XDG_DATA_HOME", "/.local/share") + "/applications"; break;
    case CSIDL_PERSONAL: path = UserDirOr("DOCUMENTS", home); break;
    case CSIDL_STARTUP: path = BaseDir("XDG_CONFIG_HOME", "/.config") + "/autostart"; break;
    case CSIDL_DESKTOPDIRECTORY: path = UserDirOr("DESKTOP", home + "/Desktop"); break;
    case CSIDL_TEMPLATES: path = UserDirOr("TEMPLATES", home); break;
    case CSIDL_APPDATA: path = BaseDir("XDG_CONFIG_HOME", "/.config"); break;
    case CSIDL_PRINTERS: path = ""; break;
    default: return E_FAIL;
    }
    *list = new ITEMIDLIST{ShellFolder(*path)};
    return S_OK;
}

BOOL SHGetPathFromIDListA(LPITEMIDLIST list, char* path) {
    if (!path) return FALSE;
    path[0] = '\0';
    if (!list || list->Path.empty()) return FALSE;
    AnsiString text = Utf8ToAnsi(list->Path);
    if (static_cast<DWORD>(text.Length()) >= MAX_PATH) return FALSE;
    std::memcpy(path, text.c_str(), static_cast<std::size_t>(text.Length()) + 1);
    return TRUE;
}

void IMalloc::Free(void* block) { delete static_cast<ITEMIDLIST*>(block); }
ULONG IMalloc::Release() { return 1; }

HRESULT SHGetMalloc(LPMALLOC* allocator) {
    static TShellMalloc shellMalloc;
    if (!allocator) return E_INVALIDARG;
    *allocator = &shellMalloc;
    return S_OK;
}
