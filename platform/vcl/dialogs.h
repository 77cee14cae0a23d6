// The class library's dialogs, behind one seam: the real ones are the toolkit's modal dialogs
// (vcl/qt/dialogs.cpp); a test puts its own answers in their place, so that what would ask a
// person is checked without one. Stands in for MessageBoxA, GetOpenFileNameA, ChooseColorA and
// SHBrowseForFolderA with SHGetPathFromIDListA.
#pragma once

#include "rtl/classes.h"
#include "rtl/color.h"
#include "rtl/system.h"
#include "win/windef.h"

// MessageBox styles and results.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONSTOP = 0x00000010;
constexpr UINT MB_ICONERROR = MB_ICONSTOP;
constexpr int IDOK = 1;

// What the open-file dialog is asked, and what it answers in FileName and FilterIndex.
struct TOpenFileRequest {
    AnsiString Title;       // empty: the dialog's own
    AnsiString Filter;      // "description|patterns|description|patterns...", patterns split by ";"
    int FilterIndex = 1;    // the entry selected, from 1
    AnsiString InitialDir;  // the folder shown first (empty: the current folder)
    AnsiString FileName;    // the file name proposed; the full path of the chosen file
};

class TDialogs {
public:
    virtual ~TDialogs() = default;
    // A modal message box (MessageBoxA): text and caption in code page 932; the button chosen.
    virtual int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) = 0;
    // The open-file dialog; true when a file was chosen (request then holds its full path and
    // the filter entry in use). A stand-in that does not answer cancels.
    virtual bool OpenFile(TOpenFileRequest& request) { return false; }
    // The colour dialog opened on color; true when a colour was chosen (color then holds it).
    virtual bool ChooseColor(TColor& color) { return false; }
    // The shell's folder browser with a prompt, the folder selected at first (when it exists);
    // true when a folder was chosen (path then holds it).
    virtual bool BrowseForFolder(const AnsiString& prompt, const AnsiString& initialFolder,
                                 AnsiString& path) { return false; }
};

// The dialogs in force; SetDialogs(nullptr) brings back the real ones.
TDialogs& Dialogs();
void SetDialogs(TDialogs* dialogs);

// The open-file dialog component: what it is set to is kept from one Execute to the next.
class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

    AnsiString Title;
    AnsiString Filter;
    int FilterIndex = 1;
    AnsiString InitialDir;
    // The name proposed; after a file was chosen, its full path.
    AnsiString FileName;

    // Shows the dialog modally; true when a file was chosen.
    bool Execute();
};

// The colour dialog component: opens on Color; a chosen colour becomes Color.
class TColorDialog : public TComponent {
public:
    explicit TColorDialog(TComponent* AOwner) : TComponent(AOwner) {}

    TColor Color = clBlack;

    bool Execute();
};

// The shell's folder browser with Caption as its prompt, Directory selected at first when it
// names an existing folder (Root, the tree's root: empty for the desktop); true when a folder was
// chosen, Directory then holding its path.
bool SelectDirectory(const AnsiString& Caption, const AnsiString& Root, AnsiString& Directory);
