// The layout properties of the class library's classes: one setter table per class, chained to
// its base class's table, as form layouts name them.
#pragma once

#include "vcl/formloader.h"

const TPropertyTable& ControlProperties();
const TPropertyTable& FormProperties();
