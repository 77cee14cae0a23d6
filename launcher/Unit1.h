// The launcher's splash form: shows the configured splash, opens the configured file 100 ms
// after its set-up and closes when the display time is over.
#pragma once

#include "rtl/classes.h"
#include "vcl/controls.h"
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"
#include "VBox.h"

class TForm1 : public TForm {
public:  // published
    TImage* Image1 = nullptr;
    TLabel* Label1 = nullptr;
    TTimer* Timer1 = nullptr;
    TLabel* Label2 = nullptr;
    TTimer* Timer2 = nullptr;
    TVBox* VBox1 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    void Timer1Timer(TObject* Sender);
    void FormCreate(TObject* Sender);
    void Timer2Timer(TObject* Sender);

private:
    AnsiString FRunFile;
    int FShowSeconds = 0;
    void LoadSettings();

public:
    explicit TForm1(TComponent* Owner);
    ~TForm1() override;
};

extern TForm1* Form1;
