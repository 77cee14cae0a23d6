// The class library's file search (FindFirst, FindNext, FindClose over TSearchRec), standing in
// for FindFirstFileA: the entries of the mask's folder, read with readdir in the order the file
// system gives them, whose names match the mask's last part. Attributes as the class library's
// POSIX build gives them: a name that begins with "." is hidden (the folder's own entries "."
// and ".." excepted), a folder (a link to one included) is a folder, an entry we may not write
// is read-only; there are no system files and no volume labels.
#pragma once

#include <cstdint>
#include <memory>

#include "rtl/system.h"

constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faAnyFile = 0x3F;

struct TSearchRec {
    AnsiString Name;       // the entry's name, without its folder
    int Attr = 0;          // its fa* bits
    std::int64_t Size = 0; // its size in bytes (0 for a folder)

    struct TSearch;        // the open search
    std::shared_ptr<TSearch> FindHandle;
};

// Starts a search: Path is a folder part (may be empty: the current folder) and a mask in which
// "*" stands for any run of characters and "?" for one (a double-byte character is one), exact
// in letter case as Linux names are; "*.*" matches every name. An entry is passed over when it
// carries any of faHidden, faSysFile, faVolumeID or faDirectory that Attr lacks. Returns 0 and
// fills F with the first match; else non-zero (2: nothing matches, 3: the folder cannot be read).
int FindFirst(const AnsiString& Path, int Attr, TSearchRec& F);
// The next match into F: 0, or non-zero when there is none.
int FindNext(TSearchRec& F);
// Ends the search (also after FindFirst failed).
void FindClose(TSearchRec& F);

// The mask rule above, on one name.
bool MatchesFileMask(const AnsiString& Name, const AnsiString& Mask);
