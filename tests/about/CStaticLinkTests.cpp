#include "CStaticLink.h"
#include "UrlRecorder.h"

#include <QPixmap>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

QColor Shown(const QWidget& link)
{
    return link.palette().color(QPalette::WindowText);
}

constexpr QRgb kBlue = CStaticLink::s_crUnvisited;
constexpr QRgb kPurple = CStaticLink::s_crVisited;

} // namespace

TEST(CStaticLink, ClickOpensTheTargetAndColoursTheText)
{
    const struct
    {
        const char *caption, *target;
        Qt::MouseButton button;
        const char* opened; // nullptr: nothing reaches the desktop
        int beeps;
        QRgb colour;
        const char* stored;
    } cases[] = {
        {"https://c.example/", "", Qt::LeftButton, "https://c.example/", 0, kPurple,
         "https://c.example/"},
        {"https://c.example/", "https://t.example/", Qt::LeftButton, "https://t.example/", 0,
         kPurple, "https://t.example/"},
        {"", "https://t.example/", Qt::LeftButton, "https://t.example/", 0, kPurple,
         "https://t.example/"},
        {"daviz.example.org", "", Qt::LeftButton, "http://daviz.example.org", 0, kPurple,
         "daviz.example.org"},
        // Blank text makes no address: refused with a beep, and the link stays unvisited.
        {"   ", "", Qt::LeftButton, nullptr, 1, kBlue, "   "},
        // No caption and no target: nothing at all, not even a beep.
        {"", "", Qt::LeftButton, nullptr, 0, kBlue, ""},
        {"https://c.example/", "", Qt::RightButton, nullptr, 0, kBlue, ""},
        {"https://c.example/", "", Qt::MiddleButton, nullptr, 0, kBlue, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string("caption '") + c.caption + "' target '" + c.target + "'");
        UrlRecorder desktop;
        CStaticLink link(QString::fromLatin1(c.target));
        link.setText(QString::fromLatin1(c.caption));
        link.show();
        EXPECT_EQ(Shown(link), QColor(kBlue));
        EXPECT_TRUE(link.font().underline());
        EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
        QSignalSpy beeps(&link, &CStaticLink::linkFailed);
        QTest::mouseClick(&link, c.button);
        ASSERT_EQ(desktop.urls.size(), c.opened ? 1 : 0);
        if (c.opened)
        {
            EXPECT_EQ(desktop.urls.front(), QUrl(QString::fromLatin1(c.opened)));
        }
        EXPECT_EQ(beeps.size(), c.beeps);
        EXPECT_EQ(link.TextColor(), c.colour);
        EXPECT_EQ(Shown(link), QColor(c.colour));
        EXPECT_EQ(link.Link(), QString::fromLatin1(c.stored));
    }
}

TEST(CStaticLink, CaptionIsTakenAsTargetAtFirstClickOnly)
{
    UrlRecorder desktop;
    CStaticLink link, blank;
    link.setText(QStringLiteral("https://first.example/"));
    blank.setText(QStringLiteral(" "));
    QSignalSpy beeps(&blank, &CStaticLink::linkFailed);
    for (CStaticLink* l : {&link, &blank})
    {
        l->show();
        QTest::mouseClick(l, Qt::LeftButton);
        l->setText(QStringLiteral("https://second.example/"));
        QTest::mouseClick(l, Qt::LeftButton);
    }
    EXPECT_EQ(desktop.urls, QList<QUrl>(2, QUrl(QStringLiteral("https://first.example/"))));
    // Kept even after a failed open; every click tries again and beeps again.
    EXPECT_EQ(beeps.size(), 2);
    EXPECT_EQ(Shown(blank), QColor(kBlue));
}

TEST(CStaticLink, PictureGetsNoLinkColouringButOpens)
{
    UrlRecorder desktop;
    QPixmap picture(16, 16);
    picture.fill(Qt::green);
    CStaticLink link(QStringLiteral("https://picture.example/"));
    link.setPixmap(picture);
    link.show();
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_EQ(desktop.urls.size(), 1);
    EXPECT_FALSE(link.font().underline());
    EXPECT_NE(Shown(link), QColor(kBlue));
    EXPECT_NE(Shown(link), QColor(kPurple));
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
