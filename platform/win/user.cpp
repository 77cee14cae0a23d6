#include "win/user.h"

#include "rtl/system.h"

DWORD CharUpperBuffA(char* buffer, DWORD length) {
    for (DWORD i = 0; i < length; ++i) {
        char& c = buffer[i];
        if (IsDBCSLeadByte(static_cast<unsigned char>(c)))
            ++i;  // the second byte belongs to the character, whatever its value
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return length;
}
