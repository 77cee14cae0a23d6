// The class library's forms unit: TForm, a top-level window whose client area it paints itself
// (its Color, then its graphic children), built from its layout resource; and TApplication, the
// application object with the message loop and the exception report. Stands in for a Windows
// top-level window with a Qt top-level widget; Width and Height are the client size while the
// form has no frame.
#pragma once

#include <cstdint>

#include "rtl/sysutils.h"
#include "vcl/controls.h"
#include "vcl/formloader.h"

enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition : std::uint8_t {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
enum TFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

class TForm : public TWinControl {
public:
    // Invisible until shown, face colour clBtnFace, its own font.
    explicit TForm(TComponent* AOwner);

    // Called by the application once the form is constructed: runs OnCreate. An exception that
    // leaves OnCreate is shown by the application's exception report, and creation goes on.
    virtual void AfterConstruction();

    // The window's title.
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& value);
    // bsNone: no frame and no caption bar.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    // poScreenCenter: centred on the screen when shown; other positions keep Left and Top.
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition value) { FPosition = value; }
    // fsStayOnTop: a topmost window, above the windows of other programs.
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle value);

    void SetVisible(bool value) override;
    void Show();
    void Hide() { SetVisible(false); }
    // Closing the main form ends the application; any other form is hidden.
    void Close();

    TNotifyEvent OnCreate;

    using TWinControl::Canvas;

protected:
    // Builds the form and its components from the layout resource of that name; bindings name
    // the form's component fields and handlers.
    void InitForm(const char* resourceName, const TFormBindings& bindings);

    // A top-level widget, whatever the parent.
    TNativeWindow* CreateWidget(TNativeWindow* parent) override;
    void WidgetCreated() override;

private:
    // Defined by the glue: window title, frame and stacking; centring on the screen.
    void WidgetSetWindowStyle();
    void WidgetCenterOnScreen();

    AnsiString FCaption;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Prepares the toolkit and routes exceptions of the message loop to the exception report.
    void Initialize();

    // Names the program; the caption of its message boxes.
    AnsiString Title() const { return FTitle; }
    void SetTitle(const AnsiString& value) { FTitle = value; }

    // The running program file's full path.
    AnsiString ExeName() const;
    // Tests run a form as if it were the program at path.
    void SetExeNameForTests(const AnsiString& path) { FExeName = path; }

    // Creates a form owned by the application into reference; the first becomes the main form.
    template <class TFormClass>
    void CreateForm(TFormClass*& reference) {
        reference = new TFormClass(this);
        reference->AfterConstruction();
        if (!FMainForm) FMainForm = reference;
    }
    TForm* MainForm() const { return FMainForm; }

    // Shows the main form and serves the message loop until the main form closes.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // The exception report: a modal message box with a stop icon, an OK button, the title as
    // caption and the message, with "." added as ExceptionReportText says.
    void ShowException(const Exception* E);
    // Reports the exception being handled (an exception of another kind as an empty message).
    void HandleException(TObject* Sender);
    int MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags);

    // Frees the forms (for tests that run a form more than once).
    void DestroyForms();

private:
    AnsiString FTitle;
    mutable AnsiString FExeName;
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
};

extern TApplication* Application;
