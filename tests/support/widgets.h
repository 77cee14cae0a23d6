// Test support: the toolkit widget behind a windowed control and the top-level window of a form,
// for ui tests that drive them with the toolkit's own test events.
#pragma once

#include <QApplication>
#include <QWidget>

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

}  // namespace widgettest
