#include <gtest/gtest.h>

#include "rtl/codepage.h"
#include "rtl/paths.h"

// Paths are written in UTF-8 here and turned into code page 932 bytes, so "ソ" is 83 5C and
// "表" is 95 5C: a second byte equal to "\" that must never split a path.
namespace {

AnsiString T(const char* utf8) { return Utf8ToAnsi(utf8); }

struct SplitCase {
    const char* path;
    const char* folder;  // ExtractFilePath
    const char* dir;     // ExtractFileDir
    const char* name;    // ExtractFileName
};

void CheckSplits(const SplitCase* begin, const SplitCase* end, const TPathStyle& style) {
    for (const SplitCase* c = begin; c != end; ++c) {
        AnsiString path = T(c->path);
        EXPECT_EQ(AnsiToUtf8(ExtractFilePath(path, style)), c->folder) << c->path;
        EXPECT_EQ(AnsiToUtf8(ExtractFileDir(path, style)), c->dir) << c->path;
        EXPECT_EQ(AnsiToUtf8(ExtractFileName(path, style)), c->name) << c->path;
        EXPECT_EQ(ExtractFilePath(path, style) + ExtractFileName(path, style), path) << c->path;
    }
}

}  // namespace

TEST(Paths, LiteralsHoldTheTrailBytes) {
    EXPECT_EQ(T("C:\\ソ").str(), "C:\\\x83\x5C");
    EXPECT_EQ(T("C:\\表\\").str(), "C:\\\x95\x5C\\");
    AnsiString so = T("C:\\ソ");
    EXPECT_TRUE(IsTrailByte(so, 5));
    EXPECT_FALSE(IsTrailByte(so, 4));
    EXPECT_FALSE(IsTrailByte(so, 6));
    EXPECT_FALSE(IsTrailByte(so, 1000));
    EXPECT_FALSE(IsTrailByte(so, 0));
}

TEST(Paths, WindowsSplits) {
    const SplitCase cases[] = {
        {"C:\\disc\\index.htm", "C:\\disc\\", "C:\\disc", "index.htm"},
        {"D:\\Varnith2.exe", "D:\\", "D:\\", "Varnith2.exe"},
        {"C:\\cd\\x.exe", "C:\\cd\\", "C:\\cd", "x.exe"},
        {"C:x.exe", "C:", "C:", "x.exe"},
        {"x.exe", "", "", "x.exe"},
        {"", "", "", ""},
        {"\\x.exe", "\\", "\\", "x.exe"},
        {"C:\\a\\\\x", "C:\\a\\\\", "C:\\a\\\\", "x"},
        {"\\\\srv\\share\\x.exe", "\\\\srv\\share\\", "\\\\srv\\share", "x.exe"},
        {"C:\\表\\a.txt", "C:\\表\\", "C:\\表", "a.txt"},
        {"C:\\ソ", "C:\\", "C:\\", "ソ"},
        {"C:\\ソ\\x.exe", "C:\\ソ\\", "C:\\ソ", "x.exe"},
        {"C:\\表\\", "C:\\表\\", "C:\\表", ""},
        {"ソ表", "", "", "ソ表"},
    };
    CheckSplits(std::begin(cases), std::end(cases), WindowsPaths);
}

TEST(Paths, LinuxSplits) {
    const SplitCase cases[] = {
        {"/disc/Varnith2.exe", "/disc/", "/disc", "Varnith2.exe"},
        {"/Varnith2.exe", "/", "/", "Varnith2.exe"},
        {"Varnith2.exe", "", "", "Varnith2.exe"},
        {"/a//x", "/a//", "/a//", "x"},
        {"disc/", "disc/", "disc", ""},
        {"/表/ソ/x.exe", "/表/ソ/", "/表/ソ", "x.exe"},
        {"C:\\disc\\x.exe", "", "", "C:\\disc\\x.exe"},  // neither "\" nor ":" splits here
    };
    CheckSplits(std::begin(cases), std::end(cases), LinuxPaths);
}

TEST(Paths, SuffixChangeAndExtraction) {
    struct Case { const char* path; const char* changed; const char* ext; } windows[] = {
        {"C:\\disc\\Varnith2.exe", "C:\\disc\\Varnith2.ini", ".exe"},
        {"C:\\a.b\\Varnith2", "C:\\a.b\\Varnith2.ini", ""},
        {"C:\\x\\a.b.c", "C:\\x\\a.b.ini", ".c"},
        {"C:.x", "C:.ini", ".x"},
        {".profile", ".ini", ".profile"},
        {"x.", "x.ini", "."},
        {"C:\\ソ.d\\v", "C:\\ソ.d\\v.ini", ""},
        {"C:\\d\\表.ICO", "C:\\d\\表.ini", ".ICO"},
    }, linux[] = {
        {"/disc/Varnith2.exe", "/disc/Varnith2.ini", ".exe"},
        {"/a.b/launcher", "/a.b/launcher.ini", ""},
        {"a\\b.c", "a\\b.ini", ".c"},
    };
    for (const Case& c : windows) {
        EXPECT_EQ(AnsiToUtf8(ChangeFileExt(T(c.path), ".ini", WindowsPaths)), c.changed) << c.path;
        EXPECT_EQ(AnsiToUtf8(ExtractFileExt(T(c.path), WindowsPaths)), c.ext) << c.path;
    }
    for (const Case& c : linux) {
        EXPECT_EQ(AnsiToUtf8(ChangeFileExt(T(c.path), ".ini")), c.changed) << c.path;
        EXPECT_EQ(AnsiToUtf8(ExtractFileExt(T(c.path))), c.ext) << c.path;
    }
}

TEST(Paths, TrailingDelimiterLooksAtCharacters) {
    struct Case { const char* path; const char* included; } windows[] = {
        {"C:\\", "C:\\"}, {"C:\\disc", "C:\\disc\\"}, {"C:\\disc\\", "C:\\disc\\"},
        {"C:\\ソ", "C:\\ソ\\"}, {"C:\\表", "C:\\表\\"}, {"C:\\表\\", "C:\\表\\"}, {"C:", "C:\\"},
    }, linux[] = {
        {"/", "/"}, {"/disc", "/disc/"}, {"/disc/", "/disc/"}, {"/ソ", "/ソ/"},
        {"/a\\", "/a\\/"},
    };
    for (const Case& c : windows)
        EXPECT_EQ(AnsiToUtf8(IncludeTrailingPathDelimiter(T(c.path), WindowsPaths)), c.included)
            << c.path;
    for (const Case& c : linux)
        EXPECT_EQ(AnsiToUtf8(IncludeTrailingPathDelimiter(T(c.path))), c.included) << c.path;

    AnsiString so = T("C:\\ソ");  // 43 3A 5C 83 5C
    EXPECT_TRUE(IsPathDelimiter(so, 3, WindowsPaths));
    EXPECT_FALSE(IsPathDelimiter(so, 5, WindowsPaths));
    EXPECT_FALSE(IsPathDelimiter(so, 2, WindowsPaths));
    EXPECT_FALSE(IsPathDelimiter(so, 0, WindowsPaths));
    EXPECT_FALSE(IsPathDelimiter(so, 6, WindowsPaths));
    EXPECT_FALSE(IsPathDelimiter("", 0, WindowsPaths));
}

TEST(Paths, Drives) {
    struct Case { const char* path; const char* drive; } cases[] = {
        {"C:\\x", "C:"}, {"c:", "c:"}, {"C:x", "C:"}, {"\\x", ""}, {"x", ""}, {"", ""},
        {"\\\\srv\\share\\x", "\\\\srv\\share"}, {"\\\\srv\\share", "\\\\srv\\share"},
        {"\\\\srv", "\\\\srv"}, {"\\\\ソ\\表\\x", "\\\\ソ\\表"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnsiToUtf8(ExtractFileDrive(T(c.path), WindowsPaths)), c.drive) << c.path;
    // A lead byte takes the ":" after it as its second byte.
    EXPECT_EQ(ExtractFileDrive(AnsiString("\x81:\\x"), WindowsPaths), "");
    EXPECT_EQ(ExtractFileDrive("C:\\x"), "");
    EXPECT_EQ(ExtractFileDrive("//srv/share/x"), "");
}

TEST(Paths, RelativePathWindows) {
    struct Case { const char* base; const char* dest; const char* result; } cases[] = {
        // The rule's own table.
        {"C:\\disc\\", "C:\\disc\\index.htm", "index.htm"},
        {"C:\\disc\\", "C:\\disc\\doc\\a.htm", "doc\\a.htm"},
        {"C:\\disc\\", "C:\\x.htm", "..\\x.htm"},
        {"C:\\disc\\", "C:\\other\\y.htm", "..\\other\\y.htm"},
        {"C:\\a\\b\\c\\", "C:\\a\\x\\f.txt", "..\\..\\x\\f.txt"},
        {"C:\\Disc\\", "c:\\disc\\Index.htm", "Index.htm"},
        {"C:\\disc\\", "D:\\y.htm", "D:\\y.htm"},
        {"C:\\disc", "C:\\disc\\index.htm", "disc\\index.htm"},
        {"", "C:\\disc\\index.htm", "C:\\disc\\index.htm"},
        // Network shares are drives too.
        {"\\\\srv\\share\\disc\\", "\\\\SRV\\Share\\disc\\a.htm", "a.htm"},
        {"\\\\srv\\share\\disc\\", "\\\\srv\\other\\disc\\a.htm", "\\\\srv\\other\\disc\\a.htm"},
        {"C:\\disc\\", "\\\\srv\\share\\a.htm", "\\\\srv\\share\\a.htm"},
        // Double-byte folder names: whole characters, compared exactly.
        {"C:\\表\\", "C:\\表\\a.txt", "a.txt"},
        {"C:\\表\\", "C:\\ソ\\a.txt", "..\\ソ\\a.txt"},
        {"C:\\ソ", "C:\\ソ\\a.txt", "ソ\\a.txt"},
        {"C:\\ア\\", "C:\\ヂ\\x.txt", "..\\ヂ\\x.txt"},  // 83 41 and 83 61: no letter case there
        {"C:\\disc\\", "C:\\disc\\", ""},
        {"C:\\a\\\\b\\", "C:\\a\\b\\x", "x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnsiToUtf8(ExtractRelativePath(T(c.base), T(c.dest), WindowsPaths)), c.result)
            << c.base << " | " << c.dest;
}

TEST(Paths, RelativePathLinux) {
    struct Case { const char* base; const char* dest; const char* result; } cases[] = {
        {"/disc/", "/disc/index.htm", "index.htm"},
        {"/disc/", "/disc/doc/a.htm", "doc/a.htm"},
        {"/disc/", "/x.htm", "../x.htm"},
        {"/disc/", "/other/y.htm", "../other/y.htm"},
        {"/a/b/c/", "/a/x/f.txt", "../../x/f.txt"},
        {"/disc", "/disc/index.htm", "disc/index.htm"},
        // An empty root stores the full path, as a root on another drive does on Windows.
        {"", "/disc/index.htm", "/disc/index.htm"},
        {"disc/", "/disc/index.htm", "/disc/index.htm"},
        {"disc/", "disc/doc/a.htm", "doc/a.htm"},
        // Linux folder names differ by letter case.
        {"/Disc/", "/disc/Index.htm", "../disc/Index.htm"},
        {"/表/", "/表/a.txt", "a.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnsiToUtf8(ExtractRelativePath(T(c.base), T(c.dest))), c.result)
            << c.base << " | " << c.dest;
}
