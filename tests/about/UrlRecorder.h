#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// Takes the place of the desktop's browser while it lives: every open succeeds and is recorded.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    UrlRecorder()
    {
        for (const char* scheme : kSchemes)
        {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
        }
    }
    ~UrlRecorder() override
    {
        for (const char* scheme : kSchemes)
        {
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
    }

    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }

private:
    static constexpr const char* kSchemes[] = {"https", "http", "file", "mailto"};
};
