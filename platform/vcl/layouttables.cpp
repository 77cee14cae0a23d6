#include "vcl/layouttables.h"

#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"
#include "vcl/timers.h"

namespace {

TFontStyles LayoutFontStyles(const TFormValue& v) {
    TFontStyles styles;
    for (const AnsiString& name : v.Set)
        styles << static_cast<TFontStyle>(LayoutEnum(
            TFormValue{TFormValue::vaIdent, 0, 0, name}, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}));
    return styles;
}

TFontCharset LayoutCharset(const TFormValue& v) {
    if (v.Kind == TFormValue::vaInt) return static_cast<TFontCharset>(v.Int);
    if (v.Str == "ANSI_CHARSET") return ANSI_CHARSET;
    if (v.Str == "DEFAULT_CHARSET") return DEFAULT_CHARSET;
    if (v.Str == "SHIFTJIS_CHARSET") return SHIFTJIS_CHARSET;
    return static_cast<TFontCharset>(LayoutInt(v));
}

const TPropertyTable& FontProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        t.Define<TFont>("Charset", [](TFont* f, const TFormValue& v) { f->SetCharset(LayoutCharset(v)); });
        t.Define<TFont>("Color", [](TFont* f, const TFormValue& v) { f->SetColor(LayoutColor(v)); });
        t.Define<TFont>("Height", [](TFont* f, const TFormValue& v) { f->SetHeight(LayoutInt(v)); });
        t.Define<TFont>("Name", [](TFont* f, const TFormValue& v) { f->SetName(LayoutString(v)); });
        t.Define<TFont>("Style", [](TFont* f, const TFormValue& v) { f->SetStyle(LayoutFontStyles(v)); });
        return t;
    }();
    return table;
}

const TPropertyTable& LabelProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&ControlProperties());
        t.Define<TLabel>("Alignment", [](TLabel* l, const TFormValue& v) {
            l->SetAlignment(static_cast<TAlignment>(LayoutEnum(v, {"taLeftJustify", "taRightJustify", "taCenter"})));
        });
        t.Define<TLabel>("AutoSize", [](TLabel* l, const TFormValue& v) { l->SetAutoSize(LayoutBool(v)); });
        t.Define<TLabel>("Caption", [](TLabel* l, const TFormValue& v) { l->SetCaption(LayoutString(v)); });
        t.Define<TLabel>("ShowAccelChar", [](TLabel* l, const TFormValue& v) { l->SetShowAccelChar(LayoutBool(v)); });
        t.Define<TLabel>("Transparent", [](TLabel* l, const TFormValue& v) { l->SetTransparent(LayoutBool(v)); });
        t.Define<TLabel>("WordWrap", [](TLabel* l, const TFormValue& v) { l->SetWordWrap(LayoutBool(v)); });
        return t;
    }();
    return table;
}

const TPropertyTable& PictureProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        t.Define<TPicture>("Data", [](TPicture* p, const TFormValue& v) {
            if (v.Kind != TFormValue::vaBinary) throw Exception("form layout: picture data expected");
            p->LoadFromLayoutData(v.Binary);
        });
        return t;
    }();
    return table;
}

const TPropertyTable& ImageProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&ControlProperties());
        t.Define<TImage>("AutoSize", [](TImage* i, const TFormValue& v) { i->SetAutoSize(LayoutBool(v)); });
        t.Define<TImage>("Center", [](TImage* i, const TFormValue& v) { i->SetCenter(LayoutBool(v)); });
        t.Define<TImage>("Proportional", [](TImage* i, const TFormValue& v) { i->SetProportional(LayoutBool(v)); });
        t.Define<TImage>("Stretch", [](TImage* i, const TFormValue& v) { i->SetStretch(LayoutBool(v)); });
        t.Define<TImage>("Transparent", [](TImage* i, const TFormValue& v) { i->SetTransparent(LayoutBool(v)); });
        t.Sub<TImage>("Picture", [](TImage* i) -> TPersistent* { return i->Picture(); }, PictureProperties());
        return t;
    }();
    return table;
}

const TPropertyTable& TimerProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        t.Define<TTimer>("Enabled", [](TTimer* tm, const TFormValue& v) { tm->SetEnabled(LayoutBool(v)); });
        t.Define<TTimer>("Interval", [](TTimer* tm, const TFormValue& v) {
            tm->SetInterval(static_cast<std::uint32_t>(LayoutInt(v)));
        });
        t.Define<TTimer>("OnTimer", [](TTimer* tm, const TFormValue& v, TFormReader& r) { tm->SetOnTimer(r.Handler(v)); });
        // Where the designer showed the component; no meaning at run time.
        t.Define<TTimer>("Left", [](TTimer*, const TFormValue&) {});
        t.Define<TTimer>("Top", [](TTimer*, const TFormValue&) {});
        return t;
    }();
    return table;
}

template <class T>
TComponent* Make(TComponent* owner) { return new T(owner); }

struct TStandardClasses {
    TStandardClasses() {
        RegisterClass("TLabel", Make<TLabel>, LabelProperties());
        RegisterClass("TImage", Make<TImage>, ImageProperties());
        RegisterClass("TTimer", Make<TTimer>, TimerProperties());
    }
} gStandardClasses;

}  // namespace

const TPropertyTable& BoundsProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        t.Define<TControl>("Left", [](TControl* c, const TFormValue& v) { c->SetLeft(LayoutInt(v)); });
        t.Define<TControl>("Top", [](TControl* c, const TFormValue& v) { c->SetTop(LayoutInt(v)); });
        t.Define<TControl>("Width", [](TControl* c, const TFormValue& v) { c->SetWidth(LayoutInt(v)); });
        t.Define<TControl>("Height", [](TControl* c, const TFormValue& v) { c->SetHeight(LayoutInt(v)); });
        return t;
    }();
    return table;
}

void DefineAlign(TPropertyTable& t) {
    t.Define<TControl>("Align", [](TControl* c, const TFormValue& v) {
        c->SetAlign(static_cast<TAlign>(LayoutEnum(v, {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"})));
    });
}

const TPropertyTable& ControlProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&BoundsProperties());
        DefineAlign(t);
        t.Define<TControl>("Visible", [](TControl* c, const TFormValue& v) { c->SetVisible(LayoutBool(v)); });
        t.Define<TControl>("Color", [](TControl* c, const TFormValue& v) { c->SetColor(LayoutColor(v)); });
        t.Define<TControl>("ParentFont", [](TControl* c, const TFormValue& v) { c->SetParentFont(LayoutBool(v)); });
        t.Define<TControl>("OnClick", [](TControl* c, const TFormValue& v, TFormReader& r) { c->OnClick = r.Handler(v); });
        t.Sub<TControl>("Font", [](TControl* c) -> TPersistent* { return c->Font(); }, FontProperties());
        return t;
    }();
    return table;
}

const TPropertyTable& FormProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&ControlProperties());
        t.Define<TForm>("BorderStyle", [](TForm* f, const TFormValue& v) {
            f->SetBorderStyle(static_cast<TFormBorderStyle>(LayoutEnum(
                v, {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"})));
        });
        t.Define<TForm>("Caption", [](TForm* f, const TFormValue& v) { f->SetCaption(LayoutString(v)); });
        t.Define<TForm>("ClientWidth", [](TForm* f, const TFormValue& v) { f->SetClientWidth(LayoutInt(v)); });
        t.Define<TForm>("ClientHeight", [](TForm* f, const TFormValue& v) { f->SetClientHeight(LayoutInt(v)); });
        t.Define<TForm>("FormStyle", [](TForm* f, const TFormValue& v) {
            f->SetFormStyle(static_cast<TFormStyle>(LayoutEnum(v, {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"})));
        });
        t.Define<TForm>("Position", [](TForm* f, const TFormValue& v) {
            f->SetPosition(static_cast<TPosition>(LayoutEnum(
                v, {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                    "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"})));
        });
        t.Define<TForm>("OnCreate", [](TForm* f, const TFormValue& v, TFormReader& r) { f->OnCreate = r.Handler(v); });
        // Stored with the layout but switched off or without meaning here: the window is plainly
        // opaque (alpha blending and the transparent colour are off), created after its layout
        // (OldCreateOrder False), and laid out at 96 dots per inch.
        for (const char* ignored : {"AlphaBlendValue", "TransparentColorValue", "OldCreateOrder",
                                    "PixelsPerInch", "TextHeight"})
            t.Define<TForm>(ignored, [](TForm*, const TFormValue&) {});
        return t;
    }();
    return table;
}
