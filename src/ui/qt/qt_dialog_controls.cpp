// The controls of a dialog window, each made from its row of the table: its widget, font,
// colours and place; then the labels' mnemonics passed to the boxes they name, the tab order,
// and the names screen readers read for boxes that have none of their own.

#include "ui/qt/qt_dialog.h"

#include "ui/qt/qt_widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <cstdlib>

namespace ui {

QWidget* DialogWindow::CreateControl(const ui::Control& control) {
    QWidget* widget = nullptr;
    const QString caption = WidgetText(control.caption);
    switch (control.kind) {
    case ControlKind::Edit:
        widget = CreateEdit(control);
        break;
    case ControlKind::PushButton: {
        auto* button = new CommandButton<QPushButton>(caption, this);
        // Enter presses no button in these dialogs.
        button->setAutoDefault(false);
        button->setDefault(false);
        ConnectButton(button, control);
        widget = button;
        break;
    }
    case ControlKind::RadioButton: {
        auto* button = new OptionButton(caption, this);
        // Exclusivity is kept here on clicks only, so that the program can clear both
        // buttons of a group: each group is a button group that is not exclusive. The
        // buttons stay auto-exclusive, which is what makes screen readers call them option
        // buttons rather than check boxes; a button in a group follows the group's rule.
        const int first = OptionGroup(table_, control.id).front();
        if (first == control.id) {
            auto* group = new QButtonGroup(this);
            group->setExclusive(false);
            group->addButton(button);
        } else {
            static_cast<QAbstractButton*>(Control(first))->group()->addButton(button);
        }
        ConnectButton(button, control);
        widget = button;
        break;
    }
    case ControlKind::CheckBox: {
        auto* button = new CommandButton<QCheckBox>(caption, this);
        ConnectButton(button, control);
        widget = button;
        break;
    }
    case ControlKind::Label:
        widget = CreateLabel(control);
        break;
    case ControlKind::GroupBox: {
        auto* box = new EtchedGroupBox(caption, this);
        box->setFocusPolicy(Qt::NoFocus);
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget = box;
        break;
    }
    case ControlKind::Picture:
        widget = CreatePicture(control);
        break;
    case ControlKind::StatusBar: {
        auto* bar = new QStatusBar(this);
        bar->setSizeGripEnabled(false);
        auto* text = new QLabel(caption, bar);
        text->setTextFormat(Qt::PlainText);
        text->setObjectName(QStringLiteral("c%1text").arg(control.id));
        bar->addWidget(text, 1);
        // The status bar keeps the desktop's window colour, as a status bar does.
        QPalette palette = bar->palette();
        palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
        bar->setPalette(palette);
        bar->setAutoFillBackground(true);
        widget = bar;
        break;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(this);
        bar->setRange(0, 1);
        bar->setValue(0);
        bar->setTextVisible(false);
        widget = bar;
        break;
    }
    case ControlKind::EtchedFrame: {
        auto* frame = new QFrame(this);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        frame->setLineWidth(1);
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget = frame;
        break;
    }
    }

    if (control.font >= 0 && static_cast<std::size_t>(control.font) < fonts_.size())
        widget->setFont(fonts_[control.font]);
    ApplyColours(widget, control);

    QRect area = DialogUnitsToPixels(units_, control.x, control.y, control.width, control.height);
    if (control.kind == ControlKind::StatusBar) // lies along the bottom edge, full width
        area = QRect(0, height() - area.height(), width(), area.height());
    widget->setGeometry(area);

    if (control.kind == ControlKind::Picture) {
        auto* picture = static_cast<QLabel*>(widget);
        const QPixmap bitmap = ResourceBitmap(control.resource);
        if (!bitmap.isNull()) {
            // Fitted into the area with its proportions kept; the margins take the colour
            // of the bitmap's corner, so the picture reads as one surface.
            QPalette palette = picture->palette();
            palette.setColor(QPalette::Window, bitmap.toImage().pixelColor(0, 0));
            picture->setPalette(palette);
            picture->setAutoFillBackground(true);
            picture->setPixmap(bitmap.scaled(picture->contentsRect().size(), Qt::KeepAspectRatio,
                                             Qt::SmoothTransformation));
        }
    }
    return widget;
}

QWidget* DialogWindow::CreateEdit(const ui::Control& control) {
    const unsigned style = control.style;
    if (style & Multiline) {
        auto* edit = new QPlainTextEdit(this);
        edit->setTabChangesFocus(true);
        edit->setReadOnly(style & ReadOnly);
        if (style & ReadOnly)
            edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        // Without a tab stop a multi-line box is reached by the mouse only, as on Windows.
        if (!(style & TabStop))
            edit->setFocusPolicy(Qt::ClickFocus);
        edit->setLineWrapMode((style & AutoHScroll) ? QPlainTextEdit::NoWrap
                                                    : QPlainTextEdit::WidgetWidth);
        edit->setVerticalScrollBarPolicy((style & VerticalScroll) ? Qt::ScrollBarAsNeeded
                                                                  : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy((style & AutoHScroll) ? Qt::ScrollBarAsNeeded
                                                                 : Qt::ScrollBarAlwaysOff);
        edit->document()->setDocumentMargin(2);
        ApplyEdges(edit, style & (StaticEdge | ModalFrame));
        edit->setPlainText(WidgetText(control.caption));
        return edit;
    }
    auto* edit = new QLineEdit(this);
    edit->setReadOnly(style & ReadOnly);
    if (style & Password)
        edit->setEchoMode(QLineEdit::Password);
    edit->setText(WidgetText(control.caption));
    if (style & Uppercase)
        edit->setValidator(new UppercaseValidator(edit));
    return edit;
}

QWidget* DialogWindow::CreateLabel(const ui::Control& control) {
    QLabel* label = nullptr;
    if (control.style & Notify) {
        auto* notifying = new NotifyLabel(this);
        notifying->onClick = [this, id = control.id](int code) {
            Report({DialogEventKind::Command, id, code});
        };
        label = notifying;
    } else {
        label = new QLabel(this);
        // A plain static lets the mouse through to what lies beneath it.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    label->setTextFormat(Qt::PlainText);
    // A longer text goes on in the next line, broken between words, as in a Windows static.
    label->setWordWrap(true);
    label->setText(WidgetText(control.caption));
    label->setAlignment(((control.style & Centered) ? Qt::AlignHCenter : Qt::AlignLeft) |
                        Qt::AlignTop);
    if (control.style & Link)
        label->setCursor(Qt::PointingHandCursor);
    ApplyEdges(label, control.style);
    return label;
}

QWidget* DialogWindow::CreatePicture(const ui::Control& control) {
    auto* picture = new QLabel(this);
    picture->setAlignment(Qt::AlignCenter);
    picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    ApplyEdges(picture, control.style);
    return picture;
}

void DialogWindow::ConnectButton(QAbstractButton* button, const ui::Control& control) {
    auto* flag = dynamic_cast<MnemonicFlag*>(button);
    const int id = control.id;
    const bool radio = control.kind == ControlKind::RadioButton;
    connect(button, &QAbstractButton::clicked, this, [this, flag, id, radio] {
        const int code = flag != nullptr && flag->Take() ? Accelerator : Clicked;
        if (radio)
            ClickedRadio(id);
        Report({DialogEventKind::Command, id, code});
    });
}

void DialogWindow::ClickedRadio(int id) {
    // An automatic option button is checked by a click, however often it is clicked, and
    // clears the others of its group.
    for (int member : OptionGroup(table_, id))
        SetChecked(member, member == id);
}

void DialogWindow::SetUpBuddies() {
    // A label's mnemonic moves the focus to the next control Tab reaches, as on Windows;
    // with that buddy the label also shows "&&" as one ampersand.
    const std::size_t count = widgets_.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (table_.controls[i].kind != ControlKind::Label ||
            table_.controls[i].caption.find('&') == std::string::npos)
            continue;
        for (std::size_t step = 1; step < count; ++step) {
            QWidget* next = widgets_[(i + step) % count];
            if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() &&
                next->isVisibleTo(this)) {
                static_cast<QLabel*>(widgets_[i])->setBuddy(next);
                break;
            }
        }
    }
}

void DialogWindow::SetUpTabOrder() {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets_) {
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous != nullptr)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void DialogWindow::NameEditsAfterLabels() {
    // A text box is named by the caption of the label just above it or, where none is, just
    // before it on its row, so that a screen reader says what the box is for.
    const auto& controls = table_.controls;
    for (std::size_t e = 0; e < controls.size(); ++e) {
        const ui::Control& edit = controls[e];
        if (edit.kind != ControlKind::Edit || !edit.accessibleName.empty())
            continue;
        const ui::Control* best = nullptr;
        int bestGap = 0;
        for (const bool above : {true, false}) {
            if (best != nullptr)
                break;
            for (const ui::Control& label : controls) {
                if (label.kind != ControlKind::Label || label.caption.empty() ||
                    (label.style & Hidden))
                    continue;
                const int gap =
                    above ? edit.y - (label.y + label.height) : edit.x - (label.x + label.width);
                const int offset = above ? label.x - edit.x : label.y - edit.y;
                if (gap < -2 || gap > 12 || std::abs(offset) > (above ? 8 : 4))
                    continue;
                if (best == nullptr || gap < bestGap) {
                    best = &label;
                    bestGap = gap;
                }
            }
        }
        if (best != nullptr)
            widgets_[e]->setAccessibleName(WithoutMnemonics(WidgetText(best->caption)));
    }
}

} // namespace ui
