// The real dialogs: the toolkit's modal dialogs.
#include <QMessageBox>

#include "rtl/codepage.h"
#include "vcl/dialogs.h"
#include "vcl/qt/glue.h"

namespace {

QString ToQt(const AnsiString& text) { return QString::fromStdU16String(AnsiToUtf16(text)); }

class TQtDialogs : public TDialogs {
public:
    int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) override {
        EnsureGuiApplication();
        QMessageBox box((flags & MB_ICONSTOP) ? QMessageBox::Critical : QMessageBox::NoIcon,
                        ToQt(caption), ToQt(text), QMessageBox::Ok);
        box.exec();  // modal: the message loop goes on serving timers meanwhile
        return IDOK;
    }
};

}  // namespace

namespace dialogsglue {
TDialogs& RealDialogs() {
    static TQtDialogs dialogs;
    return dialogs;
}
}  // namespace dialogsglue
