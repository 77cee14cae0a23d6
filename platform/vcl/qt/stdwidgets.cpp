// The widgets that the toolkit draws for the standard controls: line edit, push button, check
// box, radio button and spin box. The control's state is pushed to them; their signals bring the
// user's typing and clicks back to the control.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <functional>

#include "rtl/codepage.h"
#include "vcl/graphics.h"
#include "vcl/nativeglue.h"
#include "vcl/qt/glue.h"
#include "vcl/spin.h"
#include "vcl/stdctrls.h"
#include "vcl/testing.h"

namespace {

QString ToQt(const AnsiString& text) { return QString::fromStdU16String(AnsiToUtf16(text)); }
AnsiString FromQt(const QString& text) { return Utf16ToAnsi(text.toStdU16String()); }

// A spin box without a value of its own: its line edit shows the control's text, whatever it
// holds, and its arrows, Up and Down keys and wheel step the control.
class TSpinWidget : public TToolkitWidget<QAbstractSpinBox> {
public:
    TSpinWidget(TWinControl* control, QWidget* parent, std::function<void(int)> step)
        : TToolkitWidget<QAbstractSpinBox>(control, parent), FStep(std::move(step)) {}
    QLineEdit* Edit() const { return lineEdit(); }
    void stepBy(int steps) override {
        Guarded([&] { FStep(steps); });
    }

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    std::function<void(int)> FStep;
};

// The classic check box and radio button paint their face colour over their whole bounds, so
// that nothing beneath them shows (a panel's caption).
void FillBackground(QWidget* w, TColor color) {
    const TColor rgb = ColorToRGB(color);
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
    w->setPalette(palette);
    w->setBackgroundRole(QPalette::Window);
    w->setAutoFillBackground(true);
}

QWidget* ExistingWidget(TWinControl* control) {
    return control->HandleAllocated() ? QtWidget(control->Widget()) : nullptr;
}

}  // namespace

namespace nativeglue {

void SetText(TWinControl* control, const AnsiString& text) {
    QWidget* w = ExistingWidget(control);
    if (!w) return;
    const QString q = ToQt(text);
    // Only the user's changes come back through the widget's signals.
    const QSignalBlocker blocker(w);
    if (auto* spin = dynamic_cast<TSpinWidget*>(w)) {
        const QSignalBlocker editBlocker(spin->Edit());
        if (spin->Edit()->text() != q) spin->Edit()->setText(q);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (edit->text() != q) edit->setText(q);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(q);
    }
}

void SetChecked(TWinControl* control, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(ExistingWidget(control));
    if (!button || button->isChecked() == checked) return;
    // An exclusive radio button refuses to be unchecked; the class library's may be.
    const QSignalBlocker blocker(button);
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(exclusive);
}

void SetDefault(TWinControl* control, bool isDefault) {
    if (auto* button = qobject_cast<QPushButton*>(ExistingWidget(control))) button->setDefault(isDefault);
}

void SetFont(TWinControl* control) {
    if (QWidget* w = ExistingWidget(control)) w->setFont(ToQFont(*control->Font()));
}

}  // namespace nativeglue

TNativeWindow* TEdit::CreateWidget(TNativeWindow* parent) {
    EnsureGuiApplication();
    auto* w = new TToolkitWidget<QLineEdit>(this, QtWidget(parent));
    QObject::connect(w, &QLineEdit::textChanged, w, [this](const QString& text) {
        Guarded([&] { SetText(FromQt(text)); });
    });
    return NativeWindow(w);
}

TNativeWindow* TButton::CreateWidget(TNativeWindow* parent) {
    EnsureGuiApplication();
    auto* w = new TToolkitWidget<QPushButton>(this, QtWidget(parent));
    w->setAutoDefault(false);
    QObject::connect(w, &QPushButton::clicked, w, [this] { Guarded([&] { Click(); }); });
    return NativeWindow(w);
}

TNativeWindow* TCheckBox::CreateWidget(TNativeWindow* parent) {
    EnsureGuiApplication();
    auto* w = new TToolkitWidget<QCheckBox>(this, QtWidget(parent));
    FillBackground(w, Color());
    QObject::connect(w, &QCheckBox::toggled, w, [this](bool on) { Guarded([&] { WidgetToggled(on); }); });
    return NativeWindow(w);
}

TNativeWindow* TRadioButton::CreateWidget(TNativeWindow* parent) {
    EnsureGuiApplication();
    auto* w = new TToolkitWidget<QRadioButton>(this, QtWidget(parent));
    FillBackground(w, Color());
    QObject::connect(w, &QRadioButton::toggled, w, [this](bool on) { Guarded([&] { WidgetToggled(on); }); });
    return NativeWindow(w);
}

TNativeWindow* TCSpinEdit::CreateWidget(TNativeWindow* parent) {
    EnsureGuiApplication();
    auto* w = new TSpinWidget(this, QtWidget(parent), [this](int steps) { Step(steps); });
    QObject::connect(w->Edit(), &QLineEdit::textChanged, w, [this](const QString& text) {
        Guarded([&] { SetText(FromQt(text)); });
    });
    return NativeWindow(w);
}

// ---- tests ----

void TypeTextForTests(TWinControl* control, const AnsiString& text) {
    QWidget* w = QtWidget(control->Widget());
    if (auto* spin = dynamic_cast<TSpinWidget*>(w))
        spin->Edit()->setText(ToQt(text));
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(ToQt(text));
}
