#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "rtl/codepage.h"
#include "rtl/consts.h"
#include "rtl/stringlist.h"
#include "rtl/sysutils.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const TStrings& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i].str());
    return lines;
}

// A fresh folder per test, removed afterwards.
class StringListFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "stringlist-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    // A path in the folder as code page 932 text, as the programs hold it.
    AnsiString Path(const char* utf8Name) const { return Utf8ToAnsi((dir / utf8Name).string()); }
    void Write(const char* utf8Name, const std::string& bytes) const {
        std::ofstream(dir / utf8Name, std::ios::binary) << bytes;
    }
    std::string Read(const char* utf8Name) const {
        std::ifstream in(dir / utf8Name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir;
};

}  // namespace

TEST(StringList, TextSplitsAtEveryKindOfLineBreak) {
    using V = std::vector<std::string>;
    struct Case { std::string text; V lines; } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"\r\n", {""}},
        {"\n\r", {"", ""}},
        {"\r\r\n", {"", ""}},
        {"a\r\n\r\n", {"a", ""}},
        {std::string("a\0b\r\nc", 6), {"a"}},       // a NUL ends the whole text
        {std::string("\0a\r\n", 4), {}},
        {"\x83\x5C\r\n\x95\x5C", {"\x83\x5C", "\x95\x5C"}},  // ソ, 表
    };
    for (const Case& c : cases) {
        TStringList list;
        list.Add("old");
        list.SetText(c.text);
        EXPECT_EQ(Lines(list), c.lines) << testing::PrintToString(c.text);
    }
}

TEST(StringList, TextEndsEveryLineWithCrLf) {
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("");
    EXPECT_EQ(list.Text(), "\r\n");
    EXPECT_EQ(list.Add("b"), 1);
    EXPECT_EQ(list.Text(), "\r\nb\r\n");
    list.SetText("a\nb");
    EXPECT_EQ(list.Text(), "a\r\nb\r\n");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(StringListFiles, LoadsBytesAsTheyStandAndSavesWithCrLf) {
    Write("a.txt", "a\nb");
    TStringList list;
    list.LoadFromFile(Path("a.txt"));
    EXPECT_EQ(list.Text(), "a\r\nb\r\n");

    list.SaveToFile(Path("b.txt"));
    EXPECT_EQ(Read("b.txt"), "a\r\nb\r\n");

    // An existing file is emptied first; an empty list writes an empty file.
    list.Clear();
    list.SaveToFile(Path("b.txt"));
    EXPECT_TRUE(fs::exists(dir / "b.txt"));
    EXPECT_EQ(Read("b.txt"), "");

    Write("empty.txt", "");
    list.Add("x");
    list.LoadFromFile(Path("empty.txt"));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(StringListFiles, JapaneseFileNamesReachTheFileSystemAsUtf8) {
    TStringList list;
    list.Add("\x83\x5C");  // ソ, kept as code page 932 bytes inside the file
    list.SaveToFile(Path("表ソ.txt"));
    EXPECT_EQ(Read("表ソ.txt"), "\x83\x5C\r\n");
    TStringList back;
    back.LoadFromFile(Path("表ソ.txt"));
    EXPECT_EQ(Lines(back), std::vector<std::string>{"\x83\x5C"});
}

TEST_F(StringListFiles, FilesThatCannotBeOpenedOrCreated) {
    TStringList list;
    const AnsiString unreadable[] = {Path("missing.txt"), Utf8ToAnsi(dir.string()), ""};
    for (const AnsiString& path : unreadable) {
        try {
            list.LoadFromFile(path);
            ADD_FAILURE() << "loaded " << path.str();
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message, Format(SFOpenError, {path}));
        }
    }
    // A named pipe is refused at once instead of waiting for a writer.
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_THROW(list.LoadFromFile(Path("pipe")), EFOpenError);

    const AnsiString uncreatable[] = {Path("no/such/folder.txt"), Utf8ToAnsi(dir.string()), ""};
    for (const AnsiString& path : uncreatable) {
        try {
            list.SaveToFile(path);
            ADD_FAILURE() << "saved " << path.str();
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message, Format(SFCreateError, {path}));
        }
    }
    try {
        list.LoadFromFile(Path("missing.txt"));
    } catch (const EFOpenError& e) {
        EXPECT_EQ(AnsiToUtf8(e.Message),
                  "ファイル " + (dir / "missing.txt").string() + " は開けません");
    }
}

TEST_F(StringListFiles, BinaryContentAndHugeLines) {
    std::string binary;
    for (int b = 1; b < 256; ++b) binary += static_cast<char>(b);
    std::string withNul = binary + std::string(1, '\0') + "after";
    Write("bin", withNul);
    TStringList list;
    list.LoadFromFile(Path("bin"));
    // Bytes 0A and 0D break lines; the NUL ends the text.
    std::string expected = binary.substr(0, 9) + "\r\n" + binary.substr(10, 2) + "\r\n" +
                           binary.substr(13) + "\r\n";
    EXPECT_EQ(list.Text(), expected);

    std::string huge(20 * 1024 * 1024, 'x');
    Write("huge", huge);
    list.LoadFromFile(Path("huge"));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Length(), static_cast<int>(huge.size()));
}
