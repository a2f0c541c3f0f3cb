#pragma once
// Catching what the desktop would open; the Qt backend's driver (MakeDriver) is built on it.

#include <QObject>
#include <QUrl>

#include <functional>
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
