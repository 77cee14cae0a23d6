// The settings editor driven as a person drives it: key clicks, mouse clicks and the wheel on the
// toolkit's own widgets, then what the handlers did and what the written settings file holds.
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QWheelEvent>

#include "editor_fixture.h"
#include "support/widgets.h"

namespace {

using namespace editortest;
using widgettest::ActiveWindowOf;
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
    // Replaces an edit's text by typing: select all, then the keys.
    static void Type(QWidget* edit, const QString& text) {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
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
    for (const auto& entry : order) {
        auto* control = dynamic_cast<TWinControl*>(Find(FrmMain, entry.Name));
        ASSERT_NE(control, nullptr) << entry.Name;
        EXPECT_EQ(control->TabStop(), entry.Stop) << entry.Name;
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

}  // namespace
