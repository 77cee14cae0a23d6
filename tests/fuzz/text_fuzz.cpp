// libFuzzer target for the text rules of the runtime layer: integers, colour text, path text,
// string-list line splitting, upper-casing and the INI reader and writer. Each input is used
// whole for every rule; a broken invariant aborts, so the fuzzer reports it as a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "rtl/colortext.h"
#include "rtl/consts.h"
#include "rtl/paths.h"
#include "rtl/privateprofile.h"
#include "rtl/stringlist.h"
#include "rtl/sysutils.h"
#include "win/user.h"
#include "check.h"

namespace {

void Integers(const AnsiString& text) {
    int value = 0;
    if (TryStrToInt(text, value)) {
        Check(StrToInt(text) == value, "StrToInt agrees with TryStrToInt");
        Check(StrToIntDef(text, value ^ 1) == value, "StrToIntDef agrees with TryStrToInt");
    } else {
        Check(StrToIntDef(text, 7) == 7, "StrToIntDef gives the default");
    }
    int back = 0;
    Check(TryStrToInt(IntToStr(value), back) && back == value, "decimal round trip");
    Check(TryStrToInt("$" + IntToHex(static_cast<unsigned>(value), 8), back) && back == value,
          "hexadecimal round trip");
}

void Colours(const AnsiString& text) {
    TColor colour;
    try {
        colour = StringToColor(text);
    } catch (const EConvertError& e) {
        Check(e.Message == Format(SInvalidInteger, {text}), "conversion error message");
        int value;
        Check(!TryStrToInt(text, value), "an integer is a colour");
        return;
    }
    AnsiString written = ColorToString(colour);
    Check(StringToColor(written) == colour, "colour round trip");
    AnsiString ident;
    Check(ColorToIdent(colour, ident) == (written == ident),
          "the name is written exactly when there is one");
    if (written[1] == '$') Check(written.Length() == 9, "eight hexadecimal digits");
}

// True when the text ends in the first byte of a double-byte character that has no second byte.
bool EndsInLoneLeadByte(const AnsiString& text) {
    int n = text.Length();
    return n > 0 && IsDBCSLeadByte(static_cast<unsigned char>(text[n])) && !IsTrailByte(text, n);
}

void Paths(const AnsiString& text, const TPathStyle& style) {
    AnsiString folder = ExtractFilePath(text, style);
    AnsiString name = ExtractFileName(text, style);
    Check(folder + name == text, "folder part + file name is the path");
    AnsiString dir = ExtractFileDir(text, style);
    Check(folder.SubString(1, dir.Length()) == dir && folder.Length() - dir.Length() <= 1,
          "folder without its delimiter");
    Check(ChangeFileExt(text, "", style) + ExtractFileExt(text, style) == text,
          "suffix removal and extraction agree");
    AnsiString with = IncludeTrailingPathDelimiter(text, style);
    Check(with == text || with == text + AnsiString(style.PathDelim), "at most one is added");
    // A lone lead byte at the end takes the added delimiter as its second byte.
    if (!EndsInLoneLeadByte(text))
        Check(IsPathDelimiter(with, with.Length(), style), "a trailing delimiter is there");
    // "\\server" alone has a shorter drive than its folder part "\\server\" would claim.
    bool share = style.NetworkShares && IsPathDelimiter(text, 1, style) &&
                 IsPathDelimiter(text, 2, style);
    if (!share)
        Check(ExtractRelativePath(folder, text, style) == name,
              "a path relative to its own folder is its file name");
    // Two halves of the input as a base and a destination: the file name always ends the result.
    int half = text.Length() / 2;
    AnsiString base = text.SubString(1, half), dest = text.SubString(half + 1, text.Length());
    AnsiString relative = ExtractRelativePath(base, dest, style);
    AnsiString destName = ExtractFileName(dest, style);
    Check(relative.Length() >= destName.Length() &&
              relative.SubString(relative.Length() - destName.Length() + 1, destName.Length()) ==
                  destName,
          "the relative path ends in the file name");
}

void Lines(const AnsiString& text) {
    TStringList list;
    list.SetText(text);
    AnsiString joined = list.Text();
    TStringList again;
    again.SetText(joined);
    Check(again.Count() == list.Count(), "line count survives the text form");
    for (int i = 0; i < list.Count(); ++i)
        Check(again[i] == list[i], "lines survive the text form");
    Check(again.Text() == joined, "text form is stable");
}

void UpperCase(const AnsiString& text) {
    AnsiString upper = text;
    DWORD length = static_cast<DWORD>(upper.Length());
    Check(CharUpperBuffA(upper.str().data(), length) == length,
          "CharUpperBuffA returns the length");
    Check(upper.Length() == text.Length(), "upper-casing keeps the length");
    for (int i = 1; i <= text.Length(); ++i) {
        char c = text[i];
        if (IsDBCSLeadByte(static_cast<unsigned char>(c))) {
            Check(upper.SubString(i, 2) == text.SubString(i, 2), "double-byte characters stay");
            ++i;
            continue;
        }
        bool letter = c >= 'a' && c <= 'z';
        Check(upper[i] == (letter ? static_cast<char>(c - 'a' + 'A') : c), "only a-z change");
    }
}

// One INI file per fuzzing process, in a folder of its own.
const std::string& ProfileFile() {
    static const std::string path = [] {
        char dir[] = "/tmp/text_fuzz-XXXXXX";
        if (!mkdtemp(dir)) std::abort();
        static std::string folder = dir;
        std::atexit([] {
            std::remove((folder + "/fuzz.ini").c_str());
            rmdir(folder.c_str());
        });
        return folder + "/fuzz.ini";
    }();
    return path;
}

void Profile(const std::uint8_t* data, std::size_t size) {
    const std::string& file = ProfileFile();
    if (FILE* f = std::fopen(file.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    // Names taken from the input as well, so that the reader meets what the file holds.
    std::string head(reinterpret_cast<const char*>(data), size < 16 ? size : 16);
    std::string section = head.substr(0, head.size() / 2), key = head.substr(head.size() / 2);
    struct Lookup { const char* section; const char* key; } lookups[] = {
        {"KEY", "PNAME"}, {"Option", "Timer"}, {"autorun", "ICON"}, {section.c_str(), key.c_str()},
    };
    for (const Lookup& l : lookups) {
        char full[2048];
        DWORD fullLength =
            GetPrivateProfileStringA(l.section, l.key, "dflt ", full, sizeof full, file.c_str());
        Check(fullLength < sizeof full && std::strlen(full) == fullLength,
              "the value ends in a NUL");
        AnsiString value(full, static_cast<int>(fullLength));
        for (DWORD bufferSize : {1u, 2u, 5u}) {
            char buffer[8];
            std::memset(buffer, 'Z', sizeof buffer);
            DWORD n = GetPrivateProfileStringA(l.section, l.key, "dflt ", buffer, bufferSize,
                                               file.c_str());
            Check(n < bufferSize && buffer[n] == '\0', "a short buffer holds a NUL-ended value");
            Check(value.SubString(1, static_cast<int>(n)) ==
                      AnsiString(buffer, static_cast<int>(n)),
                  "a short buffer holds the start of the value");
            Check(!IsTrailByte(value, static_cast<int>(n) + 1), "no double-byte character is cut");
        }
    }
    if (WritePrivateProfileStringA("Fz", "K", "v", file.c_str())) {
        char buffer[16];
        GetPrivateProfileStringA("Fz", "K", "", buffer, sizeof buffer, file.c_str());
        Check(std::strcmp(buffer, "v") == 0, "a written value reads back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AnsiString text(std::string(reinterpret_cast<const char*>(data), size));
    Integers(text);
    Colours(text);
    Paths(text, LinuxPaths);
    Paths(text, WindowsPaths);
    Lines(text);
    UpperCase(text);
    Profile(data, size);
    return 0;
}
