#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// Stands in for the desktop's browser while it lives: every open succeeds and is recorded.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    UrlRecorder() { Register(true); }
    ~UrlRecorder() override { Register(false); }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }

private:
    void Register(bool on)
    {
        for (const char* scheme : {"https", "http", "file", "mailto"})
        {
            on ? QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open")
               : QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
    }
};
