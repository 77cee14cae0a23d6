// The class library's extra controls unit, as far as the programs use it: TImage, a windowless
// control that shows a picture. (TTimer, which the original keeps in this unit too, is in
// timers.h.)
#pragma once

#include <memory>

#include "vcl/controls.h"
#include "vcl/pictures.h"
#include "vcl/timers.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return FPicture.get(); }
    // An auto-sized image takes its picture's size whenever the picture changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    // The picture fills the control (Stretch), or is shrunk to fit it keeping its proportions
    // (Proportional), or is shown at its own size; Center puts it in the middle.
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool value);
    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    // A transparent image leaves a bitmap's background colour (its lower-left pixel) unpainted;
    // icons and metafiles carry their own transparency.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);

protected:
    void Paint() override;

private:
    TRect DestRect() const;
    void PictureChanged();

    std::unique_ptr<TPicture> FPicture;
    bool FAutoSize = false;
    bool FStretch = false;
    bool FProportional = false;
    bool FCenter = false;
    bool FTransparent = false;
};
