#include "vcl/resources.h"

#include <cstring>
#include <vector>

namespace {
std::vector<TResourceEntry>& Resources() {
    static std::vector<TResourceEntry> resources;
    return resources;
}
}  // namespace

TResourceRegistration::TResourceRegistration(const TResourceEntry* entries, std::size_t count) {
    Resources().insert(Resources().end(), entries, entries + count);
}

const unsigned char* FindResourceData(const char* name, std::size_t& size) {
    for (const TResourceEntry& entry : Resources()) {
        if (name != nullptr && std::strcmp(name, entry.Name) == 0) {
            size = entry.Size;
            return entry.Data;
        }
    }
    size = 0;
    return nullptr;
}
