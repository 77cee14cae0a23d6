// The editor's About box: product name, version and copyright, closed by its OK button.
#pragma once

#include "rtl/classes.h"
#include "vcl/controls.h"
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"

class TAboutBox : public TForm {
public:  // published
    TPanel* Panel1 = nullptr;
    TImage* ProgramIcon = nullptr;
    TLabel* ProductName = nullptr;
    TLabel* Version = nullptr;
    TLabel* Copyright = nullptr;
    TButton* OKButton = nullptr;

public:
    explicit TAboutBox(TComponent* Owner);
};

extern TAboutBox* AboutBox;
