#include "rtl/findfile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "rtl/codepage.h"
#include "rtl/paths.h"

struct TSearchRec::TSearch {
    DIR* Dir = nullptr;
    std::string Folder;  // the folder as the OS names it, with a final "/" ("" for the current one)
    AnsiString Mask;
    int Attr = 0;
    ~TSearch() {
        if (Dir) closedir(Dir);
    }
};

namespace {

constexpr int kErrorFileNotFound = 2;
constexpr int kErrorPathNotFound = 3;

// The text cut into characters: a lead byte and its second byte make one.
std::vector<std::string> Characters(const AnsiString& s) {
    std::vector<std::string> chars;
    const std::string& b = s.str();
    for (std::size_t i = 0; i < b.size();) {
        std::size_t width = IsDBCSLeadByte(static_cast<unsigned char>(b[i])) && i + 1 < b.size() ? 2 : 1;
        chars.push_back(b.substr(i, width));
        i += width;
    }
    return chars;
}

// Fills F from the directory entry, or returns false when the attributes pass it over.
bool Take(TSearchRec& F, const TSearchRec::TSearch& search, const char* name) {
    std::string path = search.Folder + name;
    struct stat st {};
    bool folder = false;
    if (stat(path.c_str(), &st) == 0) folder = S_ISDIR(st.st_mode);
    else if (lstat(path.c_str(), &st) != 0) return false;  // gone meanwhile
    std::string n = name;
    int attr = 0;
    if (folder) attr |= faDirectory;
    if (n[0] == '.' && n != "." && n != "..") attr |= faHidden;
    if (access(path.c_str(), W_OK) != 0) attr |= faReadOnly;
    const int special = faHidden | faSysFile | faVolumeID | faDirectory;
    if ((attr & special & ~search.Attr) != 0) return false;
    F.Name = Utf8ToAnsi(n);
    F.Attr = attr;
    F.Size = folder ? 0 : static_cast<std::int64_t>(st.st_size);
    return true;
}

}  // namespace

bool MatchesFileMask(const AnsiString& Name, const AnsiString& Mask) {
    if (Mask == "*.*") return true;
    std::vector<std::string> n = Characters(Name), m = Characters(Mask);
    // Greedy match with a return to the last "*" on a mismatch.
    std::size_t i = 0, j = 0, star = std::string::npos, resume = 0;
    while (i < n.size()) {
        if (j < m.size() && (m[j] == "?" || m[j] == n[i])) {
            ++i;
            ++j;
        } else if (j < m.size() && m[j] == "*") {
            star = j++;
            resume = i;
        } else if (star != std::string::npos) {
            j = star + 1;
            i = ++resume;
        } else {
            return false;
        }
    }
    while (j < m.size() && m[j] == "*") ++j;
    return j == m.size();
}

int FindFirst(const AnsiString& Path, int Attr, TSearchRec& F) {
    auto search = std::make_shared<TSearchRec::TSearch>();
    AnsiString folder = ExtractFilePath(Path);
    search->Folder = AnsiToUtf8(folder);
    search->Mask = ExtractFileName(Path);
    search->Attr = Attr;
    search->Dir = opendir(search->Folder.empty() ? "." : search->Folder.c_str());
    F.FindHandle = search;
    if (!search->Dir) return kErrorPathNotFound;
    return FindNext(F) == 0 ? 0 : kErrorFileNotFound;
}

int FindNext(TSearchRec& F) {
    TSearchRec::TSearch* search = F.FindHandle.get();
    if (!search || !search->Dir || search->Mask.IsEmpty()) return kErrorFileNotFound;
    while (dirent* entry = readdir(search->Dir)) {
        if (MatchesFileMask(Utf8ToAnsi(entry->d_name), search->Mask) && Take(F, *search, entry->d_name))
            return 0;
    }
    return kErrorFileNotFound;
}

void FindClose(TSearchRec& F) { F.FindHandle.reset(); }
