#include "vcl/dialogs.h"

namespace dialogsglue {
TDialogs& RealDialogs();  // vcl/qt/dialogs.cpp
}

namespace {
TDialogs* gDialogs = nullptr;
}

TDialogs& Dialogs() { return gDialogs ? *gDialogs : dialogsglue::RealDialogs(); }
void SetDialogs(TDialogs* dialogs) { gDialogs = dialogs; }

bool TOpenDialog::Execute() {
    TOpenFileRequest request{Title, Filter, FilterIndex, InitialDir, FileName};
    if (!Dialogs().OpenFile(request)) return false;
    FileName = request.FileName;
    FilterIndex = request.FilterIndex;
    return true;
}

bool TColorDialog::Execute() {
    TColor chosen = Color;
    if (!Dialogs().ChooseColor(chosen)) return false;
    Color = chosen;
    return true;
}

bool SelectDirectory(const AnsiString& Caption, const AnsiString& Root, AnsiString& Directory) {
    AnsiString chosen;
    if (!Dialogs().BrowseForFolder(Caption, Directory, chosen)) return false;
    Directory = chosen;
    return true;
}
