#include "rtl/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

#include "rtl/atomicfile.h"
#include "rtl/consts.h"

namespace {

constexpr std::size_t kMaxStoreSize = 16u << 20;

struct TValue {
    std::string Name;
    std::uint32_t Type;
    std::string Data;
};

struct TKey {
    std::string Path;
    std::vector<TValue> Values;
};

struct TStore {
    std::vector<TKey> Keys;
    bool Whole = true;  // every line was understood, so writing it back loses nothing
};

// ---- Names ----------------------------------------------------------------------------------------

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// ASCII letters without case; the second byte of a double-byte character exactly.
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// A key path without empty parts: "\a\\b\" is "a\b". A "\" that is a second byte is no
// delimiter.
std::string NormalKey(const std::string& key) {
    std::string out, part;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<unsigned char>(key[i])) && i + 1 < key.size()) {
            part += key.substr(i++, 2);
        } else if (key[i] == '\\') {
            if (!part.empty()) out += (out.empty() ? "" : "\\") + part;
            part.clear();
        } else {
            part += key[i];
        }
    }
    if (!part.empty()) out += (out.empty() ? "" : "\\") + part;
    return out;
}

// The keys above a normal key path, from the top, and the key itself.
std::vector<std::string> KeyAndParents(const std::string& path) {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ++i;
        else if (path[i] == '\\') keys.push_back(path.substr(0, i));
    }
    keys.push_back(path);
    return keys;
}

TKey* FindKey(TStore& store, const std::string& path) {
    for (TKey& k : store.Keys)
        if (SameName(k.Path, path)) return &k;
    return nullptr;
}

TValue* FindValue(TKey& key, const std::string& name) {
    for (TValue& v : key.Values)
        if (SameName(v.Name, name)) return &v;
    return nullptr;
}

// ---- The store's text -----------------------------------------------------------------------------

std::string Quote(const std::string& bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c < 0x20 || c == 0x7F || c == '%' || c == '"') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A quoted text at line[at]; at moves past it.
std::optional<std::string> Unquote(const std::string& line, std::size_t& at) {
    if (at >= line.size() || line[at] != '"') return std::nullopt;
    std::string out;
    for (++at; at < line.size(); ++at) {
        char c = line[at];
        if (c == '"') {
            ++at;
            return out;
        }
        if (c == '%') {
            if (at + 2 >= line.size()) return std::nullopt;
            int hi = HexDigit(line[at + 1]), lo = HexDigit(line[at + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi << 4 | lo);
            at += 2;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

TStore Parse(const std::string& text) {
    TStore store;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        if (line.empty() || line[0] == ';') continue;
        std::size_t at;
        if (line.rfind("key ", 0) == 0) {
            at = 4;
            std::optional<std::string> path = Unquote(line, at);
            if (path && at == line.size()) {
                store.Keys.push_back({NormalKey(*path), {}});
                continue;
            }
        } else if (line.rfind("value ", 0) == 0 && !store.Keys.empty()) {
            at = 6;
            std::optional<std::string> name = Unquote(line, at);
            char* typeEnd = nullptr;
            unsigned long type = 0;
            if (name && at < line.size() && line[at] == ' ') {
                type = std::strtoul(line.c_str() + at + 1, &typeEnd, 10);
                at = typeEnd ? static_cast<std::size_t>(typeEnd - line.c_str()) : line.size();
            }
            if (name && typeEnd && at < line.size() && line[at] == ' ') {
                ++at;
                std::optional<std::string> data = Unquote(line, at);
                if (data && at == line.size()) {
                    store.Keys.back().Values.push_back({*name, static_cast<std::uint32_t>(type), *data});
                    continue;
                }
            }
        }
        store.Whole = false;
    }
    return store;
}

std::string Print(const TStore& store) {
    std::string text = "; the current user's registry\n";
    for (const TKey& k : store.Keys) {
        text += "key " + Quote(k.Path) + "\n";
        for (const TValue& v : k.Values)
            text += "value " + Quote(v.Name) + " " + std::to_string(v.Type) + " " + Quote(v.Data) + "\n";
    }
    return text;
}

// ---- The store file -------------------------------------------------------------------------------

std::string StoreFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/varnith";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "") + "/.config/varnith";
}

// The store as it is on disk; a missing store is empty. Nothing when it cannot be read.
std::optional<TStore> Load() {
    int fd = ::open(TRegistry::StorePath().c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return TStore{};
        return std::nullopt;
    }
    struct stat st {};
    std::string text;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= kMaxStoreSize;
    char buffer[65536];
    while (ok) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
        ok = text.size() <= kMaxStoreSize;
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    return Parse(text);
}

bool MakeFolder(const std::string& folder) {
    std::string parent = OsFolderOf(folder);
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (parent != folder && ::stat(parent.c_str(), &st) != 0 && !MakeFolder(parent)) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// Changes the store: change is applied to the store read under the lock, which is then
// written back in one step. False when the store cannot be read whole or written, or change
// refuses.
bool Change(const std::function<bool(TStore&)>& change) {
    const std::string folder = StoreFolder();
    if (!MakeFolder(folder)) return false;
    int lock = ::open((folder + "/registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0) return false;
    while (::flock(lock, LOCK_EX) != 0 && errno == EINTR) {}
    bool ok = false;
    if (std::optional<TStore> store = Load(); store && store->Whole && change(*store)) {
        const std::string text = Print(*store);
        ok = WriteFileAtomically(TRegistry::StorePath(), 0600, nullptr, true,
                                 [&text](int fd) { return WriteAll(fd, text); });
    }
    ::close(lock);  // releases the lock
    return ok;
}

}  // namespace

TRegistry::TRegistry() : TRegistry(KEY_ALL_ACCESS) {}
TRegistry::TRegistry(std::uint32_t AAccess) : FAccess(AAccess) {}
TRegistry::~TRegistry() { CloseKey(); }

std::string TRegistry::StorePath() { return StoreFolder() + "/registry"; }

void TRegistry::SetRootKey(HKEY Value) {
    if (Value == FRootKey) return;
    CloseKey();
    FRootKey = Value;
}

bool TRegistry::OpenKey(const AnsiString& Key, bool CanCreate) {
    if (FRootKey != HKEY_CURRENT_USER) return false;
    const std::string& key = Key.str();
    std::string path = key.rfind('\\', 0) == 0 || !FKeyOpen ? NormalKey(key)
                                                              : NormalKey(FCurrentPath.str() + "\\" + key);
    if (path.empty()) {  // the root itself
        FCurrentPath = AnsiString();
        FKeyOpen = true;
        return true;
    }
    std::optional<TStore> store = Load();
    if (!store) return false;
    TKey* found = FindKey(*store, path);
    if (!found) {
        if (!CanCreate || !(FAccess & KEY_CREATE_SUB_KEY)) return false;
        bool made = Change([&path](TStore& s) {
            for (const std::string& part : KeyAndParents(path))
                if (!FindKey(s, part)) s.Keys.push_back({part, {}});
            return true;
        });
        if (!made) return false;
        std::optional<TStore> again = Load();
        if (!again || !(found = FindKey(*again, path))) return false;
        path = found->Path;
    } else {
        path = found->Path;
    }
    FCurrentPath = AnsiString(path);
    FKeyOpen = true;
    return true;
}

void TRegistry::CloseKey() {
    FKeyOpen = false;
    FCurrentPath = AnsiString();
}

void TRegistry::WriteString(const AnsiString& Name, const AnsiString& Value) {
    const std::string path = FCurrentPath.str();
    const std::string name = Name.str();
    bool ok = FKeyOpen && (FAccess & KEY_SET_VALUE) && Change([&](TStore& s) {
        TKey* key = FindKey(s, path);
        if (!key) return false;  // removed meanwhile
        std::string data = Value.str();
        data = data.substr(0, data.find('\0')) + '\0';
        if (TValue* v = FindValue(*key, name)) *v = {v->Name, REG_SZ, data};
        else key->Values.push_back({name, REG_SZ, data});
        return true;
    });
    if (!ok) throw ERegistryException(Format(SRegSetDataFailed, {Name}));
}

AnsiString TRegistry::ReadString(const AnsiString& Name) {
    if (!FKeyOpen) return AnsiString();
    std::optional<TStore> store = Load();
    TKey* key = store ? FindKey(*store, FCurrentPath.str()) : nullptr;
    TValue* value = key ? FindValue(*key, Name.str()) : nullptr;
    if (!value) return AnsiString();
    if (value->Type != REG_SZ && value->Type != REG_EXPAND_SZ)
        throw ERegistryException(Format(SInvalidRegType, {Name}));
    return AnsiString(value->Data.substr(0, value->Data.find('\0')));
}
