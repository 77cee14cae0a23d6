// The class library's path-text functions (folder part, file name, suffix, trailing delimiter,
// relative path), written once over a delimiter style: the Linux one that the programs use
// ("/" only, no drives, as the class library's own POSIX builds) and the Windows one ("\" and
// ":", drive letters, "\\server\share") that keeps the original rules testable. They work on the
// text alone, never on the file system, and take code page 932 double-byte characters whole: a
// second byte equal to a delimiter is no delimiter.
#pragma once

#include "rtl/system.h"

struct TPathStyle {
    char PathDelim;       // the folder delimiter
    char DriveDelim;      // the delimiter after a drive letter; '\0' when there are no drives
    bool NetworkShares;   // "\\server\share" names a drive
    bool IgnoreCase;      // names that differ only in ASCII letter case name the same folder
};

inline constexpr TPathStyle LinuxPaths{'/', '\0', false, false};
inline constexpr TPathStyle WindowsPaths{'\\', ':', true, true};

// The platform's folder delimiter.
inline constexpr char PathDelim = LinuxPaths.PathDelim;

// The folder part: everything up to and including the last delimiter; empty when there is none.
AnsiString ExtractFilePath(const AnsiString& FileName, const TPathStyle& Style = LinuxPaths);
// The folder part without its final delimiter, unless that follows the drive delimiter or
// another delimiter: "D:\x.exe" gives "D:\", "C:\cd\x.exe" gives "C:\cd", "/x" gives "/".
AnsiString ExtractFileDir(const AnsiString& FileName, const TPathStyle& Style = LinuxPaths);
// The text after the last delimiter.
AnsiString ExtractFileName(const AnsiString& FileName, const TPathStyle& Style = LinuxPaths);
// The suffix from the last "." after the last delimiter, the "." included; empty when none.
AnsiString ExtractFileExt(const AnsiString& FileName, const TPathStyle& Style = LinuxPaths);
// The drive: "C:" when the second character is the drive delimiter, "\\server\share" for a
// network path; empty otherwise (always, in a style without drives).
AnsiString ExtractFileDrive(const AnsiString& FileName, const TPathStyle& Style = LinuxPaths);
// The text from the last "." after the last delimiter replaced by Extension; appended when the
// file name has no ".".
AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension,
                         const TPathStyle& Style = LinuxPaths);

// True when the character at the 1-based Index is the folder delimiter (a trail byte is not).
bool IsPathDelimiter(const AnsiString& S, int Index, const TPathStyle& Style = LinuxPaths);
// S with a folder delimiter added, unless its last character already is one.
AnsiString IncludeTrailingPathDelimiter(const AnsiString& S, const TPathStyle& Style = LinuxPaths);

// DestName relative to the folder part of BaseName: ".." steps for each folder of the base that
// the destination does not share, then the destination's own folders and its file name. Folder
// and drive names compare without regard to ASCII letter case where the style's file system
// ignores it (Windows), exactly where it does not (Linux). A destination on another drive
// than the base is returned unchanged; so is an absolute destination for a relative or empty
// base (in a style without drives the leading delimiter stands for the drive).
AnsiString ExtractRelativePath(const AnsiString& BaseName, const AnsiString& DestName,
                               const TPathStyle& Style = LinuxPaths);
