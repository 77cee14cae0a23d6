#include "vcl/forms.h"

#include <unistd.h>

#include <exception>
#include <string>

#include "rtl/codepage.h"
#include "vcl/dialogs.h"
#include "vcl/layouttables.h"
#include "vcl/loop.h"
#include "vcl/menus.h"
#include "vcl/testing.h"
#include "vcl/resources.h"

namespace formsglue {
void InitializeToolkit();  // vcl/qt/forms.cpp
}

TApplication* Application = new TApplication();

namespace {
std::function<void(TForm*)> gModalHandler;  // tests answer modal forms here
}

void SetModalHandlerForTests(std::function<void(TForm*)> handler) { gModalHandler = std::move(handler); }

// ---- TForm ----

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetVisible(false);
    SetColor(clBtnFace);
    SetParentFont(false);
}

TForm::~TForm() = default;

// The classic Windows metrics at 96 dots per inch: a sizeable frame of 4 pixels, a fixed one of
// 3, a caption bar of 19 (15 for a tool window) and a one-line menu bar of 20.
int TForm::FrameWidth() const {
    switch (FBorderStyle) {
        case bsNone: return 0;
        case bsSizeable:
        case bsSizeToolWin: return 4;
        default: return 3;
    }
}

int TForm::CaptionHeight() const {
    switch (FBorderStyle) {
        case bsNone: return 0;
        case bsToolWindow:
        case bsSizeToolWin: return 15;
        default: return 19;
    }
}

int TForm::MenuHeight() const { return FMenu && FMenu->Items()->Count() > 0 ? 20 : 0; }

int TForm::ClientWidth() const { return Width() - 2 * FrameWidth(); }

int TForm::ClientHeight() const {
    return Height() - 2 * FrameWidth() - CaptionHeight() - MenuHeight();
}

void TForm::SetMenu(TMainMenu* value) {
    // As on Windows, the window keeps its outer size and the menu bar takes its height.
    FMenu = value;
    if (HandleAllocated()) WidgetSetMenu();
    Realign();
}

void TForm::Loaded() {
    if (!FMenuName.IsEmpty()) {
        TMainMenu* menu = nullptr;
        for (int i = 0; i < ComponentCount() && !menu; ++i)
            if (Components(i)->Name == FMenuName) menu = dynamic_cast<TMainMenu*>(Components(i));
        if (!menu) throw Exception("form layout: unknown menu " + FMenuName);
        SetMenu(menu);
    }
    TWinControl::Loaded();
}

namespace {
TButton* FindDialogButton(const TWinControl* parent, bool cancel) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (!child || !child->Visible()) continue;
        if (auto* button = dynamic_cast<TButton*>(child); button && (cancel ? button->Cancel() : button->Default()))
            return button;
        if (TButton* found = FindDialogButton(child, cancel)) return found;
    }
    return nullptr;
}
}  // namespace

bool TForm::PressDialogButton(bool cancel) {
    TButton* button = FindDialogButton(this, cancel);
    if (button) button->Click();
    return button != nullptr;
}

TModalResult TForm::ShowModal() {
    if (FModal || Visible()) throw Exception("Cannot make a visible window modal");
    FModalResult = mrNone;
    FModal = true;
    try {
        if (gModalHandler) {
            Show();
            gModalHandler(this);
        } else {
            WidgetRunModal();  // shows the window and serves the loop until the result is set
        }
    } catch (...) {
        FModal = false;
        Hide();
        throw;
    }
    FModal = false;
    Hide();
    if (FModalResult == mrNone) FModalResult = mrCancel;
    return FModalResult;
}

void TForm::SetModalResult(TModalResult value) {
    FModalResult = value;
    if (FModal && value != mrNone && !gModalHandler) WidgetEndModal();
}

void TForm::InitForm(const char* resourceName, const TFormBindings& bindings) {
    std::size_t size = 0;
    const unsigned char* data = FindResourceData(resourceName, size);
    if (!data) throw Exception(AnsiString("Resource ") + resourceName + " not found");
    ReadFormLayout(this, std::string(reinterpret_cast<const char*>(data), size), FormProperties(),
                   bindings);
}

void TForm::AfterConstruction() {
    if (!OnCreate) return;
    try {
        OnCreate(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TForm::SetCaption(const AnsiString& value) {
    FCaption = value;
    if (HandleAllocated()) WidgetSetWindowStyle();
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
    FBorderStyle = value;
    Realign();
    if (HandleAllocated()) WidgetSetWindowStyle();
}

void TForm::SetFormStyle(TFormStyle value) {
    FFormStyle = value;
    if (HandleAllocated()) WidgetSetWindowStyle();
}

void TForm::SetVisible(bool value) {
    if (value && !Visible() && FPosition == poScreenCenter) {
        Widget();
        WidgetCenterOnScreen();
    }
    TWinControl::SetVisible(value);
}

void TForm::Show() { SetVisible(true); }

void TForm::Close() {
    if (FModal)
        SetModalResult(mrCancel);
    else if (Application->MainForm() == this)
        Application->Terminate();
    else
        Hide();
}

// ---- TApplication ----

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() = default;

void TApplication::Initialize() {
    formsglue::InitializeToolkit();
    SetLoopExceptionHandler([this](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (...) {
            HandleException(this);
        }
    });
}

AnsiString TApplication::ExeName() const {
    if (FExeName.IsEmpty()) {
        std::string path(4096, '\0');
        ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
        path.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        FExeName = Utf8ToAnsi(path);
    }
    return FExeName;
}

void TApplication::Run() {
    if (!FMainForm) return;
    FMainForm->Show();
    if (!FTerminated) MessageLoop().Run();
}

void TApplication::Terminate() {
    FTerminated = true;
    MessageLoop().Quit();
}

void TApplication::ShowException(const Exception* E) {
    MessageBox(ExceptionReportText(E->Message), FTitle, MB_OK | MB_ICONSTOP);
}

void TApplication::HandleException(TObject* Sender) {
    try {
        throw;
    } catch (const Exception& e) {
        ShowException(&e);
    } catch (...) {
        Exception empty("");
        ShowException(&empty);
    }
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags) {
    return Dialogs().MessageBox(Text, Caption, Flags);
}

void TApplication::DestroyForms() {
    DestroyComponents();
    FMainForm = nullptr;
    FTerminated = false;
}
