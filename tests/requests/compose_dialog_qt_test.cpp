// The Compose Email dialog on real widgets: as tabled, and one request run from end to end
// with the links caught where the desktop would open them.

#include "common/clock.h"
#include "requests/compose_dialog.h"
#include "requests/mailto.h"
#include "requests/send_requests.h"
#include "support/fixtures.h"
#include "support/temp_folder.h"
#include "ui/qt/qt_dialog.h"
#include "ui/qt/qt_platform.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <memory>

class MailtoCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls.append(url); }
};

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

// Recipient and header fields as Qt reads the link.
std::pair<std::string, Fields> QtDecoded(const QUrl& url) {
    Fields fields;
    for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        fields.emplace_back(name.toStdString(), value.toStdString());
    return {url.path(QUrl::FullyDecoded).toStdString(), fields};
}

TEST(ComposeDialogQt, BuildsAsTabled) {
    const ui::Dialog table = ComposeEmailLayout();
    std::unique_ptr<ui::DialogWindow> window(ui::BuildDialogWidget(table));
    EXPECT_EQ(window->windowTitle().toStdString(), "Ombrelay Email Application Vendors");
    EXPECT_EQ(window->size(), ui::DialogUnitsToPixels(window->Units(), 0, 0, 475, 249).size());

    enum Face { Dialog, A, B };
    struct Row {
        int id;
        const char* widget;
        const char* caption;
        int x, y, w, h;
        Face face;
    };
    const Row rows[] = {
        {1079, "QPlainTextEdit", "", 16, 21, 284, 13, A},
        {1089, "QLineEdit", "", 332, 21, 128, 13, A},
        {1077, "QLineEdit", "", 16, 66, 128, 13, A},
        {1078, "QLineEdit", "", 174, 66, 128, 13, A},
        {1080, "QLineEdit", "", 332, 66, 128, 13, A},
        {1087, "QPushButton", "&Send", 88, 230, 50, 15, A},
        {1097, "QPushButton", "Email &Test", 150, 230, 50, 15, A},
        {1096, "QPushButton", "&Select", 212, 230, 50, 15, A},
        {1095, "QPushButton", "Email &All", 274, 230, 50, 15, A},
        {1088, "QPushButton", "&Cancel", 336, 230, 50, 15, A},
        {1081, "QPlainTextEdit", "", 16, 100, 444, 100, B},
        {1082, "QLabel", "Send To:", 17, 10, 100, 10, A},
        {1083, "QLabel", "Subject:", 17, 55, 100, 10, A},
        {1084, "QLabel", "Your Email Address:", 175, 55, 100, 10, A},
        {1085, "QLabel", "Your Mail Server Name:", 333, 55, 100, 10, A},
        {1090, "QLabel", "CC To:", 333, 10, 100, 10, A},
        {1091, "QGroupBox", "", 8, 1, 460, 83, Dialog},
        {1093, "QGroupBox", "Message to Vendors:", 8, 88, 460, 124, A},
        {1099, "QLabel", "", 16, 41, 284, 10, Dialog},
        {1104, "QLabel", "", 8, 220, 1, 10, A},
    };
    ASSERT_EQ(table.controls.size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.id);
        EXPECT_EQ(table.controls[i].id, row.id); // creation and tab order
        QWidget* widget = window->Control(row.id);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(row.widget));
        EXPECT_EQ(window->Text(row.id), row.caption);
        EXPECT_EQ(widget->geometry(),
                  ui::DialogUnitsToPixels(window->Units(), row.x, row.y, row.w, row.h));
        EXPECT_EQ(widget->font().pixelSize(), ui::FontPixelSize(row.face == B ? 10 : 8));
        EXPECT_EQ(widget->font().bold(), row.face == A);
    }
    EXPECT_TRUE(static_cast<QLineEdit*>(window->Control(1089))->isReadOnly());
    EXPECT_EQ(window->Control(1089)->palette().color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_EQ(window->Control(1104)->palette().color(QPalette::WindowText), QColor(192, 192, 192));
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(134, 185, 240));
    const auto clipped = ui::ClippedCaptions(table);
    EXPECT_TRUE(clipped.empty()) << clipped.front();
}

class ComposeRunQt : public ::testing::Test {
protected:
    TempFolder folder;
    ui::QtPlatform platform;
    MailtoCatcher catcher;
    std::vector<std::pair<std::string, std::string>> boxes; // title, text

    void SetUp() override {
        SetClockForTesting([] { return LocalDateTime{2026, 1, 2, 3, 4, 5}; });
        StoreUser({"Ann", "Lee", "ann@home.example", "2100ABCD", "2200EF01", "smtp.home", "", "ann",
                   "pw"});
        QDesktopServices::setUrlHandler("mailto", &catcher, "Open");
        ui::QtPlatform::SetMessageBoxHook([this](QMessageBox* box) {
            boxes.emplace_back(box->windowTitle().toStdString(), box->text().toStdString());
            box->button(QMessageBox::Ok)->click();
        });
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler("mailto");
        ui::QtPlatform::SetMessageBoxHook({});
        ui::QtPlatform::SetDialogShownHook({});
        SetClockForTesting({});
    }
    template <typename T> T* Widget(ui::WindowHandle dialog, int id) {
        return qobject_cast<T*>(platform.ControlWidget(dialog, id));
    }
};

TEST_F(ComposeRunQt, AllVendorsFromTheMainWindowThroughRealWidgets) {
    AddApplications({{"Maps & More", "M#2", "x@y.com&bcc=someone@else", "No"},
                     {"Grüße", "G 3", "vendor@grüße.example", "Yes"}});
    WriteFile("Template.txt", "Dear applicationname team,\r\nmy code is regcode. fname lname");
    std::string instructions, prepared, statusLine, mainStatus;
    bool messageHadFocus = false;
    ui::QtPlatform::SetDialogShownHook([&](ui::WindowHandle dialog, QWidget* window) {
        if (window->windowTitle() == "Ombrelay") {
            EXPECT_EQ(ComposeEmailDialog(0), 0);
            mainStatus = platform.ControlText(dialog, 1001);
            platform.EndDialog(dialog, 0);
            return;
        }
        auto* message = Widget<QPlainTextEdit>(dialog, compose::Message);
        instructions = platform.ControlText(dialog, compose::Message);
        Widget<QPushButton>(dialog, compose::EmailAll)->click();
        messageHadFocus = window->focusWidget() == message;
        prepared = platform.ControlText(dialog, compose::Message);
        message->moveCursor(QTextCursor::End);
        QTest::keyClicks(message, " Sales & Support #1 ?x=y 100%");
        Widget<QPushButton>(dialog, compose::Send)->click();
        statusLine = platform.ControlText(dialog, compose::StatusLine);
        Widget<QPushButton>(dialog, compose::Cancel)->click();
    });
    platform.RunDialog(MainWindowStandIn(), 0, {});

    EXPECT_EQ(instructions, InstructionText());
    EXPECT_TRUE(messageHadFocus);
    EXPECT_EQ(prepared, "Dear applicationname team,\r\nmy code is regcode. Ann Lee");
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(catcher.urls.size(), 2);
    const std::string typed = " Sales & Support #1 ?x=y 100%" + DecodedRequestFooter;
    const Fields common = {{"cc", "ann@home.example"}, {"subject", "New PIN: 2200EF01"}};
    const auto fields = [&](const std::string& body) {
        Fields all = common;
        all.emplace_back("body", body + typed);
        return all;
    };
    const std::pair<std::string, Fields> expected[] = {
        {"x@y.com&bcc=someone@else", fields("Dear Maps & More team,\r\nmy code is M#2. Ann Lee")},
        {"vendor@grüße.example", fields("Dear Grüße team,\r\nmy code is G 3. Ann Lee")},
    };
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(QtDecoded(catcher.urls[i]), expected[i])
            << catcher.urls[i].toString().toStdString();
        // And read apart from Qt, from the very text the desktop was given.
        const Mailto parsed =
            ParseMailto(catcher.urls[i].toString(QUrl::FullyEncoded).toStdString());
        EXPECT_TRUE(parsed.wellFormed);
        EXPECT_EQ(parsed.to, expected[i].first);
        EXPECT_EQ(parsed.fields, expected[i].second);
    }
    const std::string summary =
        "Reregistration Request messages generated for all  2 application vendors";
    EXPECT_EQ(statusLine, summary);
    EXPECT_EQ(mainStatus, summary);
}

TEST_F(ComposeRunQt, TheSelectRunsPlainBoxHasNoCaptionOrIconOfItsOwn) {
    AddApplications({{"One", "1", "one@v.example", "Yes"}});
    ui::QtPlatform::SetDialogShownHook([&](ui::WindowHandle dialog, QWidget*) {
        platform.SetControlText(dialog, compose::Subject, "s");
        platform.SetControlText(dialog, compose::YourEmail, "a");
        platform.SetControlText(dialog, compose::Message, "m");
        EmailSelectVendorsSend(); // no main window is open
        platform.EndDialog(dialog, 0);
    });
    ui::QtPlatform::SetMessageBoxHook([this](QMessageBox* box) {
        boxes.emplace_back(box->windowTitle().toStdString(), box->text().toStdString());
        if (boxes.size() == 1) {
            EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        }
        box->button(QMessageBox::Ok)->click();
    });
    platform.RunDialog(ComposeEmailLayout(), 0, {});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], (std::pair<std::string, std::string>{"", "wHandle esvt error 1005 is  0"}));
    EXPECT_EQ(boxes[1].first, "Ombrelay System Message");
    EXPECT_EQ(catcher.urls.size(), 1);
}

} // namespace

#include "compose_dialog_qt_test.moc"
