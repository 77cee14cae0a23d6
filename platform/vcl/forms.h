// The class library's forms unit: TForm, a top-level window whose client area it paints itself
// (its Color, then its graphic children), built from its layout resource; and TApplication, the
// application object with the message loop and the exception report. Stands in for a Windows
// top-level window with a Qt top-level widget (its menu bar above the client widget). Width and
// Height are the outer size, the client area that less the frame, caption bar and menu bar of
// the classic Windows metrics (a form without a frame: the client size).
#pragma once

#include <cstdint>

#include "rtl/sysutils.h"
#include "vcl/controls.h"
#include "vcl/formloader.h"
#include "vcl/loop.h"
#include "vcl/stdctrls.h"

class TMainMenu;

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
    ~TForm() override;

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
    // The menu bar; it takes its height off the client area.
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* value);
    // A layout names the menu before the menu exists: it is found by name when loading ends.
    void SetMenuName(const AnsiString& name) { FMenuName = name; }

    int ClientWidth() const override;
    int ClientHeight() const override;

    void SetVisible(bool value) override;
    void Show();
    void Hide() { SetVisible(false); }
    // Closing the main form ends the application; any other form is hidden.
    void Close();

    // Shows the form as a modal window and serves the message loop until ModalResult is set (by
    // a button with a modal result, or mrCancel when the form is closed); hides it and returns
    // that result.
    TModalResult ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    // The keyboard's dialog keys: Enter presses the form's default button, Escape its cancel
    // button; false when the form has no such (visible) button.
    bool PressDialogButton(bool cancel);
    void SetModalResult(TModalResult value);
    void Loaded() override;

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
    // Defined by the glue: window title, frame and stacking; centring on the screen; the menu
    // bar; the nested loop of a modal showing and its end.
    void WidgetSetWindowStyle();
    void WidgetCenterOnScreen();
    void WidgetSetMenu();
    void WidgetRunModal();
    void WidgetEndModal();
    // The frame's width on each side and the caption bar's height, by the border style.
    int FrameWidth() const;
    int CaptionHeight() const;
    int MenuHeight() const;

    AnsiString FCaption;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
    TMainMenu* FMenu = nullptr;
    AnsiString FMenuName;  // named by the layout, found once every component exists
    TModalResult FModalResult = mrNone;
    bool FModal = false;
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
    // Serves the window events, due timers and posted work that wait now, then returns.
    void ProcessMessages() { MessageLoop().ProcessMessages(); }
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
