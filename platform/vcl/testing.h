// Support for tests of the class library's windows, without a screen: the toolkit's application
// object (on the offscreen platform unless QT_QPA_PLATFORM names another) and the pixels that a
// control's widget shows.
#pragma once

class TBitmap;
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
