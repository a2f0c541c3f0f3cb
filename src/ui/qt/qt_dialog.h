#pragma once
// A dialog table turned into Qt widgets: the dialog window with its controls, the program's
// icon and bitmap resources, and program text in widgets. Everything here needs a
// QApplication.

#include "ui/dialog.h"
#include "ui/platform.h"
#include "ui/qt/qt_metrics.h"

#include <QDialog>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QAbstractButton;

namespace ui {

// Icon and bitmap resources by number (icon 126, bitmap 127); null when there is none.
QIcon ResourceIcon(int number);
QPixmap ResourceBitmap(int number);

// Program text (UTF-8, lines broken by CR LF) to widget text (lines broken by \n), and back;
// the program never sees a bare \n.
QString WidgetText(const std::string& text);
std::string ProgramText(const QString& text);

// The dialog window built from a table. Controls are created in table order, which is also
// the tab order; each widget is named "c<id>" and carries an accessible name.
class DialogWindow : public QDialog {
public:
    explicit DialogWindow(const Dialog& dialog, QWidget* parent = nullptr);

    const Dialog& Table() const { return table_; }
    const BaseUnits& Units() const { return units_; }
    // The widget of control `id` (the first one when ids repeat), or null.
    QWidget* Control(int id) const;
    // The control that holds `widget` (itself or one of its parts), or 0.
    int IdOf(const QWidget* widget) const;

    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    bool Checked(int id) const;
    void SetChecked(int id, bool checked);

    // Where the controls and the window report; empty while nobody listens.
    std::function<void(const DialogEvent&)> onEvent;
    void Report(const DialogEvent& event);

    // Tells the listener of a change of activation once, whether it comes from the window
    // system or from the platform opening a modal window on top.
    void SetActive(bool active);

    // Gives the focus to the first control Tab reaches, unless a control has it already.
    void FocusFirstControl();

    // Enter never ends a dialog; Esc only where the table says so (keyPressEvent).
    void reject() override {}

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* CreateControl(const ui::Control& control);
    QWidget* CreateEdit(const ui::Control& control);
    QWidget* CreateLabel(const ui::Control& control);
    QWidget* CreatePicture(const ui::Control& control);
    void ConnectButton(QAbstractButton* button, const ui::Control& control);
    void ClickedRadio(int id);
    void SetUpBuddies();
    void SetUpTabOrder();
    void NameEditsAfterLabels();

    Dialog table_;
    BaseUnits units_;
    std::vector<QFont> fonts_;
    std::vector<QWidget*> widgets_; // parallel to table_.controls
    std::map<int, QWidget*> byId_;
    bool active_ = false;
};

// Builds the dialog's window without running it (for tests and screenshots).
DialogWindow* BuildDialogWidget(const Dialog& dialog, QWidget* parent = nullptr);

} // namespace ui
