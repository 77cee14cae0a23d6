// The real dialogs: the toolkit's modal message box, file dialog, colour dialog and folder
// dialog. The texts they are given are shown as text, never as markup.
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

#include "rtl/codepage.h"
#include "vcl/dialogs.h"
#include "vcl/graphics.h"
#include "vcl/qt/glue.h"

namespace {

QString ToQt(const AnsiString& text) { return QString::fromStdU16String(AnsiToUtf16(text)); }
AnsiString FromQt(const QString& text) { return Utf16ToAnsi(text.toStdU16String()); }

// "desc|a;b|desc2|c" as the toolkit's name filters "desc (a b)", "desc2 (c)".
QStringList NameFilters(const AnsiString& filter) {
    const QStringList parts = ToQt(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + " (" + parts[i + 1].split(';', Qt::SkipEmptyParts).join(' ') + ")";
    return filters;
}

class TQtDialogs : public TDialogs {
public:
    int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) override {
        EnsureGuiApplication();
        const TActiveWindowKeeper keeper;
        QMessageBox box((flags & MB_ICONSTOP) ? QMessageBox::Critical : QMessageBox::NoIcon,
                        PlainWindowTitle(ToQt(caption)), ToQt(text), QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);  // a message is text, whatever tags it holds
        box.exec();  // modal: the message loop goes on serving timers meanwhile
        return IDOK;
    }

    bool OpenFile(TOpenFileRequest& request) override {
        EnsureGuiApplication();
        const TActiveWindowKeeper keeper;
        QFileDialog dialog(nullptr, PlainWindowTitle(ToQt(request.Title)));
        dialog.setFileMode(QFileDialog::AnyFile);  // the chosen file need not exist
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        const QStringList filters = NameFilters(request.Filter);
        dialog.setNameFilters(filters);
        if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
            dialog.selectNameFilter(filters[request.FilterIndex - 1]);
        if (!request.InitialDir.IsEmpty()) dialog.setDirectory(ToQt(request.InitialDir));
        if (!request.FileName.IsEmpty()) dialog.selectFile(ToQt(request.FileName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        request.FileName = FromQt(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath());
        const qsizetype index = filters.indexOf(dialog.selectedNameFilter());
        if (index >= 0) request.FilterIndex = static_cast<int>(index) + 1;
        return true;
    }

    bool ChooseColor(TColor& color) override {
        EnsureGuiApplication();
        const TActiveWindowKeeper keeper;
        const TColor rgb = ColorToRGB(color);
        const QColor chosen = QColorDialog::getColor(
            QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)), nullptr);
        if (!chosen.isValid()) return false;
        color = RGB(chosen.red(), chosen.green(), chosen.blue());
        return true;
    }

    bool BrowseForFolder(const AnsiString& prompt, const AnsiString& initialFolder,
                         AnsiString& path) override {
        EnsureGuiApplication();
        const TActiveWindowKeeper keeper;
        // The prompt stands above the folders, as the shell's browser shows it, so that it is
        // seen also where the window has no title bar.
        QDialog dialog;
        dialog.setWindowTitle(PlainWindowTitle(ToQt(prompt)));
        auto* layout = new QVBoxLayout(&dialog);
        auto* label = new QLabel(ToQt(prompt), &dialog);
        label->setTextFormat(Qt::PlainText);  // a label would take a prompt with tags for markup
        label->setWordWrap(true);
        layout->addWidget(label);
        auto* browser = new QFileDialog(&dialog);
        browser->setWindowFlags(Qt::Widget);
        browser->setOption(QFileDialog::DontUseNativeDialog);
        browser->setOption(QFileDialog::ShowDirsOnly);
        browser->setFileMode(QFileDialog::Directory);
        const QString start = ToQt(initialFolder);
        if (!start.isEmpty() && QDir(start).exists()) browser->setDirectory(start);
        layout->addWidget(browser);
        QObject::connect(browser, &QFileDialog::finished, &dialog, &QDialog::done);
        if (dialog.exec() != QDialog::Accepted || browser->selectedFiles().isEmpty()) return false;
        path = FromQt(QDir::toNativeSeparators(browser->selectedFiles().first()));
        return true;
    }
};

}  // namespace

namespace dialogsglue {
TDialogs& RealDialogs() {
    static TQtDialogs dialogs;
    return dialogs;
}
}  // namespace dialogsglue
