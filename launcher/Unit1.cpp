#include "Unit1.h"

#include <memory>

#include "rtl/colortext.h"
#include "rtl/fileutils.h"
#include "rtl/inifiles.h"
#include "rtl/paths.h"
#include "win/kernel.h"
#include "win/shell.h"
#include "win/user.h"

TForm1* Form1 = nullptr;

// The marker entries that tell the product's own settings file.
static const AnsiString PNAME = "Trellan2";
static const AnsiString COPYRIGHT = "2004,PURUNE-SHA";

TForm1::TForm1(TComponent* Owner) : TForm(Owner) {
    InitForm("TFORM1", {
        {
            {"Image1", Field(Image1)}, {"Label1", Field(Label1)}, {"Timer1", Field(Timer1)},
            {"Label2", Field(Label2)}, {"Timer2", Field(Timer2)}, {"VBox1", Field(VBox1)},
            {"Label3", Field(Label3)}, {"Label4", Field(Label4)},
        },
        {
            {"Timer1Timer", [this](TObject* Sender) { Timer1Timer(Sender); }},
            {"FormCreate", [this](TObject* Sender) { FormCreate(Sender); }},
            {"Timer2Timer", [this](TObject* Sender) { Timer2Timer(Sender); }},
        },
    });
    FRunFile = "";
}

TForm1::~TForm1() { FRunFile = ""; }

// The end of the display time.
void TForm1::Timer1Timer(TObject* Sender) { Close(); }

void TForm1::FormCreate(TObject* Sender) { LoadSettings(); }

// The launch, once: from the launcher's own folder, the configured file with its default action.
void TForm1::Timer2Timer(TObject* Sender) {
    Timer2->SetEnabled(false);
    SetCurrentDirectoryA(ExtractFileDir(Application->ExeName()).c_str());
    if (FRunFile.IsEmpty()) return;
    ShellExecuteA(Handle(), nullptr, FRunFile.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TForm1::LoadSettings() {
    auto ini = std::make_unique<TIniFile>(ChangeFileExt(Application->ExeName(), ".ini"));
    if (ini->ReadString("KEY", "PNAME", "") != PNAME) return;
    ini->ReadString("KEY", "VER", "");
    if (ini->ReadString("KEY", "Copyright", "") != COPYRIGHT) return;

    AnsiString user = ini->ReadString("KEY", "User", "");
    Label4->SetCaption(user.IsEmpty() ? AnsiString("Personal use") : "User ID:" + user);

    AnsiString stayTop = ini->ReadString("Option", "StayTop", "NO");
    if (!stayTop.IsEmpty()) CharUpperBuffA(&stayTop[1], stayTop.Length());
    if (stayTop == "YES") Form1->SetFormStyle(fsStayOnTop);

    AnsiString icon = ini->ReadString("Option", "Icon", "");
    if (!icon.IsEmpty()) {
        AnsiString picture = ExtractFilePath(Application->ExeName()) + icon;
        if (FileExists(picture))
            Image1->Picture()->LoadFromFile(picture);
        else
            Image1->SetVisible(false);
    }

    VBox1->RectColor()->SetUpLeft(StringToColor(ini->ReadString("Option", "FrmLTColor", "0x00ffffff")));
    VBox1->RectColor()->SetDownLeft(StringToColor(ini->ReadString("Option", "FrmLBColor", "0x00ffffff")));
    VBox1->RectColor()->SetUpRight(StringToColor(ini->ReadString("Option", "FrmRTColor", "0x00ffffff")));
    VBox1->RectColor()->SetDownRight(StringToColor(ini->ReadString("Option", "FrmRBColor", "0x00ffffff")));

    Label1->SetCaption(ini->ReadString("Option", "Message", "アプリケーションの起動中です・・・"_cp932));
    Label1->Font()->SetColor(StringToColor(ini->ReadString("Option", "MColor", "0x00000000")));

    TFontStyles style;
    if (ini->ReadBool("Option", "MBold", false)) style << fsBold;
    if (ini->ReadBool("Option", "MItalic", false)) style << fsItalic;
    Label1->Font()->SetStyle(style);

    if (ini->ReadString("Option", "MFont", "ゴシック"_cp932) == "明朝"_cp932)
        Label1->Font()->SetName("ＭＳ Ｐ明朝"_cp932);
    else
        Label1->Font()->SetName("ＭＳ Ｐゴシック"_cp932);

    FRunFile = ini->ReadString("Option", "RunFile", "");

    FShowSeconds = ini->ReadInteger("Option", "Timer", 10);
    Timer1->SetEnabled(false);
    // The product wraps in 32 bits and is taken as an unsigned count, as the timer takes it.
    Timer1->SetInterval(static_cast<std::uint32_t>(FShowSeconds) * 1000u);
    Timer1->SetEnabled(true);
    Timer2->SetEnabled(true);
}
