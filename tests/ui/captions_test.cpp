// Every caption of every form of both programs, measured in the faces the system ships: none is
// cut by its own bounds, by its parent's edge or by a windowed control that covers it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <string>
#include <vector>

#include "AboutFrm.h"
#include "MainFrm.h"
#include "Unit1.h"
#include "support/widgets.h"
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/loop.h"
#include "vcl/testing.h"

namespace {

using widgettest::WidgetOf;

constexpr int kMargin = 64;  // room around a caption's box, so that ink beyond it is seen

// The bounds of the ink on a white page drawn at box's place (kMargin, kMargin), in the box's
// coordinates; empty when nothing was drawn.
TRect InkBounds(const QImage& page) {
    int left = page.width(), top = page.height(), right = 0, bottom = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) != qRgb(255, 255, 255)) {
                left = std::min(left, x), top = std::min(top, y);
                right = std::max(right, x + 1), bottom = std::max(bottom, y + 1);
            }
    if (right == 0) return TRect();
    return TRect(left - kMargin, top - kMargin, right - kMargin, bottom - kMargin);
}

// The ink of a caption drawn on the class library's canvas into box with the control's own
// flags (labels, group boxes and panels draw their captions so), unclipped.
TRect CanvasInk(TFont* font, const AnsiString& text, const TRect& box, UINT flags) {
    TBitmap page;
    page.SetSize(box.Width() + 2 * kMargin, box.Height() + 2 * kMargin);
    TCanvas* canvas = page.Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(TRect(0, 0, page.Width(), page.Height()));
    canvas->SetFont(font);
    canvas->Font()->SetColor(clBlack);
    canvas->Brush()->SetStyle(bsClear);
    TRect at(kMargin, kMargin, kMargin + box.Width(), kMargin + box.Height());
    DrawTextA(canvas->Handle(), text.c_str(), text.Length(), &at, flags | DT_NOCLIP);
    QImage image(page.Width(), page.Height(), QImage::Format_RGB32);
    for (int y = 0; y < page.Height(); ++y)
        for (int x = 0; x < page.Width(); ++x) {
            const TColor c = ColorToRGB(canvas->Pixels(x, y));
            image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    const TRect ink = InkBounds(image);
    return TRect(ink.Left + box.Left, ink.Top + box.Top, ink.Right + box.Left, ink.Bottom + box.Top);
}

// Where a caption's ink lies and the room it has, both in its parent's client coordinates.
struct TCaption {
    TControl* Control;
    std::string Name;
    TRect Ink;
    TRect Room;
};

TRect Offset(const TRect& r, TControl* c) {
    return TRect(r.Left + c->Left(), r.Top + c->Top(), r.Right + c->Left(), r.Bottom + c->Top());
}

// The caption of a toolkit-drawn button, check box or radio button: drawn in the button's font
// into its contents area as the style lays it out (centred on a push button, left-aligned beside
// the mark of a check box or radio button).
void CollectButton(TWinControl* control, std::vector<TCaption>& captions) {
    auto* button = qobject_cast<QAbstractButton*>(WidgetOf(control));
    if (!button || button->text().isEmpty()) return;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool push = qobject_cast<QPushButton*>(button) != nullptr;
    const QStyle::SubElement element = push ? QStyle::SE_PushButtonContents
                                       : qobject_cast<QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                                                             : QStyle::SE_CheckBoxContents;
    const QRect contents = button->style()->subElementRect(element, &option, button);
    QImage page(contents.width() + 2 * kMargin, contents.height() + 2 * kMargin, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        painter.setFont(button->font());
        painter.setPen(Qt::black);
        painter.drawText(QRect(kMargin, kMargin, contents.width(), contents.height()),
                         (push ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextShowMnemonic,
                         button->text());
    }
    const TRect ink = InkBounds(page);
    const TRect room = Bounds(contents.left(), contents.top(), contents.width(), contents.height());
    captions.push_back({control, control->Name.str(),
                        Offset(TRect(ink.Left + room.Left, ink.Top + room.Top, ink.Right + room.Left, ink.Bottom + room.Top), control),
                        Offset(room, control)});
}

// The captions of parent's own children.
void Collect(TWinControl* parent, std::vector<TCaption>& captions) {
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible()) continue;
        const std::string name = c->Name.IsEmpty() ? "label of " + c->Owner()->Name.str() : c->Name.str();
        if (auto* label = dynamic_cast<TLabel*>(c)) {
            if (label->Caption().IsEmpty()) continue;
            const UINT flags = (label->WordWrap() ? DT_WORDBREAK : 0) | alignments[label->Alignment()];
            captions.push_back({label, name, Offset(CanvasInk(label->Font(), label->Caption(), label->ClientRect(), flags), label),
                                label->BoundsRect()});
        } else if (auto* box = dynamic_cast<TGroupBox*>(c)) {
            const TRect at(9, 0, box->Width(), 20);
            captions.push_back({box, name, Offset(CanvasInk(box->Font(), box->Caption(), at, DT_SINGLELINE), box),
                                box->BoundsRect()});
        } else if (auto* panel = dynamic_cast<TPanel*>(c)) {
            // A panel that holds controls has its caption hidden under them by design.
            if (panel->ControlCount() > 0 || panel->Caption().IsEmpty()) continue;
            const int inset = (panel->BevelOuter() != bvNone ? panel->BevelWidth() : 0) + panel->BorderWidth() +
                              (panel->BevelInner() != bvNone ? panel->BevelWidth() : 0);
            const TRect inner(inset, inset, panel->Width() - inset, panel->Height() - inset);
            captions.push_back({panel, name,
                                Offset(CanvasInk(panel->Font(), panel->Caption(), inner,
                                                 DT_SINGLELINE | DT_VCENTER | alignments[panel->Alignment()]), panel),
                                Offset(inner, panel)});
        } else if (auto* w = dynamic_cast<TWinControl*>(c)) {
            CollectButton(w, captions);
        }
    }
}

std::string Show(const TRect& r) {
    return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + ")-(" + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom) + ")";
}

bool Inside(const TRect& inner, const TRect& outer) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
}
bool Overlap(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// Each caption lies in its room, in its parent's client area, and under no windowed control
// that is drawn above it (a later sibling, or any windowed sibling above a label).
void ExpectCaptionsFit(TForm* form) {
    form->Show();
    ProcessEventsForTests();
    std::vector<TWinControl*> parents{form};
    for (std::size_t p = 0; p < parents.size(); ++p) {
        TWinControl* parent = parents[p];
        std::vector<TCaption> captions;
        Collect(parent, captions);
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* w = dynamic_cast<TWinControl*>(parent->Controls(i))) parents.push_back(w);
        for (const TCaption& caption : captions) {
            TControl* own = caption.Control;
            EXPECT_TRUE(Inside(caption.Ink, caption.Room)) << caption.Name << ": ink " << Show(caption.Ink) << " beyond its room " << Show(caption.Room);
            EXPECT_TRUE(Inside(caption.Ink, parent->ClientRect())) << caption.Name << ": ink " << Show(caption.Ink) << " beyond its parent's client area "
                << Show(parent->ClientRect());
            bool above = false;
            for (int i = 0; i < parent->ControlCount(); ++i) {
                TControl* other = parent->Controls(i);
                if (other == own) {
                    above = true;
                    continue;
                }
                auto* windowed = dynamic_cast<TWinControl*>(other);
                if (!windowed || !other->Visible()) continue;
                if ((above || dynamic_cast<TLabel*>(own)) && Overlap(caption.Ink, other->BoundsRect()))
                    ADD_FAILURE() << caption.Name << ": ink " << Show(caption.Ink) << " under " << other->Name.str();
            }
        }
    }
    form->Hide();
}

}  // namespace

TEST(Captions, NoCaptionOfTheEditorIsCut) {
    InitVclForTests();
    Application->CreateForm(FrmMain);
    Application->CreateForm(AboutBox);
    ExpectCaptionsFit(FrmMain);
    ExpectCaptionsFit(AboutBox);
    Application->DestroyForms();
    FrmMain = nullptr;
    AboutBox = nullptr;
}

TEST(Captions, NoCaptionOfTheSplashIsCut) {
    InitVclForTests();
    TVirtualLoop loop;
    Application->SetExeNameForTests("/nonexistent/Varnith2.exe");
    Application->CreateForm(Form1);
    ExpectCaptionsFit(Form1);
    Application->DestroyForms();
    Form1 = nullptr;
}
