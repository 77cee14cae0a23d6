// The editor's main form: every field of the disc's settings, the live preview that imitates
// the launcher's splash, the menu and the commands that write the disc root.
#pragma once

#include "rtl/classes.h"
#include "vcl/buttons.h"
#include "vcl/controls.h"
#include "vcl/dialogs.h"
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/spin.h"
#include "vcl/stdctrls.h"
#include "VBox.h"

class TFrmMain : public TForm {
public:  // published
    TLabel* Label6 = nullptr;
    TLabeledEdit* LabeledEdit1 = nullptr;
    TButton* Button1 = nullptr;
    TLabel* Label5 = nullptr;
    TLabeledEdit* LabeledEdit4 = nullptr;
    TButton* Button2 = nullptr;
    TLabeledEdit* LabeledEdit5 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TPanel* Panel1 = nullptr;
    TVBox* VBox1 = nullptr;
    TImage* Image1 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label9 = nullptr;
    TLabeledEdit* LabeledEdit2 = nullptr;
    TLabel* Label4 = nullptr;
    TPanel* Panel6 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TPanel* McolPanel = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TLabel* Label7 = nullptr;
    TCSpinEdit* CSpinEdit1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TLabeledEdit* LabeledEdit3 = nullptr;
    TButton* Button3 = nullptr;
    TLabel* Label8 = nullptr;
    TPanel* Panel2 = nullptr;
    TPanel* Panel3 = nullptr;
    TPanel* Panel4 = nullptr;
    TPanel* Panel5 = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    TBitBtn* BitBtn2 = nullptr;
    TBitBtn* BitBtn3 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* F1 = nullptr;
    TMenuItem* O1 = nullptr;
    TMenuItem* W1 = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* X1 = nullptr;
    TMenuItem* T1 = nullptr;
    TMenuItem* N3 = nullptr;
    TMenuItem* CDROM1 = nullptr;
    TMenuItem* N4 = nullptr;
    TMenuItem* O2 = nullptr;
    TMenuItem* H1 = nullptr;
    TMenuItem* R1 = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* A1 = nullptr;
    TColorDialog* ColorDialog1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    void X1Click(TObject* Sender);
    void LabeledEdit2Change(TObject* Sender);
    void Panel2Click(TObject* Sender);
    void Panel3Click(TObject* Sender);
    void Panel4Click(TObject* Sender);
    void Panel5Click(TObject* Sender);
    void McolPanelClick(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void RadioButton1Click(TObject* Sender);
    void LabeledEdit3Change(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void CDROM1Click(TObject* Sender);
    void N3Click(TObject* Sender);
    void R1Click(TObject* Sender);
    void A1Click(TObject* Sender);
    void W1Click(TObject* Sender);
    void O1Click(TObject* Sender);

private:
    // A swatch's pick: the colour dialog opened on the swatch's colour; false when cancelled.
    bool PickSwatchColor(TPanel* swatch);
    void WriteSettingsFile();
    void WriteAutorunFile();
    void CopyLauncher();
    void ReadSettingsFile(AnsiString folder);

public:
    explicit TFrmMain(TComponent* Owner);
};

extern TFrmMain* FrmMain;
