// The programs' own resources (form layouts, icons): stands in for FindResource, LoadResource
// and LockResource. Each program compiles its resource files in as byte arrays (the build's
// varnith_resources), which register themselves here by name.
#pragma once

#include <cstddef>

struct TResourceEntry {
    const char* Name;
    const unsigned char* Data;
    std::size_t Size;
};

// Made once per program by its compiled-in resource table.
class TResourceRegistration {
public:
    TResourceRegistration(const TResourceEntry* entries, std::size_t count);
};

// The bytes of the named resource ("MAINICON": the program icon as an .ico file; "TFORM1": a
// form layout), or nullptr (size 0) when the program holds no resource of that name. Names
// compare exactly.
const unsigned char* FindResourceData(const char* name, std::size_t& size);
