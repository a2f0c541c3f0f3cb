#include "support/clipped_captions.h"

#include "ui/qt/qt_dialog.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStyle>

#include <algorithm>

std::vector<std::string> ClippedCaptions(const ui::Dialog& dialog) {
    const ui::DialogWindow window(dialog);
    std::vector<std::string> clipped;
    for (const ui::Control& control : dialog.controls) {
        if (control.caption.empty() || (control.style & ui::Hidden))
            continue;
        QWidget* widget = window.Control(control.id);
        const QFontMetrics metrics(widget->font());
        const QStyle* style = widget->style();
        // The window names a captioned control by what its caption shows, mnemonic marks
        // taken out.
        const QString shown = widget->accessibleName();
        QSize needed;
        QSize room = widget->size();
        switch (control.kind) {
        case ui::ControlKind::Label: {
            // A label shows its marks unless it has a buddy to pass its mnemonic to.
            auto* label = static_cast<QLabel*>(widget);
            const QStringList lines = (label->buddy() ? shown : label->text()).split(u'\n');
            int widest = 0;
            for (const QString& line : lines)
                widest = std::max(widest, metrics.horizontalAdvance(line));
            needed = QSize(widest, static_cast<int>(lines.size()) * metrics.height());
            room = label->contentsRect().size();
            break;
        }
        case ui::ControlKind::PushButton: {
            // As the common style sizes a button round its text.
            const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget);
            const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget);
            needed = QSize(metrics.horizontalAdvance(shown) + margin + 2 * frame,
                           metrics.height() + 2 * frame);
            break;
        }
        case ui::ControlKind::RadioButton:
        case ui::ControlKind::CheckBox:
            needed = QSize(widget->sizeHint().width(), metrics.height());
            break;
        case ui::ControlKind::GroupBox:
            // The title must end before the frame's right edge.
            needed = QSize(ui::GroupBoxTitleInset + 2 * ui::GroupBoxTitlePadding +
                               metrics.horizontalAdvance(shown) + 2,
                           metrics.height());
            break;
        default:
            continue;
        }
        if (needed.width() <= room.width() && needed.height() <= room.height())
            continue;
        clipped.push_back(std::to_string(control.id) + " \"" + control.caption + "\": needs " +
                          std::to_string(needed.width()) + "x" + std::to_string(needed.height()) +
                          " px, has " + std::to_string(room.width()) + "x" +
                          std::to_string(room.height()) + " px");
    }
    return clipped;
}
