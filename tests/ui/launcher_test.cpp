// The launcher's splash form run in-process on the virtual clock: its states from built to
// closed, the reading of its settings file value by value, and the timed launch.
#include <gtest/gtest.h>

#include <QTest>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launcher_fixture.h"
#include "support/pictures.h"
#include "support/pipe.h"
#include "support/widgets.h"

namespace launchertest {
namespace {

const char* const kBuiltInMessage = "Trellan 2  異常終了します・・・";
constexpr std::uint64_t kMonth = 30ull * 24 * 3600 * 1000;

// Everything that the settings can change, as the form resource builds it.
void ExpectBuiltIn() {
    EXPECT_EQ(U(Form1->Label1->Caption()), kBuiltInMessage);
    EXPECT_EQ(U(Form1->Label4->Caption()), "");
    EXPECT_EQ(Form1->FormStyle(), fsNormal);
    EXPECT_TRUE(Form1->Image1->Visible());
    EXPECT_EQ(Form1->Image1->Width(), 32);
    TRectColor* corners = Form1->VBox1->RectColor();
    EXPECT_EQ(corners->UpLeft(), clWhite);
    EXPECT_EQ(corners->UpRight(), clBlue);
    EXPECT_EQ(corners->DownLeft(), clWhite);
    EXPECT_EQ(corners->DownRight(), clBlue);
    TFont* font = Form1->Label1->Font();
    EXPECT_EQ(font->Color(), clWindowText);
    EXPECT_TRUE(font->Style().Empty());
    EXPECT_EQ(U(font->Name()), "ＭＳ Ｐゴシック");
    EXPECT_TRUE(Form1->Timer1->Enabled());
    EXPECT_EQ(Form1->Timer1->Interval(), 10000u);
    EXPECT_FALSE(Form1->Timer2->Enabled());
    EXPECT_EQ(Form1->Timer2->Interval(), 100u);
}

// The colours a graphic shows, drawn at its own size.
std::vector<TColor> PixelsOf(TGraphic* graphic) {
    TBitmap b;
    b.SetSize(graphic->Width(), graphic->Height());
    b.Canvas()->Draw(0, 0, graphic);
    std::vector<TColor> pixels;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) pixels.push_back(b.Canvas()->Pixels(x, y));
    return pixels;
}

// An icon file of one 16 x 16 image, opaque red, at 32 bits per pixel.
std::string SmallRedIcon() {
    std::string f;
    auto u16 = [&](unsigned v) { f += char(v & 0xFF); f += char(v >> 8); };
    auto u32 = [&](unsigned v) { u16(v & 0xFFFF); u16(v >> 16); };
    const unsigned size = 40 + 16 * 16 * 4 + 16 * 4;
    u16(0); u16(1); u16(1);                                   // icon directory, one image
    f += char(16); f += char(16); f += char(0); f += char(0); // 16 x 16, no palette
    u16(1); u16(32); u32(size); u32(22);
    u32(40); u32(16); u32(32); u16(1); u16(32);               // the image: doubled height
    for (int i = 0; i < 6; ++i) u32(0);
    for (int i = 0; i < 16 * 16; ++i) u32(0xFFFF0000);        // alpha, red, green, blue
    f += std::string(16 * 4, '\0');                           // the mask: all shown
    return f;
}

}  // namespace

// ---- From built to closed ----

// The form is built at 0 and set up at 500 (the two are apart here, so that each timer's count
// shows where it starts). It is not the main form here, so closing hides it.
struct TLifecycleCase {
    std::string Name;
    std::optional<TSettings> Settings;
    std::uint32_t SetUpInterval;  // Timer1 after the set-up
    bool Launches;
    std::uint64_t ClosesAt;
};

class Lifecycle : public LauncherTest, public ::testing::WithParamInterface<TLifecycleCase> {};

TEST_P(Lifecycle, TimersRunFromBuiltThroughSetUpAndLaunchToClosed) {
    const TLifecycleCase& c = GetParam();
    if (c.Settings) WriteSettings(*c.Settings);
    Form1 = new TForm1(Application);
    ExpectBuiltIn();

    AdvanceTo(500);
    Form1->AfterConstruction();
    EXPECT_TRUE(Form1->Timer1->Enabled());
    EXPECT_EQ(Form1->Timer1->Interval(), c.SetUpInterval);
    EXPECT_EQ(Form1->Timer2->Enabled(), c.Launches);
    Form1->Show();

    if (c.Launches) {
        AdvanceTo(599);
        EXPECT_EQ(CurrentFolder(), Elsewhere);
        EXPECT_TRUE(Form1->Timer2->Enabled());
        AdvanceTo(600);
        EXPECT_EQ(CurrentFolder(), Root);
        EXPECT_FALSE(Form1->Timer2->Enabled());
        EXPECT_EQ(Opened(1), std::vector<std::string>{(Root / "doc.txt").string()});
    }
    AdvanceTo(c.ClosesAt - 1);
    EXPECT_TRUE(Form1->Visible());
    AdvanceTo(c.ClosesAt);
    EXPECT_FALSE(Form1->Visible());
    if (!c.Launches) {
        EXPECT_EQ(CurrentFolder(), Elsewhere);
        EXPECT_EQ(OpenedBeforeNow(), std::vector<std::string>{});
    }
}

INSTANTIATE_TEST_SUITE_P(Launcher, Lifecycle, ::testing::Values(
    TLifecycleCase{"SetUp", TSettings::Marker().Set("Timer", "1").Set("RunFile", "doc.txt"), 1000, true, 1500},
    TLifecycleCase{"SetUpWithTheBuiltInTime", TSettings::Marker().Set("RunFile", "doc.txt"), 10000, true, 10500},
    TLifecycleCase{"RefusedWithoutFile", std::nullopt, 10000, false, 10000},
    TLifecycleCase{"RefusedByMarker", TSettings::Editor().Set("PNAME", "Trellan1"), 10000, false, 10000},
    TLifecycleCase{"FailedAtAColour", TSettings::Editor().Set("FrmLTColor", "white"), 10000, false, 10000}),
    RowName<TLifecycleCase>);

// As the program runs it: the main form, the message loop, every entry of the editor's file.
TEST_F(LauncherTest, FileAsTheEditorWritesItIsAppliedInFull) {
    fs::copy_file(fs::path(VARNITH_SOURCE_DIR) / "resources/Varnith2.ico", Root / "disc.ico");
    Start(TSettings::Editor().Set("Icon", "disc.ico"));
    EXPECT_TRUE(Boxes.Boxes.empty());
    EXPECT_EQ(Application->MainForm(), Form1);

    EXPECT_EQ(U(Form1->Label4->Caption()), "User ID:tester");
    EXPECT_EQ(Form1->FormStyle(), fsStayOnTop);
    EXPECT_TRUE(Form1->Image1->Visible());
    TPicture expected;
    expected.LoadFromFile(Utf8ToAnsi((Root / "disc.ico").string()));
    EXPECT_EQ(PixelsOf(Form1->Image1->Picture()->Graphic()), PixelsOf(expected.Graphic()));
    TRectColor* corners = Form1->VBox1->RectColor();
    EXPECT_EQ(corners->UpLeft(), clRed);
    EXPECT_EQ(corners->DownLeft(), clLime);
    EXPECT_EQ(corners->UpRight(), clYellow);
    EXPECT_EQ(corners->DownRight(), static_cast<TColor>(0x00123456));
    EXPECT_EQ(U(Form1->Label1->Caption()), "ようこそ");
    TFont* font = Form1->Label1->Font();
    EXPECT_EQ(font->Color(), clMaroon);
    EXPECT_EQ(font->Style(), TFontStyles() << fsBold << fsItalic);
    EXPECT_EQ(U(font->Name()), "ＭＳ Ｐ明朝");
    EXPECT_EQ(font->Height(), -15);
    EXPECT_EQ(font->Charset(), SHIFTJIS_CHARSET);
    EXPECT_EQ(Form1->Timer1->Interval(), 3000u);

    Form1->Show();
    AdvanceTo(100);
    EXPECT_EQ(Opened(1), std::vector<std::string>{(Root / "doc.txt").string()});
    EXPECT_EQ(fakeopen::ReadRecords(OpenLog).at(0).cwd, Root.string());
    EXPECT_EQ(RunUntilClosed(), 3000u);
}

// ---- Colours ----

struct TColourCase {
    std::string Name, Text;
    TColor Colour;
};

class ColourText : public LauncherTest, public ::testing::WithParamInterface<TColourCase> {};

TEST_P(ColourText, IsReadAsItsColour) {
    Start(TSettings::Marker().Set("FrmRTColor", GetParam().Text));
    EXPECT_TRUE(Boxes.Boxes.empty());
    EXPECT_EQ(Form1->VBox1->RectColor()->UpRight(), GetParam().Colour);
    EXPECT_TRUE(Form1->Timer2->Enabled());
}

INSTANTIATE_TEST_SUITE_P(Launcher, ColourText, ::testing::Values(
    TColourCase{"Name", "clWhite", clWhite},
    TColourCase{"NameLowerCase", "clwhite", clWhite},
    TColourCase{"NameUpperCase", "CLWHITE", clWhite},
    TColourCase{"NameMixedCase", "cLrEd", clRed},
    TColourCase{"Decimal", "16777215", clWhite},
    TColourCase{"DecimalRed", "255", clRed},
    TColourCase{"Dollar", "$00FFFFFF", clWhite},
    TColourCase{"DollarShortLowerCase", "$ffffff", clWhite},
    TColourCase{"DollarRed", "$000000FF", clRed},
    TColourCase{"ZeroX", "0x00ffffff", clWhite},
    TColourCase{"ZeroXUpperCaseRed", "0X0000FF", clRed},
    TColourCase{"X", "xFFFFFF", clWhite},
    TColourCase{"XUpperCaseRed", "XFF", clRed},
    TColourCase{"SystemColourValue", "$80000005", clWindow}),
    RowName<TColourCase>);

// ---- Errors while the settings are applied ----

// Every case has the editor's file with one entry spoilt: the report comes before the splash is
// shown, what was read before stays, nothing after it applies, and the built-in count closes.
struct TErrorCase {
    std::string Name, Key, Value, Report;
    bool CornersApplied, MessageApplied;
};

class SettingsError : public LauncherTest, public ::testing::WithParamInterface<TErrorCase> {};

TEST_P(SettingsError, IsReportedBeforeTheSplashAndStopsTheSetUp) {
    const TErrorCase& c = GetParam();
    WriteFile(Root / "pic.png", "not looked at");
    WriteFile(Root / "bad.ico", "no icon");
    testproc::WatchedPipe pipe(Root / "pipe.bmp");
    ASSERT_TRUE(pipe.Made());
    Start(TSettings::Editor().Set(c.Key, c.Value));

    ASSERT_EQ(Boxes.Boxes.size(), 1u);
    const TRecordingDialogs::TBox& box = Boxes.Boxes[0];
    EXPECT_EQ(box.Text, c.Report);
    EXPECT_EQ(box.Caption, "Trellan 2");
    EXPECT_EQ(box.Flags, MB_OK | MB_ICONSTOP);
    EXPECT_FALSE(box.SplashVisible);

    EXPECT_EQ(U(Form1->Label4->Caption()), "User ID:tester");
    EXPECT_EQ(Form1->FormStyle(), fsStayOnTop);
    EXPECT_EQ(Form1->VBox1->RectColor()->UpLeft(), c.CornersApplied ? clRed : clWhite);
    EXPECT_EQ(U(Form1->Label1->Caption()), c.MessageApplied ? "ようこそ" : kBuiltInMessage);
    EXPECT_TRUE(Form1->Label1->Font()->Style().Empty());
    EXPECT_EQ(Form1->Timer1->Interval(), 10000u);
    EXPECT_FALSE(Form1->Timer2->Enabled());

    EXPECT_EQ(Application->MainForm(), Form1);
    EXPECT_EQ(RunUntilClosed(), 10000u);
    EXPECT_EQ(CurrentFolder(), Elsewhere);
    EXPECT_EQ(OpenedBeforeNow(), std::vector<std::string>{});
    EXPECT_FALSE(pipe.WaitedOn());
}

INSTANTIATE_TEST_SUITE_P(Launcher, SettingsError, ::testing::Values(
    TErrorCase{"ColourWord", "FrmLTColor", "white", "'white' は整数ではありません.", false, false},
    TErrorCase{"HashColour", "FrmRBColor", "#FFFFFF", "'#FFFFFF' は整数ではありません.", true, false},
    TErrorCase{"EmptyColour", "MColor", "", "'' は整数ではありません.", true, true},
    TErrorCase{"PngIcon", "Icon", "pic.png", "拡張子 .png の画像形式は処理できません.", false, false},
    TErrorCase{"BrokenIcon", "Icon", "bad.ico", "アイコンイメージが不正です.", false, false},
    TErrorCase{"PipeAsIcon", "Icon", "pipe.bmp", "ビットマップイメージが不正です.", false, false}),
    RowName<TErrorCase>);

// The toolkit's own message box shows the report's text as it is: tags in a colour or in an
// icon's name are not taken for formatting.
TEST_F(LauncherTest, TheExceptionReportShowsMarkupAsText) {
    SetDialogs(nullptr);
    WriteFile(Root / "x.<u>png", "not a picture");
    const struct {
        const char* Key;
        const char* Value;
        const char* Message;
    } cases[] = {
        {"FrmLTColor", "<b>bold</b>", "'<b>bold</b>' は整数ではありません."},
        {"MColor", "<font color=red>red</font>", "'<font color=red>red</font>' は整数ではありません."},
        {"Icon", "x.<u>png", "拡張子 .<u>png の画像形式は処理できません."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Key);
        widgettest::TShownMessage shown;
        widgettest::TModalAnswer answer([&](QWidget* box) {
            shown = widgettest::ReadMessageBox(box);
            QTest::keyClick(box, Qt::Key_Return);
        });
        Start(TSettings::Editor().Set(c.Key, c.Value));
        ASSERT_NE(answer.Seen, nullptr);
        EXPECT_FALSE(answer.Forced);
        widgettest::ExpectExceptionReport(shown, c.Message, "Trellan 2");
        Application->DestroyForms();
        Form1 = nullptr;
    }
}

// ---- Booleans, display time, stay-on-top, icon, face, message, user ----

struct TBoolCase {
    std::string Name;
    std::optional<std::string> Value;
    bool On;
};

class StyleFlags : public LauncherTest, public ::testing::WithParamInterface<TBoolCase> {};

TEST_P(StyleFlags, FollowTheIntegerRules) {
    TSettings s = TSettings::Marker();
    if (GetParam().Value) s.Set("MBold", *GetParam().Value).Set("MItalic", *GetParam().Value);
    Start(s);
    TFontStyles style = Form1->Label1->Font()->Style();
    EXPECT_EQ(style.Contains(fsBold), GetParam().On);
    EXPECT_EQ(style.Contains(fsItalic), GetParam().On);
    EXPECT_FALSE(style.Contains(fsUnderline));
}

INSTANTIATE_TEST_SUITE_P(Launcher, StyleFlags, ::testing::Values(
    TBoolCase{"One", "1", true},
    TBoolCase{"Two", "2", true},
    TBoolCase{"MinusOne", "-1", true},
    TBoolCase{"HexOne", "0x1", true},
    TBoolCase{"Zero", "0", false},
    TBoolCase{"Yes", "yes", false},
    TBoolCase{"Empty", "", false},
    TBoolCase{"Absent", std::nullopt, false}),
    RowName<TBoolCase>);

struct TTimerCase {
    std::string Name;
    std::optional<std::string> Value;
    std::uint32_t Interval;  // 0: never closes
};

class DisplayTime : public LauncherTest, public ::testing::WithParamInterface<TTimerCase> {};

TEST_P(DisplayTime, ClosesTheSplashAfterThatManyMilliseconds) {
    TSettings s = TSettings::Marker();
    if (GetParam().Value) s.Set("Timer", *GetParam().Value);
    Start(s);
    const std::uint32_t interval = GetParam().Interval;
    EXPECT_EQ(Form1->Timer1->Interval(), interval);
    Form1->Show();
    if (interval == 0) {
        AdvanceTo(kMonth);
        EXPECT_FALSE(Application->Terminated());
        return;
    }
    AdvanceTo(interval - 1);
    EXPECT_FALSE(Application->Terminated());
    AdvanceTo(interval);
    EXPECT_TRUE(Application->Terminated());
}

INSTANTIATE_TEST_SUITE_P(Launcher, DisplayTime, ::testing::Values(
    TTimerCase{"Three", "3", 3000},
    TTimerCase{"NoInteger", "abc", 10000},
    TTimerCase{"Hex", "0x10", 16000},
    TTimerCase{"Absent", std::nullopt, 10000},
    TTimerCase{"Zero", "0", 0},
    TTimerCase{"MinusOne", "-1", 4294966296u},
    TTimerCase{"WrapsAround", "4294968", 704}),
    RowName<TTimerCase>);

struct TStayTopCase {
    std::string Name;
    std::optional<std::string> Value;
    TFormStyle Style;
};

class StayTop : public LauncherTest, public ::testing::WithParamInterface<TStayTopCase> {};

TEST_P(StayTop, IsYesInAnyLetterCase) {
    TSettings s = TSettings::Marker();
    if (GetParam().Value) s.Set("StayTop", *GetParam().Value);
    Start(s);
    EXPECT_EQ(Form1->FormStyle(), GetParam().Style);
}

INSTANTIATE_TEST_SUITE_P(Launcher, StayTop, ::testing::Values(
    TStayTopCase{"Yes", "YES", fsStayOnTop},
    TStayTopCase{"LowerCase", "yes", fsStayOnTop},
    TStayTopCase{"Capital", "Yes", fsStayOnTop},
    TStayTopCase{"Y", "Y", fsNormal},
    TStayTopCase{"One", "1", fsNormal},
    TStayTopCase{"True", "TRUE", fsNormal},
    TStayTopCase{"No", "NO", fsNormal},
    TStayTopCase{"Absent", std::nullopt, fsNormal}),
    RowName<TStayTopCase>);

// The disc root holds the program's icon, a smaller one under two names, and a folder whose
// name looks like an icon's. A full path is joined after the launcher's folder all the same.
struct TIconCase {
    std::string Name;
    std::optional<std::string> Value;
    bool Visible;
    int Size;
    std::string ShowsFile;  // the file whose picture the image shows; empty: the built-in one
};

class IconEntry : public LauncherTest, public ::testing::WithParamInterface<TIconCase> {};

TEST_P(IconEntry, LoadsFromTheLaunchersFolderOrHidesTheImage) {
    const TIconCase& c = GetParam();
    fs::copy_file(fs::path(VARNITH_SOURCE_DIR) / "resources/Varnith2.ico", Root / "disc.ico");
    WriteFile(Root / "small.ico", SmallRedIcon());
    WriteFile(Root / "Small.ICO", SmallRedIcon());
    fs::create_directories(Root / "folder.ico");
    TSettings s = TSettings::Marker().Set("Message", "after");
    if (c.Value) s.Set("Icon", *c.Value == "<full path>" ? (Root / "disc.ico").string() : *c.Value);
    Start(s);

    EXPECT_TRUE(Boxes.Boxes.empty());
    EXPECT_EQ(Form1->Image1->Visible(), c.Visible);
    EXPECT_EQ(Form1->Image1->Width(), c.Size);
    EXPECT_EQ(Form1->Image1->Height(), c.Size);
    if (!c.ShowsFile.empty()) {
        TPicture expected;
        expected.LoadFromFile(Utf8ToAnsi((Root / c.ShowsFile).string()));
        EXPECT_EQ(PixelsOf(Form1->Image1->Picture()->Graphic()), PixelsOf(expected.Graphic()));
    }
    // The entries after the icon apply.
    EXPECT_EQ(U(Form1->Label1->Caption()), "after");
    EXPECT_TRUE(Form1->Timer2->Enabled());
}

INSTANTIATE_TEST_SUITE_P(Launcher, IconEntry, ::testing::Values(
    TIconCase{"Empty", "", true, 32, ""},
    TIconCase{"Absent", std::nullopt, true, 32, ""},
    TIconCase{"ProgramIcon", "disc.ico", true, 32, "disc.ico"},
    TIconCase{"SmallIcon", "small.ico", true, 16, "small.ico"},
    TIconCase{"SuffixInUpperCase", "Small.ICO", true, 16, "Small.ICO"},
    TIconCase{"MissingFile", "nothere.ico", false, 32, ""},
    TIconCase{"FullPath", "<full path>", false, 32, ""},
    TIconCase{"Folder", "folder.ico", false, 32, ""}),
    RowName<TIconCase>);

// A metafile as the icon: its words show in the splash, inside the picture.
TEST_F(LauncherTest, AMetafileIconShowsItsText) {
    const TColor ink = static_cast<TColor>(0x00123456);
    const testpictures::ByteVector bytes = testpictures::TextLogo(ink);
    WriteFile(Root / "logo.wmf", std::string(bytes.begin(), bytes.end()));
    Start(TSettings::Marker().Set("Icon", "logo.wmf").Set("FrmLTColor", "clWhite").Set("FrmLBColor", "clWhite")
              .Set("FrmRTColor", "clWhite").Set("FrmRBColor", "clWhite"));
    ASSERT_TRUE(Boxes.Boxes.empty());
    const TRect r = Form1->Image1->BoundsRect();
    EXPECT_EQ(r.Width(), 120);
    TBitmap b;
    Form1->PaintTo(&b);
    const auto [inside, outside] = testpictures::CountColour(b, ink, TRect(r.Left + 4, r.Top + 4, r.Right, r.Bottom));
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
}

struct TFaceCase {
    std::string Name;
    std::optional<std::string> Value;
    std::string Face;
};

class MessageFace : public LauncherTest, public ::testing::WithParamInterface<TFaceCase> {};

TEST_P(MessageFace, IsMinchoOnlyForTheExactWord) {
    TSettings s = TSettings::Marker();
    if (GetParam().Value) s.Set("MFont", *GetParam().Value);
    Start(s);
    TFont* font = Form1->Label1->Font();
    EXPECT_EQ(U(font->Name()), GetParam().Face);
    EXPECT_EQ(font->Height(), -15);
    EXPECT_EQ(font->Charset(), SHIFTJIS_CHARSET);
}

INSTANTIATE_TEST_SUITE_P(Launcher, MessageFace, ::testing::Values(
    TFaceCase{"Mincho", "明朝", "ＭＳ Ｐ明朝"},
    TFaceCase{"Gothic", "ゴシック", "ＭＳ Ｐゴシック"},
    TFaceCase{"FaceName", "ＭＳ Ｐ明朝", "ＭＳ Ｐゴシック"},
    TFaceCase{"Latin", "mincho", "ＭＳ Ｐゴシック"},
    TFaceCase{"Empty", "", "ＭＳ Ｐゴシック"},
    TFaceCase{"Absent", std::nullopt, "ＭＳ Ｐゴシック"}),
    RowName<TFaceCase>);

struct TTextCase {
    std::string Name;
    std::optional<std::string> Value;
    std::string Shown;
};

class MessageText : public LauncherTest, public ::testing::WithParamInterface<TTextCase> {};

TEST_P(MessageText, BecomesTheMessageCaption) {
    TSettings s = TSettings::Marker();
    if (GetParam().Value) s.Set("Message", *GetParam().Value);
    Start(s);
    EXPECT_EQ(U(Form1->Label1->Caption()), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(Launcher, MessageText, ::testing::Values(
    TTextCase{"Absent", std::nullopt, "アプリケーションの起動中です・・・"},
    TTextCase{"Empty", "", ""},
    TTextCase{"Ampersand", "A&B", "A&B"}),
    RowName<TTextCase>);

class UserLine : public LauncherTest, public ::testing::WithParamInterface<TTextCase> {};

TEST_P(UserLine, NamesTheUserOrPersonalUse) {
    TSettings s = TSettings::Marker();
    if (GetParam().Value) s.Set("User", *GetParam().Value);
    Start(s);
    EXPECT_EQ(U(Form1->Label4->Caption()), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(Launcher, UserLine, ::testing::Values(
    TTextCase{"Absent", std::nullopt, "Personal use"},
    TTextCase{"Empty", "", "Personal use"},
    TTextCase{"Named", "abc", "User ID:abc"},
    TTextCase{"Ampersand", "A&B", "User ID:A&B"}),
    RowName<TTextCase>);

// "&" marks the next letter, drawn underlined, and "&&" draws one "&": the message as painted
// equals the same label drawing Plain literally, but for an underline below the letters.
struct TAccelCase {
    std::string Name, Message, Plain;
    bool Underlined;
};

class MessageAccel : public LauncherTest, public ::testing::WithParamInterface<TAccelCase> {};

TEST_P(MessageAccel, PaintsMarksNotAmpersands) {
    const TAccelCase& c = GetParam();
    Start(TSettings::Marker().Set("Message", c.Message));
    TLabel* label = Form1->Label1;
    const TRect r = label->BoundsRect();
    auto paint = [&] {
        TBitmap b;
        Form1->PaintTo(&b);
        std::vector<std::vector<TColor>> rows;
        for (int y = r.Top; y < r.Bottom; ++y) {
            rows.emplace_back();
            for (int x = r.Left; x < r.Right; ++x) rows.back().push_back(b.Canvas()->Pixels(x, y));
        }
        return rows;
    };
    const auto shown = paint();
    label->SetShowAccelChar(false);
    label->SetCaption(Utf8ToAnsi(c.Plain));
    const auto plain = paint();
    label->SetCaption("");
    const auto background = paint();

    int lastInkRow = -1;
    for (int y = 0; y < static_cast<int>(plain.size()); ++y)
        if (plain[y] != background[y]) lastInkRow = y;
    ASSERT_GE(lastInkRow, 0);
    int firstDifferentRow = -1;
    for (int y = 0; y < static_cast<int>(plain.size()) && firstDifferentRow < 0; ++y)
        if (shown[y] != plain[y]) firstDifferentRow = y;
    if (c.Underlined)
        EXPECT_GE(firstDifferentRow, lastInkRow - 1);  // the underline, at most touching the letters
    else
        EXPECT_EQ(firstDifferentRow, -1);
}

INSTANTIATE_TEST_SUITE_P(Launcher, MessageAccel, ::testing::Values(
    TAccelCase{"MarksTheNextLetter", "A&B", "AB", true},
    TAccelCase{"DoubledIsOneAmpersand", "A&&B", "A&B", false}),
    RowName<TAccelCase>);

// ---- Marker entries ----

struct TMarkerCase {
    std::string Name;
    std::optional<TSettings> Settings;
    bool Accepted;
};

class Marker : public LauncherTest, public ::testing::WithParamInterface<TMarkerCase> {};

TEST_P(Marker, IsComparedExactlyAfterTheReadersTrimming) {
    if (GetParam().Settings) WriteSettings(*GetParam().Settings);
    Application->CreateForm(Form1);
    EXPECT_TRUE(Boxes.Boxes.empty());
    if (GetParam().Accepted) {
        EXPECT_EQ(U(Form1->Label4->Caption()), "User ID:tester");
        EXPECT_EQ(U(Form1->Label1->Caption()), "ようこそ");
        EXPECT_EQ(Form1->Timer1->Interval(), 3000u);
        EXPECT_TRUE(Form1->Timer2->Enabled());
    } else {
        ExpectBuiltIn();
    }
}

INSTANTIATE_TEST_SUITE_P(Launcher, Marker, ::testing::Values(
    TMarkerCase{"Exact", TSettings::Editor(), true},
    TMarkerCase{"NameLetterCase", TSettings::Editor().Set("PNAME", "TrelLan2"), false},
    TMarkerCase{"NameOneMore", TSettings::Editor().Set("PNAME", "Trellan2."), false},
    TMarkerCase{"NameInBlanks", TSettings::Editor().Set("PNAME", " Trellan2 "), true},
    TMarkerCase{"NameQuoted", TSettings::Editor().Set("PNAME", "\"Trellan2\""), true},
    TMarkerCase{"NameMissing", TSettings::Editor().Drop("PNAME"), false},
    TMarkerCase{"CopyrightLetterCase", TSettings::Editor().Set("Copyright", "2004,Purune-SHA"), false},
    TMarkerCase{"CopyrightBlankInside", TSettings::Editor().Set("Copyright", "2004, PURUNE-SHA"), false},
    TMarkerCase{"CopyrightMissing", TSettings::Editor().Drop("Copyright"), false},
    TMarkerCase{"VersionMissing", TSettings::Editor().Drop("VER"), true},
    TMarkerCase{"VersionOther", TSettings::Editor().Set("VER", "9.99"), true},
    TMarkerCase{"FurtherEntries", TSettings::Editor().Set("Extra", "1"), true},
    TMarkerCase{"NoFile", std::nullopt, false}),
    RowName<TMarkerCase>);

// ---- The launch ----

// 100 ms after the set-up, from the launcher's folder while the test runs elsewhere.
struct TLaunchCase {
    std::string Name, RunFile;
    std::optional<std::string> Opens;  // relative to the test's base folder
};

class Launch : public LauncherTest, public ::testing::WithParamInterface<TLaunchCase> {};

TEST_P(Launch, OpensFromTheLaunchersFolderAt100Ms) {
    const TLaunchCase& c = GetParam();
    WriteFile(Base / "outside.txt", "");
    fs::create_directories(Root / "sub");
    WriteFile(Root / "sub" / "doc.txt", "");
    const std::string runFile = c.RunFile == "<full path>" ? (Base / "outside.txt").string() : c.RunFile;
    Start(TSettings::Marker().Set("RunFile", runFile));
    Form1->Show();

    AdvanceTo(99);
    EXPECT_EQ(CurrentFolder(), Elsewhere);
    AdvanceTo(100);
    EXPECT_EQ(CurrentFolder(), Root);
    EXPECT_FALSE(Form1->Timer2->Enabled());
    std::vector<std::string> expected;
    if (c.Opens) {
        expected = {(Base / *c.Opens).string()};
        EXPECT_EQ(Opened(1), expected);
        EXPECT_EQ(fakeopen::ReadRecords(OpenLog).at(0).cwd, Root.string());
    }
    AdvanceTo(9999);
    EXPECT_EQ(OpenedBeforeNow(), expected);  // once
    EXPECT_FALSE(Application->Terminated());
    AdvanceTo(10000);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(Boxes.Boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Launcher, Launch, ::testing::Values(
    TLaunchCase{"BesideTheLauncher", "doc.txt", "disc/doc.txt"},
    TLaunchCase{"InASubfolder", "sub/doc.txt", "disc/sub/doc.txt"},
    TLaunchCase{"FullPath", "<full path>", "outside.txt"},
    TLaunchCase{"Empty", "", std::nullopt},
    TLaunchCase{"MissingFile", "nothere.txt", std::nullopt}),
    RowName<TLaunchCase>);

}  // namespace launchertest
