// Test support: the toolkit widget behind a windowed control and the top-level window of a form,
// for ui tests that drive them with the toolkit's own test events; the modal window that a
// command shows, answered; and the text that a label or a window title shows a person.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <string>

#include "vcl/forms.h"
#include "vcl/qt/glue.h"

namespace widgettest {

inline QWidget* WidgetOf(TWinControl* control) { return QtWidget(control->Widget()); }

// The form's window (its menu bar and client area), shown and made the active window, as a
// person's click on it would.
inline QWidget* ActiveWindowOf(TForm* form) {
    form->Show();
    QWidget* window = WidgetOf(form)->window();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QApplication::processEvents();
    return window;
}

// Runs answer once the modal window that the next command shows is up; a guard closes a window
// left open, so that a failing test cannot hang.
class TModalAnswer {
public:
    explicit TModalAnswer(std::function<void(QWidget*)> answer) {
        QTimer::singleShot(0, &FContext, [this, answer] {
            Seen = QApplication::activeModalWidget();
            if (Seen) answer(Seen);
        });
        FGuard.setSingleShot(true);
        QObject::connect(&FGuard, &QTimer::timeout, &FContext, [this] {
            if (QWidget* open = QApplication::activeModalWidget()) {
                Forced = true;
                open->close();
            }
        });
        FGuard.start(60000);
    }
    QWidget* Seen = nullptr;
    bool Forced = false;  // the guard had to close it

private:
    QObject FContext;
    QTimer FGuard;
};

// The text a label shows: its text as it is, or what is left of it once taken as markup, where
// the label takes it so (rich text, Markdown, or a guess that finds a tag).
inline QString ShownText(const QLabel* label) {
    const Qt::TextFormat format = label->textFormat();
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(label->text())))
        return label->text();
    QTextDocument document;
    if (format == Qt::MarkdownText)
        document.setMarkdown(label->text());
    else
        document.setHtml(label->text());
    return document.toPlainText();
}

// The title on a shown window's frame: the toolkit drops a "[*]" from what it was given.
inline QString ShownTitle(QWidget* window) {
    return window->windowHandle() ? window->windowHandle()->title() : QString();
}

// What a message box showed a person, read while it is up.
struct TShownMessage {
    std::string Title, Text;  // UTF-8
    Qt::TextFormat Format = Qt::AutoText;  // the box's own, which it gives its text label
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    bool OkOnly = false;
};

inline TShownMessage ReadMessageBox(QWidget* window) {
    TShownMessage shown;
    auto* box = qobject_cast<QMessageBox*>(window);
    if (!box) return shown;
    shown.Title = ShownTitle(box).toStdString();
    shown.Format = box->textFormat();
    shown.Icon = box->icon();
    shown.OkOnly = box->buttons().size() == 1 && box->button(QMessageBox::Ok);
    for (const QLabel* label : box->findChildren<QLabel*>())
        if (label->isVisible() && !label->text().isEmpty()) shown.Text += ShownText(label).toStdString();
    return shown;
}

// The application's exception report as both programs show it: the message as plain text under
// the program's title, a stop icon and OK alone.
inline void ExpectExceptionReport(const TShownMessage& shown, const std::string& text, const std::string& title) {
    EXPECT_EQ(shown.Text, text);
    EXPECT_EQ(shown.Format, Qt::PlainText);
    EXPECT_EQ(shown.Title, title);
    EXPECT_EQ(shown.Icon, QMessageBox::Critical);
    EXPECT_TRUE(shown.OkOnly);
}

}  // namespace widgettest
