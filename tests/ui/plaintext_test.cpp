// Every text that the class library hands to the toolkit is shown as it is: in a message box, in
// the folder browser's prompt, in a window's title, as a button's, check box's, radio button's or
// menu's caption, in an edit. Tags are no formatting there, and "[*]" is no placeholder.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <functional>
#include <memory>
#include <string>

#include "rtl/codepage.h"
#include "support/widgets.h"
#include "vcl/dialogs.h"
#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/stdctrls.h"
#include "vcl/testing.h"

namespace {

using widgettest::ReadMessageBox;
using widgettest::ShownText;
using widgettest::ShownTitle;
using widgettest::TModalAnswer;
using widgettest::WidgetOf;

std::string U(const QString& text) { return text.toStdString(); }

// What the modal window that show brings up shows, read by read; the window is then closed.
std::string ShownInModal(const std::function<void()>& show, const std::function<std::string(QWidget*)>& read) {
    std::string shown;
    TModalAnswer answer([&](QWidget* window) {
        shown = read(window);
        window->close();
    });
    show();
    EXPECT_NE(answer.Seen, nullptr);
    EXPECT_FALSE(answer.Forced);
    return shown;
}

// The prompt above the folder browser: the dialog's own label, not one of the file view's.
std::string Prompt(QWidget* dialog) {
    std::string shown;
    for (const QLabel* label : dialog->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        shown += U(ShownText(label));
    return shown;
}

// A shown form with the windowed control made on it.
template <class T>
std::unique_ptr<TForm> FormWith(T*& control) {
    auto form = std::make_unique<TForm>(nullptr);
    control = new T(form.get());
    control->SetParent(form.get());
    control->SetBounds(8, 8, 200, 24);
    form->Show();
    ProcessEventsForTests();
    return form;
}

// A form's menu bar with one menu of one item, both captioned text; what read finds in the menu.
std::string InMenu(const AnsiString& text, const std::function<QString(const QMenu*)>& read) {
    TForm form(nullptr);
    auto* menu = new TMainMenu(&form);
    auto* top = new TMenuItem(&form);
    auto* item = new TMenuItem(&form);
    top->SetCaption(text);
    item->SetCaption(text);
    menu->Items()->Add(top);
    top->Add(item);
    form.SetMenu(menu);
    form.Show();
    ProcessEventsForTests();
    const auto* bar = WidgetOf(&form)->window()->findChild<QMenuBar*>();
    const QMenu* shown = bar && !bar->actions().isEmpty() ? bar->actions().first()->menu() : nullptr;
    if (!shown || shown->actions().isEmpty()) return "(no menu)";
    return U(read(shown));
}

TEST(PlainText, EveryTextReachesTheScreenAsItIs) {
    InitVclForTests();
    SetDialogs(nullptr);  // the toolkit's own dialogs
    const struct {
        const char* Name;
        std::function<std::string(const AnsiString&)> Show;  // puts the text in, gives what shows
    } places[] = {
        {"message box text", [](const AnsiString& text) {
             return ShownInModal([&] { Application->MessageBox(text, "Trellan 2", MB_OK | MB_ICONSTOP); },
                                 [](QWidget* box) { return ReadMessageBox(box).Text; });
         }},
        {"message box caption", [](const AnsiString& text) {
             return ShownInModal([&] { Application->MessageBox("message", text, MB_OK); },
                                 [](QWidget* box) { return ReadMessageBox(box).Title; });
         }},
        {"folder browser prompt", [](const AnsiString& text) {
             AnsiString folder;
             return ShownInModal([&] { SelectDirectory(text, "", folder); }, Prompt);
         }},
        {"folder browser title", [](const AnsiString& text) {
             AnsiString folder;
             return ShownInModal([&] { SelectDirectory(text, "", folder); },
                                 [](QWidget* dialog) { return U(ShownTitle(dialog)); });
         }},
        {"open dialog title", [](const AnsiString& text) {
             TOpenDialog dialog(nullptr);
             dialog.Title = text;
             return ShownInModal([&] { dialog.Execute(); },
                                 [](QWidget* window) { return U(ShownTitle(window)); });
         }},
        {"form caption", [](const AnsiString& text) {
             TForm form(nullptr);
             form.SetCaption(text);
             form.Show();
             ProcessEventsForTests();
             return U(ShownTitle(WidgetOf(&form)->window()));
         }},
        {"button caption", [](const AnsiString& text) {
             TButton* button;
             auto form = FormWith(button);
             button->SetCaption(text);
             return U(qobject_cast<QAbstractButton*>(WidgetOf(button))->text());
         }},
        {"check box caption", [](const AnsiString& text) {
             TCheckBox* box;
             auto form = FormWith(box);
             box->SetCaption(text);
             return U(qobject_cast<QAbstractButton*>(WidgetOf(box))->text());
         }},
        {"radio button caption", [](const AnsiString& text) {
             TRadioButton* button;
             auto form = FormWith(button);
             button->SetCaption(text);
             return U(qobject_cast<QAbstractButton*>(WidgetOf(button))->text());
         }},
        {"edit text", [](const AnsiString& text) {
             TEdit* edit;
             auto form = FormWith(edit);
             edit->SetText(text);
             return U(qobject_cast<QLineEdit*>(WidgetOf(edit))->text());
         }},
        {"menu caption", [](const AnsiString& text) { return InMenu(text, [](const QMenu* m) { return m->title(); }); }},
        {"menu item", [](const AnsiString& text) {
             return InMenu(text, [](const QMenu* m) { return m->actions().value(0)->text(); });
         }},
    };
    const std::string texts[] = {
        "<b>bold</b>",
        "<font color=red>red</font> は赤",
        "x.<u>png",
        "未保存[*]の印",
        "<i>[*]</i>[*][*]",
    };
    for (const auto& place : places)
        for (const std::string& text : texts) {
            EXPECT_EQ(place.Show(Utf8ToAnsi(text)), text) << place.Name << ": " << text;
        }
}

}  // namespace
