// The class library's dialogs, behind one seam: the real ones are the toolkit's modal dialogs
// (vcl/qt/dialogs.cpp); a test puts its own answers in their place, so that what would ask a
// person is checked without one.
#pragma once

#include "rtl/system.h"
#include "win/windef.h"

// MessageBox styles and results.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONSTOP = 0x00000010;
constexpr UINT MB_ICONERROR = MB_ICONSTOP;
constexpr int IDOK = 1;

class TDialogs {
public:
    virtual ~TDialogs() = default;
    // A modal message box (MessageBoxA): text and caption in code page 932; the button chosen.
    virtual int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) = 0;
};

// The dialogs in force; SetDialogs(nullptr) brings back the real ones.
TDialogs& Dialogs();
void SetDialogs(TDialogs* dialogs);
