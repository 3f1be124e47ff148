#include "CAboutDlg.h"
#include "UrlRecorder.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

int qInitResources_about_test_emblem();
int qCleanupResources_about_test_emblem();

namespace
{

const QString kDescription = QStringLiteral("An addictive desktop amusement for those \"spare\" "
                                            "minutes waiting for stuff to happen in windows");

template <typename T = QWidget> T* Child(const CAboutDlg& dlg, const char* name)
{
    T* child = dlg.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QPlainTextEdit* Edit(const CAboutDlg& dlg)
{
    return Child<QPlainTextEdit>(dlg, "description");
}

QColor LinkColour(const CAboutDlg& dlg)
{
    return Child(dlg, "link")->palette().color(QPalette::WindowText);
}

} // namespace

TEST(CAboutDlg, ShowsItsTextsInDialogUnits)
{
    // Pixels inside the one-pixel frame: 1.5 per unit across, 1.625 down, halves rounded up.
    const struct
    {
        const char* name;
        QString text;
        QRect pixels;
    } cases[] = {
        {"name", QStringLiteral("Daviz"), {162, 12, 180, 13}},
        {"version", QStringLiteral("Version " EXPECTED_VERSION), {162, 35, 180, 13}},
        {"copyright",
         QStringLiteral("Copyright \u00A9 2026 The Daviz developers"),
         {162, 58, 240, 13}},
        {"prompt", QStringLiteral("Click OK to continue"), {162, 155, 180, 13}},
        {"link", QStringLiteral(EXPECTED_HOMEPAGE), {162, 177, 143, 23}},
        {"picture", QString(), {12, 12, 144, 145}},
    };
    CAboutDlg dlg;
    EXPECT_EQ(dlg.size(), QSize(413, 212));
    for (const auto& c : cases)
    {
        auto* label = Child<QLabel>(dlg, c.name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), c.text) << c.name;
        EXPECT_TRUE(c.text.isEmpty() || label->textFormat() == Qt::PlainText) << c.name;
        EXPECT_EQ(label->geometry(), c.pixels) << c.name;
    }
    EXPECT_EQ(QStringLiteral(EXPECTED_VERSION), QStringLiteral("0.9.0.0"));
    const auto* ok = Child<QPushButton>(dlg, "ok");
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->geometry(), QRect(327, 177, 75, 23));
    EXPECT_EQ(Edit(dlg)->geometry(), QRect(162, 82, 240, 62));
    EXPECT_EQ(Edit(dlg)->toPlainText(), kDescription);
}

TEST(CAboutDlg, IsAModalFramelessBoxCentredOverItsParentWithTabOrder)
{
    QWidget main;
    main.setGeometry(150, 0, 500, 600);
    main.show();
    CAboutDlg dlg(&main);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(dlg.windowType(), Qt::Dialog);
    EXPECT_TRUE(dlg.isModal());
    EXPECT_TRUE(dlg.windowTitle().isEmpty());
    EXPECT_EQ(dlg.frameGeometry().topLeft(), QPoint(150 + (500 - 413) / 2, (600 - 212) / 2));

    // OK first, then the description with its text selected, then OK again.
    QWidget* ok = Child(dlg, "ok");
    EXPECT_EQ(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Edit(dlg));
    EXPECT_EQ(Edit(dlg)->textCursor().selectedText(), kDescription);
    QTest::keyClick(Edit(dlg), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), ok);
}

TEST(CAboutDlg, IsWhiteWithBlackTextOnADarkDesktop)
{
    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(40, 40, 40), QColor(30, 30, 30)));
    {
        CAboutDlg dlg;
        dlg.show();
        for (const char* name : {"name", "version", "copyright", "prompt", "description", "ok"})
        {
            const QPalette pal = Child(dlg, name)->palette();
            EXPECT_EQ(pal.color(Child(dlg, name)->foregroundRole()), QColor(Qt::black)) << name;
            EXPECT_EQ(pal.color(QPalette::Window), QColor(Qt::white)) << name;
            EXPECT_EQ(pal.color(QPalette::Base), QColor(Qt::white)) << name;
        }
        EXPECT_EQ(LinkColour(dlg), QColor(CStaticLink::s_crUnvisited));
        EXPECT_TRUE(Child(dlg, "link")->font().underline());
        const QImage shot = dlg.grab().toImage();
        EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::black)) << "frame";
        for (const QPoint p : {QPoint(2, 2), QPoint(300, 120), QPoint(400, 20), QPoint(80, 190)})
        {
            EXPECT_EQ(shot.pixelColor(p), QColor(Qt::white)) << p.x() << "," << p.y();
        }
    }
    QApplication::setPalette(desktop);
}

TEST(CAboutDlg, EnterAndEscapeEndTheModalRun)
{
    const struct
    {
        const char* focus;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int result; // -1: still open after the key
    } cases[] = {
        {"ok", Qt::Key_Return, Qt::NoModifier, QDialog::Accepted},
        {"ok", Qt::Key_Enter, Qt::KeypadModifier, QDialog::Accepted},
        {"ok", Qt::Key_Escape, Qt::NoModifier, QDialog::Rejected},
        {"description", Qt::Key_Return, Qt::NoModifier, QDialog::Accepted},
        {"description", Qt::Key_Escape, Qt::NoModifier, QDialog::Rejected},
        {"description", Qt::Key_Return, Qt::ControlModifier, -1},
    };
    for (const auto& c : cases)
    {
        CAboutDlg dlg;
        QTimer::singleShot(0, &dlg,
                           [&]
                           {
                               if (QTest::qWaitForWindowActive(&dlg))
                               {
                                   Child(dlg, c.focus)->setFocus();
                                   QTest::keyClick(Child(dlg, c.focus), c.key, c.mods);
                               }
                               if (dlg.isVisible())
                               {
                                   dlg.done(-1);
                               }
                           });
        EXPECT_EQ(dlg.exec(), c.result) << c.focus << " key " << c.key;
        EXPECT_EQ(Edit(dlg)->toPlainText().count(QLatin1Char('\n')), c.result == -1 ? 1 : 0);
    }
}

TEST(CAboutDlg, EveryShowingStartsAfresh)
{
    UrlRecorder desktop;
    {
        CAboutDlg first;
        first.show();
        Edit(first)->setPlainText(QStringLiteral("typed over"));
        QTest::mouseClick(Child(first, "link"), Qt::LeftButton);
        EXPECT_EQ(LinkColour(first), QColor(CStaticLink::s_crVisited));
        first.accept();
        EXPECT_EQ(first.Description(), QStringLiteral("typed over"));
    }
    EXPECT_EQ(desktop.urls, QList<QUrl>{QUrl(QStringLiteral(EXPECTED_HOMEPAGE))});
    CAboutDlg second;
    second.show();
    EXPECT_EQ(Edit(second)->toPlainText(), kDescription);
    EXPECT_EQ(LinkColour(second), QColor(CStaticLink::s_crUnvisited));
    // Esc keeps no typing.
    Edit(second)->setPlainText(QStringLiteral("dropped"));
    second.reject();
    EXPECT_EQ(second.Description(), kDescription);
}

TEST(CAboutDlg, ShowsTheEmblemWhenTheApplicationHasOne)
{
    {
        CAboutDlg dlg;
        auto* picture = Child<QLabel>(dlg, "picture");
        ASSERT_EQ(picture->pixmap().size(), QSize(8, 8));
        const QImage shot = dlg.grab().toImage();
        const QPoint corner = picture->geometry().topLeft();
        EXPECT_EQ(shot.pixelColor(corner), QColor(0xC0, 0x10, 0x20)) << "top row on top";
        EXPECT_EQ(shot.pixelColor(corner + QPoint(7, 7)), QColor(0x20, 0xA0, 0x30));
    }
    qCleanupResources_about_test_emblem();
    CAboutDlg without;
    EXPECT_TRUE(Child<QLabel>(without, "picture")->pixmap().isNull());
    qInitResources_about_test_emblem();
}
