// The top-level window of a form: title, frame and stacking, the menu bar above the client
// widget, centring on the screen, and the nested loop of a modal showing.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "rtl/codepage.h"
#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/qt/glue.h"
#include "vcl/testing.h"

namespace formsglue {
void InitializeToolkit() {
    // The message loop ends when the main form closes, not when the toolkit sees no window.
    EnsureGuiApplication()->setQuitOnLastWindowClosed(false);
}
}  // namespace formsglue

namespace {

QString ToQt(const AnsiString& text) { return QString::fromStdU16String(AnsiToUtf16(text)); }

constexpr int kMenuBarHeight = 20;  // TForm's one-line menu bar

// The nested loops of the modal forms being shown, innermost last.
std::vector<std::pair<TForm*, QEventLoop*>> gModalLoops;

template <class TTarget>
void AddItems(TTarget* target, TMenuItem* parent) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible()) continue;
        if (item->IsLine()) {
            target->addSeparator();
        } else if (item->Count() > 0) {
            QMenu* menu = target->addMenu(ToQt(item->Caption()));
            menu->setEnabled(item->Enabled());
            AddItems(menu, item);
        } else {
            QAction* action = target->addAction(ToQt(item->Caption()));
            action->setEnabled(item->Enabled());
            action->setData(QVariant::fromValue(reinterpret_cast<quintptr>(item)));
            QObject::connect(action, &QAction::triggered, action, [item] { Guarded([&] { item->Click(); }); });
        }
    }
}

QAction* FindAction(QWidget* menu, TMenuItem* item) {
    for (QAction* action : menu->actions()) {
        if (action->data().value<quintptr>() == reinterpret_cast<quintptr>(item)) return action;
        if (QMenu* sub = action->menu())
            if (QAction* found = FindAction(sub, item)) return found;
    }
    return nullptr;
}

}  // namespace

// ---- the activation around a modal window ----

TActiveWindowKeeper::TActiveWindowKeeper() : FWindow(QApplication::activeWindow()) {
    if (!FWindow && Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
        FWindow = QtWidget(Application->MainForm()->Widget())->window();
}

TActiveWindowKeeper::~TActiveWindowKeeper() {
    if (FWindow && FWindow->isVisible()) FWindow->activateWindow();
}

// ---- the form's window ----

TFormWindow::TFormWindow(TForm* form) : QWidget(nullptr, Qt::Window), FForm(form) {}

int TFormWindow::MenuHeight() const { return FMenuBar ? kMenuBarHeight : 0; }

void TFormWindow::SetMenuBar(QMenuBar* bar) {
    delete FMenuBar;
    FMenuBar = bar;
    if (bar) bar->show();
}

void TFormWindow::SetSizeable(bool value) { FSizeable = value; }

void TFormWindow::SetClientGeometry(int left, int top, int width, int height) {
    const QSize size(width, height + MenuHeight());
    if (FSizeable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(size);
    }
    move(left, top);
    resize(size);
    PlaceChildren(width, height + MenuHeight());  // a hidden window has its resize event later
}

void TFormWindow::PlaceChildren(int width, int height) {
    if (FMenuBar) FMenuBar->setGeometry(0, 0, width, kMenuBarHeight);
    if (FClient) FClient->setGeometry(0, MenuHeight(), width, std::max(height - MenuHeight(), 0));
}

void TFormWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    PlaceChildren(e->size().width(), e->size().height());
}

void TFormWindow::closeEvent(QCloseEvent* e) {
    // The form decides: the main form ends the program, a modal one ends its showing, any
    // other is hidden.
    e->ignore();
    if (TForm* form = FForm) Guarded([form] { form->Close(); });
}

bool TFormWindow::focusNextPrevChild(bool next) {
    const auto count = static_cast<std::ptrdiff_t>(FTabStops.size());
    QWidget* focus = focusWidget();
    std::ptrdiff_t from = next ? -1 : count;  // without a focused stop: the first or the last
    for (std::ptrdiff_t i = 0; i < count; ++i)
        if (QWidget* w = FTabStops[i]; w && focus && (w == focus || w->isAncestorOf(focus))) from = i;
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        const std::ptrdiff_t i = ((from + (next ? step : -step)) % count + count) % count;
        QWidget* w = FTabStops[i];
        if (w && w->isVisibleTo(this) && w->isEnabled()) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return QWidget::focusNextPrevChild(next);
}

void TFormWindow::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    const bool escape = e->key() == Qt::Key_Escape;
    if (FForm && (enter || escape) && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && enter) {
            button->click();
            return;
        }
        bool pressed = false;
        TForm* form = FForm;
        Guarded([&] { pressed = form->PressDialogButton(escape); });
        if (pressed) return;
    }
    QWidget::keyPressEvent(e);
}

// ---- TForm ----

TNativeWindow* TForm::CreateWidget(TNativeWindow*) {
    formsglue::InitializeToolkit();
    auto* window = new TFormWindow(this);
    auto* client = new TControlWidget<QWidget>(this, window);
    client->setAttribute(Qt::WA_OpaquePaintEvent);
    window->SetClient(client);
    return NativeWindow(client);
}

void TForm::WidgetCreated() {
    WidgetSetWindowStyle();
    WidgetSetMenu();
}

void TForm::WidgetSetWindowStyle() {
    TFormWindow* window = FormWindowOf(QtWidget(Widget()));
    window->setWindowTitle(PlainWindowTitle(ToQt(FCaption)));
    Qt::WindowFlags flags = Qt::Window;
    switch (FBorderStyle) {
        case bsNone: flags |= Qt::FramelessWindowHint; break;
        case bsDialog:
            flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
            break;
        case bsToolWindow:
        case bsSizeToolWin: flags = Qt::Tool; break;
        default: break;
    }
    if (FFormStyle == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
    window->SetSizeable(FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin);
    window->SetClientGeometry(Left(), Top(), std::max(ClientWidth(), 0), std::max(ClientHeight(), 0));
    if (window->windowFlags() == flags) return;
    bool shown = window->isVisible();
    window->setWindowFlags(flags);  // hides the window, so it is shown again
    if (shown) window->show();
}

void TForm::WidgetSetMenu() {
    TFormWindow* window = FormWindowOf(QtWidget(Widget()));
    QMenuBar* bar = nullptr;
    if (FMenu && FMenu->Items()->Count() > 0) {
        bar = new QMenuBar(window);
        bar->setNativeMenuBar(false);
        bar->setFont(ToQFont(*Font()));
        AddItems(bar, FMenu->Items());
    }
    window->SetMenuBar(bar);
    window->SetClientGeometry(Left(), Top(), std::max(ClientWidth(), 0), std::max(ClientHeight(), 0));
}

void TForm::WidgetCenterOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect area = screen->geometry();
    SetBounds(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2,
              Width(), Height());
}

void TForm::WidgetRunModal() {
    TFormWindow* window = FormWindowOf(QtWidget(Widget()));
    window->setWindowModality(Qt::ApplicationModal);
    const TActiveWindowKeeper keeper;
    QEventLoop loop;
    gModalLoops.push_back({this, &loop});
    try {
        Show();
        if (FModalResult == mrNone) loop.exec();
    } catch (...) {
        gModalLoops.pop_back();
        throw;
    }
    gModalLoops.pop_back();
    Hide();
    window->setWindowModality(Qt::NonModal);
}

void TForm::WidgetEndModal() {
    for (auto& [form, loop] : gModalLoops)
        if (form == this) loop->quit();
}

// ---- tests ----

bool ChooseMenuItemForTests(TForm* form, TMenuItem* item) {
    TFormWindow* window = FormWindowOf(QtWidget(form->Widget()));
    if (!window || !window->MenuBar()) return false;
    QAction* action = FindAction(window->MenuBar(), item);
    if (!action || !action->isEnabled()) return false;
    action->trigger();
    return true;
}
