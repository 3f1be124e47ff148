#include "CMainFrame.h"
#include "Resource.h"
#include "ShellTest.h"
#include "ZudoredaApp.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace
{

// A game to its end, press by press and key by key: the score line, the cues, "GAME OVER", and
// the commands' states (Undo disabled after New Game, enabled after a removal, enabled yet refused
// after the end; the sounds' check mark). The whole window stays 500 by 600 throughout.
TEST_F(ShownFrame, PlayFollowsEachPressAndKey)
{
    frame.resize(800, 700);
    frame.showMaximized();
    QTest::qWait(50);
    EXPECT_EQ(frame.frameGeometry().size(), QSize(500, 600));
    const Qt::MouseButton L = Qt::LeftButton, none = Qt::NoButton;
    const struct
    {
        const char* what;
        QPoint cell; // (-1, -1): beside the board; (-2, -2): the last pair dealt first
        Qt::MouseButton button;
        QKeyCombination key;
        int total, group;
        std::vector<std::string> cues;
        bool over, undo;
    } steps[] = {
        {"lone ball", {8, 8}, L, {}, 0, 0, {"select.wav"}, false, false},
        {"right button", {0, 0}, Qt::RightButton, {}, 0, 0, {}, false, false},
        {"select the pair", {0, 0}, L, {}, 0, 2, {"select.wav"}, false, false},
        {"beside the board", {-1, -1}, L, {}, 0, 2, {}, false, false},
        {"middle button", {1, 0}, Qt::MiddleButton, {}, 0, 2, {}, false, false},
        {"remove it", {1, 0}, L, {}, 2, 0, {"remove.wav"}, false, true},
        {"undo", {}, none, Qt::ControlModifier | Qt::Key_Z, 0, 0, {}, false, false},
        {"select the last pair", {-2, -2}, L, {}, 0, 2, {"select.wav"}, false, false},
        {"remove it", {0, 0}, L, {}, 2, 0, {"remove.wav", "gameover.wav"}, true, true},
        {"undo after the end", {}, none, Qt::AltModifier | Qt::Key_Backspace, 2, 0, {}, true, true},
        {"after the end", {5, 5}, L, {}, 2, 0, {"empty.wav"}, true, true},
        {"sounds off", {}, none, Qt::ControlModifier | Qt::Key_W, 2, 0, {}, true, true},
        {"silent", {5, 5}, L, {}, 2, 0, {}, true, true},
        {"new game", {}, none, Qt::ControlModifier | Qt::Key_N, 0, 0, {}, false, false},
    };
    // Two red pairs: removing the one at the top left leaves a move, so the game goes on.
    SetBoard(view, [](std::uint32_t c, std::uint32_t r)
             { return (r == 5 && (c == 5 || c == 6)) ? 1u : LastPairBoard(c, r); });
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.what);
        player.cues.clear();
        if (step.cell.x() == -2)
            SetBoard(view, LastPairBoard);
        if (step.button == Qt::NoButton)
            QTest::keyClick(QApplication::focusWidget(), step.key.key(),
                            step.key.keyboardModifiers());
        else if (step.cell.x() == -1)
            QTest::mouseClick(&view, step.button, {}, view.ClientOrigin() + QPoint(3, 3));
        else
            Click(view, std::max(step.cell.x(), 0), std::max(step.cell.y(), 0), step.button);
        QCoreApplication::processEvents();
        EXPECT_EQ(view.ScoreText(), Score(step.total, step.group));
        EXPECT_EQ(player.cues, step.cues);
        EXPECT_EQ(view.GameOverShown(), step.over);
        EXPECT_EQ(frame.Command(ID_OPTIONS_UNDO)->isEnabled(), step.undo);
    }
    EXPECT_FALSE(view.Sounds() || frame.Command(ID_OPTIONS_TOGGLESOUNDS)->isChecked());
    // The check mark follows the sounds also when they change behind the menu's back.
    {
        const QSignalBlocker unseen(&view);
        view.OnToggleSounds();
    }
    emit qobject_cast<QMenu*>(frame.Command(ID_OPTIONS_TOGGLESOUNDS)->associatedObjects().value(0))
        ->aboutToShow();
    EXPECT_TRUE(frame.Command(ID_OPTIONS_TOGGLESOUNDS)->isChecked());
}

// Start-up: names, the frame on the screen and painted, then the About box once; About again
// on request and not on the view's commands. The frame's title, icon and menus, each menu on
// one line: its items with their keys, prompts and check boxes; "-" a separator.
std::vector<bool> g_aboutOverPaintedFrame;

// Clicks the view as the window system would the moment the frame is shown, and counts the
// presses that reach the view.
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
};
EarlyClick* g_earlyClick = nullptr;

TEST(Startup, FrameWithItsMenusThenTheAboutBoxOnce)
{
    // A click while the window comes up waits for the About box: the board was not seen yet.
    const auto runAbout = [](QWidget* parent)
    {
        auto* frame = qobject_cast<CMainFrame*>(parent);
        g_aboutOverPaintedFrame.push_back(frame != nullptr && frame->windowHandle()->isExposed() &&
                                          frame->View().BoardImage().OriginX() == 15 &&
                                          g_earlyClick->presses == 0);
    };
    EarlyClick earlyClick;
    g_earlyClick = &earlyClick;
    qApp->installEventFilter(&earlyClick);
    ZudoredaApp app(runAbout);
    ASSERT_TRUE(app.InitInstance());
    QWindowSystemInterface::flushWindowSystemEvents();
    qApp->removeEventFilter(&earlyClick);
    EXPECT_EQ(earlyClick.presses, 1);
    EXPECT_EQ(QCoreApplication::applicationName(), "Daviz");
    EXPECT_EQ(QCoreApplication::organizationName(), "Dudoziri");
    EXPECT_EQ(QCoreApplication::applicationVersion(), "0.9.0.0");
    EXPECT_EQ(g_aboutOverPaintedFrame, std::vector<bool>{true});
    CMainFrame& frame = *app.MainWindow();
    frame.Command(ID_APP_ABOUT)->trigger();
    frame.Command(ID_FILE_NEWGAME)->trigger();
    frame.Command(ID_OPTIONS_UNDO)->trigger();
    EXPECT_EQ(g_aboutOverPaintedFrame.size(), 2u);
    QStringList menus;
    for (const QAction* menu : frame.menuBar()->actions())
    {
        menus << menu->text() + ":";
        for (const QAction* item : menu->menu()->actions())
            menus.back() += item->isSeparator()
                                ? QString(" -")
                                : QString(" %1 [%2] (%3)%4")
                                      .arg(item->text(),
                                           QKeySequence::listToString(item->shortcuts(),
                                                                      QKeySequence::PortableText),
                                           item->statusTip(), item->isCheckable() ? " v" : "");
    }
    EXPECT_EQ(menus,
              QStringList({
                  "&File: New Game [Ctrl+N] (Reset and start a new game) - E&xit [Ctrl+X] ()",
                  "&Options: Toggle Sounds [Ctrl+W] (Switch the sounds on and off) v - &Undo "
                  "[Ctrl+Z; Alt+Backspace] (Undo upto the last 4 moves you made)",
                  "&Help: &About Daviz... [] ()",
              }));
    EXPECT_EQ(frame.windowTitle(), "Daviz");
    for (const int side : {16, 32, 48})
        EXPECT_TRUE(frame.windowIcon().availableSizes().contains(QSize(side, side))) << side;
    EXPECT_EQ(frame.findChild<QStatusBar*>(), nullptr);
    EXPECT_EQ(frame.findChild<QToolBar*>(), nullptr);
}

} // namespace
