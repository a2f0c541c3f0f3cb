#pragma once
// The user of tests/support/ui_driver.h at the Qt backend's real widgets; the links the
// desktop would open are caught.

#include "support/ui_driver.h"

#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

// Catches what QDesktopServices would hand to the desktop for one URL scheme.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QString& scheme, std::function<void(const QUrl&)> also = {});
    ~UrlCatcher() override;
    std::vector<QUrl> urls;
public slots:
    void Open(const QUrl& url);

private:
    QString scheme_;
    std::function<void(const QUrl&)> also_;
};

class QWidget;

class QtDriver : public UiDriver {
public:
    QtDriver();           // installs the hooks of the Qt backend
    ~QtDriver() override; // and removes them

    void Type(ui::WindowHandle dialog, int control, const std::string& text) override;
    void Click(ui::WindowHandle dialog, int control) override;
    void Press(ui::WindowHandle dialog, Key key) override;
    void Mnemonic(ui::WindowHandle dialog, char letter) override;
    void CloseBox(ui::WindowHandle dialog) override;
    bool Visible(ui::WindowHandle window) override;
    bool Enabled(ui::WindowHandle window) override;
    bool AnyWindowVisible() override;
    void Settle() override;

    // The widget of a control of a running dialog.
    static QWidget* Control(ui::WindowHandle dialog, int control);

private:
    std::vector<std::unique_ptr<UrlCatcher>> catchers_;
};
