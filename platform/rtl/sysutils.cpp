#include "rtl/sysutils.h"

#include <cstdint>

#include "rtl/consts.h"

Exception Exception::CreateFmt(const AnsiString& format, std::initializer_list<AnsiString> args) {
    return Exception(Format(format, args));
}

AnsiString Format(const AnsiString& format, std::initializer_list<AnsiString> args) {
    std::string out;
    auto next = args.begin();
    const std::string& f = format.str();
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] == '%' && i + 1 < f.size()) {
            if (f[i + 1] == 's') {
                if (next != args.end()) out += (next++)->str();
                ++i;
                continue;
            }
            if (f[i + 1] == '%') { out += '%'; ++i; continue; }
        }
        out += f[i];
    }
    return AnsiString(out);
}

AnsiString ExceptionReportText(const AnsiString& message) {
    if (message.IsEmpty()) return message;
    // The last character is the lead byte of a double-byte character when one ends the text.
    int last = message.Length();
    if (last > 1 && IsTrailByte(message, last)) --last;
    if (static_cast<unsigned char>(message[last]) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool TryStrToInt(const AnsiString& text, int& value) {
    const std::string& s = text.str();
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

    std::size_t prefix = 0;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X'))
        prefix = 1;
    else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X'))
        prefix = 2;

    if (prefix) {
        // A hexadecimal number is a 32-bit pattern; a sign before it changes nothing.
        i += prefix;
        if (i == s.size()) return false;
        std::uint64_t n = 0;
        for (; i < s.size(); ++i) {
            int d = HexDigit(s[i]);
            if (d < 0) return false;
            n = n * 16 + static_cast<unsigned>(d);
            if (n > 0xFFFFFFFFu) return false;
        }
        value = static_cast<int>(static_cast<std::uint32_t>(n));
        return true;
    }

    if (i == s.size()) return false;
    std::int64_t n = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        n = n * 10 + (s[i] - '0');
        if (n > 2147483648LL) return false;
    }
    if (negative) n = -n;
    if (n > 2147483647LL) return false;
    value = static_cast<int>(n);
    return true;
}

int StrToIntDef(const AnsiString& text, int defaultValue) {
    int value;
    return TryStrToInt(text, value) ? value : defaultValue;
}

int StrToInt(const AnsiString& text) {
    int value;
    if (!TryStrToInt(text, value)) throw EConvertError(Format(SInvalidInteger, {text}));
    return value;
}
