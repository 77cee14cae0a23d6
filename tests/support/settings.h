// Test support: a settings file with the seventeen entries as the editor writes them, in its order.
#pragma once

#include "rtl/inifiles.h"

namespace testsettings {

inline void WriteEditorSettings(TIniFile& ini, const AnsiString& user, const AnsiString& runFile,
                                int timer) {
    ini.WriteString("KEY", "PNAME", "Trellan2");
    ini.WriteString("KEY", "VER", "2.10");
    ini.WriteString("KEY", "Copyright", "2004,PURUNE-SHA");
    ini.WriteString("KEY", "User", user);
    ini.WriteString("Option", "StayTop", "YES");
    ini.WriteString("Option", "Icon", "Varnith2.ico");
    ini.WriteString("Option", "FrmLTColor", "clWhite");
    ini.WriteString("Option", "FrmLBColor", "$000080FF");
    ini.WriteString("Option", "FrmRTColor", "clBlue");
    ini.WriteString("Option", "FrmRBColor", "clNavy");
    ini.WriteString("Option", "Message", "アプリケーションの起動中です・・・"_cp932);
    ini.WriteString("Option", "MColor", "clBlack");
    ini.WriteBool("Option", "MBold", true);
    ini.WriteBool("Option", "MItalic", false);
    ini.WriteString("Option", "MFont", "明朝"_cp932);
    ini.WriteString("Option", "RunFile", runFile);
    ini.WriteInteger("Option", "Timer", timer);
}

}  // namespace testsettings
