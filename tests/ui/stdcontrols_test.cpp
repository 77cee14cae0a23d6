// The standard and extra controls, menus, modal forms and the dialog seam, as the settings
// editor uses them: handlers run only on a change, from code as from the user.
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rtl/codepage.h"
#include "vcl/buttons.h"
#include "vcl/dialogs.h"
#include "vcl/extctrls.h"
#include "vcl/formloader.h"
#include "vcl/forms.h"
#include "vcl/layouttables.h"
#include "vcl/loop.h"
#include "vcl/menus.h"
#include "vcl/spin.h"
#include "vcl/stdctrls.h"
#include "vcl/testing.h"
#include "support/widgets.h"

namespace {

// A shown form to put controls on; the handlers' calls are counted by sender.
class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitVclForTests();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetClientWidth(300);
        form->SetClientHeight(200);
        form->Show();
        ProcessEventsForTests();
    }
    void TearDown() override { form.reset(); }

    template <class T>
    T* Add(int left, int top, int width, int height, TWinControl* parent = nullptr) {
        auto* c = new T(form.get());
        c->SetParent(parent ? parent : form.get());
        c->SetBounds(left, top, width, height);
        return c;
    }
    TNotifyEvent Count() {
        return [this](TObject* sender) { calls.push_back(sender); };
    }

    std::unique_ptr<TForm> form;
    std::vector<TObject*> calls;
};

TEST_F(ControlsTest, AnEditRunsOnChangeOnlyWhenItsTextChanges) {
    auto* edit = Add<TEdit>(8, 8, 100, 20);
    edit->OnChange = Count();
    struct Step { bool typed; const char* text; std::size_t changes; } steps[] = {
        {false, "", 0},        // the text it holds
        {false, "abc", 1},
        {false, "abc", 1},     // the same again
        {true, "abcd", 2},     // typed
        {true, "abcd", 2},
        {false, "明朝", 3},
        {true, "", 4},
    };
    for (const Step& s : steps) {
        const AnsiString text = Utf8ToAnsi(s.text);
        if (s.typed) TypeTextForTests(edit, text); else edit->SetText(text);
        EXPECT_EQ(edit->Text(), text) << s.text;
        EXPECT_EQ(calls.size(), s.changes) << s.text;
    }
}

TEST_F(ControlsTest, ACheckBoxClicksOnlyOnAChange) {
    auto* box = Add<TCheckBox>(8, 8, 120, 17);
    box->OnClick = Count();
    box->SetChecked(false);
    EXPECT_TRUE(calls.empty());
    box->SetChecked(true);
    EXPECT_EQ(calls.size(), 1u);
    box->SetChecked(true);
    EXPECT_EQ(calls.size(), 1u);
    MouseClickForTests(box, 5, 8);  // the user unchecks it
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(calls.size(), 2u);
    MouseClickForTests(box, 5, 8);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(calls.size(), 3u);
}

TEST_F(ControlsTest, RadioButtonsOfOneParentExcludeEachOther) {
    auto* panel = Add<TPanel>(0, 0, 200, 30);
    auto* mincho = Add<TRadioButton>(4, 4, 60, 17, panel);
    auto* gothic = Add<TRadioButton>(70, 4, 60, 17, panel);
    auto* elsewhere = Add<TRadioButton>(8, 100, 60, 17);  // another parent
    // The handler sees the other button already unchecked.
    std::vector<std::pair<bool, bool>> seen;
    for (TRadioButton* r : {mincho, gothic})
        r->OnClick = [&](TObject*) { seen.push_back({mincho->Checked(), gothic->Checked()}); };
    elsewhere->SetChecked(true);
    gothic->SetChecked(true);
    mincho->SetChecked(true);
    gothic->SetChecked(true);
    gothic->SetChecked(true);   // already checked: nothing
    gothic->SetChecked(false);  // unchecking runs nothing either
    EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{{false, true}, {true, false}, {false, true}}));
    EXPECT_FALSE(mincho->Checked());
    EXPECT_TRUE(elsewhere->Checked());

    seen.clear();
    gothic->SetChecked(true);
    MouseClickForTests(mincho, 5, 8);  // the user picks the other face
    MouseClickForTests(mincho, 5, 8);  // and again: no change
    EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{{false, true}, {true, false}}));
    EXPECT_TRUE(mincho->Checked());
    EXPECT_FALSE(gothic->Checked());
    EXPECT_TRUE(elsewhere->Checked());
}

TEST_F(ControlsTest, AButtonClicksOnceAndGivesItsFormItsModalResult) {
    auto* button = Add<TButton>(8, 8, 75, 25);
    button->SetCaption("&OK");
    button->OnClick = Count();
    MouseClickForTests(button, 10, 10);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(form->ModalResult(), mrNone);
    button->SetModalResult(mrOk);
    button->Click();
    EXPECT_EQ(form->ModalResult(), mrOk);
}

TEST_F(ControlsTest, ALabeledEditKeepsItsLabelThreePixelsAway) {
    struct Case { TLabelPosition position; int left, top, width, height; } cases[] = {
        {lpAbove, 8, 24, 377, 20},
        {lpLeft, 344, 64, 97, 20},
        {lpLeft, 72, 120, 345, 21},
    };
    for (const Case& c : cases) {
        auto* edit = Add<TLabeledEdit>(0, 0, 10, 10);
        edit->SetLabelPosition(c.position);
        edit->EditLabel()->SetCaption(Utf8ToAnsi("メッセージ"));
        edit->SetBounds(c.left, c.top, c.width, c.height);
        TLabel* label = edit->EditLabel();
        EXPECT_EQ(label->Parent(), form.get());
        if (c.position == lpAbove) {
            EXPECT_EQ(label->Left(), c.left);
            EXPECT_EQ(label->Top() + label->Height() + 3, c.top);
        } else {
            EXPECT_EQ(label->Left() + label->Width() + 3, c.left);
            EXPECT_EQ(label->Top(), c.top + (c.height - label->Height()) / 2);
        }
        // A longer caption grows the label away from the edit.
        edit->EditLabel()->SetCaption(Utf8ToAnsi("メッセージの長いラベル"));
        if (c.position == lpLeft) EXPECT_EQ(label->Left() + label->Width() + 3, c.left);
        else EXPECT_EQ(label->Top() + label->Height() + 3, c.top);
    }
}

TEST_F(ControlsTest, APanelPaintsItsColourBevelsAndTakesClicks) {
    auto* panel = Add<TPanel>(10, 10, 40, 20);
    panel->SetColor(clBlue);
    panel->SetBevelOuter(bvLowered);
    panel->SetCaption("");
    panel->OnClick = Count();
    TBitmap b;
    form->PaintTo(&b);
    EXPECT_EQ(b.Canvas()->Pixels(30, 20), clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(10, 10), ColorToRGB(clBtnShadow));     // lowered: dark top left
    EXPECT_EQ(b.Canvas()->Pixels(49, 29), ColorToRGB(clBtnHighlight));  // light bottom right
    EXPECT_EQ(b.Canvas()->Pixels(5, 5), ColorToRGB(clBtnFace));         // the form around it

    // The theme's parent background would hide the colour; it shows only when asked for.
    panel->SetParentBackground(true);
    form->PaintTo(&b);
    EXPECT_EQ(b.Canvas()->Pixels(30, 20), ColorToRGB(clBtnFace));

    MouseClickForTests(panel, 20, 10);
    EXPECT_EQ(calls, std::vector<TObject*>{panel});
}

TEST_F(ControlsTest, ASpinEditReadsItsTextByTheIntegerRules) {
    auto* spin = Add<TCSpinEdit>(8, 8, 41, 21);
    struct Case { const char* text; int value; const char* after; } cases[] = {
        {"3", 3, "3"},
        {"-12", -12, "-12"},
        {"0", 0, "0"},
        {"", 0, "0"},             // no integer: 0, and the text shows it
        {"-", 0, "0"},
        {"abc", 0, "0"},
        {"2147483648", 0, "0"},   // beyond 32 bits
        {"$10", 16, "$10"},       // a hexadecimal integer stays as typed
    };
    for (const Case& c : cases) {
        for (bool typed : {false, true}) {
            if (typed) TypeTextForTests(spin, c.text); else spin->SetText(c.text);
            EXPECT_EQ(spin->Value(), c.value) << c.text;
            EXPECT_EQ(spin->Text(), AnsiString(c.after)) << c.text;
        }
    }
    spin->SetValue(-7);  // no bounds: shown unchanged
    EXPECT_EQ(spin->Text(), AnsiString("-7"));
    spin->SetMinValue(1);
    spin->SetMaxValue(10);
    EXPECT_EQ(spin->Value(), 1);
    spin->SetText("x");
    EXPECT_EQ(spin->Value(), 1);
}

TEST_F(ControlsTest, SpeedButtonsToggleOnClicksButNotFromCode) {
    auto* bold = new TSpeedButton(form.get());
    auto* italic = new TSpeedButton(form.get());
    auto* plain = new TSpeedButton(form.get());
    int x = 0;
    for (TSpeedButton* b : {bold, italic, plain}) {
        b->SetParent(form.get());
        b->SetBounds(x, 0, 23, 22);
        b->OnClick = Count();
        x += 30;
    }
    bold->SetGroupIndex(1);
    bold->SetAllowAllUp(true);
    italic->SetGroupIndex(2);
    italic->SetAllowAllUp(true);

    bold->SetDown(true);
    italic->SetDown(true);
    EXPECT_TRUE(calls.empty());  // setting the state runs no handler
    EXPECT_TRUE(bold->Down() && italic->Down());  // different groups: both down

    struct Click { TSpeedButton* button; bool boldDown, italicDown; } clicks[] = {
        {bold, false, true}, {bold, true, true}, {italic, true, false}, {plain, true, false},
    };
    for (const Click& c : clicks) {
        MouseClickForTests(form.get(), c.button->Left() + 5, 5);
        EXPECT_EQ(calls.back(), c.button);
        EXPECT_EQ(bold->Down(), c.boldDown);
        EXPECT_EQ(italic->Down(), c.italicDown);
    }
    EXPECT_EQ(calls.size(), 4u);
    EXPECT_FALSE(plain->Down());  // a button without a group never stays down

    // One group, not all up: a second button takes the down state; the down one stays down.
    italic->SetGroupIndex(1);
    bold->SetAllowAllUp(false);
    italic->SetAllowAllUp(false);
    italic->SetDown(true);
    EXPECT_FALSE(bold->Down());
    MouseClickForTests(form.get(), italic->Left() + 5, 5);
    EXPECT_TRUE(italic->Down());
}

TEST(Menus, AChosenItemRunsItsHandlerWhileEnabled) {
    InitVclForTests();
    TForm form(nullptr);
    auto* menu = new TMainMenu(&form);
    auto* file = new TMenuItem(&form);
    auto* open = new TMenuItem(&form);
    auto* line = new TMenuItem(&form);
    auto* options = new TMenuItem(&form);
    file->SetCaption(Utf8ToAnsi("ファイル(&F)"));
    open->SetCaption(Utf8ToAnsi("設定ファイルを開く(&O)..."));
    line->SetCaption("-");
    options->SetCaption(Utf8ToAnsi("オプション設定(&O)"));
    options->SetEnabled(false);
    menu->Items()->Add(file);
    for (TMenuItem* item : {open, line, options}) file->Add(item);
    std::vector<TObject*> calls;
    for (TMenuItem* item : {open, options}) item->OnClick = [&](TObject* s) { calls.push_back(s); };
    form.SetMenu(menu);
    form.Show();

    EXPECT_TRUE(ChooseMenuItemForTests(&form, open));
    EXPECT_FALSE(ChooseMenuItemForTests(&form, options));
    options->Click();  // disabled: nothing
    EXPECT_EQ(calls, std::vector<TObject*>{open});
    delete open;  // leaves its parent
    EXPECT_EQ(file->Count(), 2);
}

// Answers the dialogs as a test tells it and records what they were asked.
class TAnsweringDialogs : public TDialogs {
public:
    int MessageBox(const AnsiString& text, const AnsiString&, UINT) override {
        Boxes.push_back(AnsiToUtf8(text));
        return IDOK;
    }
    bool OpenFile(TOpenFileRequest& request) override {
        Asked.push_back(request);
        if (Chosen.IsEmpty()) return false;
        request.FileName = Chosen;
        request.FilterIndex = ChosenFilter;
        return true;
    }
    bool ChooseColor(TColor& color) override {
        OpenedOn = color;
        if (Colour < 0) return false;
        color = Colour;
        return true;
    }
    bool BrowseForFolder(const AnsiString& prompt, const AnsiString& initial, AnsiString& path) override {
        Prompt = prompt;
        Initial = initial;
        if (Folder.IsEmpty()) return false;
        path = Folder;
        return true;
    }

    std::vector<std::string> Boxes;
    std::vector<TOpenFileRequest> Asked;
    AnsiString Chosen;
    int ChosenFilter = 1;
    TColor Colour = -1, OpenedOn = 0;
    AnsiString Prompt, Initial, Folder;
};

class DialogSeam : public ::testing::Test {
protected:
    void SetUp() override { SetDialogs(&dialogs); }
    void TearDown() override { SetDialogs(nullptr); }
    TAnsweringDialogs dialogs;
};

// Controls whose handlers raise, on a form of a program whose exception report is in force.
class HandlerErrors : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        SetDialogs(&dialogs);
        Application->Initialize();
    }
    void TearDown() override {
        SetDialogs(nullptr);
        ControlsTest::TearDown();
    }
    TNotifyEvent Raise() {
        return [this](TObject* sender) {
            calls.push_back(sender);
            throw Exception("bad");
        };
    }
    TAnsweringDialogs dialogs;
};

// What a control's own notification sets off (its text changed, typed or set from code) runs as
// the window's message handling runs it: the exception report shows the error and the change
// stays, and the code that set the text goes on. A check box that code checks runs its click
// directly, so the error leaves the setter to that code.
TEST_F(HandlerErrors, AChangeOfTextIsReportedWhereverItComesFromAndAClickFromCodeIsNot) {
    auto* edit = Add<TEdit>(8, 8, 100, 20);
    auto* spin = Add<TCSpinEdit>(8, 40, 41, 21);
    auto* box = Add<TCheckBox>(8, 70, 120, 17);
    edit->OnChange = Raise();
    spin->OnChange = Raise();
    box->OnClick = Raise();
    const struct {
        const char* What;
        std::function<void()> Act;
        std::function<AnsiString()> Now;
        const char* After;
        bool LeavesTheCaller;
    } cases[] = {
        {"typed into the edit", [&] { QTest::keyClicks(widgettest::WidgetOf(edit), "7"); },
         [&] { return edit->Text(); }, "7", false},
        {"the edit's text set", [&] { edit->SetText("8"); }, [&] { return edit->Text(); }, "8", false},
        {"the spin edit stepped by Up", [&] { QTest::keyClick(widgettest::WidgetOf(spin), Qt::Key_Up); },
         [&] { return spin->Text(); }, "1", false},
        {"the spin edit's value set", [&] { spin->SetValue(5); }, [&] { return spin->Text(); }, "5", false},
        {"the check box clicked", [&] { MouseClickForTests(box, 5, 8); },
         [&] { return AnsiString(box->Checked() ? "on" : "off"); }, "on", false},
        {"the check box unchecked from code", [&] { box->SetChecked(false); },
         [&] { return AnsiString(box->Checked() ? "on" : "off"); }, "off", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        calls.clear();
        dialogs.Boxes.clear();
        bool left = false;
        try {
            c.Act();
        } catch (const Exception&) {
            left = true;
        }
        EXPECT_EQ(calls.size(), 1u);
        EXPECT_EQ(left, c.LeavesTheCaller);
        EXPECT_EQ(dialogs.Boxes, c.LeavesTheCaller ? std::vector<std::string>{} : std::vector<std::string>{"bad."});
        EXPECT_EQ(c.Now(), AnsiString(c.After));
    }
}

TEST_F(DialogSeam, TheOpenDialogKeepsWhatItWasSetToFromOneUseToTheNext) {
    TOpenDialog dialog(nullptr);
    dialog.Filter = "HTML (*.htm)|*.htm;*.html|All (*.*)|*.*";
    dialog.InitialDir = "/disc/";
    dialog.FileName = "/disc/index.htm";
    EXPECT_FALSE(dialog.Execute());  // cancelled: nothing changes
    EXPECT_EQ(dialog.FileName, AnsiString("/disc/index.htm"));
    ASSERT_EQ(dialogs.Asked.size(), 1u);
    EXPECT_EQ(dialogs.Asked[0].Filter, dialog.Filter);
    EXPECT_EQ(dialogs.Asked[0].FilterIndex, 1);
    EXPECT_EQ(dialogs.Asked[0].InitialDir, AnsiString("/disc/"));
    EXPECT_EQ(dialogs.Asked[0].FileName, AnsiString("/disc/index.htm"));

    dialogs.Chosen = "/disc/doc/a.txt";
    dialogs.ChosenFilter = 2;
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, AnsiString("/disc/doc/a.txt"));
    EXPECT_EQ(dialog.FilterIndex, 2);
    dialog.Filter = "ini|Varnith2.ini";  // the next use sets only its filter
    dialog.Execute();
    EXPECT_EQ(dialogs.Asked.back().FileName, AnsiString("/disc/doc/a.txt"));
    EXPECT_EQ(dialogs.Asked.back().FilterIndex, 2);
    EXPECT_EQ(dialogs.Asked.back().InitialDir, AnsiString("/disc/"));
}

TEST_F(DialogSeam, TheColourDialogOpensOnItsColourAndKeepsItWhenCancelled) {
    TColorDialog dialog(nullptr);
    dialog.Color = clWhite;
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialogs.OpenedOn, clWhite);
    EXPECT_EQ(dialog.Color, clWhite);
    dialogs.Colour = clBlue;
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Color, clBlue);
}

TEST_F(DialogSeam, TheFolderBrowserStartsOnTheDirectoryAndGivesTheChosenOne) {
    AnsiString dir = "/disc/";
    const AnsiString prompt = Utf8ToAnsi("CD-ROMのルートとなるフォルダを選択して下さい。");
    EXPECT_FALSE(SelectDirectory(prompt, "", dir));
    EXPECT_EQ(dir, AnsiString("/disc/"));
    EXPECT_EQ(dialogs.Prompt, prompt);
    EXPECT_EQ(dialogs.Initial, AnsiString("/disc/"));
    dialogs.Folder = "/media/cd";
    EXPECT_TRUE(SelectDirectory(prompt, "", dir));
    EXPECT_EQ(dir, AnsiString("/media/cd"));
}

TEST(ModalForms, ShowModalEndsWithTheButtonsResultOrCancelWhenClosed) {
    InitVclForTests();
    TForm about(nullptr);
    about.SetBorderStyle(bsDialog);
    about.SetClientWidth(282);
    about.SetClientHeight(123);
    EXPECT_EQ(about.Width(), 282 + 6);
    EXPECT_EQ(about.Height(), 123 + 6 + 19);
    auto* ok = new TBitBtn(&about);
    ok->SetParent(&about);
    ok->SetKind(bkOK);
    EXPECT_EQ(ok->Caption(), AnsiString("OK"));
    EXPECT_EQ(ok->ModalResult(), mrOk);
    EXPECT_TRUE(ok->Default());

    struct Case { const char* answer; TModalResult result; } cases[] = {
        {"ok", mrOk}, {"close", mrCancel}, {"nothing", mrCancel},
    };
    for (const Case& c : cases) {
        bool shown = false;
        SetModalHandlerForTests([&](TForm* f) {
            shown = f->Visible();
            if (std::string(c.answer) == "ok") MouseClickForTests(ok, 10, 10);
            if (std::string(c.answer) == "close") f->Close();
        });
        EXPECT_EQ(about.ShowModal(), c.result) << c.answer;
        EXPECT_TRUE(shown);
        EXPECT_FALSE(about.Visible());
    }
    SetModalHandlerForTests(nullptr);
}

TEST(ModalForms, TheRealModalLoopServesPostedWorkUntilTheResultIsSet) {
    InitVclForTests();
    TForm about(nullptr);
    about.SetBorderStyle(bsDialog);
    about.SetClientWidth(100);
    about.SetClientHeight(50);
    auto* ok = new TBitBtn(&about);
    ok->SetParent(&about);
    ok->SetKind(bkOK);
    bool wasVisible = false;
    MessageLoop().Post([&] {
        wasVisible = about.Visible();
        ok->Click();
    });
    EXPECT_EQ(about.ShowModal(), mrOk);
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(about.Visible());
}

// One layout with every class the editor's forms use, loaded as a form resource would be.
const char* const kLayout = R"(object Form: TForm
  Left = 10
  Top = 20
  Width = 455
  Height = 495
  Caption = 'Trellan2 GUI 設定'
  Color = clBtnFace
  Font.Charset = SHIFTJIS_CHARSET
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Menu = MainMenu1
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 12
  object LabeledEdit1: TLabeledEdit
    Left = 8
    Top = 24
    Width = 377
    Height = 20
    EditLabel.Width = 111
    EditLabel.Height = 12
    EditLabel.Caption = '【 CD-ROMのルート 】'
    TabOrder = 0
  end
  object LabeledEdit5: TLabeledEdit
    Left = 344
    Top = 64
    Width = 97
    Height = 20
    EditLabel.Width = 40
    EditLabel.Height = 12
    EditLabel.Caption = 'User ID'
    LabelPosition = lpLeft
    LabelSpacing = 3
    TabOrder = 1
    OnChange = EditChange
  end
  object Button1: TButton
    Left = 392
    Top = 24
    Width = 49
    Height = 20
    Caption = '参照'
    TabOrder = 2
    OnClick = ButtonClick
  end
  object GroupBox1: TGroupBox
    Left = 8
    Top = 96
    Width = 433
    Height = 297
    Caption = 'Trellan2 表示設定'
    TabOrder = 3
    object Panel6: TPanel
      Left = 97
      Top = 143
      Width = 119
      Height = 25
      BevelOuter = bvLowered
      Caption = 'Panel6'
      TabOrder = 0
      object RadioButton1: TRadioButton
        Left = 4
        Top = 4
        Width = 49
        Height = 17
        Caption = '明朝'
        TabOrder = 0
        OnClick = ButtonClick
      end
      object RadioButton2: TRadioButton
        Left = 52
        Top = 4
        Width = 65
        Height = 17
        Caption = 'ゴシック'
        Checked = True
        TabOrder = 1
        TabStop = True
        OnClick = ButtonClick
      end
    end
    object McolPanel: TPanel
      Left = 220
      Top = 143
      Width = 25
      Height = 25
      BevelWidth = 2
      Caption = '色'
      Color = clBlack
      Font.Color = clWhite
      ParentFont = False
      ParentBackground = False
      TabOrder = 1
      OnClick = ButtonClick
    end
    object SpeedButton1: TSpeedButton
      Left = 248
      Top = 144
      Width = 23
      Height = 22
      AllowAllUp = True
      GroupIndex = 1
      OnClick = ButtonClick
    end
    object CSpinEdit1: TCSpinEdit
      Left = 376
      Top = 144
      Width = 41
      Height = 21
      TabOrder = 2
      Value = 3
    end
    object CheckBox1: TCheckBox
      Left = 80
      Top = 172
      Width = 337
      Height = 17
      Caption = '常に最前面に固定する'
      TabOrder = 3
    end
    object Bevel1: TBevel
      Left = 8
      Top = 280
      Width = 100
      Height = 2
      Shape = bsTopLine
    end
  end
  object BitBtn1: TBitBtn
    Left = 24
    Top = 400
    Width = 153
    Height = 33
    Caption = '設定を書き出す'
    TabOrder = 4
    OnClick = ButtonClick
    Kind = bkOK
  end
  object MainMenu1: TMainMenu
    Left = 8
    Top = 440
    object F1: TMenuItem
      Caption = 'ファイル(&F)'
      object X1: TMenuItem
        Caption = '終了する(&X)'
        OnClick = ButtonClick
      end
    end
  end
  object ColorDialog1: TColorDialog
    Options = [cdAnyColor]
    Left = 40
    Top = 440
  end
  object OpenDialog1: TOpenDialog
    Left = 72
    Top = 440
  end
end
)";

// The layout with one line put in after the line that holds after.
std::string LayoutWith(const std::string& after, const std::string& line) {
    std::string text = kLayout;
    const std::size_t at = text.find('\n', text.find(after)) + 1;
    return text.insert(at, line + "\n");
}

TEST(StandardLayout, EveryClassLoadsWithItsProperties) {
    InitVclForTests();
    TForm form(nullptr);
    TLabeledEdit* userId = nullptr;
    TRadioButton *mincho = nullptr, *gothic = nullptr;
    TPanel* swatch = nullptr;
    TCSpinEdit* spin = nullptr;
    TBitBtn* write = nullptr;
    TMenuItem* exit = nullptr;
    TOpenDialog* open = nullptr;
    int changes = 0, clicks = 0;
    TFormBindings bindings;
    bindings.Fields = {{"LabeledEdit5", Field(userId)}, {"RadioButton1", Field(mincho)},
                       {"RadioButton2", Field(gothic)}, {"McolPanel", Field(swatch)},
                       {"CSpinEdit1", Field(spin)},     {"BitBtn1", Field(write)},
                       {"X1", Field(exit)},             {"OpenDialog1", Field(open)}};
    bindings.Handlers = {{"EditChange", [&](TObject*) { ++changes; }},
                         {"ButtonClick", [&](TObject*) { ++clicks; }}};
    ReadFormLayout(&form, kLayout, FormProperties(), bindings);

    EXPECT_EQ(form.Menu() != nullptr, true);
    EXPECT_EQ(form.ClientWidth(), 455 - 8);
    EXPECT_EQ(form.ClientHeight(), 495 - 8 - 19 - 20);
    EXPECT_GE(form.ClientHeight(), 400 + 33);  // the buttons at the bottom fit
    EXPECT_EQ(userId->EditLabel()->Caption(), AnsiString("User ID"));
    EXPECT_EQ(userId->EditLabel()->Left() + userId->EditLabel()->Width() + 3, 344);
    EXPECT_TRUE(gothic->Checked());
    EXPECT_FALSE(mincho->Checked());
    EXPECT_EQ(clicks, 0);  // the handler is bound after the stored check
    EXPECT_EQ(swatch->Color(), clBlack);
    EXPECT_EQ(swatch->Font()->Color(), clWhite);
    EXPECT_EQ(swatch->BevelWidth(), 2);
    EXPECT_EQ(spin->Value(), 3);
    EXPECT_EQ(write->Caption(), Utf8ToAnsi("設定を書き出す"));
    EXPECT_EQ(write->ModalResult(), mrOk);
    EXPECT_EQ(exit->Parent()->Caption(), Utf8ToAnsi("ファイル(&F)"));
    ASSERT_NE(open, nullptr);

    form.Show();
    ProcessEventsForTests();
    EXPECT_TRUE(ChooseMenuItemForTests(&form, exit));
    TypeTextForTests(userId, "abc");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1);
}

TEST(StandardLayout, UnknownPropertiesAndValuesAreErrors) {
    InitVclForTests();
    const std::pair<const char*, const char*> faults[] = {
        {"object CheckBox1: TCheckBox", "    Chekced = True"},
        {"object Panel6: TPanel", "    BevelOuter = bvSunken"},
        {"object LabeledEdit1: TLabeledEdit", "    EditLabel.Colour = clRed"},
        {"object X1: TMenuItem", "        ShortCut = 16472"},
        {"object CSpinEdit1: TCSpinEdit", "      Value = 'three'"},
        {"object SpeedButton1: TSpeedButton", "      Down = 1"},
    };
    TFormBindings bindings;
    bindings.Handlers = {{"EditChange", [](TObject*) {}}, {"ButtonClick", [](TObject*) {}}};
    for (const auto& [after, line] : faults) {
        TForm form(nullptr);
        EXPECT_THROW(ReadFormLayout(&form, LayoutWith(after, line), FormProperties(), bindings), Exception)
            << line;
    }
    TForm form(nullptr);
    std::string noMenu = kLayout;
    noMenu.replace(noMenu.find("Menu = MainMenu1"), 16, "Menu = MainMenu2");
    EXPECT_THROW(ReadFormLayout(&form, noMenu, FormProperties(), bindings), Exception);
}

}  // namespace
