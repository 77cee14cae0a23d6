// Private to the class library: what its units ask of the toolkit glue (vcl/qt/stdwidgets.cpp)
// for the widgets that the toolkit draws. Each call does nothing before the widget exists.
#pragma once

#include "rtl/system.h"

class TWinControl;

namespace nativeglue {
// The text of an edit or spin edit, the caption of a button, check box or radio button.
void SetText(TWinControl* control, const AnsiString& text);
void SetChecked(TWinControl* control, bool checked);
void SetDefault(TWinControl* control, bool isDefault);
// The control's font onto its widget.
void SetFont(TWinControl* control);
}  // namespace nativeglue
