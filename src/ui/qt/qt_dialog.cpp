// The dialog window built from a table: its frame, fonts and size, the program's text in and
// out of its controls, activation, the close box and the keys it handles. Its controls are
// made in qt_dialog_controls.cpp.

#include "ui/qt/qt_dialog.h"

#include "ui/qt/qt_widgets.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QFile>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>

namespace ui {

namespace {

bool IsBehindOthers(ControlKind kind) {
    return kind == ControlKind::GroupBox || kind == ControlKind::EtchedFrame ||
           kind == ControlKind::Picture;
}

QLabel* StatusText(const QWidget* bar) {
    return bar->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

QIcon ResourceIcon(int number) {
    const QString path = QStringLiteral(":/ombrelay/icon%1.png").arg(number);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QPixmap ResourceBitmap(int number) {
    return QPixmap(QStringLiteral(":/ombrelay/picture%1.png").arg(number));
}

QString WidgetText(const std::string& text) {
    QString widgetText = QString::fromStdString(text);
    widgetText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return widgetText;
}

std::string ProgramText(const QString& text) {
    QString programText = text;
    programText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    programText.replace(QChar::ParagraphSeparator, u'\n');
    programText.replace(QChar::LineSeparator, u'\n');
    programText.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return programText.toStdString();
}

// ---- The dialog window ----

DialogWindow::DialogWindow(const Dialog& dialog, QWidget* parent)
    : QDialog(parent), table_(dialog) {
    LoadBundledFonts();
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::MSWindowsFixedSizeDialogHint;
    if (table_.closeBox)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setWindowTitle(QString::fromStdString(table_.title));
    setWindowIcon(ResourceIcon(table_.icon));
    setFont(QtFont(table_.font));
    units_ = DialogBaseUnits(table_.font);
    const QRect area = DialogUnitsToPixels(units_, 0, 0, table_.width, table_.height);
    setFixedSize(area.size());

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(table_.background));
    setPalette(palette);
    setAutoFillBackground(true);

    for (const Font& font : table_.fonts) {
        QFont qfont = QtFont(font);
        if (font.pitch > 0) {
            const double advance = QFontMetricsF(qfont).horizontalAdvance(u'0');
            qfont.setLetterSpacing(QFont::AbsoluteSpacing,
                                   font.pitch * this->font().pixelSize() - advance);
        }
        fonts_.push_back(qfont);
    }

    widgets_.reserve(table_.controls.size());
    for (const ui::Control& control : table_.controls) {
        QWidget* widget = CreateControl(control);
        widget->setObjectName(QStringLiteral("c%1").arg(control.id));
        if (!control.accessibleName.empty())
            widget->setAccessibleName(QString::fromStdString(control.accessibleName));
        else if (control.kind != ControlKind::Edit && control.kind != ControlKind::EtchedFrame &&
                 !control.caption.empty())
            widget->setAccessibleName(WithoutMnemonics(WidgetText(control.caption)));
        if (control.style & Disabled)
            widget->setEnabled(false);
        if (control.style & Hidden)
            widget->hide();
        widgets_.push_back(widget);
        byId_.emplace(control.id, widget);
    }

    // Frames, group boxes and pictures stay behind what lies on them; lowering them last
    // to first keeps their own order.
    for (auto i = table_.controls.size(); i-- > 0;) {
        if (IsBehindOthers(table_.controls[i].kind))
            widgets_[i]->lower();
    }
    SetUpBuddies();
    SetUpTabOrder();
    NameEditsAfterLabels();
}

QWidget* DialogWindow::Control(int id) const {
    auto found = byId_.find(id);
    return found == byId_.end() ? nullptr : found->second;
}

int DialogWindow::IdOf(const QWidget* widget) const {
    for (; widget != nullptr && widget != this; widget = widget->parentWidget()) {
        for (std::size_t i = 0; i < widgets_.size(); ++i) {
            if (widgets_[i] == widget)
                return table_.controls[i].id;
        }
    }
    return 0;
}

std::string DialogWindow::Text(int id) const {
    QWidget* widget = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return ProgramText(edit->text());
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        // Block by block, so that no-break spaces and the like come back as they are.
        QStringList lines;
        for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next())
            lines << block.text();
        return ProgramText(lines.join(u'\n'));
    }
    if (auto* bar = qobject_cast<QStatusBar*>(widget))
        return ProgramText(StatusText(bar)->text());
    if (auto* label = qobject_cast<QLabel*>(widget))
        return ProgramText(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return ProgramText(button->text());
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        return ProgramText(box->title());
    return std::string();
}

void DialogWindow::SetText(int id, const std::string& text) {
    QWidget* widget = Control(id);
    const QString widgetText = WidgetText(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        // The program's own text goes in as it is; only typing is upper-cased.
        const QValidator* validator = edit->validator();
        edit->setValidator(nullptr);
        edit->setText(widgetText);
        edit->setValidator(validator);
        return;
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        edit->setPlainText(widgetText);
        return;
    }
    if (auto* bar = qobject_cast<QStatusBar*>(widget)) {
        StatusText(bar)->setText(widgetText);
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(widgetText);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(widgetText);
    else if (auto* box = qobject_cast<QGroupBox*>(widget))
        box->setTitle(widgetText);
    else
        return;
    widget->setAccessibleName(WithoutMnemonics(widgetText));
}

bool DialogWindow::Checked(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    return button != nullptr && button->isCheckable() && button->isChecked();
}

void DialogWindow::SetChecked(int id, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(Control(id)); button && button->isCheckable())
        button->setChecked(checked);
}

void DialogWindow::Report(const DialogEvent& event) {
    // A copy: the listener may end the dialog, which lets go of it.
    if (auto handler = onEvent)
        handler(event);
}

void DialogWindow::SetActive(bool active) {
    if (active == active_)
        return;
    active_ = active;
    Report({active ? DialogEventKind::Activate : DialogEventKind::Deactivate, 0, 0});
}

void DialogWindow::FocusFirstControl() {
    if (focusWidget() != nullptr)
        return;
    for (QWidget* widget : widgets_) {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
            widget->isVisibleTo(this)) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

bool DialogWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        SetActive(true);
    else if (event->type() == QEvent::WindowDeactivate)
        SetActive(false);
    return QDialog::event(event);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The listener decides; a dialog without a close box ignores the request.
    event->ignore();
    if (table_.closeBox)
        Report({DialogEventKind::Close, 0, 0});
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        if (table_.escapeCloses && table_.closeBox)
            Report({DialogEventKind::Close, 0, 0});
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

DialogWindow* BuildDialogWidget(const Dialog& dialog, QWidget* parent) {
    return new DialogWindow(dialog, parent);
}

} // namespace ui
