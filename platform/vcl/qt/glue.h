// Private to the class library's toolkit glue: the widget of a windowed control, the one
// template that forwards the widget's events to its control, and the application object.
#pragma once

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QWidget>

#include <exception>
#include <utility>

#include "vcl/controls.h"

class QApplication;

// The application object that widgets, fonts and text need: the one that exists, or a new one
// made once (and kept to the end of the process). Raises Exception when a non-GUI one exists.
QApplication* EnsureGuiApplication();

// TNativeWindow is the control's QWidget itself.
inline QWidget* QtWidget(TNativeWindow* w) { return reinterpret_cast<QWidget*>(w); }
inline TNativeWindow* NativeWindow(QWidget* w) { return reinterpret_cast<TNativeWindow*>(w); }

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
