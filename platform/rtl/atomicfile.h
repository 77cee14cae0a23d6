// Replacing a file in one step, so that it is never seen torn: the new content goes into an
// unnamed file in the target's folder, is flushed to disk, and only then gets a name and takes the
// old one's place. Where the file system has no unnamed files, a hidden temporary beside the
// target (".name.atomicfile-XXXXXXXXXXXX.tmp", marked by an extended attribute) stands in. Used
// by the private-profile writer, the registry store, the string lists' files and the file copy.
// Paths are the OS's (UTF-8).
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

struct stat;

// Writes path anew: fill writes the content into the temporary file's descriptor (false: it
// failed). The file gets the permission bits mode and, where we may, the owner of keepOwner.
// With replace false an existing path is never replaced (the call fails). On any failure the
// temporary file is removed, path is as it was and errno tells why (EACCES or EPERM: the folder
// takes no new file). Every write first removes the temporaries that writers of path killed before
// their end left beside it (those that no live writer holds); no other file, whatever its name.
bool WriteFileAtomically(const std::string& path, mode_t mode, const struct stat* keepOwner,
                         bool replace, const std::function<bool(int fd)>& fill);

// Writes all of bytes to fd; false on a write error.
bool WriteAll(int fd, std::string_view bytes);

// The permission bits of a new file: 0666 less the umask.
mode_t NewFileMode();

// The folder part of an OS path: "." for a bare name, "/" for a name in the root.
std::string OsFolderOf(const std::string& path);

// Writes the existing regular file path where it stands: emptied, then filled by fill. For a file
// whose folder takes no new file; a failure part-way leaves it cut short.
bool WriteFileInPlace(const std::string& path, const std::function<bool(int fd)>& fill);

// The file a name stands for: symbolic links are followed, so that a write keeps a link a link;
// a dangling link gives the file it names, which the write then makes. Empty (errno set) for a
// loop of links or a link that the system would not follow.
std::string FollowLink(const std::string& path);
