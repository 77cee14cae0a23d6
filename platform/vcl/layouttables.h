// The layout properties of the class library's classes: one setter table per class, chained to
// its base class's table, as form layouts name them.
#pragma once

#include "vcl/formloader.h"

// What every component publishes: Name and Tag.
const TPropertyTable& ComponentProperties();
// What every control publishes: a component's, then Left, Top, Width, Height, Cursor, Hint,
// HelpType, HelpKeyword and HelpContext.
const TPropertyTable& BaseControlProperties();
// BaseControlProperties and the rest a visible control publishes: Align, Visible, Color, Font...
const TPropertyTable& ControlProperties();
// A bitmap's Data as a layout stores it (a glyph, a texture).
const TPropertyTable& BitmapProperties();
const TPropertyTable& FormProperties();

// Adds the republished Align property to a table.
void DefineAlign(TPropertyTable& table);
