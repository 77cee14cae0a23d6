#include "rtl/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace {

// One converter per direction, opened once and reset before each use.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }

    // Converts in to bytes; at a sequence it cannot take, calls skip(rest, restLength), which
    // returns how many input bytes to drop, and writes replacement.
    template <typename Skip>
    std::string Run(const char* in, std::size_t inLength, std::string_view replacement, Skip skip) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        char buffer[4096];
        char* src = const_cast<char*>(in);
        std::size_t left = inLength;
        while (left > 0) {
            char* dst = buffer;
            std::size_t room = sizeof buffer;
            std::size_t result = iconv(cd_, &src, &left, &dst, &room);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (result != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: a sequence that cannot be converted, or one cut off at the end.
            std::size_t drop = skip(src, left);
            if (drop == 0 || drop > left) drop = left;
            src += drop;
            left -= drop;
            out.append(replacement);
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

std::size_t Utf8SequenceLength(const char* s, std::size_t left) {
    unsigned char lead = static_cast<unsigned char>(s[0]);
    std::size_t n = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 1;
    for (std::size_t i = 1; i < n; ++i)
        if (i >= left || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return i;
    return n;
}

std::size_t Cp932SequenceLength(const char* s, std::size_t left) {
    if (left >= 2 && IsDBCSLeadByte(static_cast<unsigned char>(s[0])) &&
        static_cast<unsigned char>(s[1]) >= 0x40)
        return 2;
    return 1;
}

std::size_t Utf16SequenceLength(const char* s, std::size_t left) {
    if (left < 2) return left;
    auto unitAt = [s](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(s[i]) | static_cast<unsigned char>(s[i + 1]) << 8);
    };
    unsigned unit = unitAt(0);
    // A high surrogate takes its low surrogate along; a lone one is dropped by itself.
    bool pair = unit >= 0xD800 && unit < 0xDC00 && left >= 4 && unitAt(2) >= 0xDC00 && unitAt(2) < 0xE000;
    return pair ? 4 : 2;
}

Converter& FromUtf8() { static thread_local Converter c("CP932", "UTF-8"); return c; }
Converter& FromUtf16() { static thread_local Converter c("CP932", "UTF-16LE"); return c; }
Converter& ToUtf8() { static thread_local Converter c("UTF-8", "CP932"); return c; }
Converter& ToUtf16() { static thread_local Converter c("UTF-16LE", "CP932"); return c; }

// Unicode's KATAKANA MIDDLE DOT, code page 932's default for bytes it cannot read.
constexpr char kUtf8Default[] = "\xE3\x83\xBB";
constexpr char kUtf16Default[] = "\xFB\x30";

}  // namespace

AnsiString Utf8ToAnsi(std::string_view utf8) {
    return FromUtf8().Run(utf8.data(), utf8.size(), "?", Utf8SequenceLength);
}

AnsiString Utf16ToAnsi(std::u16string_view utf16) {
    return FromUtf16().Run(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2, "?",
                           Utf16SequenceLength);
}

std::string AnsiToUtf8(const AnsiString& ansi) {
    return ToUtf8().Run(ansi.data(), ansi.str().size(), kUtf8Default, Cp932SequenceLength);
}

std::u16string AnsiToUtf16(const AnsiString& ansi) {
    std::string bytes = ToUtf16().Run(ansi.data(), ansi.str().size(),
                                      std::string_view(kUtf16Default, 2), Cp932SequenceLength);
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return out;
}

AnsiString operator""_cp932(const char* utf8, std::size_t length) {
    return Utf8ToAnsi(std::string_view(utf8, length));
}
