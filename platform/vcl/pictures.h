// The class library's picture classes: TPicture, which holds one graphic and loads it from a
// file by the file's suffix, and the icon and metafile graphics beside TBitmap. The pixels come
// from our own decoders (imagecodecs.h); icons and metafiles are drawn with their transparency.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rtl/classes.h"
#include "vcl/graphics.h"
#include "vcl/imagecodecs.h"

// A graphic of decoded pixels with transparency, drawn over what lies beneath.
class TDecodedGraphic : public TGraphic {
public:
    bool Empty() const override { return FImage.Width == 0 || FImage.Height == 0; }
    int Width() const override { return FImage.Width; }
    int Height() const override { return FImage.Height; }
    // The size is the picture's own.
    void SetWidth(int) override {}
    void SetHeight(int) override {}

protected:
    void Draw(TCanvas* canvas, const TRect& rect) override;
    // The pixels to draw for a rectangle of this width and height (the image itself by default).
    virtual const TDecodedImage& ImageFor(int width, int height) { return FImage; }
    TDecodedImage FImage;
};

class TIcon : public TDecodedGraphic {
public:
    explicit TIcon(TDecodedImage image) { FImage = std::move(image); }
};

class TMetafile : public TDecodedGraphic {
public:
    // The image played at the picture's own size, and the file's bytes to play it again.
    TMetafile(TDecodedImage image, std::vector<std::uint8_t> bytes)
        : FBytes(std::move(bytes)) { FImage = std::move(image); }

protected:
    // A metafile is played again at the size it is drawn, so it stays sharp.
    const TDecodedImage& ImageFor(int width, int height) override;

private:
    std::vector<std::uint8_t> FBytes;
    TDecodedImage FScaled;
};

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;

    // The graphic held, or nullptr.
    TGraphic* Graphic() const { return FGraphic.get(); }
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    // Chooses the kind by the suffix after the last ".", letter case ignored: "ico", "bmp",
    // "wmf", "emf"; any other raises "拡張子 .%s の画像形式は処理できません". A file of a known
    // kind that cannot be read raises that kind's error, and the picture keeps its graphic.
    void LoadFromFile(const AnsiString& FileName);
    // The picture as a form layout stores it: the graphic's class name (a length byte and the
    // name: "TIcon", "TBitmap", "TMetafile") followed by its file bytes.
    void LoadFromLayoutData(const std::string& data);

    // Runs after every change of the graphic.
    TNotifyEvent OnChange;

private:
    static TDecodedImage Decode(TPictureKind kind, const std::vector<std::uint8_t>& bytes);
    void SetDecoded(TDecodedImage image, TPictureKind kind, std::vector<std::uint8_t> bytes);
    void Changed();

    std::unique_ptr<TGraphic> FGraphic;
};
