// Running dialogs on the Qt backend: the keys that must do nothing, the close box, mnemonics,
// message boxes, focus across activation, nested modal loops, the shell and the display check.

#include "ui/qt/qt_platform.h"

#include "sample_dialogs.h"
#include "support/temp_folder.h"
#include "ui/dialog_support.h"
#include "ui/qt/qt_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

using sample::Id;
using ui::DialogEvent;
using ui::DialogEventKind;
using ui::WindowHandle;

// Takes the links the desktop would open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

namespace {

struct Seen {
    WindowHandle dialog;
    DialogEvent event;
};

ui::Dialog Small(const std::string& title, bool closeBox = true) {
    using namespace ui;
    Dialog d;
    d.title = title;
    d.width = 160;
    d.height = 60;
    d.closeBox = closeBox;
    d.controls = {
        sample::Make(Id::NameBox, ControlKind::Edit, "", 10, 10, 140, 13, TabStop | Border),
        sample::Make(Id::SaveButton, ControlKind::PushButton, "&Go", 55, 35, 50, 15, TabStop),
    };
    return d;
}

void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4));
}

// A click as the window system delivers it, so that a blocked window does not take it.
void ClickThroughWindow(QWidget* widget) {
    QWidget* window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(window, QPoint(4, 4)));
}

class QtPlatformTest : public ::testing::Test {
protected:
    using Script = std::function<void(WindowHandle, ui::DialogWindow&)>;

    QtPlatformTest() {
        // Each dialog runs the script given for its title once it is shown; a dialog the
        // script leaves open is ended with -1, so that no test hangs.
        ui::QtPlatform::SetDialogShownHook([this](WindowHandle dialog, QWidget* window) {
            auto found = whileShown.find(window->windowTitle().toStdString());
            if (found == whileShown.end())
                return;
            const Script script = found->second;
            script(dialog, static_cast<ui::DialogWindow&>(*window));
            if (platform.Window(dialog) != nullptr) {
                ADD_FAILURE() << "still open: " << window->windowTitle().toStdString();
                platform.EndDialog(dialog, -1);
            }
        });
    }
    ~QtPlatformTest() override {
        ui::QtPlatform::SetDialogShownHook({});
        ui::QtPlatform::SetMessageBoxHook({});
    }

    // Records every event and does what every dialog does (remembered focus, close box).
    ui::DialogCallback Standard(std::function<void(WindowHandle, const DialogEvent&)> more = {}) {
        return [this, more](WindowHandle dialog, const DialogEvent& event) {
            seen.push_back({dialog, event});
            ui::HandleStandardEvent(dialog, event, remembered[dialog]);
            if (more)
                more(dialog, event);
        };
    }

    std::vector<DialogEventKind> KindsOf(WindowHandle dialog) const {
        std::vector<DialogEventKind> kinds;
        for (const Seen& s : seen) {
            if (s.dialog == dialog)
                kinds.push_back(s.event.kind);
        }
        return kinds;
    }

    std::vector<std::pair<int, int>> CommandsOf(WindowHandle dialog) const {
        std::vector<std::pair<int, int>> commands;
        for (const Seen& s : seen) {
            if (s.dialog == dialog && s.event.kind == DialogEventKind::Command)
                commands.emplace_back(s.event.control, s.event.code);
        }
        return commands;
    }

    ui::QtPlatform platform;
    std::map<std::string, Script> whileShown;
    std::vector<Seen> seen;
    std::map<WindowHandle, int> remembered;
};

} // namespace

TEST_F(QtPlatformTest, EscAndEnterDoNothingAndTheCloseBoxEndsTheDialogWithZero) {
    WindowHandle handle = 0;
    bool stillOpen = false;
    whileShown["Ombrelay Sample"] = [&](WindowHandle dialog, ui::DialogWindow& window) {
        handle = dialog;
        EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
        EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
        const QRect screen = window.screen()->availableGeometry();
        EXPECT_LE((window.frameGeometry().center() - screen.center()).manhattanLength(), 16)
            << "centred on the screen";

        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Escape);
        platform.SetFocus(dialog, Id::NameBox);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        platform.SetFocus(dialog, Id::SaveButton);
        ASSERT_EQ(window.IdOf(QApplication::focusWidget()), Id::SaveButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::qWait(150); // longer than a button's animated click
        stillOpen = window.isVisible() && platform.Window(dialog) != nullptr;
        EXPECT_TRUE(CommandsOf(dialog).empty());

        QCloseEvent close;
        QApplication::sendEvent(&window, &close);
        EXPECT_FALSE(close.isAccepted()) << "the callback decides";
    };
    EXPECT_EQ(platform.RunDialog(sample::Form(), 0, Standard()), 0);
    EXPECT_TRUE(stillOpen);
    ASSERT_FALSE(KindsOf(handle).empty());
    EXPECT_EQ(KindsOf(handle).front(), DialogEventKind::Init);
    EXPECT_EQ(KindsOf(handle).back(), DialogEventKind::Close);
    EXPECT_EQ(platform.FindWindowByTitle("Ombrelay Sample"), 0);
    EXPECT_EQ(platform.Window(handle), nullptr);
}

TEST_F(QtPlatformTest, DialogWithoutCloseBoxOffersNoneAndIgnoresCloseRequests) {
    WindowHandle handle = 0;
    whileShown["Ombrelay Picture"] = [&](WindowHandle dialog, ui::DialogWindow& window) {
        handle = dialog;
        EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(window.windowFlags() & Qt::WindowSystemMenuHint);
        QCloseEvent close;
        QApplication::sendEvent(&window, &close);
        EXPECT_FALSE(close.isAccepted());
        QTest::qWait(20);
        EXPECT_TRUE(window.isVisible());
        platform.EndDialog(dialog, 3);
    };
    EXPECT_EQ(platform.RunDialog(sample::PictureAndGroups(), 0, Standard()), 3);
    for (DialogEventKind kind : KindsOf(handle))
        EXPECT_NE(kind, DialogEventKind::Close);
}

TEST_F(QtPlatformTest, EndDialogGivesRunDialogItsResultEvenFromInit) {
    whileShown["Ombrelay Small"] = [&](WindowHandle dialog, ui::DialogWindow& window) {
        EXPECT_EQ(platform.FindWindowByTitle("Ombrelay Small"), dialog);
        EXPECT_EQ(platform.FindWindowByTitle("Ombrelay small"), 0) << "exact title";
        Click(window.Control(Id::SaveButton));
    };
    const int clicked = platform.RunDialog(
        Small("Ombrelay Small"), 0, Standard([&](WindowHandle dialog, const DialogEvent& event) {
            if (ui::IsButtonPress(event, Id::SaveButton))
                platform.EndDialog(dialog, 7);
        }));
    EXPECT_EQ(clicked, 7);

    // Ended during Init: never shown, and the operations of Init found it by its title.
    bool shown = false;
    whileShown["Ombrelay Early"] = [&](WindowHandle, ui::DialogWindow&) { shown = true; };
    WindowHandle foundInInit = 0;
    const int early = platform.RunDialog(
        Small("Ombrelay Early"), 0, [&](WindowHandle dialog, const DialogEvent& event) {
            if (event.kind == DialogEventKind::Init) {
                foundInInit = platform.FindWindowByTitle("Ombrelay Early");
                platform.SetControlText(dialog, Id::NameBox, "filled in Init");
                EXPECT_EQ(platform.ControlText(dialog, Id::NameBox), "filled in Init");
                platform.EndDialog(dialog, 5);
            }
        });
    EXPECT_EQ(early, 5);
    EXPECT_FALSE(shown);
    EXPECT_NE(foundInInit, 0);
}

TEST_F(QtPlatformTest, MnemonicsPressTheirButtonsAsAccelerators) {
    WindowHandle handle = 0;
    whileShown["Ombrelay Sample"] = [&](WindowHandle dialog, ui::DialogWindow& window) {
        handle = dialog;
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        platform.SetFocus(dialog, Id::NameBox);
        QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return CommandsOf(dialog).size() == 1; }));
        QTest::keyClick(&window, Qt::Key_X, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return CommandsOf(dialog).size() == 2; }));
        QTest::keyClick(&window, Qt::Key_Y, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return CommandsOf(dialog).size() == 3; }));
        EXPECT_TRUE(platform.IsChecked(dialog, Id::YesButton));
        Click(window.Control(Id::SaveButton));
        platform.EndDialog(dialog, 0);
    };
    platform.RunDialog(sample::Form(), 0, Standard());
    const std::vector<std::pair<int, int>> expected = {{Id::SaveButton, ui::Accelerator},
                                                       {Id::NextButton, ui::Accelerator},
                                                       {Id::YesButton, ui::Accelerator},
                                                       {Id::SaveButton, ui::Clicked}};
    EXPECT_EQ(CommandsOf(handle), expected);
}

TEST_F(QtPlatformTest, MessageBoxesFollowTheirStyleFlags) {
    struct Case {
        unsigned style;
        QMessageBox::Icon icon;
        bool yesNo;
        QMessageBox::StandardButton defaultButton;
        std::function<void(QMessageBox*)> answer;
        int expected;
    };
    auto press = [](QMessageBox::StandardButton which) {
        return [which](QMessageBox* box) { box->button(which)->click(); };
    };
    auto key = [](Qt::Key which) {
        return [which](QMessageBox* box) { QTest::keyClick(box, which); };
    };
    const std::vector<Case> cases = {
        {0x2030, QMessageBox::Warning, false, QMessageBox::Ok, press(QMessageBox::Ok), ui::IdOk},
        {0x2010, QMessageBox::Critical, false, QMessageBox::Ok, key(Qt::Key_Escape), ui::IdOk},
        {0x2040, QMessageBox::Information, false, QMessageBox::Ok, key(Qt::Key_Return), ui::IdOk},
        {0x0, QMessageBox::NoIcon, false, QMessageBox::Ok, press(QMessageBox::Ok), ui::IdOk},
        {0x2024, QMessageBox::Question, true, QMessageBox::Yes, key(Qt::Key_Return), ui::IdYes},
        {0x2124, QMessageBox::Question, true, QMessageBox::No, key(Qt::Key_Return), ui::IdNo},
        {0x2134, QMessageBox::Warning, true, QMessageBox::No, press(QMessageBox::Yes), ui::IdYes},
        {0x2024, QMessageBox::Question, true, QMessageBox::Yes, key(Qt::Key_Escape), ui::IdNo},
        {0x2024, QMessageBox::Question, true, QMessageBox::Yes,
         [](QMessageBox* box) { box->close(); }, ui::IdNo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << std::hex << c.style);
        bool hooked = false;
        ui::QtPlatform::SetMessageBoxHook([&](QMessageBox* box) {
            hooked = true;
            EXPECT_TRUE(box->isVisible());
            EXPECT_EQ(box->windowTitle(), "Ombrelay System Message");
            EXPECT_EQ(box->text(), "First line\n<b>second</b> line");
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
            EXPECT_EQ(box->icon(), c.icon);
            const auto buttons = c.yesNo ? QMessageBox::Yes | QMessageBox::No
                                         : QMessageBox::StandardButtons(QMessageBox::Ok);
            EXPECT_EQ(box->standardButtons(), buttons);
            EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
            c.answer(box);
        });
        EXPECT_EQ(platform.ShowMessage("First line\r\n<b>second</b> line",
                                       "Ombrelay System Message", c.style),
                  c.expected);
        EXPECT_TRUE(hooked);
    }
}

TEST_F(QtPlatformTest, FocusSetAfterAMessageBoxStaysWhereTheOperationPutIt) {
    WindowHandle handle = 0;
    ui::QtPlatform::SetMessageBoxHook(
        [](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    whileShown["Ombrelay Sample"] = [&](WindowHandle dialog, ui::DialogWindow& window) {
        handle = dialog;
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        Click(window.Control(Id::SaveButton)); // the focus is on the button now
        QTest::qWait(50);                      // every late activation has arrived
        EXPECT_EQ(platform.FocusedControl(dialog), Id::CodeBox);
        EXPECT_EQ(window.IdOf(QApplication::focusWidget()), Id::CodeBox);
        platform.EndDialog(dialog, 0);
    };
    // A validating operation: the message first, then the focus to the box to correct.
    platform.RunDialog(sample::Form(), 0,
                       Standard([&](WindowHandle dialog, const DialogEvent& event) {
                           if (ui::IsButtonPress(event, Id::SaveButton)) {
                               ui::Message("Please fill in the code", ui::MbIconExclamation);
                               platform.SetFocus(dialog, Id::CodeBox);
                           }
                       }));
    std::vector<DialogEventKind> around;
    for (DialogEventKind kind : KindsOf(handle)) {
        if (kind == DialogEventKind::Activate || kind == DialogEventKind::Deactivate)
            around.push_back(kind);
    }
    ASSERT_GE(around.size(), 3u);
    EXPECT_EQ(around[around.size() - 2], DialogEventKind::Deactivate);
    EXPECT_EQ(around.back(), DialogEventKind::Activate);
}

TEST_F(QtPlatformTest, FocusComesBackWhenTheDialogIsActivatedAgain) {
    whileShown["Ombrelay Sample"] = [&](WindowHandle dialog, ui::DialogWindow& window) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        platform.SetFocus(dialog, Id::SecretBox);

        // Another window in front, one that the modal dialog does not block.
        QWidget other;
        other.setWindowModality(Qt::ApplicationModal);
        other.resize(100, 50);
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        EXPECT_EQ(remembered[dialog], Id::SecretBox);
        platform.SetFocus(dialog, Id::NameBox); // moved while the dialog was behind

        other.hide();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return platform.FocusedControl(dialog) == Id::SecretBox; }));
        EXPECT_EQ(remembered[dialog], 0) << "forgotten once given back";
        platform.EndDialog(dialog, 0);
    };
    platform.RunDialog(sample::Form(), 0, Standard());
}

TEST_F(QtPlatformTest, NestedDialogsBlockTheirOwnersUntilTheyEnd) {
    WindowHandle main = 0, child = 0;
    std::vector<int> results;
    whileShown["Ombrelay Sample"] = [&](WindowHandle dialog, ui::DialogWindow& window) {
        main = dialog;
        Click(window.Control(Id::SaveButton)); // runs the child to its end
        // Free again: the owner takes clicks.
        ClickThroughWindow(window.Control(Id::NextButton));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return CommandsOf(dialog).back() == std::make_pair(int(Id::NextButton), 0); }));
        platform.EndDialog(dialog, 1);
    };
    whileShown["Ombrelay Child"] = [&](WindowHandle dialog, ui::DialogWindow& window) {
        child = dialog;
        EXPECT_EQ(QApplication::activeModalWidget(), &window);
        EXPECT_EQ(window.parentWidget(), platform.Window(main)) << "the owner is the parent";
        EXPECT_EQ(platform.FindWindowByTitle("Ombrelay Sample"), main);
        ClickThroughWindow(platform.ControlWidget(main, Id::NextButton));
        QTest::qWait(20);
        EXPECT_EQ(CommandsOf(main).size(), 1u)
            << "the owner took no click: " << CommandsOf(main).size();
        Click(window.Control(Id::SaveButton)); // runs the grandchild
        platform.EndDialog(dialog, 4);
    };
    whileShown["Ombrelay Grandchild"] = [&](WindowHandle dialog, ui::DialogWindow& window) {
        EXPECT_EQ(window.parentWidget(), platform.Window(child));
        EXPECT_EQ(QApplication::activeModalWidget(), &window);
        platform.EndDialog(dialog, 9);
    };
    const int result = platform.RunDialog(
        sample::Form(), 0, Standard([&](WindowHandle dialog, const DialogEvent& event) {
            if (!ui::IsButtonPress(event, Id::SaveButton))
                return;
            if (dialog == main)
                results.push_back(platform.RunDialog(
                    Small("Ombrelay Child"), main,
                    Standard([&](WindowHandle, const DialogEvent& e) {
                        if (ui::IsButtonPress(e, Id::SaveButton))
                            results.push_back(platform.RunDialog(Small("Ombrelay Grandchild"),
                                                                 child, Standard()));
                    })));
        }));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(results, (std::vector<int>{9, 4}));
}

TEST_F(QtPlatformTest, DialogEndedFromItsButtonMayOpenTheNextWindowThere) {
    // As the Login dialog does: end itself, then run the main window from the same click.
    bool loginVisible = true;
    WindowHandle loginFound = 1;
    whileShown["Ombrelay Login"] = [&](WindowHandle, ui::DialogWindow& window) {
        Click(window.Control(Id::SaveButton));
    };
    whileShown["Ombrelay Main"] = [&](WindowHandle dialog, ui::DialogWindow&) {
        loginFound = platform.FindWindowByTitle("Ombrelay Login");
        loginVisible = false;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->windowTitle() == "Ombrelay Login" && top->isVisible())
                loginVisible = true;
        }
        platform.EndDialog(dialog, 2);
    };
    int mainResult = 0;
    const int login = platform.RunDialog(
        Small("Ombrelay Login"), 0, [&](WindowHandle dialog, const DialogEvent& event) {
            if (ui::IsButtonPress(event, Id::SaveButton)) {
                platform.EndDialog(dialog, 0);
                mainResult = platform.RunDialog(Small("Ombrelay Main"), 0, Standard());
            }
        });
    EXPECT_EQ(login, 0);
    EXPECT_EQ(mainResult, 2);
    EXPECT_EQ(loginFound, 0);
    EXPECT_FALSE(loginVisible);
}

TEST_F(QtPlatformTest, LinkOpensThroughTheDesktopAndTheDialogStaysOpen) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    bool openAfterClick = false;
    whileShown["Ombrelay Sample"] = [&](WindowHandle dialog, ui::DialogWindow& window) {
        Click(window.Control(Id::LinkLabel));
        EXPECT_EQ(QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape()
                                                    : Qt::ArrowCursor,
                  Qt::PointingHandCursor);
        QTest::qWait(20);
        openAfterClick = window.isVisible();
        platform.EndDialog(dialog, 0);
    };
    int shellResult = 0;
    platform.RunDialog(
        sample::Form(), 0, Standard([&](WindowHandle dialog, const DialogEvent& event) {
            if (event.kind == DialogEventKind::Command && event.control == Id::LinkLabel) {
                platform.SetHandCursor();
                shellResult = platform.ShellOpen(
                    platform.ControlText(dialog, Id::LinkLabel).insert(0, "https://"),
                    ui::ShowState::Maximized);
            }
        }));
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(shellResult, 42);
    ASSERT_EQ(catcher.opened.size(), 1u);
    EXPECT_EQ(catcher.opened[0], QUrl("https://www.example.org"));
    EXPECT_TRUE(openAfterClick);
}

TEST_F(QtPlatformTest, ShellOpensMailLinksAndFilesAndReportsMissingFiles) {
    TempFolder folder;
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("mailto", &catcher, "Open");
    QDesktopServices::setUrlHandler("file", &catcher, "Open");

    const std::string link = "mailto:vendor@example.com?cc=me@example.com&subject=New%20PIN%3A%20"
                             "2A3B4C5D&body=Dear%20vendor%2C%0D%0Aplease";
    EXPECT_EQ(platform.ShellOpen(link, ui::ShowState::Normal), 42);
    WriteFile("12-06-2024 application data.txt", "a,b\r\n");
    EXPECT_EQ(platform.ShellOpen("12-06-2024 application data.txt", ui::ShowState::Normal), 42);
    EXPECT_EQ(platform.ShellOpen("missing.txt", ui::ShowState::Normal), 2);
    EXPECT_EQ(platform.ShellOpen("", ui::ShowState::Normal), 2);

    QDesktopServices::unsetUrlHandler("mailto");
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 2u);
    EXPECT_EQ(catcher.opened[0].toEncoded().toStdString(), link) << "passed on unchanged";
    EXPECT_EQ(catcher.opened[1].toLocalFile(),
              QDir::current().absoluteFilePath("12-06-2024 application data.txt"));
}

TEST(QtDisplay, AvailableWhenAPlatformOrADisplayIsNamed) {
    const char* names[] = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"};
    std::map<std::string, std::optional<std::string>> saved;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
        unsetenv(name);
    }
    EXPECT_FALSE(ui::DisplayAvailable());
    setenv("DISPLAY", "", 1);
    EXPECT_FALSE(ui::DisplayAvailable()) << "an empty name is none";
    for (const char* name : names) {
        setenv(name, name == std::string("QT_QPA_PLATFORM") ? "offscreen" : ":0", 1);
        EXPECT_TRUE(ui::DisplayAvailable()) << name;
        unsetenv(name);
    }
    for (const auto& [name, value] : saved) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
    }
}

#include "qt_platform_test.moc"
