#pragma once
// The widgets a dialog window is made of where Qt's own do not behave as the dialogs need, and
// the helpers that dress a widget in a control's edges and colours. Only the Qt backend
// includes this.

#include "ui/dialog.h"

#include <QColor>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QShortcutEvent>
#include <QString>
#include <QValidator>

#include <functional>
#include <utility>

namespace ui {

// What a caption shows: "&x" underlines x, "&&" is one ampersand.
QString WithoutMnemonics(const QString& caption);

// Remembers whether the next click of a button came from its mnemonic (Alt+letter), so
// the command can carry notification 1 as an accelerator's does.
struct MnemonicFlag {
    bool viaMnemonic = false;
    bool Take() { return std::exchange(viaMnemonic, false); }
};

template <class Button> class CommandButton : public Button, public MnemonicFlag {
public:
    using Button::Button;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Shortcut &&
            !static_cast<QShortcutEvent*>(event)->isAmbiguous())
            viaMnemonic = true;
        return Button::event(event);
    }
    void mousePressEvent(QMouseEvent* event) override {
        viaMnemonic = false;
        Button::mousePressEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        viaMnemonic = false;
        Button::keyPressEvent(event);
    }
};

// An option button whose group is a button group: Qt then gives Tab to the button that takes
// the focus and takes it from the others of the group. Here each keeps its own tab stop, as
// the option buttons of a Windows dialog do.
class OptionButton : public CommandButton<QRadioButton> {
public:
    using CommandButton::CommandButton;

protected:
    void focusInEvent(QFocusEvent* event) override;
};

// A label that reports clicks: a press is notification 0, a double click 1, as a Windows
// static with the notify style sends them. Qt delivers the second press of a double click
// as a press too; Windows does not, so that press is not reported.
class NotifyLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void(int code)> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Notify(int code);
    quint64 lastClick_ = 0;
};

// Typed letters become capitals; the caret stays after what was typed.
class UppercaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

// A group box drawn as Windows draws one: an etched rectangle from the middle of the title
// down, the title over it, nothing filled, so that controls on it keep the dialog's colour.
class EtchedGroupBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override;
};

// The edges a control's styles ask for, drawn as QFrame draws them.
void ApplyEdges(QFrame* frame, unsigned style);

QColor ToQColor(const Rgb& rgb);
// The control's text and background colours, where the table gives them.
void ApplyColours(QWidget* widget, const Control& control);

} // namespace ui
