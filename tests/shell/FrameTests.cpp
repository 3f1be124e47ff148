#include "CMainFrame.h"
#include "ShellTest.h"
#include "ZudoredaApp.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QWindow>

namespace
{

// A shown, active frame over the data folder.
class FrameTest : public testing::Test
{
protected:
    void SetUp() override
    {
        View().SetCuePlayer(&player);
        frame.show();
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        ASSERT_EQ(QApplication::focusWidget(), &View());
    }
    CChildView& View() { return frame.m_wndView; }
    // Two red pairs: removing the one at the top left leaves a move, so the game goes on.
    void PlayOneRemoval()
    {
        SetBoard(View(), [](std::uint32_t c, std::uint32_t r)
                 { return (r == 5 && (c == 5 || c == 6)) ? 1u : LastPairBoard(c, r); });
        Click(View(), 0, 0);
        Click(View(), 0, 0);
        ASSERT_FALSE(View().m_bGameOverShown);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QCoreApplication::processEvents();
    }

    CMainFrame frame;
    CountingCuePlayer player;
};

// Each command acts on its keys with exactly their modifiers, never with one more.
class Keys : public FrameTest, public testing::WithParamInterface<std::pair<const char*, int>>
{
};

TEST_P(Keys, ActOnlyWithExactlyTheirModifiers)
{
    PlayOneRemoval();
    int hits[4] = {};
    const QAction* const commands[] = {frame.m_pNewGame, frame.m_pToggleSounds, frame.m_pUndo,
                                       frame.m_pExit};
    for (int i = 0; i < 4; ++i)
        QObject::connect(commands[i], &QAction::triggered, &frame, [&hits, i] { ++hits[i]; });
    const QKeyCombination key = QKeySequence(GetParam().first)[0];
    Key(key.key(), key.keyboardModifiers());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(hits[i], i == GetParam().second ? 1 : 0) << "command " << i;
}

// Which command a key gives: New Game, Toggle Sounds, Undo, Exit or (-1) none.
INSTANTIATE_TEST_SUITE_P(Table, Keys,
                         testing::Values(std::pair("Ctrl+N", 0), std::pair("Ctrl+Shift+N", -1),
                                         std::pair("Ctrl+Alt+N", -1), std::pair("N", -1),
                                         std::pair("Alt+N", -1), std::pair("Ctrl+W", 1),
                                         std::pair("Ctrl+Shift+W", -1), std::pair("W", -1),
                                         std::pair("Ctrl+Z", 2), std::pair("Alt+Backspace", 2),
                                         std::pair("Ctrl+Shift+Z", -1),
                                         std::pair("Alt+Shift+Backspace", -1),
                                         std::pair("Ctrl+Backspace", -1), std::pair("Z", -1),
                                         std::pair("Ctrl+X", 3), std::pair("Ctrl+Shift+X", -1)));

// Undo disabled after New Game, enabled after a removal, enabled yet refused after the end;
// the check mark follows the sounds, also when they change behind the menu's back. The whole
// window stays 500 by 600 throughout.
TEST_F(FrameTest, MenuStatesFollowTheGame)
{
    frame.resize(800, 700);
    frame.showMaximized();
    QTest::qWait(50);
    EXPECT_EQ(frame.frameGeometry().size(), QSize(500, 600));
    EXPECT_TRUE(frame.m_pToggleSounds->isChecked());
    EXPECT_FALSE(frame.m_pUndo->isEnabled());
    PlayOneRemoval();
    EXPECT_TRUE(frame.m_pUndo->isEnabled());
    frame.m_pUndo->trigger();
    EXPECT_EQ(View().m_game.CellAt(0, 0).colour, 1u);
    EXPECT_FALSE(frame.m_pUndo->isEnabled());

    SetBoard(View(), LastPairBoard);
    Click(View(), 0, 0);
    Click(View(), 0, 0);
    ASSERT_TRUE(View().m_bGameOverShown);
    EXPECT_TRUE(frame.m_pUndo->isEnabled());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(View().m_bGameOverShown);
    EXPECT_EQ(View().m_game.CellAt(0, 0).colour, LastPairBoard(2, 0));

    frame.m_pNewGame->trigger();
    EXPECT_FALSE(View().m_bGameOverShown);
    EXPECT_FALSE(frame.m_pUndo->isEnabled());
    frame.m_pToggleSounds->trigger();
    EXPECT_FALSE(View().m_bSounds);
    EXPECT_FALSE(frame.m_pToggleSounds->isChecked());
    View().m_bSounds = true;
    emit qobject_cast<QMenu*>(frame.m_pToggleSounds->associatedObjects().value(0))->aboutToShow();
    EXPECT_TRUE(frame.m_pToggleSounds->isChecked());
}

// Start-up: names, the frame on the screen and painted, then the About box once; About again
// on request and not on the view's commands. The frame's title, icon and menus, each menu on
// one line: its items with their keys, prompts and check boxes; "-" a separator.
std::vector<bool> g_aboutOverPaintedFrame;

TEST(Startup, FrameWithItsMenusThenTheAboutBoxOnce)
{
    ZudoredaApp::s_pfnRunAbout = [](QWidget* parent)
    {
        const auto* frame = qobject_cast<CMainFrame*>(parent);
        g_aboutOverPaintedFrame.push_back(frame != nullptr && frame->windowHandle()->isExposed() &&
                                          frame->m_wndView.m_boardImage.OriginX() == 15);
    };
    ZudoredaApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(QCoreApplication::applicationName(), "Daviz");
    EXPECT_EQ(QCoreApplication::organizationName(), "Dudoziri");
    EXPECT_EQ(QCoreApplication::applicationVersion(), "0.9.0.0");
    EXPECT_EQ(g_aboutOverPaintedFrame, std::vector<bool>{true});
    CMainFrame& frame = *app.m_pMainWnd;
    frame.m_pAbout->trigger();
    frame.m_pNewGame->trigger();
    frame.m_pUndo->trigger();
    EXPECT_EQ(g_aboutOverPaintedFrame.size(), 2u);
    ZudoredaApp::s_pfnRunAbout = &ZudoredaApp::RunAboutBox;
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
