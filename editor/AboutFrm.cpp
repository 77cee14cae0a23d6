#include "AboutFrm.h"

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(TComponent* Owner) : TForm(Owner) {
    InitForm("TABOUTBOX", {
        {
            {"Panel1", Field(Panel1)}, {"ProgramIcon", Field(ProgramIcon)},
            {"ProductName", Field(ProductName)}, {"Version", Field(Version)},
            {"Copyright", Field(Copyright)}, {"OKButton", Field(OKButton)},
        },
        {},
    });
}
