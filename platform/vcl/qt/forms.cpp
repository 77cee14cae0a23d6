// The top-level window of a form: title, frame, stacking and centring on the screen.
#include <QApplication>
#include <QScreen>
#include <QWidget>

#include "rtl/codepage.h"
#include "vcl/forms.h"
#include "vcl/qt/glue.h"

namespace formsglue {
void InitializeToolkit() {
    // The message loop ends when the main form closes, not when the toolkit sees no window.
    EnsureGuiApplication()->setQuitOnLastWindowClosed(false);
}
}  // namespace formsglue

TNativeWindow* TForm::CreateWidget(TNativeWindow* parent) {
    formsglue::InitializeToolkit();
    return TWinControl::CreateWidget(nullptr);
}

void TForm::WidgetSetWindowStyle() {
    QWidget* w = QtWidget(Widget());
    w->setWindowTitle(QString::fromStdU16String(AnsiToUtf16(FCaption)));
    Qt::WindowFlags flags = Qt::Window;
    if (FBorderStyle == bsNone) flags |= Qt::FramelessWindowHint;
    if (FFormStyle == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
    if (w->windowFlags() == flags) return;
    bool shown = w->isVisible();
    w->setWindowFlags(flags);  // hides the window, so it is shown again
    if (shown) w->show();
}

void TForm::WidgetCenterOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect area = screen->geometry();
    SetBounds(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2,
              Width(), Height());
}
