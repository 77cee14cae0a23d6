#include "rtl/system.h"

#include <cstdio>

bool IsDBCSLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(const AnsiString& s, int index) {
    if (index < 2 || index > s.Length()) return false;
    // Walk whole characters from the start: only that tells a trail byte from a lead byte.
    int i = 1;
    while (i < index) i += IsDBCSLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
    return i > index;
}

AnsiString AnsiString::SubString(int index, int count) const {
    if (index < 1) { count += index - 1; index = 1; }
    if (count <= 0 || index > Length()) return AnsiString();
    return AnsiString(s_.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count)));
}

int AnsiString::Pos(const AnsiString& sub) const {
    std::size_t at = s_.find(sub.s_);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

int AnsiString::LastDelimiter(const AnsiString& delimiters) const {
    int found = 0;
    for (int i = 1; i <= Length(); ++i) {
        unsigned char byte = static_cast<unsigned char>((*this)[i]);
        if (delimiters.str().find(static_cast<char>(byte)) != std::string::npos) found = i;
        if (IsDBCSLeadByte(byte)) ++i;
    }
    return found;
}

bool AnsiString::IsDelimiter(const AnsiString& delimiters, int index) const {
    if (index < 1 || index > Length() || IsTrailByte(*this, index)) return false;
    return delimiters.str().find((*this)[index]) != std::string::npos;
}

AnsiString IntToStr(int value) { return AnsiString(std::to_string(value)); }

AnsiString IntToHex(unsigned value, int digits) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
    return AnsiString(buffer);
}
