#include "CStaticLink.h"
#include "UrlRecorder.h"

#include <QPixmap>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

QColor Shown(const CStaticLink& link)
{
    return link.palette().color(QPalette::WindowText);
}

void Click(CStaticLink& link, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(&link, button);
}

struct ClickCase
{
    const char* caption;
    const char* target;
    const char* opened; // nullptr: nothing reaches the desktop
    int beeps;
    QRgb colour;
    const char* storedTarget;
};

const ClickCase kClickCases[] = {
    {"https://caption.example/", "", "https://caption.example/", 0, CStaticLink::s_crVisited,
     "https://caption.example/"},
    {"https://caption.example/", "https://target.example/", "https://target.example/", 0,
     CStaticLink::s_crVisited, "https://target.example/"},
    {"", "https://target.example/", "https://target.example/", 0, CStaticLink::s_crVisited,
     "https://target.example/"},
    {"daviz.example.org", "", "http://daviz.example.org", 0, CStaticLink::s_crVisited,
     "daviz.example.org"},
    // Blank text makes no address: refused, with a beep, and the link stays unvisited.
    {"   ", "", nullptr, 1, CStaticLink::s_crUnvisited, "   "},
    // No caption and no target: nothing at all, not even a beep.
    {"", "", nullptr, 0, CStaticLink::s_crUnvisited, ""},
};

} // namespace

TEST(CStaticLink, StartsBlueUnderlinedWithHandCursor)
{
    CStaticLink link;
    link.setText(QStringLiteral("https://daviz.example.org/"));
    link.show();
    EXPECT_EQ(Shown(link), QColor(0, 0, 255));
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link.TextColor(), CStaticLink::s_crUnvisited);
}

TEST(CStaticLink, ClickOpensTargetAndColours)
{
    for (const ClickCase& c : kClickCases)
    {
        SCOPED_TRACE(std::string("caption '") + c.caption + "' target '" + c.target + "'");
        UrlRecorder desktop;
        CStaticLink link(QString::fromLatin1(c.target));
        link.setText(QString::fromLatin1(c.caption));
        link.show();
        QSignalSpy beeps(&link, &CStaticLink::linkFailed);
        Click(link);
        ASSERT_EQ(desktop.urls.size(), c.opened ? 1 : 0);
        if (c.opened)
        {
            EXPECT_EQ(desktop.urls.front(), QUrl(QString::fromLatin1(c.opened)));
        }
        EXPECT_EQ(beeps.size(), c.beeps);
        EXPECT_EQ(link.TextColor(), c.colour);
        EXPECT_EQ(Shown(link), QColor(c.colour));
        EXPECT_EQ(link.Link(), QString::fromLatin1(c.storedTarget));
    }
}

TEST(CStaticLink, CaptionIsTakenAsTargetAtFirstClickOnly)
{
    UrlRecorder desktop;
    CStaticLink link;
    link.setText(QStringLiteral("https://first.example/"));
    link.show();
    Click(link);
    link.setText(QStringLiteral("https://second.example/"));
    Click(link);
    EXPECT_EQ(desktop.urls, QList<QUrl>(2, QUrl(QStringLiteral("https://first.example/"))));

    // Kept even when the first open failed; every later click tries again and beeps again.
    CStaticLink blank;
    blank.setText(QStringLiteral(" "));
    blank.show();
    QSignalSpy beeps(&blank, &CStaticLink::linkFailed);
    Click(blank);
    blank.setText(QStringLiteral("https://second.example/"));
    Click(blank);
    EXPECT_EQ(beeps.size(), 2);
    EXPECT_EQ(desktop.urls.size(), 2);
    EXPECT_EQ(Shown(blank), QColor(CStaticLink::s_crUnvisited));
}

TEST(CStaticLink, OnlyTheLeftButtonOpens)
{
    UrlRecorder desktop;
    CStaticLink link(QStringLiteral("https://target.example/"));
    link.setText(QStringLiteral("link"));
    link.show();
    Click(link, Qt::RightButton);
    Click(link, Qt::MiddleButton);
    EXPECT_TRUE(desktop.urls.isEmpty());
    EXPECT_EQ(link.TextColor(), CStaticLink::s_crUnvisited);
}

TEST(CStaticLink, PictureGetsNoLinkColouringButOpens)
{
    UrlRecorder desktop;
    QPixmap picture(16, 16);
    picture.fill(Qt::green);
    CStaticLink link(QStringLiteral("https://picture.example/"));
    link.setPixmap(picture);
    link.show();
    EXPECT_FALSE(link.font().underline());
    EXPECT_NE(Shown(link), QColor(CStaticLink::s_crUnvisited));
    Click(link);
    EXPECT_EQ(desktop.urls.size(), 1);
    EXPECT_NE(Shown(link), QColor(CStaticLink::s_crVisited));
}

TEST(CStaticLink, DeletesItselfWhenClosedOnlyIfAsked)
{
    for (const bool deleteOnDestroy : {true, false})
    {
        QPointer<CStaticLink> link = new CStaticLink(QString(), deleteOnDestroy);
        link->show();
        link->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(link.isNull(), deleteOnDestroy);
        delete link.data();
    }
}
