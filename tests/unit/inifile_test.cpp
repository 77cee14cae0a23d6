#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "rtl/codepage.h"
#include "rtl/consts.h"
#include "rtl/inifiles.h"
#include "support/settings.h"
#include "rtl/privateprofile.h"
#include "rtl/sysutils.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

mode_t NewFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(dir))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        ::closedir(dir);
    }
    return names;
}

// A fresh folder per test, removed afterwards (permissions restored first).
class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/inifile_test.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        path_ = dir_ + "/Varnith2.ini";
    }
    void TearDown() override {
        std::system(("chmod -R u+rwx '" + dir_ + "' && rm -rf '" + dir_ + "'").c_str());
    }
    AnsiString Read(const std::string& content, const char* section, const char* key, const char* def = "?") {
        WriteBytes(path_, content);
        return TIniFile(path_).ReadString(section, key, def);
    }

    std::string dir_, path_;
};

// ---- Reading ---------------------------------------------------------------------------------

TEST_F(IniFileTest, ReadingRules) {
    // Names held as strings: the table outlives the temporaries that spell them.
    struct Case { std::string content; std::string section, key; const char* def; std::string expected; } cases[] = {
        {"[KEY]\r\nPNAME=Trellan2\r\n", "KEY", "PNAME", "", "Trellan2"},
        // names without letter case, values trimmed, one outer quote pair removed
        {"[key]\r\npname=Trellan2\r\n", "KEY", "PNAME", "", "Trellan2"},
        {"[KEY]\r\nPNAME= Trellan2 \r\n", "KEY", "PNAME", "", "Trellan2"},
        {"[KEY]\r\nPNAME=\t\vTrellan2\t\v\r\n", "KEY", "PNAME", "", "Trellan2"},
        {"[KEY]\r\nPNAME=\"Trellan2\"\r\n", "KEY", "PNAME", "", "Trellan2"},
        {"[KEY]\r\nPNAME= \"Trellan2\" \r\n", "KEY", "PNAME", "", "Trellan2"},
        {"[S]\r\nA=' a '\r\n", "S", "A", "?", " a "},
        {"[S]\r\nA=\"\"x\"\"\r\n", "S", "A", "?", "\"x\""},
        {"[S]\r\nA=\"x'\r\n", "S", "A", "?", "\"x'"},
        {"[S]\r\nA=\"\r\n", "S", "A", "?", "\""},
        {"[S]\r\nA=\"\"\r\n", "S", "A", "?", ""},
        {"[S]\r\n \"A\"=1\r\n", "S", "A", "?", "?"},  // quotation marks in names are literal
        {"[S]\r\nA=b=c\r\n", "S", "A", "?", "b=c"},
        {"[S]\r\n A = 1 \r\n", "S", "A", "?", "1"},
        // empty value, missing key, section and file
        {"[S]\r\nA=\r\n", "S", "A", "?", ""},
        {"[S]\r\nA=   \r\n", "S", "A", "?", ""},
        {"[S]\r\nA=1\r\n", "S", "B", "def", "def"},
        {"[S]\r\nA=1\r\n", "T", "A", "def", "def"},
        {"[S]\r\nA=1\r\n", "S", "B", " def  ", " def"},  // trailing spaces of the default go
        {"[S]\r\nA=1\r\n", "S", "B", "def\t", "def\t"},
        // comments, "#", lines without "=", lines before the first section
        {"[S]\r\n;A=1\r\n", "S", "A", "?", "?"},
        {"[S]\r\n  ;A=1\r\n", "S", "A", "?", "?"},
        {"[S]\r\nA=;x\r\n", "S", "A", "?", ";x"},
        {"[S]\r\n#A=1\r\n", "S", "#A", "?", "1"},
        {"[S]\r\nnoequals\r\nA=1\r\n", "S", "A", "?", "1"},
        {"[S]\r\nnoequals\r\n", "S", "noequals", "?", "?"},
        {"A=1\r\n[S]\r\n", "S", "A", "?", "?"},
        {"A=1\r\n", "", "A", "?", "?"},
        // first duplicate section and key win
        {"[S]\r\nA=1\r\n[S]\r\nA=2\r\nB=3\r\n", "S", "A", "?", "1"},
        {"[S]\r\nA=1\r\n[s]\r\nB=3\r\n", "S", "B", "?", "?"},
        {"[S]\r\nA=1\r\na=2\r\n", "S", "A", "?", "1"},
        // line ends
        {"[S]\nA=1\nB=2", "S", "B", "?", "2"},
        {"[S]\rA=1\rB=2\r", "S", "B", "?", "2"},
        {"[S]\r\nA=1\rB=2\nC=3", "S", "C", "?", "3"},
        {"[T]\r\nA=1\r[S]\nA=2", "S", "A", "?", "2"},
        // section lines
        {" \t[ S ] tail\r\nA=1\r\n", "S", "A", "?", "1"},
        {"[S\r\nA=1\r\n", "S", "A", "?", "1"},
        {"[[x]\r\nA=1\r\n", "[x", "A", "?", "1"},
        // the caller's names lose their spaces only: other blanks and line breaks are part of them
        {"[S]\r\nA=1\r\n", " S ", " A ", "?", "1"},
        {"[S]\r\nA=1\r\n", "\tS", "A", "?", "?"},
        {"[S]\r\nA=1\r\n", "S\v", "A", "?", "?"},
        {"[S]\r\nA=1\r\n", " \tS ", "A", "?", "?"},
        {"[S]\r\nA=1\r\n", "S", "A\t", "?", "?"},
        {"[S]\r\nA=1\r\n", "S", "\vA", "?", "?"},
        {"[S]\r\nA=1\r\n", "S", "A\r", "?", "?"},
        {"[S]\r\nA=1\r\n", "S", "A\n", "?", "?"},
        {"[\tS]\r\n\tA\t=1\r\n", "S", "A", "?", "1"},  // the file's names lose their blanks
        // code page 932: trail bytes are neither "]" nor letters
        {"[ゾ]\r\nA=1\r\n"_cp932.str(), "ゾ"_cp932.c_str(), "A", "?", "1"},
        {"[S]\r\nア=1\r\n"_cp932.str(), "S", "ヂ"_cp932.c_str(), "?", "?"},
        {"[設定]\r\nメッセージ=\"明朝\"\r\n"_cp932.str(), "設定"_cp932.c_str(), "メッセージ"_cp932.c_str(), "?", "明朝"_cp932.str()},
        // a NUL byte ends the text
        {std::string("[S]\r\nA=x\0y\r\n", 12), "S", "A", "?", "x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(c.content, c.section.c_str(), c.key.c_str(), c.def).str(), c.expected)
            << "content: " << c.content << " section: " << c.section << " key: " << c.key;
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndIsNotCreated) {
    TIniFile ini(path_);
    EXPECT_EQ(ini.FileName, AnsiString(path_));
    EXPECT_EQ(ini.ReadString("KEY", "PNAME", ""), "");
    EXPECT_EQ(ini.ReadString("Option", "Message", "アプリケーションの起動中です・・・"_cp932),
              "アプリケーションの起動中です・・・"_cp932);
    EXPECT_EQ(ini.ReadInteger("Option", "Timer", 10), 10);
    EXPECT_FALSE(ini.ReadBool("Option", "MBold", false));
    EXPECT_TRUE(FolderEntries(dir_).empty());
    // Each call names the file anew: a file that appears later is read.
    WriteBytes(path_, "[KEY]\r\nPNAME=Trellan2\r\n");
    EXPECT_EQ(ini.ReadString("KEY", "PNAME", ""), "Trellan2");
}

TEST_F(IniFileTest, IntegerAndBooleanEntries) {
    struct Case { const char* value; int integer; bool boolean; } cases[] = {
        {"3", 3, true}, {"0", 0, false}, {"2", 2, true}, {"-1", -1, true}, {"0x1", 1, true},
        {"0x10", 16, true}, {"$ff", 255, true}, {" 7 ", 7, true}, {"\"5\"", 5, true},
        {"yes", 10, false}, {"abc", 10, false}, {"", 10, false}, {"1.5", 10, false},
    };
    for (const Case& c : cases) {
        WriteBytes(path_, std::string("[Option]\r\nTimer=") + c.value + "\r\nMBold=" + c.value + "\r\n");
        TIniFile ini(path_);
        EXPECT_EQ(ini.ReadInteger("Option", "Timer", 10), c.integer) << c.value;
        EXPECT_EQ(ini.ReadBool("Option", "MBold", false), c.boolean) << c.value;
    }
    WriteBytes(path_, "[Option]\r\n");
    EXPECT_TRUE(TIniFile(path_).ReadBool("Option", "MBold", true));
}

TEST_F(IniFileTest, ValuesFitTheBuffer) {
    std::string longValue(3000, 'x');
    WriteBytes(path_, "[S]\r\nA=" + longValue + "\r\nJ=" + "あいう"_cp932.str() + "\r\n");
    EXPECT_EQ(TIniFile(path_).ReadString("S", "A", "").Length(), 2047);

    char buffer[2048];
    EXPECT_EQ(GetPrivateProfileStringA("S", "A", "", buffer, sizeof buffer, path_.c_str()), 2047u);
    EXPECT_EQ(std::string(buffer), longValue.substr(0, 2047));
    EXPECT_EQ(GetPrivateProfileStringA("S", "A", "", buffer, 5, path_.c_str()), 4u);
    EXPECT_EQ(std::string(buffer), "xxxx");
    // A double-byte character is never cut in half.
    EXPECT_EQ(GetPrivateProfileStringA("S", "J", "", buffer, 4, path_.c_str()), 2u);
    EXPECT_EQ(std::string(buffer), "あ"_cp932.str());
    EXPECT_EQ(GetPrivateProfileStringA("S", "none", "default", buffer, 4, path_.c_str()), 3u);
    EXPECT_EQ(std::string(buffer), "def");
    buffer[0] = 'z';
    EXPECT_EQ(GetPrivateProfileStringA("S", "A", "", buffer, 0, path_.c_str()), 0u);
    EXPECT_EQ(buffer[0], 'z');
    EXPECT_EQ(GetPrivateProfileStringA("S", "A", "", buffer, 1, path_.c_str()), 0u);
    EXPECT_EQ(buffer[0], '\0');
}

// ---- Writing ---------------------------------------------------------------------------------

// The seventeen entries as the editor writes them, in its order.
void WriteSettings(TIniFile& ini, const AnsiString& user, int timer) {
    testsettings::WriteEditorSettings(ini, user, "..\\docs\\index.html", timer);
}

const std::string kSettingsFile =
    "[KEY]\r\nPNAME=Trellan2\r\nVER=2.10\r\nCopyright=2004,PURUNE-SHA\r\nUser=\r\n"
    "[Option]\r\nStayTop=YES\r\nIcon=Varnith2.ico\r\nFrmLTColor=clWhite\r\nFrmLBColor=$000080FF\r\n"
    "FrmRTColor=clBlue\r\nFrmRBColor=clNavy\r\nMessage="_cp932.str() +
    "アプリケーションの起動中です・・・"_cp932.str() +
    "\r\nMColor=clBlack\r\nMBold=1\r\nMItalic=0\r\nMFont=" + "明朝"_cp932.str() +
    "\r\nRunFile=..\\docs\\index.html\r\nTimer=-1\r\n";

TEST_F(IniFileTest, SettingsFileRoundTrip) {
    TIniFile ini(path_);
    WriteSettings(ini, "", -1);
    EXPECT_EQ(ReadBytes(path_), kSettingsFile);
    EXPECT_EQ(ModeOf(path_), NewFileMode());

    TIniFile reader(path_);
    EXPECT_EQ(reader.ReadString("KEY", "PNAME", ""), "Trellan2");
    EXPECT_EQ(reader.ReadString("KEY", "VER", ""), "2.10");
    EXPECT_EQ(reader.ReadString("KEY", "Copyright", ""), "2004,PURUNE-SHA");
    EXPECT_EQ(reader.ReadString("KEY", "User", "x"), "");
    EXPECT_EQ(reader.ReadString("Option", "StayTop", "NO"), "YES");
    EXPECT_EQ(reader.ReadString("Option", "FrmLBColor", "0x00ffffff"), "$000080FF");
    EXPECT_EQ(reader.ReadString("Option", "Message", ""), "アプリケーションの起動中です・・・"_cp932);
    EXPECT_TRUE(reader.ReadBool("Option", "MBold", false));
    EXPECT_FALSE(reader.ReadBool("Option", "MItalic", true));
    EXPECT_EQ(reader.ReadString("Option", "MFont", "ゴシック"_cp932), "明朝"_cp932);
    EXPECT_EQ(reader.ReadString("Option", "RunFile", ""), "..\\docs\\index.html");
    EXPECT_EQ(reader.ReadInteger("Option", "Timer", 10), -1);

    // A second run with the same values leaves the same bytes.
    WriteSettings(ini, "", -1);
    EXPECT_EQ(ReadBytes(path_), kSettingsFile);
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"Varnith2.ini"});
}

TEST_F(IniFileTest, UpdateInPlaceKeepsEveryOtherLine) {
    WriteBytes(path_,
               "; made by hand\r\n"
               "[Other]\r\nPNAME=other\r\n\r\n"
               "[key]\r\n pname = Old \r\nExtra=keep\r\n; about the next section\r\n\r\n"
               "[option]\ntimer=5\nno equals sign\n\n"
               "[KEY]\r\nVER=duplicate section, never read\r\n");
    ::chmod(path_.c_str(), 0640);
    TIniFile ini(path_);
    WriteSettings(ini, "abc", 7);
    EXPECT_EQ(ReadBytes(path_),
              "; made by hand\r\n"
              "[Other]\r\nPNAME=other\r\n\r\n"
              "[key]\r\npname=Trellan2\r\nExtra=keep\r\n"
              "VER=2.10\r\nCopyright=2004,PURUNE-SHA\r\nUser=abc\r\n"
              "; about the next section\r\n\r\n"
              "[option]\ntimer=7\r\nno equals sign\n"
              "StayTop=YES\r\nIcon=Varnith2.ico\r\nFrmLTColor=clWhite\r\nFrmLBColor=$000080FF\r\n"
              "FrmRTColor=clBlue\r\nFrmRBColor=clNavy\r\nMessage="_cp932.str() +
                  "アプリケーションの起動中です・・・"_cp932.str() +
                  "\r\nMColor=clBlack\r\nMBold=1\r\nMItalic=0\r\nMFont=" + "明朝"_cp932.str() +
                  "\r\nRunFile=..\\docs\\index.html\r\n\n"
                  "[KEY]\r\nVER=duplicate section, never read\r\n");
    EXPECT_EQ(ModeOf(path_), 0640u);
    EXPECT_EQ(TIniFile(path_).ReadString("KEY", "VER", ""), "2.10");
}

TEST_F(IniFileTest, WritingRules) {
    struct Case { std::string before; const char* section; const char* key; const char* value; std::string after; } cases[] = {
        {"", "S", "K", "V", "[S]\r\nK=V\r\n"},
        {"", " S ", " K ", " V ", "[S]\r\nK= V \r\n"},  // names trimmed, the value as given
        // only spaces are trimmed from the names: tabs stay as given
        {"", "\tS\t", "\tK\v", "V", "[\tS\t]\r\n\tK\v=V\r\n"},
        {"", " \tS ", " K\t ", "V", "[\tS]\r\nK\t=V\r\n"},
        {"[S]\r\nK=1\r\n", "S", "K\t", "2", "[S]\r\nK=1\r\nK\t=2\r\n"},
        {"[S]\r\nK=1\r\n", "\tS", "K", "2", "[S]\r\nK=1\r\n[\tS]\r\nK=2\r\n"},
        {"[T]\r\nA=1", "S", "K", "V", "[T]\r\nA=1\r\n[S]\r\nK=V\r\n"},
        {"[T]\nA=1\n", "S", "K", "V", "[T]\nA=1\n[S]\r\nK=V\r\n"},
        {"[S]", "S", "K", "V", "[S]\r\nK=V\r\n"},
        {"[S]\r\nA=1", "S", "K", "V", "[S]\r\nA=1\r\nK=V\r\n"},
        {"[S]\r\nK=old\r\n", "s", "k", "", "[S]\r\nK=\r\n"},
        {"[S]\rK=old\rA=1\r", "S", "K", "new", "[S]\rK=new\r\nA=1\r"},
        {"[S]\r\nA=1\r\n\r\n\r\n[T]\r\n", "S", "K", "V", "[S]\r\nA=1\r\nK=V\r\n\r\n\r\n[T]\r\n"},
        {"[S]\r\n\r\n[T]\r\n", "S", "K", "V", "[S]\r\nK=V\r\n\r\n[T]\r\n"},
        {"[S]\r\nK=1\r\nK=2\r\n", "S", "K", "3", "[S]\r\nK=3\r\nK=2\r\n"},
        {"[S]\r\n;K=1\r\n", "S", "K", "2", "[S]\r\nK=2\r\n;K=1\r\n"},
        {std::string("[S]\r\nA=\0\0\r\n\0\r\n", 14), "S", "K", "V", std::string("[S]\r\nA=\0\0\r\n\0\r\nK=V\r\n", 19)},
    };
    for (const Case& c : cases) {
        WriteBytes(path_, c.before);
        EXPECT_TRUE(WritePrivateProfileString(c.section, c.key, c.value, path_)) << c.before;
        EXPECT_EQ(ReadBytes(path_), c.after) << c.before;
    }
}

TEST_F(IniFileTest, JapaneseFolderNameReachesTheFileSystemAsUtf8) {
    ASSERT_EQ(::mkdir((dir_ + "/ディスク").c_str(), 0755), 0);
    AnsiString path = AnsiString(dir_) + "/ディスク/Varnith2.ini"_cp932;
    TIniFile(path).WriteString("Option", "MFont", "明朝"_cp932);
    EXPECT_EQ(ReadBytes(dir_ + "/ディスク/Varnith2.ini"), "[Option]\r\nMFont="_cp932.str() + "明朝"_cp932.str() + "\r\n");
    EXPECT_EQ(TIniFile(path).ReadString("Option", "MFont", ""), "明朝"_cp932);
}

// ---- Writes that cannot be done --------------------------------------------------------------

void ExpectWriteError(const std::string& path) {
    try {
        TIniFile(path).WriteString("KEY", "PNAME", "Trellan2");
        ADD_FAILURE() << "no error for " << path;
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message, Format(SIniFileWriteError, {AnsiString(path)}));
        EXPECT_EQ(e.Message, AnsiString(path) + " に書き込めません"_cp932);
    }
}

const std::string kOldFile = "[KEY]\r\nPNAME=Old\r\n; keep me\r\n";

TEST_F(IniFileTest, ReadOnlyFileIsRefusedAndUnchanged) {
    WriteBytes(path_, kOldFile);
    ::chmod(path_.c_str(), 0444);
    ExpectWriteError(path_);
    EXPECT_EQ(ReadBytes(path_), kOldFile);
    EXPECT_EQ(ModeOf(path_), 0444u);
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"Varnith2.ini"});
}

TEST_F(IniFileTest, ReadOnlyFolderIsRefusedAndUnchanged) {
    WriteBytes(path_, kOldFile);
    ::chmod(dir_.c_str(), 0555);
    ExpectWriteError(path_);
    ExpectWriteError(dir_ + "/Autorun.inf");
    ::chmod(dir_.c_str(), 0755);
    EXPECT_EQ(ReadBytes(path_), kOldFile);
    EXPECT_EQ(ModeOf(path_), NewFileMode());
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"Varnith2.ini"});
}

TEST_F(IniFileTest, MissingFolderIsRefused) {
    ExpectWriteError(dir_ + "/missing/Varnith2.ini");
    EXPECT_TRUE(FolderEntries(dir_).empty());
}

TEST_F(IniFileTest, FullDiskLeavesTheOldFile) {
    WriteBytes(path_, kOldFile);
    // A file-size limit makes the write fail as a full medium would.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64;
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool written = WritePrivateProfileString("KEY", "User", std::string(200, 'u'), path_);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(path_), kOldFile);
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"Varnith2.ini"});
}

TEST_F(IniFileTest, SymbolicLinkIsWrittenThrough) {
    std::string real = dir_ + "/real.ini";
    WriteBytes(real, kOldFile);
    ASSERT_EQ(::symlink("real.ini", path_.c_str()), 0);
    EXPECT_TRUE(WritePrivateProfileString("KEY", "PNAME", "Trellan2", path_));
    struct stat st {};
    ASSERT_EQ(::lstat(path_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadBytes(real), "[KEY]\r\nPNAME=Trellan2\r\n; keep me\r\n");
}

// A dangling link makes the file that it names, as opening it for writing does, and stays a link;
// a loop of links is refused and stays as it was.
TEST_F(IniFileTest, ADanglingLinkMakesItsFileAndALoopOfLinksIsRefused) {
    ASSERT_EQ(::mkdir((dir_ + "/elsewhere").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("elsewhere/real.ini", path_.c_str()), 0);
    EXPECT_TRUE(WritePrivateProfileString("KEY", "PNAME", "Trellan2", path_));
    EXPECT_EQ(ReadBytes(dir_ + "/elsewhere/real.ini"), "[KEY]\r\nPNAME=Trellan2\r\n");
    EXPECT_EQ(FolderEntries(dir_ + "/elsewhere"), std::vector<std::string>{"real.ini"});

    const std::string loop = dir_ + "/Autorun.inf";
    ASSERT_EQ(::symlink("loop.inf", loop.c_str()), 0);
    ASSERT_EQ(::symlink("Autorun.inf", (dir_ + "/loop.inf").c_str()), 0);
    EXPECT_FALSE(WritePrivateProfileString("autorun", "OPEN", "Varnith2.exe", loop));
    for (const std::string& link : {path_, loop, dir_ + "/loop.inf"}) {
        struct stat st {};
        ASSERT_EQ(::lstat(link.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << link;
    }
}

// ---- Files that are no proper INI text -------------------------------------------------------

TEST_F(IniFileTest, OddFilesNeitherCrashNorHang) {
    std::string bigLine = "[S]\r\nA=" + std::string(4u << 20, 'x') + "\r\nB=2";
    EXPECT_EQ(Read(bigLine, "S", "A").Length(), 2047);
    EXPECT_EQ(Read(bigLine, "S", "B"), "2");
    EXPECT_TRUE(WritePrivateProfileString("S", "C", "3", path_));
    EXPECT_EQ(ReadBytes(path_), bigLine + "\r\nC=3\r\n");

    EXPECT_EQ(Read("[S]A=1", "S", "A"), "?");  // one line: a section line, the rest ignored
    EXPECT_EQ(Read(std::string(1u << 20, 'A') + "=1", "S", "A"), "?");
    EXPECT_EQ(Read("[S]\r\n" + std::string(1u << 20, 'K') + "=1", "S", std::string(1u << 20, 'K').c_str()), "1");
    EXPECT_EQ(Read(std::string(1u << 20, '\0'), "S", "A"), "?");
    EXPECT_EQ(Read("[S]\r\nA=\x81", "S", "A"), "\x81");                 // a lone lead byte
    EXPECT_EQ(Read("[\x81]x]\r\nA=1", "\x81]x", "A"), "1");             // lead byte takes "]"
    EXPECT_EQ(Read("[S\x81", "S\x81", "A"), "?");
    EXPECT_EQ(Read("[S]\r\n\xFF\xFE\xFD=\x80\xA0\r\nA=1", "S", "A"), "1");

    // A folder by the file's name: read as missing, written never.
    ASSERT_EQ(::mkdir((dir_ + "/folder.ini").c_str(), 0755), 0);
    EXPECT_EQ(TIniFile(dir_ + "/folder.ini").ReadString("S", "A", "d"), "d");
    EXPECT_FALSE(WritePrivateProfileString("S", "A", "1", dir_ + "/folder.ini"));
    // A FIFO is never waited on.
    ASSERT_EQ(::mkfifo((dir_ + "/fifo.ini").c_str(), 0644), 0);
    EXPECT_EQ(TIniFile(dir_ + "/fifo.ini").ReadString("S", "A", "d"), "d");
    EXPECT_FALSE(WritePrivateProfileString("S", "A", "1", dir_ + "/fifo.ini"));
}

// Whatever bytes a file holds, an entry just written reads back, and writing it again changes
// nothing.
TEST_F(IniFileTest, RandomFilesKeepWrittenEntries) {
    const std::string alphabet[] = {"[", "]", "=", ";", "\r", "\n", " ", "\t", "\"", "\x81", "\x83",
                                    "\x5D", "S", "s", "K", "k", "x", std::string(1, '\0'), "\xFF"};
    std::mt19937 random(932);
    for (int round = 0; round < 500; ++round) {
        std::string content;
        int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i) content += alphabet[random() % std::size(alphabet)];
        WriteBytes(path_, content);
        ASSERT_TRUE(WritePrivateProfileString("S", "K", "value", path_)) << content;
        std::string once = ReadBytes(path_);
        EXPECT_EQ(TIniFile(path_).ReadString("S", "K", "?"), "value") << content;
        ASSERT_TRUE(WritePrivateProfileString("S", "K", "value", path_)) << content;
        EXPECT_EQ(ReadBytes(path_), once) << content;
    }
}

}  // namespace
