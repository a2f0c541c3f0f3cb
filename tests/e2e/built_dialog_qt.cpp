// The dialogs as the Qt backend builds them: geometry from the bundled face's dialog units,
// pixel sizes, weights and pitch, the tab chain in table order.

#include "e2e/built_dialog.h"
#include "support/clipped_captions.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_metrics.h"

#include <QFontInfo>

#include <memory>

const std::vector<std::string> KnownCutCaptions;

Differences DifferencesFromTable(const ui::Dialog& table, std::vector<std::string>& cut) {
    Differences wrong;
    std::unique_ptr<ui::DialogWindow> window(ui::BuildDialogWidget(table));
    wrong.Expect(window->windowTitle().toStdString() == table.title, "title");
    wrong.Expect(
        window->size() ==
            ui::DialogUnitsToPixels(window->Units(), 0, 0, table.width, table.height).size(),
        "size");
    wrong.Expect(window->palette().color(QPalette::Window) ==
                     QColor(table.background.red, table.background.green, table.background.blue),
                 "background");
    wrong.Expect(bool(window->windowFlags() & Qt::WindowCloseButtonHint) == table.closeBox,
                 "close box");

    std::vector<int> focusable; // in table order
    for (const ui::Control& control : table.controls) {
        const std::string id = std::to_string(control.id);
        QWidget* widget = window->Control(control.id);
        if (widget == nullptr) {
            wrong.found.push_back(id + " missing");
            continue;
        }
        wrong.Expect(widget->objectName().toStdString() == "c" + id, id + " object name");
        wrong.Expect(control.kind == ui::ControlKind::StatusBar ||
                         widget->geometry() == ui::DialogUnitsToPixels(window->Units(), control.x,
                                                                       control.y, control.width,
                                                                       control.height),
                     id + " geometry");
        const ui::Font& font = control.font < 0 ? table.font : table.fonts[control.font];
        wrong.Expect(widget->font().pixelSize() == ui::FontPixelSize(font.points) &&
                         widget->font().bold() == (font.weight >= 700) &&
                         widget->font().underline() == font.underline &&
                         QFontInfo(widget->font()).fixedPitch() == (font.face == ui::FixedPitch),
                     id + " font");
        if (widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus))
            focusable.push_back(control.id);
    }
    // Tab goes through the controls in the order they were created.
    if (focusable.size() > 1) {
        QWidget* first = window->Control(focusable.front());
        std::vector<int> chain{focusable.front()};
        for (QWidget* next = first->nextInFocusChain(); next != first;
             next = next->nextInFocusChain()) {
            const int id = window->IdOf(next);
            if (id != 0 && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) &&
                id != chain.back())
                chain.push_back(id);
        }
        wrong.Expect(chain == focusable, "tab order");
    }
    for (const std::string& clipped : ClippedCaptions(table))
        cut.push_back(clipped);
    return wrong;
}
