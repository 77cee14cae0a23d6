#include "MainFrm.h"

#include <memory>

#include "AboutFrm.h"
#include "rtl/colortext.h"
#include "rtl/fileutils.h"
#include "rtl/inifiles.h"
#include "rtl/paths.h"
#include "win/file.h"
#include "win/kernel.h"
#include "win/process.h"
#include "win/shell.h"

TFrmMain* FrmMain = nullptr;

// The three names that tie the disc root together: the launcher reads the settings file of its
// own name, and AutoPlay starts the launcher by the "OPEN" entry.
static const AnsiString LauncherName = "Varnith2.exe";
static const AnsiString SettingsName = "Varnith2.ini";
static const AnsiString AutorunName = "Autorun.inf";
static const AnsiString DefaultIconName = "Varnith2.ico";
static const AnsiString HelpName = "Varnith2.hlp";

TFrmMain::TFrmMain(TComponent* Owner) : TForm(Owner) {
    InitForm("TFRMMAIN", {
        {
            {"Label6", Field(Label6)}, {"LabeledEdit1", Field(LabeledEdit1)}, {"Button1", Field(Button1)},
            {"Label5", Field(Label5)}, {"LabeledEdit4", Field(LabeledEdit4)}, {"Button2", Field(Button2)},
            {"LabeledEdit5", Field(LabeledEdit5)}, {"GroupBox1", Field(GroupBox1)}, {"Panel1", Field(Panel1)},
            {"VBox1", Field(VBox1)}, {"Image1", Field(Image1)}, {"Label3", Field(Label3)},
            {"Label2", Field(Label2)}, {"Label1", Field(Label1)}, {"Label9", Field(Label9)},
            {"LabeledEdit2", Field(LabeledEdit2)}, {"Label4", Field(Label4)}, {"Panel6", Field(Panel6)},
            {"RadioButton1", Field(RadioButton1)}, {"RadioButton2", Field(RadioButton2)},
            {"McolPanel", Field(McolPanel)}, {"SpeedButton1", Field(SpeedButton1)},
            {"SpeedButton2", Field(SpeedButton2)}, {"Label7", Field(Label7)}, {"CSpinEdit1", Field(CSpinEdit1)},
            {"CheckBox1", Field(CheckBox1)}, {"LabeledEdit3", Field(LabeledEdit3)}, {"Button3", Field(Button3)},
            {"Label8", Field(Label8)}, {"Panel2", Field(Panel2)}, {"Panel3", Field(Panel3)},
            {"Panel4", Field(Panel4)}, {"Panel5", Field(Panel5)}, {"BitBtn1", Field(BitBtn1)},
            {"BitBtn2", Field(BitBtn2)}, {"BitBtn3", Field(BitBtn3)}, {"MainMenu1", Field(MainMenu1)},
            {"F1", Field(F1)}, {"O1", Field(O1)}, {"W1", Field(W1)}, {"N1", Field(N1)}, {"X1", Field(X1)},
            {"T1", Field(T1)}, {"N3", Field(N3)}, {"CDROM1", Field(CDROM1)}, {"N4", Field(N4)},
            {"O2", Field(O2)}, {"H1", Field(H1)}, {"R1", Field(R1)}, {"N2", Field(N2)}, {"A1", Field(A1)},
            {"ColorDialog1", Field(ColorDialog1)}, {"OpenDialog1", Field(OpenDialog1)},
        },
        {
            {"X1Click", [this](TObject* Sender) { X1Click(Sender); }},
            {"LabeledEdit2Change", [this](TObject* Sender) { LabeledEdit2Change(Sender); }},
            {"Panel2Click", [this](TObject* Sender) { Panel2Click(Sender); }},
            {"Panel3Click", [this](TObject* Sender) { Panel3Click(Sender); }},
            {"Panel4Click", [this](TObject* Sender) { Panel4Click(Sender); }},
            {"Panel5Click", [this](TObject* Sender) { Panel5Click(Sender); }},
            {"McolPanelClick", [this](TObject* Sender) { McolPanelClick(Sender); }},
            {"SpeedButton1Click", [this](TObject* Sender) { SpeedButton1Click(Sender); }},
            {"RadioButton1Click", [this](TObject* Sender) { RadioButton1Click(Sender); }},
            {"LabeledEdit3Change", [this](TObject* Sender) { LabeledEdit3Change(Sender); }},
            {"Button1Click", [this](TObject* Sender) { Button1Click(Sender); }},
            {"Button2Click", [this](TObject* Sender) { Button2Click(Sender); }},
            {"Button3Click", [this](TObject* Sender) { Button3Click(Sender); }},
            {"CDROM1Click", [this](TObject* Sender) { CDROM1Click(Sender); }},
            {"N3Click", [this](TObject* Sender) { N3Click(Sender); }},
            {"R1Click", [this](TObject* Sender) { R1Click(Sender); }},
            {"A1Click", [this](TObject* Sender) { A1Click(Sender); }},
            {"W1Click", [this](TObject* Sender) { W1Click(Sender); }},
            {"O1Click", [this](TObject* Sender) { O1Click(Sender); }},
        },
    });
}

// ---- the main form and the live preview ----

void TFrmMain::X1Click(TObject* Sender) { Close(); }

void TFrmMain::LabeledEdit2Change(TObject* Sender) { Label1->SetCaption(LabeledEdit2->Text()); }

// The caption stays readable on any colour: each of red, green and blue complemented.
bool TFrmMain::PickSwatchColor(TPanel* swatch) {
    ColorDialog1->Color = swatch->Color();
    if (!ColorDialog1->Execute()) return false;
    swatch->SetColor(ColorDialog1->Color);
    swatch->Font()->SetColor(swatch->Color() ^ 0xFFFFFF);
    return true;
}

void TFrmMain::Panel2Click(TObject* Sender) {
    if (PickSwatchColor(Panel2)) VBox1->RectColor()->SetUpLeft(Panel2->Color());
}

void TFrmMain::Panel3Click(TObject* Sender) {
    if (PickSwatchColor(Panel3)) VBox1->RectColor()->SetUpRight(Panel3->Color());
}

void TFrmMain::Panel4Click(TObject* Sender) {
    if (PickSwatchColor(Panel4)) VBox1->RectColor()->SetDownLeft(Panel4->Color());
}

void TFrmMain::Panel5Click(TObject* Sender) {
    if (PickSwatchColor(Panel5)) VBox1->RectColor()->SetDownRight(Panel5->Color());
}

void TFrmMain::McolPanelClick(TObject* Sender) {
    if (PickSwatchColor(McolPanel)) Label1->Font()->SetColor(McolPanel->Color());
}

// Rebuilt from both buttons, so the order of the clicks does not matter.
void TFrmMain::SpeedButton1Click(TObject* Sender) {
    TFontStyles style;
    if (SpeedButton1->Down()) style << fsBold;
    if (SpeedButton2->Down()) style << fsItalic;
    Label1->Font()->SetStyle(style);
}

// The Mincho face only when the Mincho choice is made, the Gothic face otherwise.
void TFrmMain::RadioButton1Click(TObject* Sender) {
    if (RadioButton1->Checked())
        Label1->Font()->SetName("ＭＳ Ｐ明朝"_cp932);
    else
        Label1->Font()->SetName("ＭＳ Ｐゴシック"_cp932);
}

// Runs at every keystroke: only a text that names an existing file changes the picture.
void TFrmMain::LabeledEdit3Change(TObject* Sender) {
    if (FileExists(LabeledEdit3->Text())) Image1->Picture()->LoadFromFile(LabeledEdit3->Text());
}

// ---- the choosers and commands ----

void TFrmMain::Button1Click(TObject* Sender) {
    // Only a root that names a folder is selected when the browser opens.
    AnsiString folder = DirectoryExists(LabeledEdit1->Text()) ? LabeledEdit1->Text() : AnsiString("");
    if (!SelectDirectory("CD-ROMのルートとなるフォルダを選択して下さい。"_cp932, "", folder)) return;
    LabeledEdit1->SetText(IncludeTrailingPathDelimiter(folder));
}

// The entry's full path, resolved against the current folder (the root, when it could be
// entered); an empty entry proposes no name.
static AnsiString FullPathOf(const AnsiString& entry) {
    char buffer[260];
    DWORD length = GetFullPathNameA(entry.c_str(), sizeof buffer, buffer, nullptr);
    return length > 0 && length < sizeof buffer ? AnsiString(buffer, static_cast<int>(length)) : AnsiString("");
}

void TFrmMain::Button2Click(TObject* Sender) {
    const AnsiString root = LabeledEdit1->Text();
    // The current folder keeps the change, even when the dialog is cancelled.
    SetCurrentDirectoryA(root.c_str());
    OpenDialog1->InitialDir = root;
    OpenDialog1->FileName = FullPathOf(LabeledEdit4->Text());
    OpenDialog1->Filter =
        "HTMLファイル(*.htm,*html)|*.htm;*.html|パワーポイントファイル(*.ppt,*.pps)|*.ppt;*.pps|"
        "実行ファイル(*.exe)|*.exe|テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*"_cp932;
    if (!OpenDialog1->Execute()) return;
    LabeledEdit4->SetText(ExtractRelativePath(root, OpenDialog1->FileName));
}

// The icon keeps its full path: the write command copies it into the root.
void TFrmMain::Button3Click(TObject* Sender) {
    OpenDialog1->InitialDir = LabeledEdit1->Text();
    OpenDialog1->FileName = LabeledEdit3->Text();
    OpenDialog1->Filter = "アイコンファイル(*.ico)|*.ico|全てのファイル(*.*)|*.*"_cp932;
    if (!OpenDialog1->Execute()) return;
    LabeledEdit3->SetText(OpenDialog1->FileName);
}

// The root goes unquoted after the program: the rest of the line is taken as one folder.
void TFrmMain::CDROM1Click(TObject* Sender) {
    const AnsiString root = LabeledEdit1->Text();
    if (!DirectoryExists(root)) return;
    WinExec(("EXPLORER.EXE " + root).c_str(), SW_SHOW);
}

// The launcher copy runs in the editor's current folder, and nothing waits for it.
void TFrmMain::N3Click(TObject* Sender) {
    const AnsiString path = LabeledEdit1->Text() + LauncherName;
    if (!FileExists(path)) return;
    WinExec(path.c_str(), SW_SHOW);
}

// The shell reports a missing help file itself.
void TFrmMain::R1Click(TObject* Sender) {
    const AnsiString path = ExtractFilePath(Application->ExeName()) + HelpName;
    ShellExecuteA(Handle(), "open", path.c_str(), nullptr, nullptr, SW_SHOW);
}

void TFrmMain::A1Click(TObject* Sender) { AboutBox->ShowModal(); }

// ---- writing the disc root ----

void TFrmMain::W1Click(TObject* Sender) {
    WriteSettingsFile();
    WriteAutorunFile();
    CopyLauncher();
}

void TFrmMain::WriteSettingsFile() {
    const AnsiString root = LabeledEdit1->Text();
    if (!DirectoryExists(root)) return;
    auto ini = std::make_unique<TIniFile>(root + SettingsName);
    ini->WriteString("KEY", "PNAME", "Trellan2");
    ini->WriteString("KEY", "VER", "2.10");
    ini->WriteString("KEY", "Copyright", "2004,PURUNE-SHA");
    ini->WriteString("KEY", "User", LabeledEdit5->Text());
    ini->WriteString("Option", "StayTop", CheckBox1->Checked() ? "YES" : "NO");
    ini->WriteString("Option", "Icon", ExtractFileName(LabeledEdit3->Text()));
    ini->WriteString("Option", "FrmLTColor", ColorToString(Panel2->Color()));
    ini->WriteString("Option", "FrmLBColor", ColorToString(Panel4->Color()));
    ini->WriteString("Option", "FrmRTColor", ColorToString(Panel3->Color()));
    ini->WriteString("Option", "FrmRBColor", ColorToString(Panel5->Color()));
    ini->WriteString("Option", "Message", LabeledEdit2->Text());
    ini->WriteString("Option", "MColor", ColorToString(McolPanel->Color()));
    ini->WriteBool("Option", "MBold", SpeedButton1->Down());
    ini->WriteBool("Option", "MItalic", SpeedButton2->Down());
    ini->WriteString("Option", "MFont", RadioButton1->Checked() ? "明朝"_cp932 : "ゴシック"_cp932);
    ini->WriteString("Option", "RunFile", LabeledEdit4->Text());
    ini->WriteInteger("Option", "Timer", CSpinEdit1->Value());
}

void TFrmMain::WriteAutorunFile() {
    const AnsiString root = LabeledEdit1->Text();
    if (!DirectoryExists(root)) return;
    auto ini = std::make_unique<TIniFile>(root + AutorunName);
    ini->WriteString("autorun", "OPEN", LauncherName);
    const AnsiString icon = LabeledEdit3->Text();
    if (FileExists(icon)) {
        // An exact comparison: any other spelling of the root counts as elsewhere.
        if (ExtractFilePath(icon) != root)
            CopyFileA(icon.c_str(), (root + ExtractFileName(icon)).c_str(), FALSE);
        ini->WriteString("autorun", "ICON", ExtractFileName(icon));
    } else {
        const AnsiString ownFolder = ExtractFilePath(Application->ExeName());
        CopyFileA((ownFolder + DefaultIconName).c_str(), (root + DefaultIconName).c_str(), FALSE);
        ini->WriteString("autorun", "ICON", DefaultIconName);
    }
}

// Neither the root nor the source is tested: a copy that fails is simply not made.
void TFrmMain::CopyLauncher() {
    const AnsiString ownFolder = ExtractFilePath(Application->ExeName());
    CopyFileA((ownFolder + LauncherName).c_str(), (LabeledEdit1->Text() + LauncherName).c_str(), FALSE);
}

// ---- reading a settings file back ----

void TFrmMain::O1Click(TObject* Sender) {
    OpenDialog1->Filter = "設定ファイル(Varnith2.ini)|Varnith2.ini"_cp932;
    if (!OpenDialog1->Execute()) return;
    const AnsiString folder = ExtractFilePath(OpenDialog1->FileName);
    LabeledEdit1->SetText(folder);
    ReadSettingsFile(folder);
}

// A swatch and its caption from a colour entry; a text that is no colour raises the conversion
// error before the swatch changes.
static void ReadSwatch(TIniFile& ini, const char* key, TPanel* swatch) {
    const TColor color = StringToColor(ini.ReadString("Option", key, ""));
    swatch->SetColor(color);
    swatch->Font()->SetColor(swatch->Color() ^ 0xFFFFFF);
}

// Every value goes to its controls at once, so a colour that fails leaves what came before it.
void TFrmMain::ReadSettingsFile(AnsiString folder) {
    auto ini = std::make_unique<TIniFile>(folder + SettingsName);
    LabeledEdit5->SetText(ini->ReadString("KEY", "User", ""));
    CheckBox1->SetChecked(ini->ReadString("Option", "StayTop", "NO") == "YES");
    const AnsiString icon = ini->ReadString("Option", "Icon", "");
    LabeledEdit3->SetText(icon.IsEmpty() ? AnsiString("") : folder + icon);
    ReadSwatch(*ini, "FrmLTColor", Panel2);
    VBox1->RectColor()->SetUpLeft(Panel2->Color());
    ReadSwatch(*ini, "FrmLBColor", Panel4);
    VBox1->RectColor()->SetDownLeft(Panel4->Color());
    ReadSwatch(*ini, "FrmRTColor", Panel3);
    VBox1->RectColor()->SetUpRight(Panel3->Color());
    ReadSwatch(*ini, "FrmRBColor", Panel5);
    VBox1->RectColor()->SetDownRight(Panel5->Color());
    LabeledEdit2->SetText(ini->ReadString("Option", "Message", ""));
    ReadSwatch(*ini, "MColor", McolPanel);
    Label1->Font()->SetColor(McolPanel->Color());
    SpeedButton1->SetDown(ini->ReadBool("Option", "MBold", false));
    SpeedButton2->SetDown(ini->ReadBool("Option", "MItalic", false));
    SpeedButton1Click(SpeedButton1);
    if (ini->ReadString("Option", "MFont", "ゴシック"_cp932) == "明朝"_cp932)
        RadioButton1->SetChecked(true);
    else
        RadioButton2->SetChecked(true);
    LabeledEdit4->SetText(ini->ReadString("Option", "RunFile", ""));
    CSpinEdit1->SetValue(ini->ReadInteger("Option", "Timer", 0));
}
