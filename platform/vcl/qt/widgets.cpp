// The widgets behind windowed controls: made once, given the control's geometry and visibility,
// painted from the control's off-screen rendering 1:1, their events handed to the control.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QTranslator>

#include <algorithm>
#include <cstring>

#include "rtl/sysutils.h"
#include "vcl/forms.h"
#include "vcl/imagecodecs.h"
#include "vcl/loop.h"
#include "vcl/qt/glue.h"
#include "vcl/resources.h"
#include "vcl/testing.h"

namespace {

TShiftState ShiftOf(const QMouseEvent* e) {
    TShiftState s;
    const Qt::KeyboardModifiers m = e->modifiers();
    if (m & Qt::ShiftModifier) s << ssShift;
    if (m & Qt::ControlModifier) s << ssCtrl;
    if (m & Qt::AltModifier) s << ssAlt;
    const Qt::MouseButtons b = e->buttons();
    if (b & Qt::LeftButton) s << ssLeft;
    if (b & Qt::RightButton) s << ssRight;
    if (b & Qt::MiddleButton) s << ssMiddle;
    return s;
}

TMouseButton ButtonOf(const QMouseEvent* e) {
    switch (e->button()) {
        case Qt::RightButton: return mbRight;
        case Qt::MiddleButton: return mbMiddle;
        default: return mbLeft;
    }
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// The toolkit's own dialogs (file, colour, folder, message boxes) speak Japanese, as the rest of
// the program does, whatever the user's locale: their texts, and the numbers, dates and file
// type names that they show.
void InstallJapaneseTranslations(QApplication* app) {
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    auto* translator = new QTranslator(app);
    if (translator->load(japanese, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

// Every window of the program shows the program icon (the resource "MAINICON").
void SetProgramIcon(QApplication* app) {
    std::size_t size = 0;
    const unsigned char* data = FindResourceData("MAINICON", size);
    if (!data) return;
    try {
        const TDecodedImage icon = DecodeIcon(std::span<const std::uint8_t>(data, size));
        const QImage image(reinterpret_cast<const uchar*>(icon.Pixels.data()), icon.Width, icon.Height,
                           icon.Width * 4, QImage::Format_ARGB32);  // 0xAARRGGBB words
        app->setWindowIcon(QIcon(QPixmap::fromImage(image)));
    } catch (const Exception&) {
        // A damaged icon leaves the desktop's own.
    }
}

// The toolkit's own style with one habit of the Windows menu bar: Alt pressed and released alone
// selects the menu bar, so that a menu's letter then opens it (as Alt with the letter does).
class TProgramStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

}  // namespace

QApplication* EnsureGuiApplication() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return app;
    if (QCoreApplication::instance())
        throw Exception("The toolkit's application object cannot show windows");
    static int argc = 1;
    static char name[] = "varnith";
    static char* argv[] = {name, nullptr};
    auto* app = new QApplication(argc, argv);
    QApplication::setStyle(new TProgramStyle);
    InstallJapaneseTranslations(app);
    SetProgramIcon(app);
    return app;
}

QString PlainWindowTitle(const QString& title) { return QString(title).replace("[*]", "[*][*]"); }

QImage WrapBitmap(TBitmap* bitmap) {
    if (bitmap->Empty()) return QImage();
    const int stride = (bitmap->Width() * 3 + 3) & ~3;
    return QImage(static_cast<uchar*>(bitmap->ScanLine(0)), bitmap->Width(), bitmap->Height(),
                  stride, QImage::Format_BGR888);
}

// ---- events ----

void TWidgetGlue::Paint(TWinControl* control, QWidget* widget) {
    if (!control->FPaintBuffer) control->FPaintBuffer = std::make_unique<TBitmap>();
    control->PaintTo(control->FPaintBuffer.get());
    control->FInvalid = TRect();
    QPainter painter(widget);
    painter.drawImage(0, 0, WrapBitmap(control->FPaintBuffer.get()));
}

void TWidgetGlue::Resized(TWinControl* control, int width, int height) {
    if (width == control->ClientWidth() && height == control->ClientHeight()) return;
    control->FFromWidget = true;
    try {
        control->SetBounds(control->Left(), control->Top(),
                           control->Width() - control->ClientWidth() + width,
                           control->Height() - control->ClientHeight() + height);
    } catch (...) {
        control->FFromWidget = false;
        throw;
    }
    control->FFromWidget = false;
}

void TWidgetGlue::MousePress(TWinControl* control, QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    TControl* target = control->ControlAtPos(p.x(), p.y());
    control->FMouseControl = target;
    if (target)
        target->MouseDown(ButtonOf(e), ShiftOf(e), p.x() - target->Left(), p.y() - target->Top());
    else
        control->MouseDown(ButtonOf(e), ShiftOf(e), p.x(), p.y());
}

void TWidgetGlue::MouseMove(TWinControl* control, QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    TControl* target = control->FMouseControl ? control->FMouseControl
                                              : control->ControlAtPos(p.x(), p.y());
    if (target)
        target->MouseMove(ShiftOf(e), p.x() - target->Left(), p.y() - target->Top());
    else
        control->MouseMove(ShiftOf(e), p.x(), p.y());
}

void TWidgetGlue::MouseRelease(TWinControl* control, QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    TControl* target = control->FMouseControl ? control->FMouseControl : control;
    control->FMouseControl = nullptr;
    const int x = target == control ? p.x() : p.x() - target->Left();
    const int y = target == control ? p.y() : p.y() - target->Top();
    target->MouseUp(ButtonOf(e), ShiftOf(e), x, y);
    if (e->button() == Qt::LeftButton && x >= 0 && y >= 0 && x < target->ClientWidth() &&
        y < target->ClientHeight())
        target->Click();
}

void TWidgetGlue::Report(std::exception_ptr error) { HandleLoopException(error); }

// ---- the windowed control's widget ----

TNativeWindow* TWinControl::CreateWidget(TNativeWindow* parent) {
    EnsureGuiApplication();
    auto* w = new TControlWidget<QWidget>(this, QtWidget(parent));
    w->setAttribute(Qt::WA_OpaquePaintEvent);
    return NativeWindow(w);
}


void TWinControl::WidgetSetGeometry() {
    QWidget* w = QtWidget(FWidget);
    if (TFormWindow* window = FormWindowOf(w)) {
        window->SetClientGeometry(Left(), Top(), std::max(ClientWidth(), 0),
                                  std::max(ClientHeight(), 0));
    } else if (w->isWindow()) {
        w->move(Left(), Top());
        w->resize(std::max(ClientWidth(), 0), std::max(ClientHeight(), 0));
    } else {
        w->setGeometry(Left(), Top(), std::max(Width(), 0), std::max(Height(), 0));
    }
}

void TWinControl::WidgetSetVisible() {
    QWidget* w = QtWidget(FWidget);
    TFormWindow* window = FormWindowOf(w);
    if (window) w = window;
    if (w->isHidden() != Visible()) return;
    w->setVisible(Visible());
    // A form that appears takes the keyboard, as a new window does on Windows.
    if (window && Visible()) window->activateWindow();
}

void TWinControl::WidgetSetTabChain(const std::vector<TWinControl*>& chain) {
    std::vector<QPointer<QWidget>> stops;
    for (TWinControl* control : chain) {
        if (!control->FWidget) return;  // the rest of the window is still being made
        QWidget* w = QtWidget(control->FWidget);
        // A control that Tab passes by still takes the focus when clicked; one that never takes
        // the focus (a panel) stays so.
        const Qt::FocusPolicy policy = w->focusPolicy();
        if (control->TabStop()) {
            w->setFocusPolicy(policy == Qt::WheelFocus ? Qt::WheelFocus : Qt::StrongFocus);
            stops.emplace_back(w);
        } else if (policy != Qt::NoFocus) {
            w->setFocusPolicy(Qt::ClickFocus);
        }
    }
    if (TFormWindow* window = FormWindowOf(QtWidget(FWidget))) window->SetTabStops(std::move(stops));
}

void TWinControl::WidgetUpdate(const TRect& rect) { QtWidget(FWidget)->update(ToQRect(rect)); }

void TWinControl::WidgetRepaint(const TRect& rect) { QtWidget(FWidget)->repaint(ToQRect(rect)); }

void TWinControl::WidgetDestroy() {
    QWidget* w = QtWidget(FWidget);
    if (auto* link = dynamic_cast<TControlLink*>(w)) link->Detach();
    if (TFormWindow* window = FormWindowOf(w)) {
        window->Detach();
        w = window;
    }
    delete w;
}

// ---- tests ----

void InitVclForTests() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    EnsureGuiApplication();
}

void ProcessEventsForTests() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void MouseClickForTests(TWinControl* control, int x, int y) {
    QWidget* w = QtWidget(control->Widget());
    const QPointF at(x, y), global = w->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

void GrabWindow(TWinControl* control, TBitmap* bitmap) {
    QWidget* w = QtWidget(control->Widget());
    const QImage image = w->grab().toImage().convertToFormat(QImage::Format_BGR888);
    bitmap->SetSize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(bitmap->ScanLine(y), image.constScanLine(y),
                    static_cast<std::size_t>(image.width()) * 3);
}
