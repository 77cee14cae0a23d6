// The settings editor's choosers, its commands that start other programs, and the reading of a
// settings file back into the form.
#include <QImage>

#include <cstdlib>
#include <map>

#include "../e2e/fake_xdg_open.h"
#include "editor_fixture.h"

namespace {

using namespace editortest;

const std::string kFileFilter =
    "HTMLファイル(*.htm,*html)|*.htm;*.html|パワーポイントファイル(*.ppt,*.pps)|*.ppt;*.pps|"
    "実行ファイル(*.exe)|*.exe|テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*";

class CommandsTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        const char* path = std::getenv("PATH");
        FSavedPath = path ? path : "";
        Log = Base / "started.log";
        fakeopen::Install(Base / "bin");
        setenv("PATH", ((Base / "bin").string() + ":" + FSavedPath).c_str(), 1);
        setenv("FAKE_XDG_OPEN_LOG", Log.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", FSavedPath.c_str(), 1);
        unsetenv("FAKE_XDG_OPEN_LOG");
        EditorTest::TearDown();
    }
    std::string Root_() { return Root.string() + "/"; }
    std::string Text(TLabeledEdit* edit) { return AnsiToUtf8(edit->Text()); }

    fs::path Log;

private:
    std::string FSavedPath;
};

// ---- the root's folder browser ----

TEST_F(CommandsTest, TheChosenFolderBecomesTheRootWithOneTrailingDelimiter) {
    const struct { std::string Chosen, Root; } cases[] = {
        {"/srv/disc", "/srv/disc/"},
        {"/srv/disc/", "/srv/disc/"},
        {"/", "/"},
        {"/srv/ディスク", "/srv/ディスク/"},
    };
    for (const auto& c : cases) {
        Dialogs.FolderChoices = {Utf8ToAnsi(c.Chosen)};
        FrmMain->Button1Click(FrmMain->Button1);
        EXPECT_EQ(Text(FrmMain->LabeledEdit1), c.Root) << c.Chosen;
    }
    ASSERT_FALSE(Dialogs.Browses.empty());
    EXPECT_EQ(Dialogs.Browses[0].Prompt, "CD-ROMのルートとなるフォルダを選択して下さい。");
}

TEST_F(CommandsTest, TheBrowserOpensOnTheRootOnlyWhenItNamesAFolderAndCancelKeepsIt) {
    const struct { std::string Root, Selected; } cases[] = {
        {Root_(), Root_()},
        {"", ""},
        {(Base / "missing").string() + "/", ""},
    };
    for (const auto& c : cases) {
        FrmMain->LabeledEdit1->SetText(Utf8ToAnsi(c.Root));
        FrmMain->Button1Click(FrmMain->Button1);  // cancelled
        ASSERT_FALSE(Dialogs.Browses.empty());
        EXPECT_EQ(Dialogs.Browses.back().InitialFolder, c.Selected) << c.Root;
        EXPECT_EQ(Text(FrmMain->LabeledEdit1), c.Root);
    }
}

// ---- the file to open ----

TEST_F(CommandsTest, TheFileToOpenIsStoredRelativeToTheRoot) {
    const std::string disc = Root.string();
    const struct { std::string Root, Chosen, Stored; } cases[] = {
        {disc + "/", disc + "/index.htm", "index.htm"},
        {disc + "/", disc + "/doc/a.htm", "doc/a.htm"},
        {disc + "/", Base.string() + "/x.htm", "../x.htm"},
        {disc + "/", Base.string() + "/other/y.htm", "../other/y.htm"},
        {disc, disc + "/index.htm", "disc/index.htm"},  // without its delimiter the root is a file name
        {"", disc + "/index.htm", disc + "/index.htm"},
    };
    for (const auto& c : cases) {
        FrmMain->LabeledEdit1->SetText(Utf8ToAnsi(c.Root));
        Dialogs.FileChoices = {c.Chosen};
        FrmMain->Button2Click(FrmMain->Button2);
        EXPECT_EQ(Text(FrmMain->LabeledEdit4), c.Stored) << c.Root << " " << c.Chosen;
    }
}

TEST_F(CommandsTest, TheFileChooserEntersTheRootAndStaysThereWhenCancelled) {
    SetRoot(Root);
    FrmMain->LabeledEdit4->SetText("doc/a.htm");
    FrmMain->OpenDialog1->FilterIndex = 1;
    FrmMain->Button2Click(FrmMain->Button2);  // cancelled

    ASSERT_EQ(Dialogs.FileRequests.size(), 1u);
    const TOpenFileRequest& request = Dialogs.FileRequests[0];
    EXPECT_EQ(AnsiToUtf8(request.InitialDir), Root_());
    EXPECT_EQ(AnsiToUtf8(request.FileName), Root_() + "doc/a.htm");
    EXPECT_EQ(AnsiToUtf8(request.Filter), kFileFilter);
    EXPECT_EQ(Text(FrmMain->LabeledEdit4), "doc/a.htm");
    EXPECT_EQ(fs::current_path(), Root);
}

TEST_F(CommandsTest, ARootThatCannotBeEnteredLeavesTheCurrentFolder) {
    for (const std::string& root : {std::string(), (Base / "missing").string() + "/"}) {
        FrmMain->LabeledEdit1->SetText(Utf8ToAnsi(root));
        FrmMain->LabeledEdit4->SetText("");
        FrmMain->Button2Click(FrmMain->Button2);
        EXPECT_EQ(fs::current_path(), Base / "cwd") << root;
        EXPECT_EQ(AnsiToUtf8(Dialogs.FileRequests.back().FileName), "") << root;
    }
}

// ---- the icon ----

TEST_F(CommandsTest, TheIconIsStoredAsItsFullPathAndShownInThePreview) {
    WriteFile(Pictures / "disc.bmp", TinyBitmap());
    SetRoot(Root);
    FrmMain->LabeledEdit3->SetText("old.ico");
    Dialogs.FileChoices = {(Pictures / "disc.bmp").string()};
    FrmMain->Button3Click(FrmMain->Button3);

    ASSERT_EQ(Dialogs.FileRequests.size(), 1u);
    EXPECT_EQ(AnsiToUtf8(Dialogs.FileRequests[0].InitialDir), Root_());
    EXPECT_EQ(AnsiToUtf8(Dialogs.FileRequests[0].FileName), "old.ico");  // unaltered
    EXPECT_EQ(AnsiToUtf8(Dialogs.FileRequests[0].Filter), "アイコンファイル(*.ico)|*.ico|全てのファイル(*.*)|*.*");
    EXPECT_EQ(Text(FrmMain->LabeledEdit3), (Pictures / "disc.bmp").string());
    EXPECT_EQ(FrmMain->Image1->Picture()->Width(), 2);

    FrmMain->Button3Click(FrmMain->Button3);  // cancelled
    EXPECT_EQ(Text(FrmMain->LabeledEdit3), (Pictures / "disc.bmp").string());
}

// ---- the commands that start programs ----

TEST_F(CommandsTest, TheTestRunStartsTheRootsLauncherInTheCurrentFolder) {
    SetRoot(Base / "missing");
    FrmMain->N3Click(FrmMain->N3);                     // no such folder: nothing
    fakeopen::CopyScript(Root / "Varnith2.exe");
    FrmMain->LabeledEdit1->SetText(A(Root));           // no delimiter: "discVarnith2.exe"
    FrmMain->N3Click(FrmMain->N3);
    fs::remove(Root / "Varnith2.exe");
    fs::create_directories(Root / "Varnith2.exe" / "x");
    SetRoot(Root / "Varnith2.exe");                    // a folder of that name is no launcher
    FrmMain->N3Click(FrmMain->N3);

    fs::path disc = Base / "second disc";
    fs::create_directories(disc);
    fakeopen::CopyScript(disc / "Varnith2.exe");
    SetRoot(disc);
    FrmMain->N3Click(FrmMain->N3);

    // Every program started is a child of ours: once none is left, all have recorded.
    ASSERT_TRUE(testproc::WaitForNoChildren());
    const auto records = fakeopen::ReadRecords(Log);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].prog, (disc / "Varnith2.exe").string());  // the blank did not split it
    EXPECT_TRUE(records[0].args.empty());
    EXPECT_EQ(records[0].cwd, (Base / "cwd").string());
}

TEST_F(CommandsTest, TheExplorerShowsAnExistingRootPassedUnquoted) {
    FrmMain->LabeledEdit1->SetText("");
    FrmMain->CDROM1Click(FrmMain->CDROM1);             // empty root: nothing
    SetRoot(Base / "missing");
    FrmMain->CDROM1Click(FrmMain->CDROM1);             // no such folder: nothing

    fs::path disc = Base / "my disc";
    fs::create_directories(disc);
    SetRoot(disc);
    FrmMain->CDROM1Click(FrmMain->CDROM1);

    ASSERT_TRUE(testproc::WaitForNoChildren());
    const auto records = fakeopen::ReadRecords(Log);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args, std::vector<std::string>{disc.string() + "/"});
}

TEST_F(CommandsTest, TheHelpCommandOpensTheHelpFileOfTheEditorsFolder) {
    WriteFile(EditorFolder / "Varnith2.hlp", "help\n");
    SetRoot(Root);
    FrmMain->R1Click(FrmMain->R1);

    const auto records = fakeopen::WaitForRecords(Log, 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args, std::vector<std::string>{(EditorFolder / "Varnith2.hlp").string()});
}

TEST_F(CommandsTest, TheHelpCommandWithoutItsFileReportsNothing) {
    FrmMain->R1Click(FrmMain->R1);
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

// ---- reading a settings file back ----

class ReadBackTest : public CommandsTest {
protected:
    // Picks file in the dialog of the open command, chosen from the menu.
    void Open(const fs::path& file) {
        ShowForm();
        Dialogs.FileChoices = {file.string()};
        ASSERT_TRUE(ChooseMenuItemForTests(FrmMain, FrmMain->O1));
    }
    // The settings file in code page 932, as the editor writes it.
    void WriteIni(const fs::path& folder, const std::string& option) {
        WriteFile(folder / "Varnith2.ini", Utf8ToAnsi("[KEY]\r\nUser=u\r\n[Option]\r\n" + option).c_str());
    }
    std::string Colours() {
        return "FrmLTColor=clRed\r\nFrmLBColor=clLime\r\nFrmRTColor=clBtnFace\r\nFrmRBColor=$00123456\r\n"
               "MColor=clwhite\r\n";
    }
};

TEST_F(ReadBackTest, AWrittenDiscReadsBackIntoTheForm) {
    WriteFile(Pictures / "disc.bmp", TinyBitmap());
    SetRoot(Root);
    FrmMain->LabeledEdit5->SetText("user-7");
    FrmMain->CheckBox1->SetChecked(true);
    FrmMain->LabeledEdit3->SetText(A(Pictures / "disc.bmp"));
    FrmMain->LabeledEdit2->SetText("ようこそ"_cp932);
    FrmMain->SpeedButton2->SetDown(true);
    FrmMain->RadioButton1->SetChecked(true);
    FrmMain->LabeledEdit4->SetText("doc/index.htm");
    FrmMain->CSpinEdit1->SetValue(9);
    FrmMain->W1Click(FrmMain->W1);
    Application->DestroyForms();
    Application->CreateForm(FrmMain);
    Application->CreateForm(AboutBox);

    Open(Root / "Varnith2.ini");
    EXPECT_TRUE(Dialogs.Boxes.empty());
    EXPECT_EQ(AnsiToUtf8(Dialogs.FileRequests.at(0).Filter), "設定ファイル(Varnith2.ini)|Varnith2.ini");
    EXPECT_EQ(Text(FrmMain->LabeledEdit1), Root_());
    EXPECT_EQ(Text(FrmMain->LabeledEdit5), "user-7");
    EXPECT_TRUE(FrmMain->CheckBox1->Checked());
    EXPECT_EQ(Text(FrmMain->LabeledEdit3), Root_() + "disc.bmp");  // the copy in the root
    EXPECT_EQ(FrmMain->Image1->Picture()->Width(), 2);
    EXPECT_EQ(Text(FrmMain->LabeledEdit2), "ようこそ");
    EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Caption()), "ようこそ");
    EXPECT_EQ(FrmMain->Label1->Font()->Style(), TFontStyles() << fsItalic);
    EXPECT_TRUE(FrmMain->RadioButton1->Checked());
    EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Font()->Name()), "ＭＳ Ｐ明朝");
    EXPECT_EQ(Text(FrmMain->LabeledEdit4), "doc/index.htm");
    EXPECT_EQ(FrmMain->CSpinEdit1->Value(), 9);
}

TEST_F(ReadBackTest, EveryValueReachesItsSwatchCaptionAndCorner) {
    WriteIni(Root, Colours());
    Open(Root / "other.txt");  // the name picked does not matter: Varnith2.ini of its folder is read
    EXPECT_TRUE(Dialogs.Boxes.empty());
    EXPECT_EQ(Text(FrmMain->LabeledEdit1), Root_());
    const struct { TPanel* Swatch; TColor Color, Corner; } cases[] = {
        {FrmMain->Panel2, clRed, FrmMain->VBox1->RectColor()->UpLeft()},
        {FrmMain->Panel4, clLime, FrmMain->VBox1->RectColor()->DownLeft()},
        {FrmMain->Panel3, clBtnFace, FrmMain->VBox1->RectColor()->UpRight()},
        {FrmMain->Panel5, TColor(0x00123456), FrmMain->VBox1->RectColor()->DownRight()},
        {FrmMain->McolPanel, clWhite, FrmMain->Label1->Font()->Color()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Swatch->Color(), c.Color) << AnsiToUtf8(c.Swatch->Caption());
        EXPECT_EQ(c.Swatch->Font()->Color(), c.Color ^ 0xFFFFFF) << AnsiToUtf8(c.Swatch->Caption());
        EXPECT_EQ(c.Corner, c.Color) << AnsiToUtf8(c.Swatch->Caption());
    }
    // The editor's own defaults for what the file lacks.
    EXPECT_EQ(Text(FrmMain->LabeledEdit2), "");
    EXPECT_EQ(FrmMain->CSpinEdit1->Value(), 0);
    EXPECT_TRUE(FrmMain->RadioButton2->Checked());
    EXPECT_EQ(Text(FrmMain->LabeledEdit3), "");
}

TEST_F(ReadBackTest, EntriesAreTakenByTheEditorsOwnRules) {
    const struct { std::string Entry; std::function<void()> Check; } cases[] = {
        {"StayTop=YES", [] { EXPECT_TRUE(FrmMain->CheckBox1->Checked()); }},
        {"StayTop=yes", [] { EXPECT_FALSE(FrmMain->CheckBox1->Checked()); }},
        {"StayTop=Yes", [] { EXPECT_FALSE(FrmMain->CheckBox1->Checked()); }},
        {"StayTop=NO", [] { EXPECT_FALSE(FrmMain->CheckBox1->Checked()); }},
        {"MFont=明朝", [] { EXPECT_TRUE(FrmMain->RadioButton1->Checked()); }},
        {"MFont=", [] {
             EXPECT_TRUE(FrmMain->RadioButton2->Checked());
             EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Font()->Name()), "ＭＳ Ｐゴシック");
         }},
        {"Timer=abc", [] { EXPECT_EQ(FrmMain->CSpinEdit1->Value(), 0); }},
        {"Timer=-4", [] { EXPECT_EQ(FrmMain->CSpinEdit1->Value(), -4); }},
        {"MBold=7", [] { EXPECT_EQ(FrmMain->Label1->Font()->Style(), TFontStyles() << fsBold); }},
        {"MBold=yes", [] { EXPECT_EQ(FrmMain->Label1->Font()->Style(), TFontStyles()); }},
        {"Icon=/abs/x.ico", [this] { EXPECT_EQ(Text(FrmMain->LabeledEdit3), Root_() + "/abs/x.ico"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Entry);
        // Each reading starts from the other choice, so a value kept by accident shows.
        FrmMain->CheckBox1->SetChecked(true);
        FrmMain->RadioButton1->SetChecked(c.Entry != "MFont=明朝");
        FrmMain->CSpinEdit1->SetValue(5);
        WriteIni(Root, Colours() + c.Entry + "\r\n");
        Open(Root / "Varnith2.ini");
        EXPECT_TRUE(Dialogs.Boxes.empty());
        c.Check();
    }
}

TEST_F(ReadBackTest, AFolderWithoutSettingsStopsAtTheFirstColour) {
    FrmMain->LabeledEdit5->SetText("kept?");
    FrmMain->CheckBox1->SetChecked(true);
    FrmMain->LabeledEdit3->SetText("some.ico");
    Open(Pictures / "Varnith2.ini");

    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Text, "'' は整数ではありません.");
    EXPECT_EQ(Dialogs.Boxes[0].Caption, "Trellan2 GUI 設定");
    EXPECT_EQ(Text(FrmMain->LabeledEdit1), Pictures.string() + "/");
    EXPECT_EQ(Text(FrmMain->LabeledEdit5), "");
    EXPECT_FALSE(FrmMain->CheckBox1->Checked());
    EXPECT_EQ(Text(FrmMain->LabeledEdit3), "");
    // From the first colour on, the design values stay.
    EXPECT_EQ(FrmMain->Panel2->Color(), clWhite);
    EXPECT_EQ(FrmMain->VBox1->RectColor()->UpLeft(), clWhite);
    EXPECT_EQ(AnsiToUtf8(FrmMain->LabeledEdit2->Text()), "アプリケーションを起動します・・・");
    EXPECT_EQ(FrmMain->CSpinEdit1->Value(), 3);
}

TEST_F(ReadBackTest, ABadMessageColourKeepsWhatCameBeforeIt) {
    WriteIni(Root, "FrmLTColor=clRed\r\nFrmLBColor=clRed\r\nFrmRTColor=clRed\r\nFrmRBColor=CLRED\r\n"
                   "Message=hello\r\nMColor=purpleish\r\nMBold=1\r\nMFont=明朝\r\nTimer=8\r\n");
    Open(Root / "Varnith2.ini");

    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Text, "'purpleish' は整数ではありません.");
    EXPECT_EQ(FrmMain->VBox1->RectColor()->DownRight(), clRed);
    EXPECT_EQ(Text(FrmMain->LabeledEdit2), "hello");
    EXPECT_EQ(FrmMain->McolPanel->Color(), clBlack);
    EXPECT_EQ(FrmMain->Label1->Font()->Style(), TFontStyles());
    EXPECT_TRUE(FrmMain->RadioButton2->Checked());
    EXPECT_EQ(FrmMain->CSpinEdit1->Value(), 3);
}

// A root's own settings, each entry as the write command writes it, with an icon that exists
// but is of a kind that the preview refuses; every value differs from the form's design value.
class OwnSettingsTest : public ReadBackTest {
protected:
    struct TEntry { std::string Section, Key, Value; };
    const std::vector<TEntry> Own = {
        {"KEY", "User", "u"}, {"Option", "StayTop", "YES"}, {"Option", "Icon", "y.png"},
        {"Option", "FrmLTColor", "clRed"}, {"Option", "FrmLBColor", "clLime"},
        {"Option", "FrmRTColor", "clYellow"}, {"Option", "FrmRBColor", "$00123456"},
        {"Option", "Message", "ようこそ"}, {"Option", "MColor", "clMaroon"},
        {"Option", "MBold", "1"}, {"Option", "MItalic", "1"}, {"Option", "MFont", "明朝"},
        {"Option", "RunFile", "doc/index.htm"}, {"Option", "Timer", "7"},
    };
    const std::string PictureError = "拡張子 .png の画像形式は処理できません.";

    void SetUp() override {
        ReadBackTest::SetUp();
        ASSERT_TRUE(QImage(2, 2, QImage::Format_RGB32).save(QString::fromStdString((Root / "y.png").string()), "PNG"));
    }
    // The root's settings file: the own entries, with replaced's keys given other values.
    void WriteOwn(const std::map<std::string, std::string>& replaced = {}) {
        std::string option;
        for (const TEntry& e : Own) {
            if (e.Section != "Option") continue;
            const auto other = replaced.find(e.Key);
            option += e.Key + "=" + (other != replaced.end() ? other->second : e.Value) + "\r\n";
        }
        WriteIni(Root, option);
    }
};

TEST_F(OwnSettingsTest, AnIconThePreviewRefusesIsReportedAndTheRestIsReadAndWrittenBack) {
    WriteOwn();
    Open(Root / "Varnith2.ini");
    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Text, PictureError);
    EXPECT_EQ(Dialogs.Boxes[0].Caption, "Trellan2 GUI 設定");
    EXPECT_EQ(Text(FrmMain->LabeledEdit3), Root_() + "y.png");
    EXPECT_EQ(FrmMain->Image1->Picture()->Width(), 32);  // the built-in icon stays
    EXPECT_EQ(FrmMain->VBox1->RectColor()->DownRight(), TColor(0x00123456));
    EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Caption()), "ようこそ");

    MouseClickForTests(FrmMain->BitBtn1, 10, 10);  // "設定を書き出す"
    EXPECT_EQ(Dialogs.Boxes.size(), 1u);
    for (const TEntry& e : Own) EXPECT_EQ(Ini(e.Section, e.Key), e.Value) << e.Key;
}

TEST_F(OwnSettingsTest, ABadColourAfterTheIconStillEndsTheReadingThere) {
    WriteOwn({{"FrmLTColor", "notacolour"}});
    Open(Root / "Varnith2.ini");
    ASSERT_EQ(Dialogs.Boxes.size(), 2u);
    EXPECT_EQ(Dialogs.Boxes[0].Text, PictureError);
    EXPECT_EQ(Dialogs.Boxes[1].Text, "'notacolour' は整数ではありません.");
    // Up to the icon, the file's values; from the bad colour on, the design values.
    EXPECT_EQ(Text(FrmMain->LabeledEdit5), "u");
    EXPECT_TRUE(FrmMain->CheckBox1->Checked());
    EXPECT_EQ(Text(FrmMain->LabeledEdit3), Root_() + "y.png");
    EXPECT_EQ(FrmMain->Panel2->Color(), clWhite);
    EXPECT_EQ(FrmMain->VBox1->RectColor()->UpLeft(), clWhite);
    EXPECT_EQ(FrmMain->Panel5->Color(), clBlue);
    EXPECT_EQ(Text(FrmMain->LabeledEdit2), "アプリケーションを起動します・・・");
    EXPECT_EQ(FrmMain->McolPanel->Color(), clBlack);
    EXPECT_EQ(FrmMain->Label1->Font()->Style(), TFontStyles());
    EXPECT_TRUE(FrmMain->RadioButton2->Checked());
    EXPECT_EQ(Text(FrmMain->LabeledEdit4), "");
    EXPECT_EQ(FrmMain->CSpinEdit1->Value(), 3);
}

TEST_F(ReadBackTest, ACancelledDialogChangesNothing) {
    WriteIni(Root, Colours());
    FrmMain->LabeledEdit1->SetText("before/");
    ShowForm();
    ASSERT_TRUE(ChooseMenuItemForTests(FrmMain, FrmMain->O1));
    EXPECT_EQ(Text(FrmMain->LabeledEdit1), "before/");
    EXPECT_EQ(FrmMain->Panel2->Color(), clWhite);
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

}  // namespace
