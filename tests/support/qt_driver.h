#pragma once
// Drives the program through its real Qt windows, as a user would: typing, clicking,
// mnemonics and the close box, with each dialog scripted by its title, every message box
// recorded and answered, and every link the desktop would open caught.

#include "ui/platform.h"

#include <QMessageBox>
#include <QObject>
#include <QUrl>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ui {
class DialogWindow;
}

// Catches what QDesktopServices would hand to the desktop for one URL scheme.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QString& scheme);
    ~UrlCatcher() override;
    std::vector<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls.push_back(url); }

private:
    QString scheme_;
};

class QtDriver {
public:
    // What the user does in one showing of a dialog. It runs inside the dialog's modal loop;
    // clicking a button that opens another dialog returns once that one has closed.
    using Step = std::function<void(ui::WindowHandle dialog, ui::DialogWindow* window)>;

    QtDriver();  // installs the hooks of the Qt backend
    ~QtDriver(); // and removes them

    // Queues the step for the next showing of the dialog titled `title`. A dialog shown
    // without a step is recorded in `unexpected` and closed with its close box.
    void When(const std::string& title, Step step);

    std::vector<std::string> boxes; // the texts of the message boxes shown, in order
    // Answers for Yes/No boxes, in order; when none is left, the default button is pressed.
    std::deque<QMessageBox::StandardButton> answers;

    std::vector<std::string> shown;      // titles of the dialogs shown, in order
    std::vector<std::string> unexpected; // dialogs shown without a step

    // As a user: click into the box, select what it holds, and type.
    static void Type(QWidget* box, const QString& text);
    static void Click(QWidget* button);
    // Alt+letter in the active window; returns once the button it reaches has clicked.
    static void Mnemonic(QWidget* window, char letter);
    // The title-bar close box.
    static void CloseBox(QWidget* window);
    static QWidget* Control(ui::DialogWindow* window, int id);

private:
    std::map<std::string, std::deque<Step>> steps_;
};
