#include "CMainFrame.h"
#include "ErrorCodes.h"
#include "ErrorText.h"
#include "ICuePlayer.h"
#include "Resource.h"
#include "ShellTest.h"
#include "ZudoredaApp.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <algorithm>
#include <string>

namespace
{

// Counts the cues a view hands to its player, in order.
struct CountingCuePlayer : ICuePlayer
{
    void Play(const char* fileName) override { cues.emplace_back(fileName); }
    std::vector<std::string> cues;
};

// A full board without a pair but the red balls at (0, 0) and (1, 0): removing them ends it.
std::uint32_t LastPairBoard(std::uint32_t column, std::uint32_t row)
{
    return row == 0 && column < 2 ? 1 : (column < 2 ? 4 : 2) + (column + row) % 2;
}

// Clicks the view as the window system would the moment the frame is shown, and counts the
// presses that reach the view; records whether each About box came over the painted frame.
struct EarlyClick : QObject
{
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* frame = qobject_cast<CMainFrame*>(watched);
        if (frame != nullptr && event->type() == QEvent::Show && !queued)
        {
            queued = true;
            const QPointF at = frame->View().mapTo(frame, frame->View().rect().center());
            for (const Qt::MouseButtons buttons : {Qt::LeftButton, Qt::NoButton})
                QWindowSystemInterface::handleMouseEvent<
                    QWindowSystemInterface::AsynchronousDelivery>(
                    frame->windowHandle(), at, frame->mapToGlobal(at), buttons, Qt::LeftButton,
                    buttons ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease);
        }
        presses += qobject_cast<CChildView*>(watched) != nullptr &&
                   event->type() == QEvent::MouseButtonPress;
        return false;
    }
    bool queued = false;
    int presses = 0;
    std::vector<bool> abouts;
};
EarlyClick* g_earlyClick = nullptr;

// Start-up: the frame on the screen and painted, then the About box once; About again on
// request. The frame's icon and menus, each menu on one line: its items with their keys
// and check boxes; "- []" a separator. Then a game to its end, press by press and key by key: the
// score line, the cues, "GAME OVER", and the commands' states (Undo disabled after New Game,
// enabled after a removal, enabled yet refused after the end; the sounds' check mark). The whole
// window stays 500 by 600. The picture: black, the board unscaled at (15, 20) (pixel for pixel
// where the screen's ratio is the set's), the score line below it, "GAME OVER" over it while the
// game is over.
TEST(ShownFrame, StartsUnderTheAboutBoxThenFollowsEachPressAndKey)
{
    // A click while the window comes up waits for the About box: the board was not seen yet.
    const auto runAbout = [](QWidget* parent)
    {
        auto* frame = qobject_cast<CMainFrame*>(parent);
        g_earlyClick->abouts.push_back(frame != nullptr && frame->windowHandle()->isExposed() &&
                                       frame->View().BoardImage().OriginX() == 15 &&
                                       g_earlyClick->presses == 0);
    };
    CountingCuePlayer player;
    EarlyClick earlyClick;
    g_earlyClick = &earlyClick;
    qApp->installEventFilter(&earlyClick);
    ZudoredaApp app(runAbout);
    ASSERT_TRUE(app.InitInstance());
    QWindowSystemInterface::flushWindowSystemEvents();
    qApp->removeEventFilter(&earlyClick);
    EXPECT_EQ(earlyClick.presses, 1);
    EXPECT_EQ(earlyClick.abouts, std::vector<bool>{true});
    CMainFrame& frame = *app.MainWindow();
    frame.Command(ID_APP_ABOUT)->trigger();
    EXPECT_EQ(earlyClick.abouts.size(), 2u);
    QStringList menus;
    for (const QAction* menu : frame.menuBar()->actions())
    {
        menus << menu->text() + ":";
        for (const QAction* item : menu->menu()->actions())
            menus.back() += QString(" %1 [%2]%3")
                                .arg(item->isSeparator() ? "-" : item->text(),
                                     QKeySequence::listToString(item->shortcuts()),
                                     item->isCheckable() ? " v" : "");
    }
    EXPECT_EQ(menus,
              QStringList({"&File: New Game [Ctrl+N] - [] E&xit [Ctrl+X]",
                           "&Options: Toggle Sounds [Ctrl+W] v - [] &Undo [Ctrl+Z; Alt+Backspace]",
                           "&Help: &About Daviz... []"}));
    EXPECT_EQ(frame.windowIcon().availableSizes(), QList<QSize>({{16, 16}, {32, 32}, {48, 48}}));

    CChildView& view = frame.View();
    view.SetCuePlayer(&player);
    view.SetFrameMilliseconds(0);
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.showMaximized();
    QTest::qWait(50);
    EXPECT_EQ(frame.frameGeometry().size(), QSize(500, 600));
    // Run at several scale factors: the grab holds device pixels.
    const auto grab = [&] { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    const qreal ratio = view.grab().devicePixelRatio();
    const auto at = [&](QPoint logical) { return (QPointF(logical) * ratio).toPoint(); };
    const QPoint origin = view.ClientOrigin();
    const int height = view.contentsRect().height();
    for (const QPoint p : {QPoint(0, 0), QPoint(14, 100), QPoint(100, 19), QPoint(2, height - 3)})
        EXPECT_EQ(grab().pixel(at(origin + p)), qRgb(0, 0, 0)) << p.x() << "," << p.y();
    const auto text = [&](int top, int bottom) // light grey pixels from row top to row bottom
    {
        const QImage band = grab().copy({at(origin + QPoint(0, top)),
                                         at(origin + QPoint(view.contentsRect().width(), bottom))});
        const auto* pixels = reinterpret_cast<const QRgb*>(band.constBits());
        return std::count(pixels, pixels + band.width() * band.height(), qRgb(240, 240, 240));
    };
    const CBoardImage& image = view.BoardImage();
    EXPECT_GT(text(20 + image.Shown().Height() / image.ShownScale(), height), 50);
    const auto middle = text(height / 2 - 20, height / 2 + 20);

    // A press at the lowest pixel of a ball hits that ball: the sunken edge is no part of the
    // board's coordinates.
    const QPoint lowest = CellPixels(view.BoardImage())[0].back() + QPoint(15, 20) + origin;
    const QPoint first = CellPoint(view, 0, 0), other = CellPoint(view, 5, 5);
    // Twice: the quick second press, which the window system sends as a double click; dealt: a
    // press on (0, 0) once the board with the last pair is dealt.
    const Qt::MouseButton L = Qt::LeftButton, none = Qt::NoButton, twice = Qt::ExtraButton1;
    const QPoint dealt = first + QPoint(0, 1);
    const struct
    {
        const char* what;
        QPoint at;
        Qt::MouseButton button;
        QKeyCombination key;
        int total, group;
        std::vector<std::string> cues;
        bool over, undo;
    } steps[] = {
        {"lone ball", CellPoint(view, 8, 8), L, {}, 0, 0, {"select.wav"}, false, false},
        {"right button", first, Qt::RightButton, {}, 0, 0, {}, false, false},
        {"select the pair", lowest, L, {}, 0, 2, {"select.wav"}, false, false},
        {"beside the board", origin + QPoint(3, 3), L, {}, 0, 2, {}, false, false},
        {"remove it", first, twice, {}, 2, 0, {"remove.wav"}, false, true},
        {"undo", {}, none, Qt::ControlModifier | Qt::Key_Z, 0, 0, {}, false, false},
        {"select the last pair", dealt, L, {}, 0, 2, {"select.wav"}, false, false},
        {"remove it", first, L, {}, 2, 0, {"remove.wav", "gameover.wav"}, true, true},
        {"undo after the end", {}, none, Qt::AltModifier | Qt::Key_Backspace, 2, 0, {}, true, true},
        {"after the end", other, L, {}, 2, 0, {"empty.wav"}, true, true},
        {"sounds off", {}, none, Qt::ControlModifier | Qt::Key_W, 2, 0, {}, true, true},
        {"silent", other, L, {}, 2, 0, {}, true, true},
        {"new game", {}, none, Qt::ControlModifier | Qt::Key_N, 0, 0, {}, false, false},
    };
    // Two red pairs: removing the one at the top left leaves a move, so the game goes on.
    SetBoard(view, [](std::uint32_t c, std::uint32_t r)
             { return (r == 5 && (c == 5 || c == 6)) ? 1u : LastPairBoard(c, r); });
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.what);
        player.cues.clear();
        if (step.at == dealt)
            SetBoard(view, LastPairBoard);
        if (step.button == none)
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(step.key));
        else if (step.button == twice)
            QTest::mouseDClick(&view, L, {}, step.at);
        else
            QTest::mouseClick(&view, step.button, {}, step.at);
        QCoreApplication::processEvents();
        EXPECT_EQ(view.ScoreText().toStdString(),
                  QString::asprintf("Total Score %d  --  Group Score %d", step.total, step.group)
                      .toStdString());
        EXPECT_EQ(player.cues, step.cues);
        EXPECT_EQ(text(height / 2 - 20, height / 2 + 20) > middle + 200, step.over);
        EXPECT_EQ(frame.Command(ID_OPTIONS_UNDO)->isEnabled(), step.undo);
    }
    EXPECT_FALSE(view.Sounds() || frame.Command(ID_OPTIONS_TOGGLESOUNDS)->isChecked());
    // Painted straight onto the widget, as where no off-screen picture can be made, the client
    // area looks the same; the sunken edge is the frame's to paint.
    const QRect client(at(view.contentsRect().topLeft()), at(view.contentsRect().bottomRight()));
    const QImage offscreen = grab().copy(client);
    view.SetOffscreen(false);
    EXPECT_TRUE(grab().copy(client) == offscreen);
}

// A missing board picture (the readers' and the loader's refusals are tested with them): one
// "Error" box naming the file, the folder and what is wrong, nothing waits, and the game goes on
// without a picture, taking no moves.
TEST(LoadError, NamesTheFileAndFolderAndPlaysOnWithoutAPicture)
{
    const QString data = QDir::currentPath();
    QTemporaryDir folder;
    ASSERT_TRUE(CopyData(data, folder.path()) && QFile::remove(folder.path() + "/matrix.bmp"));
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    CChildView view;
    PrepareView(view);
    ASSERT_EQ(g_errorTexts.size(), 1u);
    for (const QString& part : {QString("matrix.bmp"), QDir::toNativeSeparators(folder.path()),
                                QString::fromStdString(ErrorText(kErrorFileNotFound))})
        EXPECT_TRUE(g_errorTexts[0].contains(part)) << part.toStdString();
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_TRUE(view.Game().selection.empty());
    QDir::setCurrent(data);
}

} // namespace
