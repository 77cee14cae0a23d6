// Support for tests of the class library's windows, without a screen: the toolkit's application
// object (on the offscreen platform unless QT_QPA_PLATFORM names another) and the pixels that a
// control's widget shows.
#pragma once

#include <functional>

#include "rtl/system.h"

class TBitmap;
class TForm;
class TMenuItem;
class TWinControl;

// Makes the toolkit's application object once; later calls do nothing.
void InitVclForTests();

// Handles the toolkit's pending events (a window shown is then on screen and paints).
void ProcessEventsForTests();

// A left click at (x, y) of the control's client area, as the window system delivers it.
void MouseClickForTests(TWinControl* control, int x, int y);

// Renders the control's widget through the toolkit, as a screen would show it (windowed
// children included), into bitmap, which takes the widget's size.
void GrabWindow(TWinControl* control, TBitmap* bitmap);

// While set, a form's ShowModal shows the form and calls handler in place of the nested message
// loop; the handler answers as a person would (a click on a button with a modal result). A form
// left without a result ends as mrCancel. nullptr brings the real modal loop back.
void SetModalHandlerForTests(std::function<void(TForm*)> handler);

// Chooses item in the menu bar of form's window, as a person would; false when the window's menu
// bar has no such entry (or it is disabled).
bool ChooseMenuItemForTests(TForm* form, TMenuItem* item);

// Puts text into an edit's or spin edit's widget as typing would (its change signal runs).
void TypeTextForTests(TWinControl* control, const AnsiString& text);
