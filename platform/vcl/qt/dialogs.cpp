// The real dialogs: the toolkit's modal message box, file dialog, colour dialog and folder
// dialog. The texts they are given are shown as text, never as markup.
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QScreen>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

#include "rtl/codepage.h"
#include "vcl/dialogs.h"
#include "vcl/graphics.h"
#include "vcl/qt/glue.h"

namespace {

QString ToQt(const AnsiString& text) { return QString::fromStdU16String(AnsiToUtf16(text)); }
AnsiString FromQt(const QString& text) { return Utf16ToAnsi(text.toStdU16String()); }

// The entries of a filter "desc|a;b|desc2|c": their descriptions and the toolkit's name filters
// "desc (a b)", "desc2 (c)". The dialog shows only the descriptions (they name their patterns
// themselves); the patterns are what filters.
struct TFilterEntries {
    QStringList Descriptions, NameFilters;

    explicit TFilterEntries(const AnsiString& filter) {
        const QStringList parts = ToQt(filter).split('|');
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
            Descriptions << parts[i];
            NameFilters << parts[i] + " (" + parts[i + 1].split(';', Qt::SkipEmptyParts).join(' ') + ")";
        }
    }

    // The entry selected in the dialog, from 1 (0: none). The toolkit names it by the
    // description it shows (Qt 6.4) or by its name filter (later versions).
    int Selected(const QFileDialog& dialog) const {
        const QString selected = dialog.selectedNameFilter();
        for (qsizetype i = 0; i < NameFilters.size(); ++i)
            if (selected == NameFilters[i] || selected == Descriptions[i]) return static_cast<int>(i) + 1;
        return 0;
    }
};

// The file list's columns.
enum { NameColumn, SizeColumn, TypeColumn, DateColumn };

// The file list with its sizes and dates in the program's locale, Japanese, where the toolkit's
// own list takes the user's. The type names of files come in the program's locale from the MIME
// database; so does the folders' one, which the toolkit's translations lack.
class TFileList : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files) return QIdentityProxyModel::data(index, role);
        const QModelIndex file = mapToSource(index);
        switch (index.column()) {
            case SizeColumn: return files->isDir(file) ? QString() : QLocale().formattedDataSize(files->size(file));
            case TypeColumn:
                if (files->isDir(file)) return FFolderType;
                break;
            case DateColumn: return QLocale().toString(files->lastModified(file), QLocale::ShortFormat);
        }
        return QIdentityProxyModel::data(index, role);
    }

private:
    const QString FFolderType = QMimeDatabase().mimeTypeForName("inode/directory").comment();
};

// The toolkit's own file dialog (the same on every desktop), its list in the program's
// language. Each folder listed widens the size, type and date columns to what they show, and the
// window so far as the list needs to show them (within the screen).
void ListFilesInJapanese(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new TFileList(&dialog));
    auto* files = qobject_cast<QFileSystemModel*>(dialog.proxyModel()->sourceModel());
    auto* list = dialog.findChild<QTreeView*>();
    if (!list || !files) return;
    QObject::connect(files, &QFileSystemModel::directoryLoaded, list, [list] {
        // Queued: the rows of the folder are sorted in first.
        QMetaObject::invokeMethod(list, [list] {
            for (int column : {SizeColumn, TypeColumn, DateColumn}) list->resizeColumnToContents(column);
            QWidget* window = list->window();
            const int missing = list->header()->length() - list->viewport()->width();
            if (missing <= 0 || !window->screen()) return;
            const QRect screen = window->screen()->availableGeometry();
            const int width = std::min(window->width() + missing, screen.width());
            window->resize(width, window->height());
            if (window->frameGeometry().right() > screen.right())
                window->move(std::max(screen.left(), screen.right() + 1 - window->frameGeometry().width()), window->y());
        }, Qt::QueuedConnection);
    });
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
        ListFilesInJapanese(dialog);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setFileMode(QFileDialog::AnyFile);  // the chosen file need not exist
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (!request.InitialDir.IsEmpty()) dialog.setDirectory(ToQt(request.InitialDir));
        // The name proposed goes into the name box whether the filter takes it or not. The
        // toolkit would also list that file until the filters are next set: they are set after it,
        // so that the list holds only what the filter takes.
        if (!request.FileName.IsEmpty()) dialog.selectFile(ToQt(request.FileName));
        const TFilterEntries filters(request.Filter);
        dialog.setNameFilters(filters.NameFilters);
        if (request.FilterIndex >= 1 && request.FilterIndex <= filters.NameFilters.size())
            dialog.selectNameFilter(filters.NameFilters[request.FilterIndex - 1]);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        request.FileName = FromQt(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath());
        if (const int selected = filters.Selected(dialog)) request.FilterIndex = selected;
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
        ListFilesInJapanese(*browser);
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
