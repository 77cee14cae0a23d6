// The class library's file and folder tests (stand-ins for FindFirstFileA and
// GetFileAttributesA): code page 932 paths, asked of the file system in UTF-8.
#pragma once

#include "rtl/system.h"

// True when the path names an existing file; a folder does not count. As on Windows, anything else
// does, a named pipe or a device too: the readers that open the file refuse those at once.
bool FileExists(const AnsiString& path);
// True when the path names an existing folder.
bool DirectoryExists(const AnsiString& path);
