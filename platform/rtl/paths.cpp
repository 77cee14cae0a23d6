#include "rtl/paths.h"

#include <vector>

namespace {

// The characters that end a folder part: the folder delimiter and the drive delimiter.
AnsiString Delimiters(const TPathStyle& style) {
    AnsiString d(style.PathDelim);
    if (style.DriveDelim) d += AnsiString(style.DriveDelim);
    return d;
}

bool IsLead(const AnsiString& s, int index) {
    return IsDBCSLeadByte(static_cast<unsigned char>(s[index]));
}

// Index of the first folder delimiter at or after the character that begins at from; 0 if none.
int NextPathDelimiter(const AnsiString& s, int from, const TPathStyle& style) {
    for (int i = from; i <= s.Length(); i += IsLead(s, i) ? 2 : 1)
        if (s[i] == style.PathDelim) return i;
    return 0;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Equal names; where the style ignores letter case, ASCII letters compare without it, and
// double-byte characters still exactly, so a second byte that happens to be a letter is never
// folded.
bool SameName(const AnsiString& a, const AnsiString& b, const TPathStyle& style) {
    if (!style.IgnoreCase) return a == b;
    if (a.Length() != b.Length()) return false;
    for (int i = 1; i <= a.Length(); ++i) {
        if (IsLead(a, i)) {
            if (a[i] != b[i] || (i < a.Length() && a[i + 1] != b[i + 1])) return false;
            ++i;
        } else if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

// What must agree before one path can be made relative to another: the drive; in a style
// without drives, the leading delimiter of an absolute path, so that an absolute path never
// becomes relative to a relative (or empty) base.
AnsiString Anchor(const AnsiString& path, const TPathStyle& style) {
    if (style.DriveDelim || style.NetworkShares) return ExtractFileDrive(path, style);
    return IsPathDelimiter(path, 1, style) ? AnsiString(style.PathDelim) : AnsiString();
}

// The folder names between the delimiters of a folder text; empty names are skipped.
std::vector<AnsiString> FolderNames(const AnsiString& folder, const TPathStyle& style) {
    std::vector<AnsiString> names;
    int start = 1;
    while (start <= folder.Length()) {
        int end = NextPathDelimiter(folder, start, style);
        if (end == 0) end = folder.Length() + 1;
        if (end > start) names.push_back(folder.SubString(start, end - start));
        start = end + 1;
    }
    return names;
}

}  // namespace

AnsiString ExtractFilePath(const AnsiString& FileName, const TPathStyle& Style) {
    return FileName.SubString(1, FileName.LastDelimiter(Delimiters(Style)));
}

AnsiString ExtractFileDir(const AnsiString& FileName, const TPathStyle& Style) {
    AnsiString delimiters = Delimiters(Style);
    int i = FileName.LastDelimiter(delimiters);
    if (i > 1 && FileName[i] == Style.PathDelim && !FileName.IsDelimiter(delimiters, i - 1)) --i;
    return FileName.SubString(1, i);
}

AnsiString ExtractFileName(const AnsiString& FileName, const TPathStyle& Style) {
    return FileName.SubString(FileName.LastDelimiter(Delimiters(Style)) + 1, FileName.Length());
}

AnsiString ExtractFileExt(const AnsiString& FileName, const TPathStyle& Style) {
    int i = FileName.LastDelimiter("." + Delimiters(Style));
    if (i == 0 || FileName[i] != '.') return AnsiString();
    return FileName.SubString(i, FileName.Length());
}

AnsiString ExtractFileDrive(const AnsiString& FileName, const TPathStyle& Style) {
    if (Style.DriveDelim && FileName.IsDelimiter(AnsiString(Style.DriveDelim), 2))
        return FileName.SubString(1, 2);
    if (Style.NetworkShares && IsPathDelimiter(FileName, 1, Style) &&
        IsPathDelimiter(FileName, 2, Style)) {
        // "\\" server "\" share: up to the delimiter after the share, or the end.
        int server = NextPathDelimiter(FileName, 3, Style);
        int share = server ? NextPathDelimiter(FileName, server + 1, Style) : 0;
        return FileName.SubString(1, share ? share - 1 : FileName.Length());
    }
    return AnsiString();
}

AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension,
                         const TPathStyle& Style) {
    int i = FileName.LastDelimiter("." + Delimiters(Style));
    if (i == 0 || FileName[i] != '.') i = FileName.Length() + 1;
    return FileName.SubString(1, i - 1) + Extension;
}

bool IsPathDelimiter(const AnsiString& S, int Index, const TPathStyle& Style) {
    return S.IsDelimiter(AnsiString(Style.PathDelim), Index);
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& S, const TPathStyle& Style) {
    if (IsPathDelimiter(S, S.Length(), Style)) return S;
    return S + AnsiString(Style.PathDelim);
}

AnsiString ExtractRelativePath(const AnsiString& BaseName, const AnsiString& DestName,
                               const TPathStyle& Style) {
    AnsiString baseAnchor = Anchor(BaseName, Style);
    AnsiString destAnchor = Anchor(DestName, Style);
    if (!SameName(baseAnchor, destAnchor, Style)) return DestName;

    // Folder parts without their drives ("C:\disc" keeps only "\": its "disc" is a file name).
    AnsiString baseFolder = ExtractFilePath(BaseName, Style);
    AnsiString destFolder = ExtractFilePath(DestName, Style);
    std::vector<AnsiString> base =
        FolderNames(baseFolder.SubString(baseAnchor.Length() + 1, baseFolder.Length()), Style);
    std::vector<AnsiString> dest =
        FolderNames(destFolder.SubString(destAnchor.Length() + 1, destFolder.Length()), Style);

    std::size_t common = 0;
    while (common < base.size() && common < dest.size() &&
           SameName(base[common], dest[common], Style))
        ++common;

    AnsiString result;
    for (std::size_t i = common; i < base.size(); ++i)
        result += ".." + AnsiString(Style.PathDelim);
    for (std::size_t i = common; i < dest.size(); ++i)
        result += dest[i] + AnsiString(Style.PathDelim);
    return result + ExtractFileName(DestName, Style);
}
