#include "vcl/controls.h"

#include <algorithm>

#include "rtl/sysutils.h"
#include "vcl/loop.h"

namespace {

TRect Intersect(const TRect& a, const TRect& b) {
    TRect r(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom));
    if (r.Left >= r.Right || r.Top >= r.Bottom) return TRect();
    return r;
}

bool IsEmpty(const TRect& r) { return r.Left >= r.Right || r.Top >= r.Bottom; }

TRect Union(const TRect& a, const TRect& b) {
    if (IsEmpty(a)) return b;
    if (IsEmpty(b)) return a;
    return TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom));
}

// Points a control's canvas at a surface for the length of one paint.
class TSurfaceScope {
public:
    TSurfaceScope(TCanvas* canvas, TBitmap* surface, TPoint origin, const TRect& clip)
        : FCanvas(canvas) {
        FCanvas->SetSurface(surface, origin, clip);
    }
    ~TSurfaceScope() { FCanvas->SetSurface(nullptr); }
    TSurfaceScope(const TSurfaceScope&) = delete;
    TSurfaceScope& operator=(const TSurfaceScope&) = delete;

private:
    TCanvas* FCanvas;
};

}  // namespace

// ---- TControl ----

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TObject*) {
        if (!FTakingParentFont) FParentFont = false;
        FontChanged();
    };
}

TControl::~TControl() {
    FFont->OnChange = nullptr;
    TControl::SetParent(nullptr);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    for (TWinControl* p = AParent; p; p = p->FParent)
        if (p == this) throw Exception("A control cannot be its own parent");
    if (FParent) {
        Invalidate();
        FParent->RemoveControl(this);
    }
    if (AParent) {
        AParent->InsertControl(this);
        TakeParentFont();
        Invalidate();
        if (FAlign != alNone) FParent->Realign();
    }
}

void TControl::SetParentComponent(TComponent* parent) {
    SetParent(dynamic_cast<TWinControl*>(parent));
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    BoundsChanged();
    Invalidate();
    if (FParent && FAlign != alNone && !FParent->FAligning) FParent->Realign();
}

void TControl::SetAlign(TAlign value) {
    FAlign = value;
    if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool value) {
    if (value == FVisible) return;
    if (!value) Invalidate();
    FVisible = value;
    if (value) Invalidate();
    if (FParent && FAlign != alNone) FParent->Realign();
}

void TControl::SetColor(TColor value) {
    FColor = value;
    Invalidate();
}

void TControl::SetParentFont(bool value) {
    FParentFont = value;
    if (value) TakeParentFont();
}

void TControl::TakeParentFont() {
    if (!FParent || !FParentFont) return;
    FTakingParentFont = true;
    try {
        FFont->Assign(FParent->Font());
    } catch (...) {
        FTakingParentFont = false;
        throw;
    }
    FTakingParentFont = false;
}

void TControl::Invalidate() {
    if (FParent && FVisible) FParent->InvalidateRect(BoundsRect());
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TWinControl::~TWinControl() {
    while (!FControls.empty()) delete FControls.back();
    DestroyHandle();
}

void TWinControl::InsertControl(TControl* control) {
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        w->FTabOrder = 0;
        for (TControl* c : FControls)
            if (dynamic_cast<TWinControl*>(c)) ++w->FTabOrder;
    }
    FControls.push_back(control);
    control->FParent = this;
}

void TWinControl::RemoveControl(TControl* control) {
    FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
    control->FParent = nullptr;
    if (FMouseControl == control) FMouseControl = nullptr;
    if (control->FAlign != alNone) Realign();
}

void TWinControl::SetParent(TWinControl* AParent) {
    if (AParent == Parent()) return;
    DestroyHandle();
    TControl::SetParent(AParent);
    if (AParent && AParent->FWidget) CreateHandle();
}

void TWinControl::BoundsChanged() {
    if (FWidget && !FFromWidget) WidgetSetGeometry();
    Realign();
}

void TWinControl::SetVisible(bool value) {
    TControl::SetVisible(value);
    if (FWidget)
        WidgetSetVisible();
    else if (value && !Parent())
        CreateHandle();
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* child : FControls) child->TakeParentFont();
}

void TWinControl::Invalidate() { InvalidateRect(ClientRect()); }

void TWinControl::InvalidateRect(const TRect& rect) {
    const TRect r = Intersect(rect, ClientRect());
    if (IsEmpty(r)) return;
    FInvalid = Union(FInvalid, r);
    if (FWidget) WidgetUpdate(r);
}

void TWinControl::Update() {
    if (FWidget && !IsEmpty(FInvalid)) WidgetRepaint(FInvalid);
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FAlignPending) {
        FAlignPending = false;
        Realign();
    }
}

void TWinControl::Realign() {
    if (FAlignLevel > 0) {
        FAlignPending = true;
        return;
    }
    if (FAligning) return;
    FAligning = true;
    try {
        TRect r = ClientRect();
        for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient}) {
            for (TControl* c : FControls) {
                if (c->FAlign != kind || !c->FVisible) continue;
                const int w = std::max(r.Right - r.Left, 0), h = std::max(r.Bottom - r.Top, 0);
                TRect b;
                switch (kind) {
                    case alTop: b = Bounds(r.Left, r.Top, w, c->FHeight); r.Top += c->FHeight; break;
                    case alBottom: b = Bounds(r.Left, r.Bottom - c->FHeight, w, c->FHeight); r.Bottom -= c->FHeight; break;
                    case alLeft: b = Bounds(r.Left, r.Top, c->FWidth, h); r.Left += c->FWidth; break;
                    case alRight: b = Bounds(r.Right - c->FWidth, r.Top, c->FWidth, h); r.Right -= c->FWidth; break;
                    default: b = Bounds(r.Left, r.Top, w, h); break;
                }
                if (b != c->BoundsRect()) c->SetBounds(b.Left, b.Top, b.Width(), b.Height());
            }
        }
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TWinControl::Loaded() {
    TControl::Loaded();
    Realign();
}

void TWinControl::PaintTo(TBitmap* bitmap) {
    bitmap->SetSize(ClientWidth(), ClientHeight());
    PaintClient(bitmap, TPoint(), ClientRect());
}

void TWinControl::PaintClient(TBitmap* surface, TPoint origin, const TRect& clip) {
    {
        TSurfaceScope scope(FCanvas.get(), surface, origin, clip);
        FCanvas->Brush()->SetStyle(bsSolid);
        FCanvas->Brush()->SetColor(Color());
        FCanvas->FillRect(ClientRect());
        PaintWindow(FCanvas.get());
    }
    // Graphic children in creation order, then the windowed ones above them.
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < FControls.size(); ++i) {
            TControl* child = FControls[i];
            if (!child->FVisible) continue;
            const TPoint at(origin.X + child->FLeft, origin.Y + child->FTop);
            const TRect area = Intersect(clip, Bounds(at.X, at.Y, child->FWidth, child->FHeight));
            if (IsEmpty(area)) continue;
            if (auto* g = dynamic_cast<TGraphicControl*>(child); g && pass == 0) {
                TSurfaceScope scope(g->FCanvas.get(), surface, at, area);
                g->Paint();
            } else if (auto* w = dynamic_cast<TWinControl*>(child); w && pass == 1) {
                if (w->PaintsOwnClient()) w->PaintClient(surface, at, area);
            }
        }
    }
}

TControl* TWinControl::ControlAtPos(int x, int y) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (c->FVisible && dynamic_cast<TGraphicControl*>(c) && x >= c->FLeft &&
            x < c->FLeft + c->FWidth && y >= c->FTop && y < c->FTop + c->FHeight)
            return c;
    }
    return nullptr;
}

void TWinControl::RunFromNotification(const std::function<void()>& action) {
    try {
        action();
    } catch (...) {
        HandleLoopException(std::current_exception());
    }
}

void TWinControl::SetTabOrder(int value) {
    FTabOrder = value;
    UpdateTabChain();
}

void TWinControl::SetTabStop(bool value) {
    FTabStop = value;
    UpdateTabChain();
}

void TWinControl::AppendTabChain(std::vector<TWinControl*>& chain) const {
    std::vector<TWinControl*> children;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) children.push_back(w);
    std::stable_sort(children.begin(), children.end(),
                     [](const TWinControl* a, const TWinControl* b) { return a->FTabOrder < b->FTabOrder; });
    for (TWinControl* child : children) {
        chain.push_back(child);
        child->AppendTabChain(chain);
    }
}

void TWinControl::UpdateTabChain() {
    TWinControl* top = this;
    while (top->Parent()) top = top->Parent();
    if (!top->FWidget) return;
    std::vector<TWinControl*> chain;
    top->AppendTabChain(chain);
    top->WidgetSetTabChain(chain);
}

TNativeWindow* TWinControl::Widget() {
    if (!FWidget) CreateHandle();
    return FWidget;
}

void TWinControl::CreateHandle() {
    if (FWidget) return;
    TNativeWindow* parent = Parent() ? Parent()->Widget() : nullptr;
    FWidget = CreateWidget(parent);
    WidgetSetGeometry();
    WidgetCreated();
    WidgetSetVisible();
    for (TControl* child : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(child)) w->CreateHandle();
    UpdateTabChain();
}

void TWinControl::DestroyHandle() {
    for (TControl* child : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(child)) w->DestroyHandle();
    if (FWidget) {
        WidgetDestroy();
        FWidget = nullptr;
    }
}
