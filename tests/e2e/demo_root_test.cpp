// scripts/demo-root, which scripts/run calls before it starts the editor: it makes the demo disc
// root where it is missing, and on every later run keeps what the author changed or added there.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>

#include "support/process.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kScript = fs::path(VARNITH_SOURCE_DIR) / "scripts" / "demo-root";
const fs::path kBin = VARNITH_BIN_DIR;

int Prepare(const fs::path& root) {
    testproc::Child child = testproc::Start({kScript.string(), root.string(), kBin.string()}, {});
    auto code = testproc::Wait(child, 120s);
    return code ? *code : -1;
}

// Every entry of a folder with its bytes (a symbolic link by its target text, a folder by a mark).
std::map<std::string, std::string> Contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& name : testproc::Entries(folder)) {
        fs::path p = folder / name;
        files[name] = fs::is_symlink(p)     ? "-> " + fs::read_symlink(p).string()
                      : fs::is_directory(p) ? "<folder>"
                                            : testproc::ReadFile(p);
    }
    return files;
}

TEST(DemoRoot, AFreshRootHoldsTheLauncherItsIconADocumentAndTheSettingsFile) {
    testproc::TempDir tmp;
    fs::path root = tmp.path / "demo-root";
    ASSERT_EQ(Prepare(root), 0);

    EXPECT_EQ(testproc::Entries(root),
              (std::set<std::string>{"Varnith2.exe", "Varnith2.ico", "Varnith2.ini", "readme.txt"}));
    EXPECT_EQ(testproc::ReadFile(root / "Varnith2.exe"), testproc::ReadFile(kBin / "Varnith2.exe"));
    EXPECT_EQ(::access((root / "Varnith2.exe").c_str(), X_OK), 0);
    EXPECT_EQ(testproc::ReadFile(root / "Varnith2.ico"), testproc::ReadFile(kBin / "Varnith2.ico"));
    std::string ini = testproc::ReadFile(root / "Varnith2.ini");
    EXPECT_EQ(ini.rfind("[KEY]\r\nPNAME=Trellan2\r\nVER=2.10\r\nCopyright=2004,PURUNE-SHA\r\n", 0), 0u);
    // "MFont=明朝" in code page 932.
    EXPECT_NE(ini.find("MFont=\x96\xbe\x92\xa9\r\n"), std::string::npos);
    EXPECT_NE(ini.find("RunFile=readme.txt\r\nTimer=5\r\n"), std::string::npos);
}

// What the author did to the demo root between two runs, and what the second run must leave.
struct AuthorChange {
    const char* what;
    std::function<void(const fs::path& root)> change;
};

void PrintTo(const AuthorChange& c, std::ostream* os) { *os << c.what; }

class DemoRootKeeps : public ::testing::TestWithParam<AuthorChange> {};

TEST_P(DemoRootKeeps, EverythingTheAuthorChangedAndFillsInOnlyWhatIsMissing) {
    testproc::TempDir tmp;
    fs::path root = tmp.path / "demo-root";
    ASSERT_EQ(Prepare(root), 0);
    std::map<std::string, std::string> fresh = Contents(root);

    GetParam().change(root);
    std::map<std::string, std::string> changed = Contents(root);
    ASSERT_EQ(Prepare(root), 0);

    // Whatever the author left there is untouched; whatever they removed is back as it was made.
    std::map<std::string, std::string> expected = changed;
    for (auto& [name, bytes] : fresh) expected.try_emplace(name, bytes);
    EXPECT_EQ(Contents(root), expected);
}

void Write(const fs::path& path, const std::string& bytes) { testproc::WriteFile(path, bytes); }

INSTANTIATE_TEST_SUITE_P(
    Changes, DemoRootKeeps,
    ::testing::Values(
        AuthorChange{"nothing", [](const fs::path&) {}},
        AuthorChange{"WrittenByTheEditor",
                     [](const fs::path& r) {
                         Write(r / "Varnith2.ini", "[KEY]\r\nPNAME=Trellan2\r\n[Option]\r\nTimer=9\r\n");
                         Write(r / "Autorun.inf", "[autorun]\r\nOPEN=Varnith2.exe\r\nICON=red.ico\r\n");
                         Write(r / "red.ico", "an icon of the author's");
                     }},
        AuthorChange{"DocumentEditedAndFilesOfTheirOwn",
                     [](const fs::path& r) {
                         Write(r / "readme.txt", "the author's own text\n");
                         Write(r / ".Varnith2.ini.backup", "kept");
                         fs::create_directory(r / "docs");
                     }},
        AuthorChange{"SomeFilesRemoved",
                     [](const fs::path& r) {
                         Write(r / "Varnith2.ini", "the author's settings");
                         fs::remove(r / "readme.txt");
                         fs::remove(r / "Varnith2.exe");
                     }},
        AuthorChange{"SettingsFileReplacedByALink",
                     [](const fs::path& r) {
                         fs::remove(r / "Varnith2.ini");
                         fs::create_symlink("../elsewhere/Varnith2.ini", r / "Varnith2.ini");
                     }},
        AuthorChange{"EverythingRemoved",
                     [](const fs::path& r) {
                         for (const auto& name : testproc::Entries(r)) fs::remove(r / name);
                     }}),
    [](const ::testing::TestParamInfo<AuthorChange>& info) { return std::string(info.param.what); });

}  // namespace
