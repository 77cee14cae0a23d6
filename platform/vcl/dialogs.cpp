#include "vcl/dialogs.h"

namespace dialogsglue {
TDialogs& RealDialogs();  // vcl/qt/dialogs.cpp
}

namespace {
TDialogs* gDialogs = nullptr;
}

TDialogs& Dialogs() { return gDialogs ? *gDialogs : dialogsglue::RealDialogs(); }
void SetDialogs(TDialogs* dialogs) { gDialogs = dialogs; }
