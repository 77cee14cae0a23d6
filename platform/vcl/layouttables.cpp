#include "vcl/layouttables.h"

#include <cctype>
#include <string>
#include <utility>

#include "vcl/buttons.h"
#include "vcl/dialogs.h"
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/spin.h"
#include "vcl/stdctrls.h"
#include "vcl/timers.h"

namespace {

// A name as the class library takes one for a component: empty, or a letter or "_" followed by
// letters, digits and "_".
bool IsComponentName(const AnsiString& name) {
    const std::string& n = name.str();
    for (std::size_t i = 0; i < n.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(n[i]);
        if (!(std::isalpha(c) || c == '_' || (i > 0 && std::isdigit(c)))) return false;
    }
    return true;
}

// A cursor by its name (crDefault...) or, for one the program adds, by its number.
TCursor LayoutCursor(const TFormValue& v) {
    if (v.Kind == TFormValue::vaInt) {
        if (v.Int < -32768 || v.Int > 32767) throw Exception("form layout: cursor out of range");
        return static_cast<TCursor>(v.Int);
    }
    static const std::pair<const char*, TCursor> names[] = {
        {"crDefault", crDefault},     {"crNone", crNone},         {"crArrow", crArrow},
        {"crCross", crCross},         {"crIBeam", crIBeam},       {"crSize", crSize},
        {"crSizeNESW", crSizeNESW},   {"crSizeNS", crSizeNS},     {"crSizeNWSE", crSizeNWSE},
        {"crSizeWE", crSizeWE},       {"crUpArrow", crUpArrow},   {"crHourGlass", crHourGlass},
        {"crDrag", crDrag},           {"crNoDrop", crNoDrop},     {"crHSplit", crHSplit},
        {"crVSplit", crVSplit},       {"crMultiDrag", crMultiDrag}, {"crSQLWait", crSQLWait},
        {"crNo", crNo},               {"crAppStart", crAppStart}, {"crHelp", crHelp},
        {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll},
    };
    if (v.Kind == TFormValue::vaIdent)
        for (const auto& [name, cursor] : names)
            if (v.Str == name) return cursor;
    throw Exception("form layout: unknown value " + v.Str);
}

TFontStyles LayoutFontStyles(const TFormValue& v) {
    TFontStyles styles;
    for (const AnsiString& name : v.Set) {
        TFormValue element;
        element.Kind = TFormValue::vaIdent;
        element.Str = name;
        styles << static_cast<TFontStyle>(LayoutEnum(element, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}));
    }
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


// Where the designer showed a component without a window; no meaning at run time.
template <class T>
void DefineDesignerPlace(TPropertyTable& t) {
    t.Define<T>("Left", [](T*, const TFormValue&) {});
    t.Define<T>("Top", [](T*, const TFormValue&) {});
}

TAlignment LayoutAlignment(const TFormValue& v) {
    return static_cast<TAlignment>(LayoutEnum(v, {"taLeftJustify", "taRightJustify", "taCenter"}));
}

// What every windowed control publishes beyond a control's properties.
const TPropertyTable& WinControlProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&ControlProperties());
        t.Define<TWinControl>("TabOrder", [](TWinControl* c, const TFormValue& v) { c->SetTabOrder(LayoutInt(v)); });
        t.Define<TWinControl>("TabStop", [](TWinControl* c, const TFormValue& v) { c->SetTabStop(LayoutBool(v)); });
        return t;
    }();
    return table;
}

const TPropertyTable& EditProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&WinControlProperties());
        t.Define<TEdit>("Text", [](TEdit* e, const TFormValue& v) { e->SetText(LayoutString(v)); });
        t.Define<TEdit>("OnChange", [](TEdit* e, const TFormValue& v, TFormReader& r) { e->OnChange = r.Handler(v); });
        return t;
    }();
    return table;
}

const TPropertyTable& LabeledEditProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&EditProperties());
        t.Sub<TLabeledEdit>("EditLabel", [](TLabeledEdit* e) -> TPersistent* { return e->EditLabel(); }, LabelProperties());
        t.Define<TLabeledEdit>("LabelPosition", [](TLabeledEdit* e, const TFormValue& v) {
            e->SetLabelPosition(static_cast<TLabelPosition>(LayoutEnum(v, {"lpAbove", "lpBelow", "lpLeft", "lpRight"})));
        });
        t.Define<TLabeledEdit>("LabelSpacing", [](TLabeledEdit* e, const TFormValue& v) { e->SetLabelSpacing(LayoutInt(v)); });
        return t;
    }();
    return table;
}

const TPropertyTable& ButtonProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&WinControlProperties());
        t.Define<TButton>("Caption", [](TButton* b, const TFormValue& v) { b->SetCaption(LayoutString(v)); });
        t.Define<TButton>("Default", [](TButton* b, const TFormValue& v) { b->SetDefault(LayoutBool(v)); });
        t.Define<TButton>("Cancel", [](TButton* b, const TFormValue& v) { b->SetCancel(LayoutBool(v)); });
        t.Define<TButton>("ModalResult", [](TButton* b, const TFormValue& v) { b->SetModalResult(LayoutInt(v)); });
        return t;
    }();
    return table;
}

const TPropertyTable& BitBtnProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&ButtonProperties());
        t.Define<TBitBtn>("Kind", [](TBitBtn* b, const TFormValue& v) {
            b->SetKind(static_cast<TBitBtnKind>(LayoutEnum(v, {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo",
                                                                "bkClose", "bkAbort", "bkRetry", "bkIgnore", "bkAll"})));
        });
        return t;
    }();
    return table;
}

const TPropertyTable& ButtonControlProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&WinControlProperties());
        t.Define<TButtonControl>("Caption", [](TButtonControl* b, const TFormValue& v) { b->SetCaption(LayoutString(v)); });
        t.Define<TButtonControl>("Checked", [](TButtonControl* b, const TFormValue& v) { b->SetChecked(LayoutBool(v)); });
        return t;
    }();
    return table;
}

const TPropertyTable& GroupBoxProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&WinControlProperties());
        t.Define<TGroupBox>("Caption", [](TGroupBox* g, const TFormValue& v) { g->SetCaption(LayoutString(v)); });
        return t;
    }();
    return table;
}

TPanelBevel LayoutPanelBevel(const TFormValue& v) {
    return static_cast<TPanelBevel>(LayoutEnum(v, {"bvNone", "bvLowered", "bvRaised", "bvSpace"}));
}

const TPropertyTable& PanelProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&WinControlProperties());
        t.Define<TPanel>("Caption", [](TPanel* p, const TFormValue& v) { p->SetCaption(LayoutString(v)); });
        t.Define<TPanel>("Alignment", [](TPanel* p, const TFormValue& v) { p->SetAlignment(LayoutAlignment(v)); });
        t.Define<TPanel>("BevelOuter", [](TPanel* p, const TFormValue& v) { p->SetBevelOuter(LayoutPanelBevel(v)); });
        t.Define<TPanel>("BevelInner", [](TPanel* p, const TFormValue& v) { p->SetBevelInner(LayoutPanelBevel(v)); });
        t.Define<TPanel>("BevelWidth", [](TPanel* p, const TFormValue& v) { p->SetBevelWidth(LayoutInt(v)); });
        t.Define<TPanel>("BorderWidth", [](TPanel* p, const TFormValue& v) { p->SetBorderWidth(LayoutInt(v)); });
        t.Define<TPanel>("ParentBackground", [](TPanel* p, const TFormValue& v) { p->SetParentBackground(LayoutBool(v)); });
        return t;
    }();
    return table;
}

const TPropertyTable& BevelProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&ControlProperties());
        t.Define<TBevel>("Shape", [](TBevel* b, const TFormValue& v) {
            b->SetShape(static_cast<TBevelShape>(LayoutEnum(
                v, {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"})));
        });
        t.Define<TBevel>("Style", [](TBevel* b, const TFormValue& v) {
            b->SetStyle(static_cast<TBevelStyle>(LayoutEnum(v, {"bsLowered", "bsRaised"})));
        });
        return t;
    }();
    return table;
}

const TPropertyTable& SpeedButtonProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&ControlProperties());
        t.Define<TSpeedButton>("AllowAllUp", [](TSpeedButton* b, const TFormValue& v) { b->SetAllowAllUp(LayoutBool(v)); });
        t.Define<TSpeedButton>("Caption", [](TSpeedButton* b, const TFormValue& v) { b->SetCaption(LayoutString(v)); });
        t.Define<TSpeedButton>("GroupIndex", [](TSpeedButton* b, const TFormValue& v) { b->SetGroupIndex(LayoutInt(v)); });
        t.Define<TSpeedButton>("Down", [](TSpeedButton* b, const TFormValue& v) { b->SetDown(LayoutBool(v)); });
        t.Define<TSpeedButton>("Flat", [](TSpeedButton* b, const TFormValue& v) { b->SetFlat(LayoutBool(v)); });
        t.Define<TSpeedButton>("NumGlyphs", [](TSpeedButton* b, const TFormValue& v) { b->SetNumGlyphs(LayoutInt(v)); });
        t.Sub<TSpeedButton>("Glyph", [](TSpeedButton* b) -> TPersistent* { return b->Glyph(); }, BitmapProperties());
        return t;
    }();
    return table;
}

const TPropertyTable& SpinEditProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&WinControlProperties());
        t.Define<TCSpinEdit>("Increment", [](TCSpinEdit* e, const TFormValue& v) { e->SetIncrement(LayoutInt(v)); });
        t.Define<TCSpinEdit>("MaxValue", [](TCSpinEdit* e, const TFormValue& v) { e->SetMaxValue(LayoutInt(v)); });
        t.Define<TCSpinEdit>("MinValue", [](TCSpinEdit* e, const TFormValue& v) { e->SetMinValue(LayoutInt(v)); });
        t.Define<TCSpinEdit>("Value", [](TCSpinEdit* e, const TFormValue& v) { e->SetValue(LayoutInt(v)); });
        t.Define<TCSpinEdit>("OnChange", [](TCSpinEdit* e, const TFormValue& v, TFormReader& r) { e->OnChange = r.Handler(v); });
        return t;
    }();
    return table;
}

const TPropertyTable& MainMenuProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        DefineDesignerPlace<TMainMenu>(t);
        return t;
    }();
    return table;
}

const TPropertyTable& MenuItemProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        t.Define<TMenuItem>("Caption", [](TMenuItem* m, const TFormValue& v) { m->SetCaption(LayoutString(v)); });
        t.Define<TMenuItem>("Enabled", [](TMenuItem* m, const TFormValue& v) { m->SetEnabled(LayoutBool(v)); });
        t.Define<TMenuItem>("Visible", [](TMenuItem* m, const TFormValue& v) { m->SetVisible(LayoutBool(v)); });
        t.Define<TMenuItem>("OnClick", [](TMenuItem* m, const TFormValue& v, TFormReader& r) { m->OnClick = r.Handler(v); });
        return t;
    }();
    return table;
}

const TPropertyTable& OpenDialogProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        DefineDesignerPlace<TOpenDialog>(t);
        t.Define<TOpenDialog>("FileName", [](TOpenDialog* d, const TFormValue& v) { d->FileName = LayoutString(v); });
        t.Define<TOpenDialog>("Filter", [](TOpenDialog* d, const TFormValue& v) { d->Filter = LayoutString(v); });
        t.Define<TOpenDialog>("FilterIndex", [](TOpenDialog* d, const TFormValue& v) { d->FilterIndex = LayoutInt(v); });
        t.Define<TOpenDialog>("InitialDir", [](TOpenDialog* d, const TFormValue& v) { d->InitialDir = LayoutString(v); });
        t.Define<TOpenDialog>("Title", [](TOpenDialog* d, const TFormValue& v) { d->Title = LayoutString(v); });
        return t;
    }();
    return table;
}

const TPropertyTable& ColorDialogProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        DefineDesignerPlace<TColorDialog>(t);
        t.Define<TColorDialog>("Color", [](TColorDialog* d, const TFormValue& v) { d->Color = LayoutColor(v); });
        // The toolkit's colour dialog takes any colour (cdAnyColor) and opens in full.
        t.Define<TColorDialog>("Options", [](TColorDialog*, const TFormValue& v) {
            for (const AnsiString& option : v.Set) {
                TFormValue name;
                name.Kind = TFormValue::vaIdent;
                name.Str = option;
                LayoutEnum(name, {"cdFullOpen", "cdAnyColor"});
            }
        });
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
        RegisterClass("TEdit", Make<TEdit>, EditProperties());
        RegisterClass("TLabeledEdit", Make<TLabeledEdit>, LabeledEditProperties());
        RegisterClass("TButton", Make<TButton>, ButtonProperties());
        RegisterClass("TBitBtn", Make<TBitBtn>, BitBtnProperties());
        RegisterClass("TCheckBox", Make<TCheckBox>, ButtonControlProperties());
        RegisterClass("TRadioButton", Make<TRadioButton>, ButtonControlProperties());
        RegisterClass("TGroupBox", Make<TGroupBox>, GroupBoxProperties());
        RegisterClass("TPanel", Make<TPanel>, PanelProperties());
        RegisterClass("TBevel", Make<TBevel>, BevelProperties());
        RegisterClass("TSpeedButton", Make<TSpeedButton>, SpeedButtonProperties());
        RegisterClass("TCSpinEdit", Make<TCSpinEdit>, SpinEditProperties());
        RegisterClass("TMainMenu", Make<TMainMenu>, MainMenuProperties());
        RegisterClass("TMenuItem", Make<TMenuItem>, MenuItemProperties());
        RegisterClass("TOpenDialog", Make<TOpenDialog>, OpenDialogProperties());
        RegisterClass("TColorDialog", Make<TColorDialog>, ColorDialogProperties());
    }
} gStandardClasses;

}  // namespace

const TPropertyTable& ComponentProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        t.Define<TComponent>("Name", [](TComponent* c, const TFormValue& v) {
            const AnsiString name = LayoutString(v);
            if (!IsComponentName(name)) throw Exception("form layout: invalid component name " + name);
            c->Name = name;
        });
        t.Define<TComponent>("Tag", [](TComponent* c, const TFormValue& v) { c->Tag = LayoutInt(v); });
        return t;
    }();
    return table;
}

const TPropertyTable& BaseControlProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&ComponentProperties());
        t.Define<TControl>("Left", [](TControl* c, const TFormValue& v) { c->SetLeft(LayoutInt(v)); });
        t.Define<TControl>("Top", [](TControl* c, const TFormValue& v) { c->SetTop(LayoutInt(v)); });
        t.Define<TControl>("Width", [](TControl* c, const TFormValue& v) { c->SetWidth(LayoutInt(v)); });
        t.Define<TControl>("Height", [](TControl* c, const TFormValue& v) { c->SetHeight(LayoutInt(v)); });
        t.Define<TControl>("Cursor", [](TControl* c, const TFormValue& v) { c->Cursor = LayoutCursor(v); });
        t.Define<TControl>("Hint", [](TControl* c, const TFormValue& v) { c->Hint = LayoutString(v); });
        t.Define<TControl>("HelpType", [](TControl* c, const TFormValue& v) {
            c->HelpType = static_cast<THelpType>(LayoutEnum(v, {"htKeyword", "htContext"}));
        });
        t.Define<TControl>("HelpKeyword", [](TControl* c, const TFormValue& v) { c->HelpKeyword = LayoutString(v); });
        t.Define<TControl>("HelpContext", [](TControl* c, const TFormValue& v) { c->HelpContext = LayoutInt(v); });
        return t;
    }();
    return table;
}

const TPropertyTable& BitmapProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        t.Define<TBitmap>("Data", [](TBitmap* b, const TFormValue& v) {
            if (v.Kind != TFormValue::vaBinary) throw Exception("form layout: bitmap data expected");
            LoadBitmapFromLayoutData(b, v.Binary);
        });
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
        TPropertyTable t(&BaseControlProperties());
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
        t.Define<TForm>("Menu", [](TForm* f, const TFormValue& v) {
            if (v.Kind != TFormValue::vaIdent) throw Exception("form layout: component name expected");
            f->SetMenuName(v.Str);
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
