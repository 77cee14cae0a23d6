// TRegistry over the per-user store file, in a temporary XDG_CONFIG_HOME: round trips, names
// without letter case, value types, refusals, and no update lost when several write at once.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "rtl/registry.h"
#include "rtl/sysutils.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        if (old) oldConfig = old;
        hadConfig = old != nullptr;
        setenv("XDG_CONFIG_HOME", tmp.path.c_str(), 1);
    }
    void TearDown() override {
        if (hadConfig) setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
    }
    fs::path Store() const { return tmp.path / "varnith" / "registry"; }
    void WriteStore(const std::string& text) {
        fs::create_directories(Store().parent_path());
        testproc::WriteFile(Store(), text);
    }

    testproc::TempDir tmp;
    std::string oldConfig;
    bool hadConfig = false;
};

TEST_F(RegistryTest, TheStoreLivesUnderXdgConfigHome) {
    EXPECT_EQ(TRegistry::StorePath(), Store().string());
}

TEST_F(RegistryTest, AMissingKeyIsCreatedOnlyWhenAsked) {
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("Software\\Common\\Path", false));
    EXPECT_FALSE(fs::exists(Store()));
    ASSERT_TRUE(reg.OpenKey("Software\\Common\\Path", true));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Common\\Path");
    reg.CloseKey();
    // It lasts, with the keys above it, and names match without letter case.
    TRegistry other;
    EXPECT_TRUE(other.OpenKey("software\\COMMON\\path", false));
    EXPECT_EQ(other.CurrentPath(), "Software\\Common\\Path");
    EXPECT_TRUE(other.OpenKey("\\Software\\Common", false));
    // Below the open key, unless the name begins with "\".
    EXPECT_TRUE(other.OpenKey("Path", false));
    EXPECT_EQ(other.CurrentPath(), "Software\\Common\\Path");
}

TEST_F(RegistryTest, StringsRoundTripByteForByte) {
    const std::vector<AnsiString> values = {
        "/srv/data/data.dat", "", "with \"quotes\" and %25 and\ttab", "line\nbreak\r\n",
        "表\\示"_cp932, AnsiString(std::string(1, '\x7F') + "\x80\xFF")};
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\表\\Path"_cp932, true));
    for (std::size_t i = 0; i < values.size(); ++i) reg.WriteString("name" + IntToStr(static_cast<int>(i)), values[i]);
    TRegistry reader;
    ASSERT_TRUE(reader.OpenKey("Software\\表\\Path"_cp932, false));
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(reader.ReadString("NAME" + IntToStr(static_cast<int>(i))), values[i]) << i;
}

TEST_F(RegistryTest, AWriteReplacesTheValueOfThatName) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Common\\Path", true));
    reg.WriteString("Data.DAT", "/old");
    reg.WriteString("data.dat", "/new");
    EXPECT_EQ(reg.ReadString("DATA.dat"), "/new");
    EXPECT_EQ(reg.ReadString("other"), "");
    // One value line, under the name first written.
    std::string text = testproc::ReadFile(Store());
    EXPECT_NE(text.find("value \"Data.DAT\" 1 \"/new%00\"\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("/old"), std::string::npos);
}

TEST_F(RegistryTest, ValueTypes) {
    WriteStore("key \"K\"\n"
               "value \"sz\" 1 \"text%00after\"\n"
               "value \"expand\" 2 \"%25HOME%25/x%00\"\n"
               "value \"dword\" 4 \"%01%00%00%00\"\n");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("K", false));
    EXPECT_EQ(reg.ReadString("sz"), "text");            // up to the first NUL
    EXPECT_EQ(reg.ReadString("expand"), "%HOME%/x");    // not expanded
    try {
        reg.ReadString("dword");
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message, "'dword' のデータ型が不正です"_cp932);
    }
}

TEST_F(RegistryTest, AStoreThatCannotBeWrittenRefusesAndRaises) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("K", true));
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("K", false));
    // A lock that cannot be taken (whatever the user's rights): nothing can be written.
    fs::remove(Store().parent_path() / "registry.lock");
    fs::create_directories(Store().parent_path() / "registry.lock");
    EXPECT_FALSE(TRegistry().OpenKey("New", true));
    try {
        reg.WriteString("x", "y");
        ADD_FAILURE() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message, "'x' のデータを設定できません"_cp932);
    }
    EXPECT_EQ(reg.ReadString("x"), "");
}

TEST_F(RegistryTest, ReadOnlyAccessAndOtherRootsWriteNothing) {
    TRegistry readOnly(KEY_READ);
    EXPECT_FALSE(readOnly.OpenKey("K", true));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("K", true));
    ASSERT_TRUE(readOnly.OpenKey("K", false));
    EXPECT_THROW(readOnly.WriteString("x", "y"), ERegistryException);
    TRegistry machine;
    machine.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(machine.OpenKey("K", true));
    TRegistry closed;
    EXPECT_THROW(closed.WriteString("x", "y"), ERegistryException);
}

TEST_F(RegistryTest, AStoreNotUnderstoodWholeIsNeverWrittenOver) {
    const std::string text = "key \"K\"\nvalue \"a\" 1 \"x%00\"\nsomething from a newer version\n";
    WriteStore(text);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("K", false));
    EXPECT_EQ(reg.ReadString("a"), "x");
    EXPECT_THROW(reg.WriteString("b", "y"), ERegistryException);
    EXPECT_FALSE(TRegistry().OpenKey("New", true));
    EXPECT_EQ(testproc::ReadFile(Store()), text);
}

TEST_F(RegistryTest, WritersAtTheSameTimeLoseNothing) {
    ASSERT_TRUE(TRegistry().OpenKey("K", true));
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([t] {
            TRegistry reg;
            if (!reg.OpenKey("K", false)) return;
            for (int i = 0; i < 25; ++i) reg.WriteString("v" + IntToStr(t) + "_" + IntToStr(i), IntToStr(i));
        });
    for (std::thread& w : writers) w.join();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("K", false));
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 25; ++i) EXPECT_EQ(reg.ReadString("v" + IntToStr(t) + "_" + IntToStr(i)), IntToStr(i));
}

}  // namespace
