// The launcher's program entry, in the role of WinMain: no arguments are read, and the exit
// code is 0 in every case.
#include "Unit1.h"
#include "vcl/forms.h"

int main() {
    try {
        Application->Initialize();
        Application->SetTitle("Trellan 2");
        Application->CreateForm(Form1);
        Application->Run();
    } catch (Exception& exception) {
        Application->ShowException(&exception);
    } catch (...) {
        Exception exception("");
        Application->ShowException(&exception);
    }
    return 0;
}
