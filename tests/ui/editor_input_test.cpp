// The settings editor driven as a person drives it: key clicks, mouse clicks and the wheel on the
// toolkit's own widgets, then what the handlers did and what the written settings file holds.
#include <QAbstractSpinBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <cstdlib>
#include <map>

#include "../e2e/fake_xdg_open.h"
#include "editor_fixture.h"
#include "support/widgets.h"
#include "vcl/imagecodecs.h"
#include "vcl/resources.h"

namespace {

using namespace editortest;
using widgettest::ActiveWindowOf;
using widgettest::TModalAnswer;
using widgettest::WidgetOf;

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

TComponent* Find(TComponent* owner, const char* name) {
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (owner->Components(i)->Name == AnsiString(name)) return owner->Components(i);
    return nullptr;
}

class EditorInputTest : public EditorTest {
protected:
    QWidget* Window = nullptr;

    void SetUp() override {
        EditorTest::SetUp();
        Window = ActiveWindowOf(FrmMain);
        SetRoot(Root);
    }
    // Writes the disc root by a click on "設定を書き出す".
    void Write() { QTest::mouseClick(WidgetOf(FrmMain->BitBtn1), Qt::LeftButton); }
    // A click in the middle of a control without a window of its own, on its parent's widget.
    void ClickGraphic(TControl* control) {
        QTest::mouseClick(WidgetOf(control->Parent()), Qt::LeftButton, Qt::NoModifier,
                          QPoint(control->Left() + control->Width() / 2, control->Top() + control->Height() / 2));
    }
    // Replaces an edit's text by typing: select all, delete, then the keys (a Japanese
    // character as the input method commits it).
    static void Type(QWidget* edit, const QString& text) {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        for (QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(edit, QString(c));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(edit, &commit);
            }
        }
    }
};

// ---- the keyboard's order ----

TEST_F(EditorInputTest, TabWalksTheControlsInTheLayoutsOrder) {
    // Every windowed control of the main form in its tab order; Tab stops where marked.
    const struct { const char* Name; bool Stop; } order[] = {
        {"LabeledEdit1", true}, {"Button1", true}, {"GroupBox1", false},
        {"Panel1", false}, {"LabeledEdit2", true}, {"LabeledEdit3", true}, {"Button3", true},
        {"CSpinEdit1", true}, {"Panel2", false}, {"Panel3", false}, {"Panel4", false},
        {"Panel5", false}, {"CheckBox1", true}, {"Panel6", false}, {"RadioButton1", false},
        {"RadioButton2", true}, {"McolPanel", false},
        {"LabeledEdit4", true}, {"Button2", true}, {"BitBtn1", true}, {"BitBtn2", true},
        {"BitBtn3", true}, {"LabeledEdit5", true},
    };
    std::vector<TWinControl*> stops;
    std::map<TWinControl*, int> lastOrder;  // of each parent's child met last
    for (const auto& entry : order) {
        auto* control = dynamic_cast<TWinControl*>(Find(FrmMain, entry.Name));
        ASSERT_NE(control, nullptr) << entry.Name;
        EXPECT_EQ(control->TabStop(), entry.Stop) << entry.Name;
        if (lastOrder.count(control->Parent())) {
            EXPECT_GT(control->TabOrder(), lastOrder[control->Parent()]) << entry.Name;
        }
        lastOrder[control->Parent()] = control->TabOrder();
        if (entry.Stop) stops.push_back(control);
    }
    WidgetOf(stops.front())->setFocus();
    for (std::size_t i = 1; i <= stops.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        TWinControl* expected = stops[i % stops.size()];
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_TRUE(focused == WidgetOf(expected) || WidgetOf(expected)->isAncestorOf(focused))
            << "Tab " << i << " should reach " << AnsiToUtf8(expected->Name);
    }
    // Shift+Tab walks back.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(WidgetOf(stops.back())->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == WidgetOf(stops.back()));
}

// ---- the display time ----

// The spin box's arrow buttons, as the style places them.
QPoint ArrowPoint(QAbstractSpinBox* spin, bool up) {
    QStyleOptionSpinBox option;
    option.initFrom(spin);
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame |
                         QStyle::SC_SpinBoxEditField;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    option.frame = spin->hasFrame();
    return spin->style()
        ->subControlRect(QStyle::CC_SpinBox, &option, up ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown, spin)
        .center();
}

TEST_F(EditorInputTest, TheDisplayTimeShownIsTheOneWritten) {
    auto* spin = qobject_cast<QAbstractSpinBox*>(WidgetOf(FrmMain->CSpinEdit1));
    ASSERT_NE(spin, nullptr);
    QLineEdit* edit = spin->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "3");  // the design value, shown

    auto arrow = [&](bool up) { QTest::mouseClick(spin, Qt::LeftButton, Qt::NoModifier, ArrowPoint(spin, up)); };
    auto key = [&](Qt::Key k) { QTest::keyClick(edit, k); };
    auto wheel = [&](int notches) {
        QWheelEvent event(QPointF(10, 10), spin->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(spin, &event);
    };
    const struct { const char* Typed; std::function<void()> Steps; const char* Shown; } cases[] = {
        {nullptr, [] {}, "3"},
        {"5", [&] { arrow(true); arrow(true); arrow(true); }, "8"},
        {"5", [&] { arrow(false); }, "4"},
        {"10", [&] { key(Qt::Key_Up); key(Qt::Key_Up); key(Qt::Key_Down); }, "11"},
        {"7", [&] { wheel(2); }, "9"},
        {"7", [&] { wheel(-1); }, "6"},
        {"0", [&] { arrow(false); arrow(false); }, "-2"},  // no lower bound
        {"-40", [] {}, "-40"},
        {"2147483646", [&] { arrow(true); arrow(true); }, "2147483647"},  // the 32-bit range
        {"-2147483647", [&] { key(Qt::Key_Down); key(Qt::Key_Down); }, "-2147483648"},
        {"abc", [&] { arrow(true); }, "1"},  // no integer reads 0
        {"", [] {}, "0"},  // read when written: 0, shown
    };
    for (const auto& c : cases) {
        if (c.Typed) Type(edit, Q(c.Typed));
        c.Steps();
        Write();
        EXPECT_EQ(edit->text(), Q(c.Shown)) << c.Typed;
        EXPECT_EQ(FrmMain->CSpinEdit1->Text(), AnsiString(c.Shown)) << c.Typed;
        EXPECT_EQ(Ini("Option", "Timer"), c.Shown) << c.Typed;
    }
}

TEST_F(EditorInputTest, ThePastedAndTheReadBackDisplayTimeIsShown) {
    QLineEdit* edit = WidgetOf(FrmMain->CSpinEdit1)->findChild<QLineEdit*>();
    edit->setFocus();
    edit->selectAll();
    edit->insert("42");  // what a paste puts in
    QTest::keyClick(edit, Qt::Key_Up);
    Write();
    EXPECT_EQ(Ini("Option", "Timer"), "43");

    WriteFile(Root / "Varnith2.ini",
              "[Option]\r\nFrmLTColor=clWhite\r\nFrmLBColor=clWhite\r\nFrmRTColor=clBlue\r\nFrmRBColor=clBlue\r\n"
              "MColor=clBlack\r\nTimer=-5\r\n");
    Dialogs.FileChoices = {(Root / "Varnith2.ini").string()};
    FrmMain->O1Click(nullptr);
    EXPECT_EQ(edit->text(), "-5");
    QTest::keyClick(edit, Qt::Key_Down);
    Write();
    EXPECT_EQ(Ini("Option", "Timer"), "-6");
}

// ---- edits, check box, face buttons, style buttons, swatches, command buttons ----

TEST_F(EditorInputTest, TypedTextReachesTheHandlersAndTheSettingsFile) {
    const fs::path typedRoot = Base / "typed";
    fs::create_directories(typedRoot);
    const fs::path picture = Root / "tiny.bmp";
    WriteFile(picture, TinyBitmap());
    Type(WidgetOf(FrmMain->LabeledEdit1), QString::fromStdString(typedRoot.string() + "/"));
    Type(WidgetOf(FrmMain->LabeledEdit2), Q("ようこそ"));
    EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Caption()), "ようこそ");  // the preview follows each key
    Type(WidgetOf(FrmMain->LabeledEdit3), QString::fromStdString(picture.string()));
    EXPECT_EQ(FrmMain->Image1->Picture()->Width(), 2);
    Type(WidgetOf(FrmMain->LabeledEdit4), Q("doc.txt"));
    Type(WidgetOf(FrmMain->LabeledEdit5), Q("作者 01"));
    Write();
    Root = typedRoot;  // what Ini reads
    EXPECT_EQ(Ini("Option", "Message"), "ようこそ");
    EXPECT_EQ(Ini("Option", "Icon"), "tiny.bmp");
    EXPECT_EQ(Ini("Option", "RunFile"), "doc.txt");
    EXPECT_EQ(Ini("KEY", "User"), "作者 01");
}

TEST_F(EditorInputTest, TheStayOnTopBoxTogglesByClickAndBySpace) {
    QWidget* box = WidgetOf(FrmMain->CheckBox1);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
    EXPECT_TRUE(FrmMain->CheckBox1->Checked());
    Write();
    EXPECT_EQ(Ini("Option", "StayTop"), "YES");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_FALSE(FrmMain->CheckBox1->Checked());
    Write();
    EXPECT_EQ(Ini("Option", "StayTop"), "NO");
}

TEST_F(EditorInputTest, TheFaceButtonsAnswerClicksArrowsAndTab) {
    QWidget* mincho = WidgetOf(FrmMain->RadioButton1);
    QTest::mouseClick(mincho, Qt::LeftButton, Qt::NoModifier, QPoint(6, mincho->height() / 2));
    EXPECT_TRUE(FrmMain->RadioButton1->Checked());
    EXPECT_FALSE(FrmMain->RadioButton2->Checked());
    EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Font()->Name()), "ＭＳ Ｐ明朝");
    Write();
    EXPECT_EQ(Ini("Option", "MFont"), "明朝");

    // Tab now stops at the checked one; an arrow key moves the choice.
    WidgetOf(FrmMain->CheckBox1)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), mincho);
    QTest::keyClick(mincho, Qt::Key_Right);
    EXPECT_TRUE(FrmMain->RadioButton2->Checked());
    EXPECT_EQ(AnsiToUtf8(FrmMain->Label1->Font()->Name()), "ＭＳ Ｐゴシック");
    Write();
    EXPECT_EQ(Ini("Option", "MFont"), "ゴシック");
}

TEST_F(EditorInputTest, TheFaceButtonsHideThePanelCaptionBeneathThem) {
    QWidget* panel = WidgetOf(FrmMain->Panel6);
    const QImage withCaption = panel->grab().toImage();
    FrmMain->Panel6->SetCaption("");
    ProcessEventsForTests();
    EXPECT_EQ(panel->grab().toImage(), withCaption);
    // They are filled with the face colour, as the panel is.
    const TColor face = ColorToRGB(clBtnFace);
    for (TRadioButton* button : {FrmMain->RadioButton1, FrmMain->RadioButton2}) {
        const QImage shown = WidgetOf(button)->grab().toImage();
        EXPECT_EQ(shown.pixel(shown.width() - 1, 0), qRgb(GetRValue(face), GetGValue(face), GetBValue(face)));
    }
}

TEST_F(EditorInputTest, TheStyleButtonsToggleBoldAndItalic) {
    const struct { TSpeedButton* Clicked; TFontStyles Style; const char *Bold, *Italic; } clicks[] = {
        {FrmMain->SpeedButton1, TFontStyles() << fsBold, "1", "0"},
        {FrmMain->SpeedButton2, TFontStyles() << fsBold << fsItalic, "1", "1"},
        {FrmMain->SpeedButton1, TFontStyles() << fsItalic, "0", "1"},
    };
    for (const auto& c : clicks) {
        ClickGraphic(c.Clicked);
        EXPECT_EQ(FrmMain->Label1->Font()->Style(), c.Style);
        Write();
        EXPECT_EQ(Ini("Option", "MBold"), c.Bold);
        EXPECT_EQ(Ini("Option", "MItalic"), c.Italic);
    }
}

TEST_F(EditorInputTest, AClickOnASwatchPicksItsColour) {
    const struct { TPanel* Swatch; const char* Key; } swatches[] = {
        {FrmMain->Panel2, "FrmLTColor"}, {FrmMain->Panel3, "FrmRTColor"}, {FrmMain->Panel4, "FrmLBColor"},
        {FrmMain->Panel5, "FrmRBColor"}, {FrmMain->McolPanel, "MColor"},
    };
    for (const auto& s : swatches) {
        Dialogs.Picks = {clLime};
        QTest::mouseClick(WidgetOf(s.Swatch), Qt::LeftButton);
        EXPECT_EQ(s.Swatch->Color(), clLime) << s.Key;
        Write();
        EXPECT_EQ(Ini("Option", s.Key), "clLime");
    }
    EXPECT_EQ(FrmMain->Label1->Font()->Color(), clLime);
    EXPECT_EQ(FrmMain->VBox1->RectColor()->DownRight(), clLime);
}

TEST_F(EditorInputTest, TheWriteButtonAnswersSpaceAndEnterWhenFocused) {
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        fs::remove(Root / "Varnith2.ini");
        QWidget* button = WidgetOf(FrmMain->BitBtn1);
        button->setFocus();
        QTest::keyClick(button, key);
        EXPECT_TRUE(fs::exists(Root / "Varnith2.ini")) << key;
    }
    // Enter in an edit presses nothing: the main form has no default button.
    fs::remove(Root / "Varnith2.ini");
    WidgetOf(FrmMain->LabeledEdit2)->setFocus();
    QTest::keyClick(WidgetOf(FrmMain->LabeledEdit2), Qt::Key_Return);
    EXPECT_FALSE(fs::exists(Root / "Varnith2.ini"));
}

TEST_F(EditorInputTest, TheTestRunAndExplorerButtonsAndMenuItemsStartTheirPrograms) {
    // The recording opener first on PATH, for the length of the test.
    struct TRecordingOpener {
        std::string SavedPath;
        TRecordingOpener(const fs::path& bin, const fs::path& log) {
            const char* path = std::getenv("PATH");
            SavedPath = path ? path : "";
            fakeopen::Install(bin);
            setenv("PATH", (bin.string() + ":" + SavedPath).c_str(), 1);
            setenv("FAKE_XDG_OPEN_LOG", log.c_str(), 1);
        }
        ~TRecordingOpener() {
            setenv("PATH", SavedPath.c_str(), 1);
            unsetenv("FAKE_XDG_OPEN_LOG");
        }
    };
    const fs::path log = Base / "started.log";
    const TRecordingOpener opener(Base / "bin", log);
    fakeopen::CopyScript(Root / "Varnith2.exe");  // a launcher copy that records its start

    const struct { const char* Name; std::function<void()> Press; std::string Program; std::vector<std::string> Args; } commands[] = {
        {"動作テスト", [&] { QTest::mouseClick(WidgetOf(FrmMain->BitBtn2), Qt::LeftButton); },
         (Root / "Varnith2.exe").string(), {}},
        {"CD-ROMルートを開く", [&] { QTest::mouseClick(WidgetOf(FrmMain->BitBtn3), Qt::LeftButton); },
         "xdg-open", {Root.string() + "/"}},
        {"動作テスト(&R)", [&] {
             QTest::keyClick(Window, Qt::Key_T, Qt::AltModifier);
             QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_R);
         }, (Root / "Varnith2.exe").string(), {}},
        {"CD-ROMのルートフォルダの表示(&V)", [&] {
             QTest::keyClick(Window, Qt::Key_T, Qt::AltModifier);
             QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_V);
         }, "xdg-open", {Root.string() + "/"}},
    };
    std::size_t count = 0;
    for (const auto& c : commands) {
        c.Press();
        const auto records = fakeopen::WaitForRecords(log, ++count);
        ASSERT_EQ(records.size(), count) << c.Name;
        EXPECT_EQ(fs::path(records.back().prog).filename(), fs::path(c.Program).filename()) << c.Name;
        EXPECT_EQ(records.back().args, c.Args) << c.Name;
    }
}

// ---- menus and the About box ----

TEST_F(EditorInputTest, AltAndAMenusLetterOpenIt) {
    QTest::keyClick(Window, Qt::Key_F, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), Q("ファイル(&F)"));
    QTest::keyClick(menu, Qt::Key_W);  // "設定ファイルを書き出す(&W)"
    EXPECT_TRUE(fs::exists(Root / "Varnith2.ini"));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    for (const auto& [letter, title] : {std::pair{Qt::Key_T, "ツール(&T)"}, std::pair{Qt::Key_H, "ヘルプ(&H)"}}) {
        QTest::keyClick(Window, letter, Qt::AltModifier);
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << title;
        EXPECT_EQ(menu->title(), Q(title));
        QTest::keyClick(menu, Qt::Key_Escape);
        QTest::keyClick(menu, Qt::Key_Escape);
    }

    // Alt alone selects the menu bar; the letter then opens its menu.
    ActiveWindowOf(FrmMain);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Alt);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T);
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), Q("ツール(&T)"));
}

TEST_F(EditorInputTest, TheAboutBoxEndsByEnterOrEscape) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QTest::keyClick(Window, Qt::Key_H, Qt::AltModifier);
        QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << key;
        TModalAnswer answer([key](QWidget* window) {
            QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, key);
        });
        QTest::keyClick(menu, Qt::Key_A);  // "バージョン情報(&A)": shows the box, modal
        EXPECT_EQ(answer.Seen, WidgetOf(AboutBox)->window()) << key;
        EXPECT_FALSE(answer.Forced) << key;
        EXPECT_FALSE(AboutBox->Visible()) << key;
        ProcessEventsForTests();
        EXPECT_EQ(QApplication::activeWindow(), Window) << key;  // the keyboard is back
    }
}

// ---- the toolkit's own dialogs ----

TEST_F(EditorInputTest, TheToolkitsDialogsSpeakJapanese) {
    SetDialogs(nullptr);  // the real ones
    const struct { const char* Name; std::function<void()> Open; const char* Prompt; } dialogs[] = {
        {"folder browser", [&] { QTest::mouseClick(WidgetOf(FrmMain->Button1), Qt::LeftButton); },
         "CD-ROMのルートとなるフォルダを選択して下さい。"},
        {"file dialog", [&] { QTest::mouseClick(WidgetOf(FrmMain->Button3), Qt::LeftButton); }, nullptr},
        {"colour dialog", [&] { QTest::mouseClick(WidgetOf(FrmMain->Panel2), Qt::LeftButton); }, nullptr},
    };
    for (const auto& d : dialogs) {
        bool cancelShown = false, promptShown = false;
        TModalAnswer answer([&](QWidget* dialog) {
            for (auto* button : dialog->findChildren<QPushButton*>())
                cancelShown |= button->isVisible() && button->text() == Q("キャンセル");
            if (d.Prompt)
                for (auto* label : dialog->findChildren<QLabel*>())
                    promptShown |= label->isVisible() && label->text() == Q(d.Prompt);
            dialog->close();
        });
        d.Open();
        ASSERT_NE(answer.Seen, nullptr) << d.Name;
        EXPECT_FALSE(answer.Forced) << d.Name;
        EXPECT_TRUE(cancelShown) << d.Name;
        ProcessEventsForTests();
        EXPECT_EQ(QApplication::activeWindow(), Window) << d.Name;
        EXPECT_EQ(promptShown, d.Prompt != nullptr) << d.Name;
    }
    EXPECT_EQ(FrmMain->LabeledEdit1->Text(), A(Root) + "/");  // each one cancelled
}

// ---- messages shown as text ----

// The open-file dialog answered from its queue; the message boxes the toolkit's own.
class TRealMessageBoxes : public TAnsweringDialogs {
public:
    explicit TRealMessageBoxes(TDialogs& real) : FReal(real) {}
    int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) override {
        return FReal.MessageBox(text, caption, flags);
    }

private:
    TDialogs& FReal;
};

// A settings file read back whose texts look like markup: the exception report shows each
// message as it is, with its full stop, and the tags are not taken for formatting.
TEST_F(EditorInputTest, TheExceptionReportShowsMarkupAsText) {
    SetDialogs(nullptr);
    TRealMessageBoxes dialogs(::Dialogs());
    SetDialogs(&dialogs);
    WriteFile(Root / "x.<u>png", "not a picture");
    const std::string colours = "FrmLTColor=clRed\r\nFrmLBColor=clRed\r\nFrmRTColor=clRed\r\nFrmRBColor=clRed\r\n"
                                "MColor=clRed\r\n";
    const struct {
        const char* Name;
        std::string Options;
        const char* Message;
    } cases[] = {
        {"bold", "FrmLTColor=<b>bold</b>", "'<b>bold</b>' は整数ではありません."},
        {"colour", "FrmLTColor=<font color=red>red</font>", "'<font color=red>red</font>' は整数ではありません."},
        {"entity", "FrmLTColor=<i>&amp;</i>", "'<i>&amp;</i>' は整数ではありません."},
        {"ampersand", "FrmLTColor=a&b", "'a&b' は整数ではありません."},
        {"icon", "Icon=x.<u>png\r\n" + colours, "拡張子 .<u>png の画像形式は処理できません."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFile(Root / "Varnith2.ini", Utf8ToAnsi("[Option]\r\n" + c.Options + "\r\n").str());
        dialogs.FileChoices = {(Root / "Varnith2.ini").string()};
        QTest::keyClick(ActiveWindowOf(FrmMain), Qt::Key_F, Qt::AltModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        widgettest::TShownMessage shown;
        TModalAnswer answer([&](QWidget* box) {
            shown = widgettest::ReadMessageBox(box);
            QTest::keyClick(box, Qt::Key_Return);
        });
        QTest::keyClick(menu, Qt::Key_O);  // "設定ファイルを開く(&O)..."
        ASSERT_NE(answer.Seen, nullptr);
        EXPECT_FALSE(answer.Forced);
        widgettest::ExpectExceptionReport(shown, c.Message, "Trellan2 GUI 設定");
        EXPECT_TRUE(dialogs.FileChoices.empty());  // the command did run
    }
}

// ---- the program icon ----

TEST_F(EditorInputTest, TheWindowShowsTheProgramIcon) {
    std::size_t size = 0;
    const unsigned char* data = FindResourceData("MAINICON", size);
    ASSERT_NE(data, nullptr);
    const TDecodedImage icon = DecodeIcon(std::span<const std::uint8_t>(data, size));
    const QImage shown = Window->windowIcon().pixmap(icon.Width, icon.Height).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shown.width(), icon.Width);
    for (int y = 0; y < icon.Height; ++y)
        for (int x = 0; x < icon.Width; ++x)
            ASSERT_EQ(shown.pixel(x, y), icon.Pixel(x, y)) << x << "," << y;
}

}  // namespace
