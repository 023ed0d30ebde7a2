#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Stands in for the user's browser: every http, https and file URL handed to
// the desktop is recorded instead of opened.
class UrlCapture final : public QObject
{
    Q_OBJECT

public:
    UrlCapture()
    {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Capture");
    }
    ~UrlCapture() override
    {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    const QStringList& urls() const { return urls_; }

public Q_SLOTS:
    void Capture(const QUrl& url) { urls_.append(url.toString()); }

private:
    QStringList urls_;
};
