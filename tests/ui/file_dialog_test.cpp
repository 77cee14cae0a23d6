// The editor's open-file dialog and folder browser as the author sees them: the toolkit's real
// dialogs, opened by the editor's buttons and menu, read while they are up (filter entries, files
// listed, name box, the size, type and date of a file) and then answered. ctest runs this file
// also under the C and an English locale: what the dialogs show may not depend on the user's.
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

#include "editor_fixture.h"
#include "support/widgets.h"

// Texts in a failure message as they read.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using namespace editortest;
using widgettest::ActiveWindowOf;
using widgettest::WidgetOf;

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int kDeadline = 20000;  // ms; only against hangs

// The dialog keeps its view (columns and their widths, folders seen) in the user's settings: the
// tests keep theirs in a folder of their own, made before the first dialog reads it.
class TOwnDialogSettings {
public:
    TOwnDialogSettings() {
        char pattern[] = "/tmp/file_dialog_settings_XXXXXX";
        if (mkdtemp(pattern)) FFolder = pattern;
        setenv("XDG_CONFIG_HOME", FFolder.c_str(), 1);
    }
    ~TOwnDialogSettings() {
        std::error_code ec;
        fs::remove_all(FFolder, ec);
    }

private:
    fs::path FFolder;
};

// The open-file dialog while it is up, read as the author sees it.
class TOpenDialogView {
public:
    explicit TOpenDialogView(QFileDialog* dialog)
        : FDialog(dialog),
          FFilters(dialog->findChild<QComboBox*>("fileTypeCombo")),
          FNameBox(dialog->findChild<QLineEdit*>("fileNameEdit")),
          FList(dialog->findChild<QTreeView*>()) {}

    bool Complete() const { return FFilters && FNameBox && FList; }

    QStringList Filters() const {
        QStringList texts;
        for (int i = 0; i < FFilters->count(); ++i) texts << FFilters->itemText(i);
        return texts;
    }
    QString Filter() const { return FFilters->currentText(); }
    QString NameBox() const { return FNameBox->text(); }

    // The names the detail view lists, in its order.
    QStringList Files() const {
        QStringList names;
        const QAbstractItemModel* model = FList->model();
        for (int row = 0; row < model->rowCount(FList->rootIndex()); ++row)
            names << model->index(row, 0, FList->rootIndex()).data().toString();
        return names;
    }
    QStringList Selected() const {
        QStringList names;
        for (const QModelIndex& index : FList->selectionModel()->selectedRows()) names << index.data().toString();
        return names;
    }
    // The size, type and date columns of a file listed (empty when it is not listed).
    QStringList Details(const QString& name) const {
        const QModelIndex row = Row(name);
        if (!row.isValid()) return {};
        QStringList texts;
        for (int column = 1; column <= 3; ++column) texts << row.siblingAtColumn(column).data().toString();
        return texts;
    }
    // Whether a column shows its texts whole: wide enough for each, and inside the list's view.
    bool ShownWhole(int column) const {
        const QHeaderView* header = FList->header();
        const QAbstractItemView* view = FList;  // the width its texts need, as the view measures it
        return header->sectionSize(column) >= view->sizeHintForColumn(column) &&
               header->sectionViewportPosition(column) + header->sectionSize(column) <= FList->viewport()->width();
    }

    // Waits for what the folder's listing brings (the dialog lists a folder in the background).
    bool WaitFor(const std::function<bool()>& shown) const { return QTest::qWaitFor(shown, kDeadline); }

    // A click on the file's row, then on the accept button.
    void Choose(const QString& name) const {
        const QRect place = FList->visualRect(Row(name));
        QTest::mouseClick(FList->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
        auto* buttons = FDialog->findChild<QDialogButtonBox*>();
        QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
    }
    void Cancel() const {
        auto* buttons = FDialog->findChild<QDialogButtonBox*>();
        QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    }
    // The filter entry below the one selected, picked with the keyboard.
    void NextFilter() const {
        FFilters->setFocus();
        QTest::keyClick(FFilters, Qt::Key_Down);
    }

private:
    QModelIndex Row(const QString& name) const {
        const QAbstractItemModel* model = FList->model();
        for (int row = 0; row < model->rowCount(FList->rootIndex()); ++row) {
            const QModelIndex index = model->index(row, 0, FList->rootIndex());
            if (index.data().toString() == name) return index;
        }
        return {};
    }

    QFileDialog* FDialog;
    QComboBox* FFilters;
    QLineEdit* FNameBox;
    QTreeView* FList;
};

// Runs answer on the file dialog that the next command opens, inside its modal loop; a guard
// rejects a dialog that the answer left open, so that a failing test cannot hang.
class TDialogAnswer {
public:
    explicit TDialogAnswer(std::function<void(const TOpenDialogView&)> answer) {
        QTimer::singleShot(0, &FContext, [this, answer] {
            if (QFileDialog* dialog = Shown()) {
                const TOpenDialogView view(dialog);
                Seen = view.Complete();
                if (Seen) answer(view);
            }
        });
        FGuard.setSingleShot(true);
        QObject::connect(&FGuard, &QTimer::timeout, &FContext, [this] {
            if (QFileDialog* dialog = Shown()) {
                Forced = true;
                dialog->reject();
            }
        });
        FGuard.start(3 * kDeadline);
    }
    bool Seen = false;    // a file dialog was up, with its filter box, name box and list
    bool Forced = false;  // the guard had to close it

private:
    // The file dialog on screen: a window of its own, or inside one (the folder browser).
    static QFileDialog* Shown() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            if (!dialog) dialog = window->findChild<QFileDialog*>();
            if (dialog && dialog->isVisible()) return dialog;
        }
        return nullptr;
    }

    QObject FContext;
    QTimer FGuard;
};

class FileDialogTest : public EditorTest {
protected:
    void SetUp() override {
        static TOwnDialogSettings settings;
        EditorTest::SetUp();
        SetDialogs(nullptr);  // the toolkit's real dialogs
        ActiveWindowOf(FrmMain);
        SetRoot(Root);
    }
    // Opens a chooser as the author does and answers its dialog.
    void Open(const std::function<void()>& open, std::function<void(const TOpenDialogView&)> answer) {
        TDialogAnswer dialog(std::move(answer));
        open();
        EXPECT_TRUE(dialog.Seen);
        EXPECT_FALSE(dialog.Forced);
    }
    void RunFileChooser() { QTest::mouseClick(WidgetOf(FrmMain->Button2), Qt::LeftButton); }
    void IconChooser() { QTest::mouseClick(WidgetOf(FrmMain->Button3), Qt::LeftButton); }
    void SettingsFileDialog() { ASSERT_TRUE(ChooseMenuItemForTests(FrmMain, FrmMain->O1)); }
    void File(const std::string& name, std::size_t size) { WriteFile(Root / name, std::string(size, 'x')); }
};

TEST_F(FileDialogTest, EachFilterEntryShowsItsDescriptionOnceAndItsPatternsFilter) {
    for (const char* name : {"index.htm", "page.html", "readme.txt", "red.ico", "Varnith2.ini"}) File(name, 10);
    const struct {
        const char* Name;
        std::function<void()> Open;
        QStringList Filters, Files;
    } choosers[] = {
        {"file to open", [&] { RunFileChooser(); },
         {Q("HTMLファイル(*.htm,*html)"), Q("パワーポイントファイル(*.ppt,*.pps)"), Q("実行ファイル(*.exe)"),
          Q("テキストファイル(*.txt)"), Q("全てのファイル(*.*)")},
         {"index.htm", "page.html"}},
        {"icon", [&] { IconChooser(); }, {Q("アイコンファイル(*.ico)"), Q("全てのファイル(*.*)")}, {"red.ico"}},
        {"settings file", [&] { SettingsFileDialog(); }, {Q("設定ファイル(Varnith2.ini)")}, {"Varnith2.ini"}},
    };
    for (const auto& c : choosers) {
        Open(c.Open, [&](const TOpenDialogView& dialog) {
            EXPECT_EQ(dialog.Filters(), c.Filters) << c.Name;
            EXPECT_EQ(dialog.Filter(), c.Filters[0]) << c.Name;
            dialog.WaitFor([&] { return dialog.Files() == c.Files; });
            EXPECT_EQ(dialog.Files(), c.Files) << c.Name;
            dialog.Cancel();
        });
    }
}

TEST_F(FileDialogTest, TheFilterEntryChosenIsKeptForTheNextUse) {
    File("index.htm", 10);
    File("readme.txt", 10);
    Open([&] { RunFileChooser(); }, [&](const TOpenDialogView& dialog) {
        for (int i = 0; i < 3; ++i) dialog.NextFilter();
        EXPECT_EQ(dialog.Filter(), Q("テキストファイル(*.txt)"));
        dialog.WaitFor([&] { return dialog.Files() == QStringList{"readme.txt"}; });
        ASSERT_EQ(dialog.Files(), QStringList{"readme.txt"});
        dialog.Choose("readme.txt");
    });
    EXPECT_EQ(AnsiToUtf8(FrmMain->LabeledEdit4->Text()), "readme.txt");
    EXPECT_EQ(FrmMain->OpenDialog1->FilterIndex, 4);

    Open([&] { RunFileChooser(); }, [&](const TOpenDialogView& dialog) {
        EXPECT_EQ(dialog.Filter(), Q("テキストファイル(*.txt)"));
        EXPECT_EQ(dialog.NameBox(), "readme.txt");
        dialog.Cancel();
    });
}

// The settings-file dialog sets only its filter: the icon just chosen is still its file name.
// As on the author's Windows, the name box offers that name, while the list holds only the
// settings file.
TEST_F(FileDialogTest, TheSettingsFileDialogListsOnlyTheSettingsFileAfterAnIconWasChosen) {
    WriteFile(Root / "red.ico", ReadFile(fs::path(VARNITH_SOURCE_DIR) / "resources" / "Varnith2.ico"));
    File("Varnith2.ini", 10);
    Open([&] { IconChooser(); }, [&](const TOpenDialogView& dialog) {
        dialog.WaitFor([&] { return dialog.Files().contains("red.ico"); });
        dialog.Choose("red.ico");
    });
    ASSERT_EQ(AnsiToUtf8(FrmMain->LabeledEdit3->Text()), (Root / "red.ico").string());

    Open([&] { SettingsFileDialog(); }, [&](const TOpenDialogView& dialog) {
        dialog.WaitFor([&] { return dialog.Files() == QStringList{"Varnith2.ini"}; });
        EXPECT_EQ(dialog.Files(), QStringList{"Varnith2.ini"});
        EXPECT_EQ(dialog.Selected(), QStringList{});
        EXPECT_EQ(dialog.NameBox(), "red.ico");
        dialog.Cancel();
    });
}

// The file dialog and the folder browser list the same way.
TEST_F(FileDialogTest, SizesTypesAndDatesAreJapaneseAndShownWhole) {
    File("index.htm", 12);
    File("page.html", 3 * 1024 / 2);
    fs::create_directories(Root / "doc");
    const std::time_t written = QDateTime(QDate(2004, 3, 5), QTime(6, 7, 8)).toSecsSinceEpoch();
    for (const char* name : {"index.htm", "page.html", "doc"}) {
        const timespec times[2] = {{written, 0}, {written, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, (Root / name).c_str(), times, 0), 0) << name;
    }
    const QStringList small = {Q("12 バイト"), Q("HTML ドキュメント"), Q("2004/03/05 6:07")};
    const QStringList larger = {Q("1.50 KiB"), Q("HTML ドキュメント"), Q("2004/03/05 6:07")};
    const QStringList folder = {"", Q("フォルダー"), Q("2004/03/05 6:07")};
    const struct {
        const char* Name;
        std::function<void()> Open;
        std::vector<std::pair<QString, QStringList>> Rows;
    } dialogs[] = {
        {"file to open", [&] { RunFileChooser(); }, {{"index.htm", small}, {"page.html", larger}, {"doc", folder}}},
        {"folder browser", [&] { QTest::mouseClick(WidgetOf(FrmMain->Button1), Qt::LeftButton); }, {{"doc", folder}}},
    };
    for (const auto& d : dialogs) {
        Open(d.Open, [&](const TOpenDialogView& dialog) {
            auto shown = [&] {
                for (const auto& [name, details] : d.Rows)
                    if (dialog.Details(name) != details) return false;
                return true;
            };
            dialog.WaitFor(shown);
            for (const auto& [name, details] : d.Rows) EXPECT_EQ(dialog.Details(name), details) << d.Name;
            for (int column = 1; column <= 3; ++column) {
                dialog.WaitFor([&] { return dialog.ShownWhole(column); });
                EXPECT_TRUE(dialog.ShownWhole(column)) << d.Name << " " << column;
            }
            dialog.Cancel();
        });
    }
}

}  // namespace
