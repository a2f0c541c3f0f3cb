// Renders every dialog of the program offscreen, filled with sample data, into PNG files
// (docs/screenshots by default), for the README and for looking at the layouts.
//
//   ombrelay-screenshots [output folder]

#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "maintenance/database_dialog.h"
#include "maintenance/import.h"
#include "requests/compose_dialog.h"
#include "requests/message_preview.h"
#include "requests/send_requests.h"
#include "sample_data.h"
#include "ui/qt/qt_platform.h"
#include "user/change_password.h"
#include "user/user_setup_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

QString outputFolder;
int failures = 0;

// The dialog with a plain title bar above it, since the offscreen platform draws no frames.
QImage Framed(QWidget* window) {
    const QPixmap client = window->grab();
    const int bar = 22;
    QImage image(client.width() + 2, client.height() + bar + 1, QImage::Format_RGB32);
    image.fill(QColor(40, 70, 120));
    QPainter painter(&image);
    painter.drawPixmap(1, bar, client);
    QFont font = window->font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, 0, image.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft,
                     window->windowTitle());
    return image;
}

void Save(QWidget* window, const char* name) {
    QApplication::processEvents();
    const QString path = outputFolder + "/" + name + ".png";
    if (!Framed(window).save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ++failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

ui::QtPlatform& Qt() {
    return static_cast<ui::QtPlatform&>(ui::Ui());
}

void Press(ui::WindowHandle dialog, int control) {
    if (auto* button = qobject_cast<QAbstractButton*>(Qt().ControlWidget(dialog, control)))
        button->click();
}

void Fill(ui::WindowHandle dialog, const std::vector<std::pair<int, std::string>>& values) {
    for (const auto& [control, text] : values)
        ui::Ui().SetControlText(dialog, control, text);
}

// What to do when a dialog of a given title is shown.
std::map<std::string, std::function<void(ui::WindowHandle, QWidget*)>> whenShown;

// The Qt backend, with the sample file chosen in the file chooser and every link taken, a run's
// a moment later as a desktop takes it: nothing leaves the program.
class SamplePlatform : public ui::QtPlatform {
public:
    std::string ChooseFileToOpen(ui::WindowHandle, const std::string&, const std::string&,
                                 const std::string&) override {
        return WriteSampleImport();
    }
    int ShellOpen(const std::string&, ui::ShowState) override { return 42; }
    void ShellOpenThen(const std::string&, ui::ShowState, std::function<void(int)> done) override {
        QTimer::singleShot(300, qApp, [done] { done(42); });
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    outputFolder =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : "docs/screenshots").absolutePath();
    QDir().mkpath(outputFolder);
    QTemporaryDir workFolder;
    if (!workFolder.isValid() || !QDir::setCurrent(workFolder.path())) {
        std::fprintf(stderr, "cannot make a working folder\n");
        return 1;
    }

    SamplePlatform platform;
    // Every message box is answered with its default button.
    ui::QtPlatform::SetMessageBoxHook([](QMessageBox* box) {
        if (box->defaultButton() != nullptr)
            box->defaultButton()->click();
        else
            box->accept();
    });
    ui::QtPlatform::SetDialogShownHook([](ui::WindowHandle dialog, QWidget* window) {
        auto found = whenShown.find(window->windowTitle().toStdString());
        if (found != whenShown.end())
            found->second(dialog, window);
        if (found == whenShown.end() || found->first != ui::SendingRequestsTitle)
            ui::Ui().EndDialog(dialog, 0); // a run ends by itself once stopped
    });

    whenShown[ui::CreateUserLoginTitle] = [](ui::WindowHandle dialog, QWidget* window) {
        Fill(dialog, {{NewNameBox, "Ann"},
                      {NewLoginPasswordBox, "secret"},
                      {RepeatLoginPasswordBox, "secret"}});
        Save(window, "create-user-login");
    };
    CreateUserLoginDialog(0);

    WriteSampleData();
    whenShown[ui::LoginTitle] = [](ui::WindowHandle dialog, QWidget* window) {
        Fill(dialog, {{PasswordBox, "secret"}});
        Save(window, "login");
    };
    LoginDialog(0);

    whenShown[ui::UserSetupTitle] = [](ui::WindowHandle dialog, QWidget* window) {
        Save(window, "user-setup");
        Press(dialog, ChangePasswordButton);
    };
    whenShown[ui::ChangePasswordTitle] = [](ui::WindowHandle dialog, QWidget* window) {
        Fill(dialog, {{NewPasswordBox, "new secret"}, {RepeatPasswordBox, "new secret"}});
        Save(window, "change-password");
    };
    whenShown[ui::ApplicationInformationTitle] = [](ui::WindowHandle dialog, QWidget* window) {
        Press(dialog, ApplicationNextButton); // Next: the first application in name order
        Save(window, "application-information");
    };
    whenShown[ui::ComposeEmailTitle] = [](ui::WindowHandle dialog, QWidget* window) {
        Save(window, "compose-email");
        Press(dialog, compose::EmailAll);
        Save(window, "compose-email-all");
        Press(dialog, compose::Preview);
        Press(dialog, compose::Send);
    };
    // The first message handed over from the preview, and shown again.
    whenShown[ui::PreviewTitle] = [](ui::WindowHandle dialog, QWidget* window) {
        Press(dialog, preview::SendThis);
        Press(dialog, preview::Previous);
        Save(window, "message-preview");
    };
    // Mid-run: two requests handed over, the third under way; then stopped.
    whenShown[ui::SendingRequestsTitle] = [](ui::WindowHandle dialog, QWidget* window) {
        QDeadlineTimer enough(5000);
        while (ui::Ui().ControlText(dialog, sending::Counter) != "Request 3 of 4" &&
               !enough.hasExpired())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        Save(window, "sending-requests");
        Press(dialog, sending::Stop);
    };
    whenShown[ui::DatabaseDialogTitle] = [](ui::WindowHandle dialog, QWidget* window) {
        Save(window, "databases");
        Press(dialog, ImportButton);
    };
    whenShown[ui::ImportTitle] = [](ui::WindowHandle, QWidget* window) {
        Save(window, "import-applications");
    };
    whenShown[ui::AboutTitle] = [](ui::WindowHandle, QWidget* window) { Save(window, "about"); };
    whenShown[ui::MainWindowTitle] = [](ui::WindowHandle dialog, QWidget* window) {
        Save(window, "main-window-empty");
        // Applications after Email: the status bar ends with their count, not the run's end.
        for (int button :
             {UserInfoButton, EmailButton, ApplicationsButton, DatabasesButton, AboutButton})
            Press(dialog, button);
        Save(window, "main-window");
    };
    MainDisplayDialog(0);

    return failures == 0 ? 0 : 1;
}
