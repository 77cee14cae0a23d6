#include "rtl/privateprofile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "rtl/atomicfile.h"
#include "rtl/codepage.h"

namespace {

// Files beyond this size are read no further, and refused for writing rather than cut short.
constexpr std::size_t kMaxFileSize = 64u << 20;

// ---- Text rules -------------------------------------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }
bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

template <typename Pred>
std::string_view Trim(std::string_view s, Pred blank) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view TrimBlanks(std::string_view s) { return Trim(s, IsBlank); }

bool IsLead(char c) { return IsDBCSLeadByte(static_cast<unsigned char>(c)); }

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Names match with ASCII letters folded; the second byte of a double-byte character is
// compared exactly. Equal bytes so far mean equal character boundaries in both names.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (IsLead(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// The name of a section line "[name]" (the rest after "[" when "]" is missing), or nothing
// when the line (already stripped of leading blanks) is no section line.
std::optional<std::string_view> SectionName(std::string_view line) {
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    std::size_t i = 0;
    while (i < line.size() && line[i] != ']') i += IsLead(line[i]) ? 2 : 1;
    return Trim(line.substr(0, i), IsSpaceOrTab);
}

// The caller's names, as C strings: only spaces around them do not count; a tab, vertical tab,
// CR or LF there is part of the name, on reading and on writing.
std::string_view CallerName(const char* name) {
    return Trim(name ? name : "", [](char c) { return c == ' '; });
}

// ---- Finding an entry ------------------------------------------------------------------------

// Where section/key stands in the text, and where a new key line of that section would go.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    std::string_view fileKey;  // the key as the file spells it
    std::string_view value;    // the text after "=", as it stands
    std::size_t keyLineBegin = 0;
    std::size_t keyLineNext = 0;  // past the key line's line break
    // After the section's last line that is neither blank nor a comment (or its header), so
    // blank lines and comments before the next section stay with that section.
    std::size_t insertAt = 0;
    bool insertNeedsBreak = false;  // that line is the file's last and has no line break
};

Location Find(std::string_view text, std::string_view section, std::string_view key) {
    Location at;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string_view::npos) end = text.size();
        std::size_t next = end;  // past the line break: CR LF, a lone LF or a lone CR
        if (next < text.size()) next += text.compare(next, 2, "\r\n") == 0 ? 2 : 1;
        std::string_view line = text.substr(begin, end - begin);
        while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);

        if (std::optional<std::string_view> name = SectionName(line)) {
            if (at.sectionFound) break;  // only the first section of that name is searched
            if (SameName(*name, section)) {
                at.sectionFound = true;
                at.insertAt = next;
                at.insertNeedsBreak = next == end;
            }
        } else if (at.sectionFound && !line.empty() && line.front() != ';') {
            at.insertAt = next;
            at.insertNeedsBreak = next == end;
            std::size_t equals = line.find('=');
            if (equals != std::string_view::npos) {
                std::string_view fileKey = TrimBlanks(line.substr(0, equals));
                if (SameName(fileKey, key)) {
                    at.keyFound = true;
                    at.fileKey = fileKey;
                    at.value = line.substr(equals + 1);
                    at.keyLineBegin = begin;
                    at.keyLineNext = next;
                    return at;  // the first key of that name wins
                }
            }
        }
        begin = next;
    }
    return at;
}

// A value as read: blanks around it dropped, then one outer pair of the same quotation mark.
std::string_view Unquote(std::string_view value) {
    value = TrimBlanks(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

// The text as a C string into size bytes: cut at a NUL byte and to size - 1 bytes, never
// inside a double-byte character.
std::string_view FitBuffer(std::string_view s, std::size_t size) {
    s = s.substr(0, std::min(s.find('\0'), s.size()));
    if (size == 0) return {};
    if (s.size() <= size - 1) return s;
    std::size_t keep = 0;
    while (keep < size - 1) {
        std::size_t width = (IsLead(s[keep]) && keep + 1 < s.size()) ? 2 : 1;
        if (keep + width > size - 1) break;
        keep += width;
    }
    return s.substr(0, keep);
}

// ---- Files -----------------------------------------------------------------------------------

// Reads a regular file, at most limit bytes of it; nothing when it cannot be read. A FIFO or
// device is never waited on.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t limit, bool* tooLarge = nullptr) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(st.st_size), limit));
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            // The file may have grown since fstat: look for more, up to the limit.
            if (bytes.size() >= limit) break;
            bytes.resize(std::min(limit, bytes.size() + 4096));
        }
        ssize_t n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    if (tooLarge) {
        char probe;
        *tooLarge = filled >= limit && ::read(fd, &probe, 1) > 0;
    }
    ::close(fd);
    bytes.resize(filled);
    return bytes;
}

bool HasWriteBits(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

// Writable as Windows sees it: the read-only attribute (no write bit at all) stops everyone,
// also a user to whom permission bits mean nothing.
bool MayWrite(const std::string& path, const struct stat& st) {
    return HasWriteBits(st.st_mode) && ::access(path.c_str(), W_OK) == 0;
}

// Replaces path by bytes in one step (the old file stays untouched until the rename), keeping the
// old file's permission bits and, where we may, its owner.
bool ReplaceFile(const std::string& path, std::string_view bytes, const struct stat* old) {
    return WriteFileAtomically(path, old ? old->st_mode & 07777 : NewFileMode(), old, true,
                               [bytes](int fd) { return WriteAll(fd, bytes); });
}

bool WriteEntry(std::string_view section, std::string_view key, std::string_view value, const char* fileName) {
    std::string path = FollowLink(AnsiToUtf8(AnsiString(fileName)));
    if (path.empty()) return false;

    struct stat folderStat {};
    std::string folder = OsFolderOf(path);
    if (::stat(folder.c_str(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode) || !MayWrite(folder, folderStat))
        return false;

    struct stat fileStat {};
    bool exists = ::stat(path.c_str(), &fileStat) == 0;
    if (!exists && errno != ENOENT) return false;
    std::string text;
    if (exists) {
        if (!S_ISREG(fileStat.st_mode) || !MayWrite(path, fileStat)) return false;
        bool tooLarge = false;
        std::optional<std::string> bytes = ReadFileBytes(path, kMaxFileSize, &tooLarge);
        if (!bytes || tooLarge) return false;
        text = std::move(*bytes);
    }

    std::string entry = std::string(key) + "=" + std::string(value) + "\r\n";
    Location at = Find(text, section, key);
    if (at.keyFound) {
        text.replace(at.keyLineBegin, at.keyLineNext - at.keyLineBegin,
                     std::string(at.fileKey) + "=" + std::string(value) + "\r\n");
    } else if (at.sectionFound) {
        text.insert(at.insertAt, (at.insertNeedsBreak ? "\r\n" : "") + entry);
    } else {
        if (!text.empty() && text.back() != '\r' && text.back() != '\n') text += "\r\n";
        text += "[" + std::string(section) + "]\r\n" + entry;
    }
    return ReplaceFile(path, text, exists ? &fileStat : nullptr);
}

std::string ReadEntry(std::string_view section, std::string_view key, const char* defaultValue,
                      std::size_t size, const char* fileName) {
    std::string_view fallback = defaultValue ? defaultValue : "";
    while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
    std::optional<std::string> text;
    if (fileName) text = ReadFileBytes(AnsiToUtf8(AnsiString(fileName)), kMaxFileSize);
    if (text) {
        Location at = Find(*text, section, key);
        if (at.keyFound) return std::string(FitBuffer(Unquote(at.value), size));
    }
    return std::string(FitBuffer(fallback, size));
}

}  // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName) {
    if (!buffer || size == 0) return 0;
    // Without a section or key there is nothing to look up (lists of names are not needed).
    std::string value = ReadEntry(CallerName(section), CallerName(key), defaultValue, size,
                                  section && key ? fileName : nullptr);
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return static_cast<DWORD>(value.size());
}

bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName) {
    if (!section || !key || !value || !fileName) return false;
    return WriteEntry(CallerName(section), CallerName(key), value, fileName);
}

AnsiString ReadPrivateProfileString(const AnsiString& section, const AnsiString& key,
                                    const AnsiString& defaultValue, const AnsiString& fileName,
                                    std::size_t bufferSize) {
    if (bufferSize == 0) return AnsiString();
    return AnsiString(ReadEntry(CallerName(section.c_str()), CallerName(key.c_str()), defaultValue.c_str(),
                                bufferSize, fileName.c_str()));
}

bool WritePrivateProfileString(const AnsiString& section, const AnsiString& key, const AnsiString& value,
                               const AnsiString& fileName) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName.c_str());
}
