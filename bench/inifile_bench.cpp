// Reading the seventeen settings entries as the launcher does: one TIniFile, the file opened
// again at every read. Target: all seventeen under 1 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "rtl/codepage.h"
#include "rtl/inifiles.h"
#include "support/settings.h"

namespace {

// A settings file as the editor writes it, in a folder of its own.
class SettingsFile {
public:
    SettingsFile() {
        char pattern[] = "/tmp/inifile_bench.XXXXXX";
        dir_ = ::mkdtemp(pattern);
        path_ = AnsiString(dir_ + "/Varnith2.ini");
        TIniFile ini(path_);
        testsettings::WriteEditorSettings(ini, "abc", "index.html", 10);
    }
    ~SettingsFile() { std::filesystem::remove_all(dir_); }
    const AnsiString& Path() const { return path_; }

private:
    std::string dir_;
    AnsiString path_;
};

void BM_ReadSeventeenSettings(benchmark::State& state) {
    SettingsFile file;
    for (auto _ : state) {
        TIniFile ini(file.Path());
        benchmark::DoNotOptimize(ini.ReadString("KEY", "PNAME", ""));
        benchmark::DoNotOptimize(ini.ReadString("KEY", "VER", ""));
        benchmark::DoNotOptimize(ini.ReadString("KEY", "Copyright", ""));
        benchmark::DoNotOptimize(ini.ReadString("KEY", "User", ""));
        benchmark::DoNotOptimize(ini.ReadString("Option", "StayTop", "NO"));
        benchmark::DoNotOptimize(ini.ReadString("Option", "Icon", ""));
        benchmark::DoNotOptimize(ini.ReadString("Option", "FrmLTColor", "0x00ffffff"));
        benchmark::DoNotOptimize(ini.ReadString("Option", "FrmLBColor", "0x00ffffff"));
        benchmark::DoNotOptimize(ini.ReadString("Option", "FrmRTColor", "0x00ffffff"));
        benchmark::DoNotOptimize(ini.ReadString("Option", "FrmRBColor", "0x00ffffff"));
        benchmark::DoNotOptimize(ini.ReadString("Option", "Message", "アプリケーションの起動中です・・・"_cp932));
        benchmark::DoNotOptimize(ini.ReadString("Option", "MColor", "0x00000000"));
        benchmark::DoNotOptimize(ini.ReadBool("Option", "MBold", false));
        benchmark::DoNotOptimize(ini.ReadBool("Option", "MItalic", false));
        benchmark::DoNotOptimize(ini.ReadString("Option", "MFont", "ゴシック"_cp932));
        benchmark::DoNotOptimize(ini.ReadString("Option", "RunFile", ""));
        benchmark::DoNotOptimize(ini.ReadInteger("Option", "Timer", 10));
    }
}
BENCHMARK(BM_ReadSeventeenSettings)->Unit(benchmark::kMicrosecond);

}  // namespace
