// Private to the class library's toolkit glue: the widget of a windowed control, the one
// template that forwards the widget's events to its control, and the application object.
#pragma once

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QWidget>

#include <exception>
#include <utility>
#include <vector>

#include "vcl/controls.h"

class QFont;
class QString;
class QMenuBar;
class TFont;
class TForm;

// The application object that widgets, fonts and text need: the one that exists, or a new one
// made once (and kept to the end of the process). Raises Exception when a non-GUI one exists.
QApplication* EnsureGuiApplication();

// TNativeWindow is the control's QWidget itself.
inline QWidget* QtWidget(TNativeWindow* w) { return reinterpret_cast<QWidget*>(w); }
inline TNativeWindow* NativeWindow(QWidget* w) { return reinterpret_cast<TNativeWindow*>(w); }

// The toolkit font for a class-library font (faces mapped to the installed substitutes).
QFont ToQFont(const TFont& font);
// The labels' text style (no anti-aliasing, full hinting, no kerning) for a Windows face name
// and a font height as TFont takes it (negative: the em height; positive: the cell height).
QFont LabelFont(const QString& face, int height);

// A window title that shows as it is: the toolkit takes "[*]" for the mark of unsaved changes
// and drops it, unless it is doubled.
QString PlainWindowTitle(const QString& title);

// A bitmap's pixels as a QImage sharing the buffer (blue, green, red bytes; padded rows).
QImage WrapBitmap(TBitmap* bitmap);

// What the widget's events do to its control.
class TWidgetGlue {
public:
    static void Paint(TWinControl* control, QWidget* widget);
    static bool PaintsOwnClient(TWinControl* control) { return control->PaintsOwnClient(); }
    static void Resized(TWinControl* control, int width, int height);
    static void MousePress(TWinControl* control, QMouseEvent* event);
    static void MouseMove(TWinControl* control, QMouseEvent* event);
    static void MouseRelease(TWinControl* control, QMouseEvent* event);
    // An exception may not cross the toolkit's event loop: it is reported here.
    static void Report(std::exception_ptr error);
};

// The link from a widget back to its control, cut when the control lets its widget go.
class TControlLink {
public:
    explicit TControlLink(TWinControl* control) : FControl(control) {}
    virtual ~TControlLink() = default;
    void Detach() { FControl = nullptr; }

protected:
    template <typename F>
    void Forward(F&& f) {
        if (!FControl) return;
        try {
            f(FControl);
        } catch (...) {
            TWidgetGlue::Report(std::current_exception());
        }
    }
    TWinControl* FControl;
};

// A toolkit widget class (QWidget, QLineEdit, ...) whose paint, resize and mouse events reach
// the control; the paint is the control's own when it paints its client area.
template <class TQtBase>
class TControlWidget : public TQtBase, public TControlLink {
public:
    template <typename... A>
    explicit TControlWidget(TWinControl* control, A&&... args)
        : TQtBase(std::forward<A>(args)...), TControlLink(control) {}

protected:
    void paintEvent(QPaintEvent* e) override {
        if (FControl && TWidgetGlue::PaintsOwnClient(FControl))
            Forward([this](TWinControl* c) { TWidgetGlue::Paint(c, this); });
        else
            TQtBase::paintEvent(e);
    }
    void resizeEvent(QResizeEvent* e) override {
        TQtBase::resizeEvent(e);
        Forward([e](TWinControl* c) { TWidgetGlue::Resized(c, e->size().width(), e->size().height()); });
    }
    void mousePressEvent(QMouseEvent* e) override {
        TQtBase::mousePressEvent(e);
        Forward([e](TWinControl* c) { TWidgetGlue::MousePress(c, e); });
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        TQtBase::mouseMoveEvent(e);
        Forward([e](TWinControl* c) { TWidgetGlue::MouseMove(c, e); });
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        TQtBase::mouseReleaseEvent(e);
        Forward([e](TWinControl* c) { TWidgetGlue::MouseRelease(c, e); });
    }
};

// A widget that the toolkit draws and whose mouse events stay with the toolkit: its clicks,
// toggles and typing come back to the control through the widget's signals.
template <class TQtBase>
class TToolkitWidget : public TControlWidget<TQtBase> {
public:
    using TControlWidget<TQtBase>::TControlWidget;

protected:
    void mousePressEvent(QMouseEvent* e) override { TQtBase::mousePressEvent(e); }
    void mouseMoveEvent(QMouseEvent* e) override { TQtBase::mouseMoveEvent(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { TQtBase::mouseReleaseEvent(e); }
};

// For the length of a modal window's showing: the window that was active before (or else the
// main form's) gets the activation back when it ends, as a desktop without a window manager
// would leave the keyboard's focus nowhere.
class TActiveWindowKeeper {
public:
    TActiveWindowKeeper();
    ~TActiveWindowKeeper();
    TActiveWindowKeeper(const TActiveWindowKeeper&) = delete;
    TActiveWindowKeeper& operator=(const TActiveWindowKeeper&) = delete;

private:
    QPointer<QWidget> FWindow;
};

// Runs f for a toolkit signal; an exception is reported, as it may not cross the event loop.
template <typename F>
void Guarded(F&& f) {
    try {
        f();
    } catch (...) {
        TWidgetGlue::Report(std::current_exception());
    }
}

// The top-level window of a form: its menu bar (if any) at the top and the form's client widget
// below it. The form's geometry is the client's; the window grows by the menu bar.
class TFormWindow : public QWidget {
public:
    explicit TFormWindow(TForm* form);
    void Detach() { FForm = nullptr; }
    void SetClientGeometry(int left, int top, int width, int height);
    // A window that is not sizeable keeps the size the form gives it.
    void SetSizeable(bool value);
    // The menu bar's height (0 without one).
    int MenuHeight() const;
    QMenuBar* MenuBar() const { return FMenuBar; }
    void SetMenuBar(QMenuBar* bar);
    QWidget* Client() const { return FClient; }
    void SetClient(QWidget* client) { FClient = client; }
    // The widgets that Tab stops at, in the form's tab order.
    void SetTabStops(std::vector<QPointer<QWidget>> stops) { FTabStops = std::move(stops); }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    // Tab and Shift+Tab walk the form's tab stops, not the order the widgets were made in.
    bool focusNextPrevChild(bool next) override;
    // Enter presses the default button (or the push button that has the focus), Escape the
    // cancel button.
    void keyPressEvent(QKeyEvent* e) override;

private:
    void PlaceChildren(int width, int height);

    TForm* FForm;
    QWidget* FClient = nullptr;
    QMenuBar* FMenuBar = nullptr;
    bool FSizeable = true;
    std::vector<QPointer<QWidget>> FTabStops;
};

// The form window that holds widget as its client, or nullptr.
inline TFormWindow* FormWindowOf(QWidget* widget) {
    return dynamic_cast<TFormWindow*>(widget->parentWidget());
}
