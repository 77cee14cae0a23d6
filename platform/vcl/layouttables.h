// The layout properties of the class library's classes: one setter table per class, chained to
// its base class's table, as form layouts name them.
#pragma once

#include "vcl/formloader.h"

// What every control publishes: Left, Top, Width and Height.
const TPropertyTable& BoundsProperties();
// BoundsProperties and the rest a visible control publishes: Align, Visible, Color, Font...
const TPropertyTable& ControlProperties();
const TPropertyTable& FormProperties();

// Adds the republished Align property to a table.
void DefineAlign(TPropertyTable& table);
