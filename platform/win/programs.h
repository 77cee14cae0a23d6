// What the shell calls share: whether a file is a program the system starts itself, and the
// search of PATH for one.
#pragma once

#include <filesystem>
#include <optional>

// A regular file we may execute, with an ELF header or a "#!" line (a disc often marks every
// file executable, so the permission alone says nothing).
bool IsProgram(const std::filesystem::path& path);

// The executable regular file of that name in the first folder of PATH that holds one.
std::optional<std::filesystem::path> FindOnPath(const char* name);
