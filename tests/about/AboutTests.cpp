#include "CAboutDlg.h"
#include "CStaticLink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{
// Stands in for the desktop's browser while it lives: every web open succeeds and is recorded.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    UrlRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    Q_INVOKABLE void open(const QUrl& url) { urls.append(url.toString()); }
    QStringList urls;
};

} // namespace

// Shown on a dark desktop, the box stays white with black text and a blue underlined link; Enter
// in the description presses OK, as in a dialog's multi-line edit; the Windows version block
// agrees with the box.
TEST(CAboutDlg, ShowsItsTextsInDialogUnitsInBlackOnWhite)
{
    // Pixels inside the one-pixel frame: each edge at 1.5 per unit across, 1.625 down, halves
    // rounded up; so the link and OK are 142 and 75 wide, 22 high.
    const struct
    {
        const char *name, *text;
        QRect pixels;
    } cases[] = {
        {"name", "Daviz", {162, 12, 180, 13}},
        {"version", "Version 0.9.0.0", {162, 35, 180, 13}},
        {"copyright", "Copyright \u00A9 2026 The Daviz developers", {162, 58, 240, 13}},
        {"description",
         "An addictive desktop amusement for those \"spare\" minutes waiting for stuff "
         "to happen in windows",
         {162, 82, 240, 62}},
        {"prompt", "Click OK to continue", {162, 155, 180, 13}},
        {"ok", "OK", {327, 177, 75, 22}},
        {"link", EXPECTED_HOMEPAGE, {162, 177, 142, 22}},
    };
    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(40, 40, 40), QColor(30, 30, 30)));
    CAboutDlg dlg;
    dlg.show();
    EXPECT_EQ(dlg.size(), QSize(413, 212));
    for (const auto& c : cases)
    {
        QWidget* control = dlg.findChild<QWidget*>(c.name);
        ASSERT_NE(control, nullptr) << c.name;
        const char* text = qobject_cast<const QPlainTextEdit*>(control) ? "plainText" : "text";
        EXPECT_EQ(control->property(text).toString(), QString::fromUtf8(c.text)) << c.name;
        EXPECT_EQ(control->geometry(), c.pixels) << c.name;
        EXPECT_EQ(control->palette().color(QPalette::Window), QColor(Qt::white)) << c.name;
        EXPECT_EQ(
            control->palette().color(control->foregroundRole()),
            QColor(c.name == std::string("link") ? CStaticLink::s_crUnvisited : qRgb(0, 0, 0)));
    }
    EXPECT_EQ(dlg.grab().toImage().pixelColor(300, 120), QColor(Qt::white));
    QApplication::setPalette(desktop);
    QTest::keyClick(dlg.findChild<QWidget*>("description"), Qt::Key_Return);
    EXPECT_TRUE(dlg.result() == QDialog::Accepted && dlg.isHidden());

    // The Windows version block names the same version and copyright as the box.
    QFile rc(QStringLiteral(WINDOWS_RC));
    ASSERT_TRUE(rc.open(QIODevice::ReadOnly)) << WINDOWS_RC;
    const QString block = QString::fromUtf8(rc.readAll());
    for (const QString& value :
         QStringList{"\"FileVersion\", \"0.9.0.0\"", "\"ProductVersion\", \"0.9.0.0\"",
                     "\"LegalCopyright\", \"" + QString::fromUtf8(cases[2].text) + '"'})
        EXPECT_TRUE(block.contains(value)) << qUtf8Printable(value);
}

// Two clicks, the caption changed in between: it is taken as the target at the first click only.
// Then the second press of a double click, which opens nothing more.
TEST(CStaticLink, ClickOpensTheTargetAndTurnsPurple)
{
    const char *kFirst = "https://first.example/", *kTarget = "https://t.example/";
    constexpr QRgb kBlue = CStaticLink::s_crUnvisited, kPurple = CStaticLink::s_crVisited;
    const struct
    {
        QString caption, target;
        QStringList opened;
        int beeps;
        QRgb colour;
    } cases[] = {
        {kFirst, "", {kFirst, kFirst}, 0, kPurple},
        {kFirst, kTarget, {kTarget, kTarget}, 0, kPurple},
        {"   ", "", {}, 2, kBlue},                         // no address: every open fails
        {"", "", {"https://second.example/"}, 0, kPurple}, // nothing to open at first, no beep
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(("caption '" + c.caption + "' target '" + c.target + "'").toStdString());
        UrlRecorder desktop;
        CStaticLink link(c.target);
        link.setText(c.caption);
        link.show();
        QSignalSpy beeps(&link, &CStaticLink::linkFailed);
        QTest::mouseClick(&link, Qt::LeftButton);
        link.setText(QStringLiteral("https://second.example/"));
        QTest::mouseClick(&link, Qt::LeftButton);
        QTest::mouseDClick(&link, Qt::LeftButton); // a quick second press comes as a double click
        EXPECT_EQ(desktop.urls, c.opened);
        EXPECT_EQ(beeps.size(), c.beeps);
        EXPECT_EQ(link.palette().color(link.foregroundRole()), QColor(c.colour));
    }
}

int main(int argc, char** argv)
{
    // Headless unless told otherwise, also while the test list is being collected.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

#include "AboutTests.moc"
