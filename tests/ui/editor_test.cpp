// The settings editor's main form run in-process: the live preview, and the writing of the disc
// root as the launcher and AutoPlay expect it.
#include <signal.h>

#include "editor_fixture.h"
#include "rtl/atomicfile.h"
#include "support/pictures.h"
#include "support/pipe.h"
#include "support/writers.h"

namespace {

using namespace editortest;

// ---- start-up and the live preview ----

TEST_F(EditorTest, StartsWithTheDesignValuesEvenBesideASettingsFile) {
    Application->DestroyForms();
    WriteFile(EditorFolder / "Varnith2.ini", "[KEY]\r\nPNAME=Trellan2\r\n[Option]\r\nMessage=other\r\n");
    WriteFile(Base / "cwd" / "Varnith2.ini", "[KEY]\r\nPNAME=Trellan2\r\n[Option]\r\nMessage=other\r\n");
    Application->CreateForm(FrmMain);
    Application->CreateForm(AboutBox);

    EXPECT_EQ(Application->MainForm(), FrmMain);
    EXPECT_FALSE(AboutBox->Visible());
    EXPECT_EQ(AnsiToUtf8(FrmMain->Caption()), "Trellan2 GUI 設定");
    EXPECT_EQ(FrmMain->LabeledEdit1->Text(), AnsiString(""));
    EXPECT_EQ(AnsiToUtf8(FrmMain->LabeledEdit2->Text()), "アプリケーションを起動します・・・");
    EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Caption()), "アプリケーションを起動します・・・");
    EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Font()->Name()), "ＭＳ Ｐゴシック");
    EXPECT_EQ(FrmMain->Label1->Font()->Style(), TFontStyles());
    EXPECT_EQ(FrmMain->Label1->Font()->Color(), clWindowText);
    EXPECT_TRUE(FrmMain->RadioButton2->Checked());
    EXPECT_FALSE(FrmMain->RadioButton1->Checked());
    EXPECT_FALSE(FrmMain->SpeedButton1->Down());
    EXPECT_FALSE(FrmMain->SpeedButton2->Down());
    EXPECT_FALSE(FrmMain->CheckBox1->Checked());
    EXPECT_EQ(FrmMain->CSpinEdit1->Value(), 3);
    EXPECT_EQ(FrmMain->Image1->Picture()->Width(), 32);

    // The swatches and the corners of the preview agree; the captions keep their design colours.
    const struct { TPanel* Swatch; TColor Color, Caption, Corner; } swatches[] = {
        {FrmMain->Panel2, clWhite, clWindowText, FrmMain->VBox1->RectColor()->UpLeft()},
        {FrmMain->Panel3, clBlue, clWhite, FrmMain->VBox1->RectColor()->UpRight()},
        {FrmMain->Panel4, clWhite, clWindowText, FrmMain->VBox1->RectColor()->DownLeft()},
        {FrmMain->Panel5, clBlue, clWhite, FrmMain->VBox1->RectColor()->DownRight()},
    };
    for (const auto& s : swatches) {
        EXPECT_EQ(s.Swatch->Color(), s.Color) << AnsiToUtf8(s.Swatch->Caption());
        EXPECT_EQ(s.Swatch->Font()->Color(), s.Caption) << AnsiToUtf8(s.Swatch->Caption());
        EXPECT_EQ(s.Corner, s.Color) << AnsiToUtf8(s.Swatch->Caption());
    }
    EXPECT_EQ(FrmMain->McolPanel->Color(), clBlack);
    EXPECT_EQ(FrmMain->McolPanel->Font()->Color(), clWhite);
    EXPECT_FALSE(FrmMain->O2->Enabled());
}

TEST_F(EditorTest, ThePreviewFollowsTheMessage) {
    ShowForm();
    TypeTextForTests(FrmMain->LabeledEdit2, "ようこそ"_cp932);
    EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Caption()), "ようこそ");
    FrmMain->LabeledEdit2->SetText("");
    EXPECT_EQ(FrmMain->Label1->Caption(), AnsiString(""));
}

struct TSwatchCase {
    std::string Name;
    TPanel* TFrmMain::*Swatch;
    std::function<TColor(TFrmMain*)> Preview;  // what the pick passes on
};

void PrintTo(const TSwatchCase& c, std::ostream* os) { *os << c.Name; }

class SwatchTest : public EditorTest, public ::testing::WithParamInterface<TSwatchCase> {};

TEST_P(SwatchTest, APickColoursTheSwatchItsCaptionAndThePreview) {
    ShowForm();
    TPanel* swatch = FrmMain->*GetParam().Swatch;
    const struct { TColor Pick, Caption; } picks[] = {
        {clBlue, clYellow}, {clWhite, clBlack}, {clBlack, clWhite}, {RGB(0x12, 0x80, 0xFF), RGB(0xED, 0x7F, 0x00)},
    };
    for (const auto& p : picks) {
        const TColor before = swatch->Color();
        Dialogs.Picks = {p.Pick};
        MouseClickForTests(swatch, 5, 5);
        ASSERT_FALSE(Dialogs.OpenedOn.empty());
        EXPECT_EQ(Dialogs.OpenedOn.back(), before);
        EXPECT_EQ(swatch->Color(), p.Pick);
        EXPECT_EQ(swatch->Font()->Color(), p.Caption);
        EXPECT_EQ(GetParam().Preview(FrmMain), p.Pick);
    }
    // Cancelled: nothing changes, whatever the dialog showed meanwhile.
    Dialogs.Picks = {std::nullopt};
    MouseClickForTests(swatch, 5, 5);
    EXPECT_EQ(swatch->Color(), picks[3].Pick);
    EXPECT_EQ(swatch->Font()->Color(), picks[3].Caption);
    EXPECT_EQ(GetParam().Preview(FrmMain), picks[3].Pick);
    EXPECT_EQ(Dialogs.OpenedOn.size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(Editor, SwatchTest, ::testing::Values(
    TSwatchCase{"UpperLeft", &TFrmMain::Panel2, [](TFrmMain* f) { return f->VBox1->RectColor()->UpLeft(); }},
    TSwatchCase{"UpperRight", &TFrmMain::Panel3, [](TFrmMain* f) { return f->VBox1->RectColor()->UpRight(); }},
    TSwatchCase{"LowerLeft", &TFrmMain::Panel4, [](TFrmMain* f) { return f->VBox1->RectColor()->DownLeft(); }},
    TSwatchCase{"LowerRight", &TFrmMain::Panel5, [](TFrmMain* f) { return f->VBox1->RectColor()->DownRight(); }},
    TSwatchCase{"Message", &TFrmMain::McolPanel, [](TFrmMain* f) { return f->Label1->Font()->Color(); }}),
    [](const ::testing::TestParamInfo<TSwatchCase>& info) { return info.param.Name; });

TEST_F(EditorTest, BoldAndItalicAreRebuiltFromBothButtons) {
    ShowForm();
    const struct { TSpeedButton* Clicked; TFontStyles Style; } steps[] = {
        {FrmMain->SpeedButton1, TFontStyles() << fsBold},
        {FrmMain->SpeedButton2, TFontStyles() << fsBold << fsItalic},
        {FrmMain->SpeedButton1, TFontStyles() << fsItalic},
        {FrmMain->SpeedButton2, TFontStyles()},
    };
    for (const auto& s : steps) {
        ClickGraphic(s.Clicked);
        EXPECT_EQ(FrmMain->Label1->Font()->Style(), s.Style);
    }
}

TEST_F(EditorTest, TheFaceButtonsChooseTheFace) {
    ShowForm();
    MouseClickForTests(FrmMain->RadioButton1, 5, 8);
    EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Font()->Name()), "ＭＳ Ｐ明朝");
    MouseClickForTests(FrmMain->RadioButton2, 5, 8);
    EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Font()->Name()), "ＭＳ Ｐゴシック");
}

TEST_F(EditorTest, TheIconShowsOnceTheTextNamesAFileAndStaysWhenCleared) {
    ShowForm();
    const fs::path picture = Pictures / "tiny.bmp";
    WriteFile(picture, TinyBitmap());
    TypeTextForTests(FrmMain->LabeledEdit3, A(Pictures / "tiny"));  // no such file yet
    EXPECT_EQ(FrmMain->Image1->Picture()->Width(), 32);
    TypeTextForTests(FrmMain->LabeledEdit3, A(Pictures));  // a folder does not count
    EXPECT_EQ(FrmMain->Image1->Picture()->Width(), 32);
    TypeTextForTests(FrmMain->LabeledEdit3, A(picture));
    EXPECT_EQ(FrmMain->Image1->Picture()->Width(), 2);
    EXPECT_EQ(FrmMain->Image1->Width(), 2);  // sizing itself to its picture
    TypeTextForTests(FrmMain->LabeledEdit3, "");
    EXPECT_EQ(FrmMain->Image1->Picture()->Width(), 2);
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

// A metafile's words show in the preview, inside its picture.
TEST_F(EditorTest, TheIconPreviewShowsAMetafilesText) {
    ShowForm();
    const TColor ink = static_cast<TColor>(0x00123456);
    const testpictures::ByteVector bytes = testpictures::TextLogo(ink);
    WriteFile(Pictures / "logo.wmf", std::string(bytes.begin(), bytes.end()));
    TypeTextForTests(FrmMain->LabeledEdit3, A(Pictures / "logo.wmf"));
    ASSERT_TRUE(Dialogs.Boxes.empty());
    const TRect r = FrmMain->Image1->BoundsRect();
    TBitmap b;
    FrmMain->Panel1->PaintTo(&b);
    const auto [inside, outside] = testpictures::CountColour(b, ink, TRect(r.Left + 4, r.Top + 4, r.Right, r.Bottom));
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
}

// A text naming a pipe is taken as a file that holds no picture: reported at once, never waited on.
TEST_F(EditorTest, AnIconTextNamingAPipeIsReportedAsABrokenPicture) {
    ShowForm();
    const fs::path path = Pictures / "pipe.ico";
    testproc::WatchedPipe pipe(path);
    ASSERT_TRUE(pipe.Made());
    TypeTextForTests(FrmMain->LabeledEdit3, A(path));
    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Text, "アイコンイメージが不正です.");
    EXPECT_EQ(FrmMain->Image1->Picture()->Width(), 32);  // the picture shown stays
    EXPECT_FALSE(pipe.WaitedOn());
}

TEST_F(EditorTest, TheAboutBoxShowsOnlyWhenAskedAndTheExitEndsTheProgram) {
    ShowForm();
    int shown = 0;
    SetModalHandlerForTests([&](TForm* form) {
        ++shown;
        EXPECT_EQ(form, AboutBox);
        AboutBox->OKButton->Click();
    });
    EXPECT_FALSE(ChooseMenuItemForTests(FrmMain, FrmMain->O2));  // disabled
    EXPECT_TRUE(ChooseMenuItemForTests(FrmMain, FrmMain->A1));
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(AboutBox->Visible());
    EXPECT_FALSE(Application->Terminated());
    EXPECT_TRUE(ChooseMenuItemForTests(FrmMain, FrmMain->X1));
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

// ---- writing the disc root ----

TEST_F(EditorTest, TheWriteCommandWritesTheSettingsFileAsTheLauncherReadsIt) {
    const fs::path icon = Pictures / "disc.ico";
    fs::copy_file(VARNITH_SOURCE_DIR "/resources/VarnithGui.ico", icon);
    SetRoot(Root);
    FrmMain->LabeledEdit5->SetText("tester");
    FrmMain->CheckBox1->SetChecked(true);
    FrmMain->LabeledEdit3->SetText(A(icon));
    FrmMain->Panel2->SetColor(clRed);
    FrmMain->Panel4->SetColor(clLime);
    FrmMain->Panel3->SetColor(clYellow);
    FrmMain->Panel5->SetColor(0x00123456);
    FrmMain->LabeledEdit2->SetText("ようこそ"_cp932);
    FrmMain->McolPanel->SetColor(clMaroon);
    FrmMain->SpeedButton1->SetDown(true);
    FrmMain->RadioButton1->SetChecked(true);
    FrmMain->LabeledEdit4->SetText("doc.txt");
    FrmMain->CSpinEdit1->SetText("-5");
    FrmMain->BitBtn1->Click();

    EXPECT_EQ(ReadFile(Root / "Varnith2.ini"), Utf8ToAnsi(
        "[KEY]\r\nPNAME=Trellan2\r\nVER=2.10\r\nCopyright=2004,PURUNE-SHA\r\nUser=tester\r\n"
        "[Option]\r\nStayTop=YES\r\nIcon=disc.ico\r\nFrmLTColor=clRed\r\nFrmLBColor=clLime\r\n"
        "FrmRTColor=clYellow\r\nFrmRBColor=$00123456\r\nMessage=ようこそ\r\nMColor=clMaroon\r\n"
        "MBold=1\r\nMItalic=0\r\nMFont=明朝\r\nRunFile=doc.txt\r\nTimer=-5\r\n").str());
    EXPECT_EQ(ReadFile(Root / "Autorun.inf"), "[autorun]\r\nOPEN=Varnith2.exe\r\nICON=disc.ico\r\n");
    EXPECT_EQ(ReadFile(Root / "Varnith2.exe"), kLauncherBytes);
    EXPECT_EQ(ReadFile(Root / "disc.ico"), ReadFile(icon));
    EXPECT_EQ(Entries(Root), (std::set<std::string>{"Varnith2.ini", "Autorun.inf", "Varnith2.exe", "disc.ico"}));

    // A second run with the form unchanged leaves the same files; a display time that is no
    // integer is written as 0 and shown as 0.
    FrmMain->CSpinEdit1->SetText("");
    FrmMain->W1->Click();
    EXPECT_EQ(Ini("Option", "Timer"), "0");
    EXPECT_EQ(FrmMain->CSpinEdit1->Text(), AnsiString("0"));
    EXPECT_EQ(Entries(Root).size(), 4u);
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

TEST_F(EditorTest, TheDesignFormWritesEveryEntryWithEmptyFieldsIncluded) {
    SetRoot(Root);
    FrmMain->W1Click(nullptr);
    EXPECT_EQ(ReadFile(Root / "Varnith2.ini"), Utf8ToAnsi(
        "[KEY]\r\nPNAME=Trellan2\r\nVER=2.10\r\nCopyright=2004,PURUNE-SHA\r\nUser=\r\n"
        "[Option]\r\nStayTop=NO\r\nIcon=\r\nFrmLTColor=clWhite\r\nFrmLBColor=clWhite\r\n"
        "FrmRTColor=clBlue\r\nFrmRBColor=clBlue\r\nMessage=アプリケーションを起動します・・・\r\n"
        "MColor=clBlack\r\nMBold=0\r\nMItalic=0\r\nMFont=ゴシック\r\nRunFile=\r\nTimer=3\r\n").str());
}

struct TIconCase {
    std::string Name;
    std::function<std::string(const fs::path& root, const fs::path& pictures)> IconText;  // UTF-8
    std::string Icon;                 // "ICON" of "Autorun.inf"
    std::string SettingsIcon;         // "Icon" of the settings file
    std::set<std::string> Copied;     // the icon files in the root afterwards
};

void PrintTo(const TIconCase& c, std::ostream* os) { *os << c.Name; }

class IconRuleTest : public EditorTest, public ::testing::WithParamInterface<TIconCase> {};

TEST_P(IconRuleTest, TheDiscGetsItsIconByTheIconField) {
    const std::string chosen = ReadFile(VARNITH_SOURCE_DIR "/resources/VarnithGui.ico");
    WriteFile(Pictures / "disc.ico", chosen);
    WriteFile(Root / "root.ico", chosen);
    fs::create_directories(Root / "sub");
    WriteFile(Root / "sub" / "deep.ico", chosen);
    SetRoot(Root);
    FrmMain->LabeledEdit3->SetText(Utf8ToAnsi(GetParam().IconText(Root, Pictures)));
    FrmMain->W1Click(nullptr);

    EXPECT_EQ(ReadFile(Root / "Autorun.inf"), "[autorun]\r\nOPEN=Varnith2.exe\r\nICON=" + GetParam().Icon + "\r\n");
    EXPECT_EQ(Ini("Option", "Icon"), GetParam().SettingsIcon);
    std::set<std::string> icons;
    for (const std::string& name : Entries(Root))
        if (name.ends_with(".ico")) icons.insert(name);
    EXPECT_EQ(icons, GetParam().Copied);
    for (const std::string& name : icons)
        EXPECT_EQ(ReadFile(Root / name), name == "Varnith2.ico" ? kDefaultIconBytes : chosen) << name;
    EXPECT_EQ(ReadFile(Root / "Varnith2.exe"), kLauncherBytes);
}

INSTANTIATE_TEST_SUITE_P(Editor, IconRuleTest, ::testing::Values(
    TIconCase{"Empty", [](auto&, auto&) { return std::string(); },
              "Varnith2.ico", "", {"root.ico", "Varnith2.ico"}},
    TIconCase{"MissingFile", [](auto&, auto& p) { return (p / "gone.ico").string(); },
              "Varnith2.ico", "gone.ico", {"root.ico", "Varnith2.ico"}},
    TIconCase{"Folder", [](auto&, auto& p) { return p.string(); },
              "Varnith2.ico", "pictures", {"root.ico", "Varnith2.ico"}},
    TIconCase{"InTheRoot", [](auto& r, auto&) { return r.string() + "/root.ico"; },
              "root.ico", "root.ico", {"root.ico"}},
    TIconCase{"InTheRootSpeltOtherwise", [](auto& r, auto&) { return r.string() + "/./root.ico"; },
              "root.ico", "root.ico", {"root.ico"}},
    TIconCase{"InASubfolder", [](auto& r, auto&) { return (r / "sub" / "deep.ico").string(); },
              "deep.ico", "deep.ico", {"root.ico", "deep.ico"}},
    TIconCase{"Elsewhere", [](auto&, auto& p) { return (p / "disc.ico").string(); },
              "disc.ico", "disc.ico", {"root.ico", "disc.ico"}}),
    [](const ::testing::TestParamInfo<TIconCase>& info) { return info.param.Name; });

TEST_F(EditorTest, AnElsewhereIconReplacesTheRootsFileOfItsName) {
    WriteFile(Pictures / "disc.ico", ReadFile(VARNITH_SOURCE_DIR "/resources/VarnithGui.ico"));
    WriteFile(Root / "disc.ico", "an old icon");
    WriteFile(Root / "Varnith2.exe", "an old launcher");
    SetRoot(Root);
    FrmMain->LabeledEdit3->SetText(A(Pictures / "disc.ico"));
    FrmMain->W1Click(nullptr);
    EXPECT_EQ(ReadFile(Root / "disc.ico"), ReadFile(Pictures / "disc.ico"));
    EXPECT_EQ(ReadFile(Root / "Varnith2.exe"), kLauncherBytes);
}

TEST_F(EditorTest, ARootThatNamesNoFolderWritesNothingButTheLauncherCopyIsTried) {
    WriteFile(Base / "afile", "a file");
    const struct { std::string Name, RootText; fs::path Copy; } cases[] = {
        {"empty", "", Base / "cwd" / "Varnith2.exe"},
        {"missing folder", (Base / "missing").string(), Base / "missingVarnith2.exe"},
        {"missing folder in a missing parent", (Base / "no" / "such").string() + "/", {}},
        {"a file", (Base / "afile").string(), Base / "afileVarnith2.exe"},
    };
    for (const auto& c : cases) {
        const std::set<std::string> before = Entries(Base);
        FrmMain->LabeledEdit1->SetText(Utf8ToAnsi(c.RootText));
        FrmMain->W1Click(nullptr);
        std::set<std::string> expected = before;
        if (!c.Copy.empty() && c.Copy.parent_path() == Base) expected.insert(c.Copy.filename().string());
        EXPECT_EQ(Entries(Base), expected) << c.Name;
        if (!c.Copy.empty()) {
            EXPECT_EQ(ReadFile(c.Copy), kLauncherBytes) << c.Name;
        }
        EXPECT_EQ(Entries(Base / "cwd").size(), 1u) << c.Name;  // only the empty root's copy
    }
    EXPECT_FALSE(fs::exists(Base / "missing"));
    EXPECT_TRUE(Entries(Root).empty());
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

// What a writer of path killed in the midst of its content left beside it, where the file system
// has no unnamed files: the leftover's name.
std::string LeftByAKilledWriter(const fs::path& path) {
    const std::set<std::string> before = Entries(path.parent_path());
    const int end = testproc::InChild([&] {
        return testproc::WithoutUnnamedFiles() && WriteFileAtomically(path.string(), 0644, nullptr, true, [](int fd) {
            WriteAll(fd, "cut short");
            ::raise(SIGKILL);
            return false;
        });
    });
    EXPECT_EQ(end, 128 + SIGKILL);
    std::set<std::string> left = Entries(path.parent_path());
    for (const std::string& name : before) left.erase(name);
    EXPECT_EQ(left.size(), 1u) << path;
    return left.empty() ? std::string() : *left.begin();
}

// One press of the write button spares the author's own hidden files beside the four files it
// writes, also beside the file that the root's settings file links to in another folder; what
// killed writers left beside them is removed.
TEST_F(EditorTest, TheWriteCommandSparesTheAuthorsOwnFilesBesideItsTargets) {
    const fs::path elsewhere = Base / "elsewhere";
    fs::create_directories(elsewhere);
    WriteFile(elsewhere / "settings.ini", "[KEY]\r\nPNAME=Old\r\n");
    fs::create_symlink(elsewhere / "settings.ini", Root / "Varnith2.ini");
    const fs::path leftovers[] = {elsewhere / LeftByAKilledWriter(elsewhere / "settings.ini"),
                                  Root / LeftByAKilledWriter(Root / "Varnith2.exe")};
    const fs::path authors[] = {
        Root / ".Varnith2.ini.backup", Root / ".Varnith2.ini.aB3xY9",
        elsewhere / ".settings.ini.backup", elsewhere / ".settings.ini.saved1",
        Root / ".Autorun.inf.saved1", Root / ".Autorun.inf.000000",
        Root / ".Varnith2.exe.backup", Root / ".Varnith2.exe.saved2",
        Root / ".Varnith2.ico.backup", Root / ".Varnith2.ico.old123",
    };
    for (const fs::path& file : authors) WriteFile(file, "the author's own " + file.filename().string());
    SetRoot(Root);
    ShowForm();
    MouseClickForTests(FrmMain->BitBtn1, 10, 10);

    EXPECT_TRUE(Dialogs.Boxes.empty());
    EXPECT_TRUE(fs::is_symlink(Root / "Varnith2.ini"));
    EXPECT_EQ(TIniFile(A(elsewhere / "settings.ini")).ReadString("KEY", "PNAME", ""), "Trellan2");
    EXPECT_EQ(ReadFile(Root / "Autorun.inf"), "[autorun]\r\nOPEN=Varnith2.exe\r\nICON=Varnith2.ico\r\n");
    EXPECT_EQ(ReadFile(Root / "Varnith2.exe"), kLauncherBytes);
    EXPECT_EQ(ReadFile(Root / "Varnith2.ico"), kDefaultIconBytes);
    for (const fs::path& file : authors)
        EXPECT_EQ(ReadFile(file), "the author's own " + file.filename().string()) << file << " lost";
    for (const fs::path& leftover : leftovers) EXPECT_FALSE(fs::exists(leftover)) << leftover << " left";
}

TEST_F(EditorTest, AWriteProtectedSettingsFileIsReportedAndEndsTheCommand) {
    const std::string old = "[KEY]\r\nPNAME=Old\r\n";
    WriteFile(Root / "Varnith2.ini", old);
    ::chmod((Root / "Varnith2.ini").c_str(), 0444);
    SetRoot(Root);
    ShowForm();
    MouseClickForTests(FrmMain->BitBtn1, 10, 10);

    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Text, (Root / "Varnith2.ini").string() + " に書き込めません.");
    EXPECT_EQ(Dialogs.Boxes[0].Caption, "Trellan2 GUI 設定");
    EXPECT_EQ(Dialogs.Boxes[0].Flags & MB_ICONSTOP, MB_ICONSTOP);
    EXPECT_EQ(ReadFile(Root / "Varnith2.ini"), old);
    EXPECT_EQ(Entries(Root), std::set<std::string>{"Varnith2.ini"});  // no Autorun.inf, no launcher
    EXPECT_TRUE(FrmMain->Visible());  // the editor goes on
}

}  // namespace
