// The dialogs as the Qt backend builds them: geometry in the bundled face's dialog units,
// measured here as Windows measures them, pixel sizes, faces and weights, colours, the hand
// over links, frames behind what they frame, and the tab chain in table order over the tab
// stops.

#include "e2e/built_dialog.h"
#include "support/clipped_captions.h"
#include "ui/qt/qt_dialog.h"

#include <QFontInfo>

#include <cmath>
#include <memory>

const std::vector<std::string> KnownCutCaptions;

Differences DifferencesFromTable(const ui::Dialog& table, std::vector<std::string>& cut) {
    using K = ui::ControlKind;
    Differences wrong;
    std::unique_ptr<ui::DialogWindow> window(ui::BuildDialogWidget(table));
    // Base units from the dialog font at its rounded pixel size: the average advance of the
    // 52 letters, rounded, and the height; text itself is drawn at the truncated size.
    const double dpi = window->logicalDpiY();
    QFont measured = window->font();
    measured.setPixelSize(std::lround(table.font.points * dpi / 72));
    const QFontMetrics metrics(measured);
    const double baseX = std::lround(
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0);
    const auto x = [&](int units) { return int(std::lround(units * baseX / 4)); };
    const auto y = [&](int units) { return int(std::lround(units * metrics.height() / 8.)); };
    const auto color = [](const ui::Rgb& c) { return QColor(c.red, c.green, c.blue); };

    wrong.Expect(window->windowTitle().toStdString() == table.title, "title");
    wrong.Expect(window->size() == QSize(x(table.width), y(table.height)) &&
                     window->minimumSize() == window->maximumSize(),
                 "size");
    wrong.Expect(window->palette().color(QPalette::Window) == color(table.background),
                 "background");
    wrong.Expect(bool(window->windowFlags() & Qt::WindowCloseButtonHint) == table.closeBox,
                 "close box");

    std::vector<int> tabStops, chain; // in table order
    int lastBehind = -1, firstInFront = int(window->children().size());
    for (const ui::Control& control : table.controls) {
        const std::string id = std::to_string(control.id);
        QWidget* widget = window->Control(control.id);
        if (widget == nullptr) {
            wrong.found.push_back(id + " missing");
            continue;
        }
        wrong.Expect(widget->objectName().toStdString() == "c" + id, id + " object name");
        wrong.Expect(control.kind == K::StatusBar ||
                         widget->geometry() ==
                             QRect(x(control.x), y(control.y), x(control.width), y(control.height)),
                     id + " geometry");
        const ui::Font& font = control.font < 0 ? table.font : table.fonts[control.font];
        wrong.Expect(widget->font().pixelSize() == int(font.points * dpi / 72) &&
                         widget->font().bold() == (font.weight >= 700) &&
                         widget->font().underline() == font.underline &&
                         QFontInfo(widget->font()).family() ==
                             (font.face == ui::FixedPitch ? "Liberation Mono" : "Liberation Sans"),
                     id + " font");
        // The table's colours; a control without a background shows the dialog through it,
        // while edits, buttons, pictures and the status bar stay opaque.
        const QPalette& palette = widget->palette();
        const auto has = [&](QPalette::ColorRole role, const std::optional<ui::Rgb>& wanted) {
            return !wanted || palette.color(role) == color(*wanted);
        };
        const bool opaque = control.kind == K::Edit || control.kind == K::PushButton ||
                            control.kind == K::StatusBar || control.kind == K::Picture;
        wrong.Expect(
            has(control.kind == K::Edit ? QPalette::Base : QPalette::Window, control.background) &&
                (opaque || widget->autoFillBackground() == bool(control.background)) &&
                has(QPalette::WindowText, control.textColor) &&
                has(QPalette::Text, control.textColor),
            id + " colours");
        wrong.Expect((widget->cursor().shape() == Qt::PointingHandCursor) ==
                         bool(control.style & ui::Link),
                     id + " cursor");
        // Frames, group boxes and pictures lie behind every other control.
        const int stacked = int(window->children().indexOf(widget));
        if (control.kind == K::GroupBox || control.kind == K::EtchedFrame ||
            control.kind == K::Picture)
            lastBehind = std::max(lastBehind, stacked);
        else
            firstInFront = std::min(firstInFront, stacked);
        if ((control.style & ui::TabStop) && !(control.style & (ui::Disabled | ui::Hidden)))
            tabStops.push_back(control.id);
    }
    wrong.Expect(lastBehind < firstInFront, "frames in front");
    // Tab goes through the tab stops, and nothing else, in table order.
    if (!tabStops.empty()) {
        QWidget* first = window->Control(tabStops.front());
        chain.push_back(tabStops.front());
        for (QWidget* next = first->nextInFocusChain(); next != first;
             next = next->nextInFocusChain()) {
            const int id = window->IdOf(next);
            if (id != 0 && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) &&
                id != chain.back())
                chain.push_back(id);
        }
    }
    wrong.Expect(chain == tabStops, "tab order");
    for (const std::string& clipped : ClippedCaptions(table))
        cut.push_back(clipped);
    return wrong;
}
