#include "ui/qt/qt_widgets.h"

#include "ui/platform.h"
#include "ui/qt/qt_metrics.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <qdrawutil.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace ui {

QString WithoutMnemonics(const QString& caption) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 < caption.size() && caption[i + 1] == u'&') {
                shown += u'&';
                ++i;
            }
            continue;
        }
        shown += caption[i];
    }
    return shown;
}

void OptionButton::focusInEvent(QFocusEvent* event) {
    std::vector<std::pair<QAbstractButton*, Qt::FocusPolicy>> policies;
    if (group() != nullptr) {
        for (QAbstractButton* button : group()->buttons())
            policies.emplace_back(button, button->focusPolicy());
    }
    CommandButton::focusInEvent(event);
    for (const auto& [button, policy] : policies)
        button->setFocusPolicy(policy);
}

void NotifyLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const auto interval =
            static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        if (lastClick_ != 0 && event->timestamp() - lastClick_ < interval) {
            lastClick_ = 0; // the double click follows; a third press starts afresh
        } else {
            lastClick_ = std::max<quint64>(event->timestamp(), 1);
            Notify(Clicked);
        }
    }
    QLabel::mousePressEvent(event);
}

void NotifyLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // Not passed on: the base class would take it for one more press.
    if (event->button() == Qt::LeftButton)
        Notify(Accelerator);
    event->accept();
}

void NotifyLabel::Notify(int code) {
    if (auto handler = onClick)
        handler(code);
}

QValidator::State UppercaseValidator::validate(QString& input, int& position) const {
    const QString upper = input.toUpper();
    if (upper != input) {
        position = static_cast<int>(input.left(position).toUpper().size());
        input = upper;
    }
    return Acceptable;
}

void EtchedGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
    qDrawShadeRect(&painter, frame, palette(), true, 1, 0);
    const QString shown = WithoutMnemonics(title());
    if (shown.isEmpty())
        return;
    const QRect text(GroupBoxTitleInset, 0,
                     metrics.horizontalAdvance(shown) + 2 * GroupBoxTitlePadding, metrics.height());
    painter.fillRect(text, palette().brush(QPalette::Window));
    style()->drawItemText(&painter, text, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                          isEnabled(), title(), QPalette::WindowText);
}

void ApplyEdges(QFrame* frame, unsigned style) {
    const bool staticEdge = style & StaticEdge;
    const bool modalFrame = style & ModalFrame;
    if (staticEdge && modalFrame)
        frame->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    else if (modalFrame)
        frame->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
    else if (style & ClientEdge)
        frame->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    else if (staticEdge)
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    else if (style & Border)
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    else
        return;
    frame->setLineWidth(1);
}

QColor ToQColor(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

void ApplyColours(QWidget* widget, const Control& control) {
    if (!control.textColor && !control.background)
        return;
    QPalette palette = widget->palette();
    // Active and inactive only: a disabled control keeps the greyed look of the style.
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        if (control.textColor) {
            const QColor text = ToQColor(*control.textColor);
            palette.setColor(group, QPalette::WindowText, text);
            palette.setColor(group, QPalette::Text, text);
            palette.setColor(group, QPalette::ButtonText, text);
        }
        if (control.background) {
            const QColor background = ToQColor(*control.background);
            if (control.kind == ControlKind::Edit)
                palette.setColor(group, QPalette::Base, background);
            else if (control.kind != ControlKind::PushButton) // buttons keep their face
                palette.setColor(group, QPalette::Window, background);
        }
    }
    widget->setPalette(palette);
    if (control.background && control.kind != ControlKind::Edit &&
        control.kind != ControlKind::PushButton) {
        widget->setBackgroundRole(QPalette::Window); // option buttons fill with Button else
        widget->setAutoFillBackground(true);
    }
}

} // namespace ui
