// The class library's forms unit: TForm, a top-level window whose client area it paints itself
// (its Color, then its graphic children). Stands in for a Windows top-level window with a Qt
// top-level widget; Width and Height are the client size while the form has no frame.
#pragma once

#include "vcl/controls.h"

class TForm : public TWinControl {
public:
    // Invisible until shown, face colour clBtnFace, its own font.
    explicit TForm(TComponent* AOwner);

    using TWinControl::Canvas;

protected:
    // A top-level widget, whatever the parent.
    TNativeWindow* CreateWidget(TNativeWindow* parent) override;
};
