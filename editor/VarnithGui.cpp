// The settings editor's program entry, in the role of WinMain: no arguments are read, and the
// exit code is 0 in every case.
#include "AboutFrm.h"
#include "MainFrm.h"
#include "vcl/forms.h"

int main() {
    try {
        Application->Initialize();
        Application->SetTitle("Trellan2 GUI 設定"_cp932);
        // The help menu opens the help file itself: the framework's help system is bound to none.
        Application->CreateForm(FrmMain);
        Application->CreateForm(AboutBox);
        Application->Run();
    } catch (Exception& exception) {
        Application->ShowException(&exception);
    } catch (...) {
        Exception exception("");
        Application->ShowException(&exception);
    }
    return 0;
}
