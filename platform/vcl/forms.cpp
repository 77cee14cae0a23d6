#include "vcl/forms.h"

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetVisible(false);
    SetColor(clBtnFace);
    SetParentFont(false);
}
