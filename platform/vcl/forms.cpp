#include "vcl/forms.h"

#include <unistd.h>

#include <exception>
#include <string>

#include "rtl/codepage.h"
#include "vcl/dialogs.h"
#include "vcl/layouttables.h"
#include "vcl/loop.h"
#include "vcl/resources.h"

namespace formsglue {
void InitializeToolkit();  // vcl/qt/forms.cpp
}

TApplication* Application = new TApplication();

// ---- TForm ----

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetVisible(false);
    SetColor(clBtnFace);
    SetParentFont(false);
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
    if (HandleAllocated()) WidgetSetWindowStyle();
}

void TForm::SetFormStyle(TFormStyle value) {
    FFormStyle = value;
    if (HandleAllocated()) WidgetSetWindowStyle();
}

void TForm::WidgetCreated() { WidgetSetWindowStyle(); }

void TForm::SetVisible(bool value) {
    if (value && !Visible() && FPosition == poScreenCenter) {
        Widget();
        WidgetCenterOnScreen();
    }
    TWinControl::SetVisible(value);
}

void TForm::Show() { SetVisible(true); }

void TForm::Close() {
    if (Application->MainForm() == this)
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
