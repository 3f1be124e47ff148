#include "CMainFrame.h"
#include "ShellTestSupport.h"
#include "ZudoredaApp.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{

struct MenuItem
{
    const char* text; // null: a separator
    const char* keys; // what the menu shows at the right
    const char* prompt;
    bool checkable;
};

struct MenuSpec
{
    const char* title;
    std::vector<MenuItem> items;
};

TEST(MainFrame, MenusHoldTheirItemsKeysAndPrompts)
{
    CMainFrame frame;
    const std::vector<MenuSpec> expected = {
        {"&File",
         {{"New Game", "Ctrl+N", "Reset and start a new game", false},
          {nullptr, "", "", false},
          {"E&xit", "Ctrl+X", "", false}}},
        {"&Options",
         {{"Toggle Sounds", "Ctrl+W", "Switch the sounds on and off", true},
          {nullptr, "", "", false},
          {"&Undo", "Ctrl+Z", "Undo upto the last 4 moves you made", false}}},
        {"&Help", {{"&About Daviz...", "", "", false}}},
    };
    const QList<QAction*> bar = frame.menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t m = 0; m < expected.size(); ++m)
    {
        SCOPED_TRACE(expected[m].title);
        EXPECT_EQ(bar[m]->text(), QString(expected[m].title));
        const QList<QAction*> items = bar[m]->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[m].items.size()));
        for (qsizetype i = 0; i < items.size(); ++i)
        {
            const MenuItem& want = expected[m].items[static_cast<std::size_t>(i)];
            if (want.text == nullptr)
            {
                EXPECT_TRUE(items[i]->isSeparator());
                continue;
            }
            EXPECT_EQ(items[i]->text(), QString(want.text));
            EXPECT_EQ(items[i]->shortcut().toString(QKeySequence::PortableText),
                      QString(want.keys));
            EXPECT_EQ(items[i]->statusTip(), QString(want.prompt));
            EXPECT_EQ(items[i]->isCheckable(), want.checkable);
        }
    }
    ASSERT_EQ(frame.m_pUndo->shortcuts().size(), 2);
    EXPECT_EQ(frame.m_pUndo->shortcuts()[1], QKeySequence(Qt::ALT | Qt::Key_Backspace));
}

TEST(MainFrame, TitleIconAndNoBars)
{
    CMainFrame frame;
    EXPECT_EQ(frame.windowTitle(), QString("Daviz"));
    const QList<QSize> sizes = frame.windowIcon().availableSizes();
    for (const int side : {16, 32, 48})
    {
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
    }
    EXPECT_EQ(frame.centralWidget(), &frame.m_wndView);
    EXPECT_EQ(frame.findChild<QStatusBar*>(), nullptr);
    EXPECT_EQ(frame.findChild<QToolBar*>(), nullptr);
}

// A shown, active frame over the data folder with a board that the tests set.
class FrameTest : public testing::Test
{
protected:
    void SetUp() override
    {
        frame.m_wndView.SetCuePlayer(&player);
        frame.show();
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        ASSERT_TRUE(frame.m_wndView.m_boardImage.m_bLoaded) << "run from the data folder";
    }

    CChildView& View() { return frame.m_wndView; }

    // Two red pairs: removing the one at the top left leaves a move, so the game goes on.
    void PlayOneRemoval()
    {
        SetBoard(View().m_game, [](std::uint32_t c, std::uint32_t r)
                 { return (r == 5 && (c == 5 || c == 6)) ? 1u : LastPairBoard(c, r); });
        View().m_boardImage.Compose(View().m_game);
        ClickCell(View(), 0, 0);
        ClickCell(View(), 0, 0);
        ASSERT_TRUE(View().m_game.CanUndo());
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

TEST_F(FrameTest, WholeWindowStaysFiveHundredBySixHundred)
{
    const auto whole = [this] { return frame.frameGeometry().size(); };
    EXPECT_EQ(whole(), QSize(500, 600));
    EXPECT_EQ(frame.minimumSize(), frame.maximumSize());
    frame.resize(800, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(whole(), QSize(500, 600));
    frame.showMaximized();
    QTest::qWait(50);
    EXPECT_EQ(whole(), QSize(500, 600));
    frame.showNormal();
    QTest::qWait(50);
    EXPECT_EQ(whole(), QSize(500, 600));
}

TEST_F(FrameTest, FocusIsOnTheView)
{
    EXPECT_EQ(QApplication::focusWidget(), &View());
}

struct KeyCase
{
    const char* what;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool acts;
};

// Each key acts with exactly its modifiers and not with one more.
class NewGameKey : public FrameTest, public testing::WithParamInterface<KeyCase>
{
};

TEST_P(NewGameKey, ActsOnlyWithExactlyItsModifier)
{
    const KeyCase c = GetParam();
    View().m_bGameOverShown = true;
    View().m_strScore = "marker";
    Key(c.key, c.modifiers);
    EXPECT_EQ(!View().m_bGameOverShown, c.acts);
    EXPECT_EQ(View().m_strScore != "marker", c.acts);
}

INSTANTIATE_TEST_SUITE_P(Keys, NewGameKey,
                         testing::Values(KeyCase{"Ctrl+N", Qt::Key_N, Qt::ControlModifier, true},
                                         KeyCase{"Ctrl+Shift+N", Qt::Key_N,
                                                 Qt::ControlModifier | Qt::ShiftModifier, false},
                                         KeyCase{"Ctrl+Alt+N", Qt::Key_N,
                                                 Qt::ControlModifier | Qt::AltModifier, false},
                                         KeyCase{"N", Qt::Key_N, Qt::NoModifier, false},
                                         KeyCase{"Alt+N", Qt::Key_N, Qt::AltModifier, false}),
                         [](const testing::TestParamInfo<KeyCase>& info)
                         { return std::to_string(info.index); });

class ToggleSoundsKey : public FrameTest, public testing::WithParamInterface<KeyCase>
{
};

TEST_P(ToggleSoundsKey, ActsOnlyWithExactlyItsModifier)
{
    const KeyCase c = GetParam();
    Key(c.key, c.modifiers);
    EXPECT_EQ(!View().m_bSounds, c.acts);
    EXPECT_EQ(!frame.m_pToggleSounds->isChecked(), c.acts);
}

INSTANTIATE_TEST_SUITE_P(Keys, ToggleSoundsKey,
                         testing::Values(KeyCase{"Ctrl+W", Qt::Key_W, Qt::ControlModifier, true},
                                         KeyCase{"Ctrl+Shift+W", Qt::Key_W,
                                                 Qt::ControlModifier | Qt::ShiftModifier, false},
                                         KeyCase{"W", Qt::Key_W, Qt::NoModifier, false}),
                         [](const testing::TestParamInfo<KeyCase>& info)
                         { return std::to_string(info.index); });

class UndoKey : public FrameTest, public testing::WithParamInterface<KeyCase>
{
};

TEST_P(UndoKey, ActsOnlyWithExactlyItsModifier)
{
    const KeyCase c = GetParam();
    PlayOneRemoval();
    Key(c.key, c.modifiers);
    EXPECT_EQ(View().m_game.CellAt(0, 0).colour == 1u, c.acts);
    EXPECT_EQ(View().m_strScore,
              QString::asprintf("Total Score %d  --  Group Score 0", c.acts ? 0 : 2));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, UndoKey,
    testing::Values(KeyCase{"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, true},
                    KeyCase{"Alt+Backspace", Qt::Key_Backspace, Qt::AltModifier, true},
                    KeyCase{"Ctrl+Shift+Z", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier,
                            false},
                    KeyCase{"Alt+Shift+Backspace", Qt::Key_Backspace,
                            Qt::AltModifier | Qt::ShiftModifier, false},
                    KeyCase{"Ctrl+Backspace", Qt::Key_Backspace, Qt::ControlModifier, false},
                    KeyCase{"Z", Qt::Key_Z, Qt::NoModifier, false}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::to_string(info.index); });

TEST_F(FrameTest, ExitKeyClosesAndAShiftedOneDoesNot)
{
    Key(Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(frame.isVisible());
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_FALSE(frame.isVisible());
}

// The menu states follow the game: Undo disabled after New Game, enabled after a removal,
// enabled but refused after the end; the check mark follows the sounds.
TEST_F(FrameTest, MenuStatesFollowTheGame)
{
    EXPECT_TRUE(frame.m_pToggleSounds->isChecked());
    EXPECT_FALSE(frame.m_pUndo->isEnabled());
    EXPECT_TRUE(frame.m_pNewGame->isEnabled());

    PlayOneRemoval();
    EXPECT_TRUE(frame.m_pUndo->isEnabled());
    frame.m_pUndo->trigger();
    EXPECT_FALSE(frame.m_pUndo->isEnabled());
    Key(Qt::Key_Z, Qt::ControlModifier); // disabled: nothing happens
    EXPECT_EQ(View().m_game.CellAt(0, 0).colour, 1u);

    // Play to the end: the history holds the move, the item stays enabled, the command is refused.
    SetBoard(View().m_game, LastPairBoard);
    View().m_boardImage.Compose(View().m_game);
    ClickCell(View(), 0, 0);
    ClickCell(View(), 0, 0);
    ASSERT_TRUE(View().m_bGameOverShown);
    EXPECT_TRUE(frame.m_pUndo->isEnabled());
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_TRUE(View().m_bGameOverShown);
    EXPECT_EQ(View().m_game.CellAt(0, 0).colour, LastPairBoard(2, 0));

    frame.m_pNewGame->trigger();
    EXPECT_FALSE(View().m_bGameOverShown);
    EXPECT_FALSE(frame.m_pUndo->isEnabled());

    frame.m_pToggleSounds->trigger();
    EXPECT_FALSE(View().m_bSounds);
    EXPECT_FALSE(frame.m_pToggleSounds->isChecked());
}

TEST_F(FrameTest, MenusAskTheViewBeforeTheyOpen)
{
    View().m_bSounds = false; // changed behind the menu's back
    QMenu* options = frame.m_pToggleSounds->associatedObjects().isEmpty()
                         ? nullptr
                         : qobject_cast<QMenu*>(frame.m_pToggleSounds->associatedObjects()[0]);
    ASSERT_NE(options, nullptr);
    emit options->aboutToShow();
    EXPECT_FALSE(frame.m_pToggleSounds->isChecked());
}

// Start-up: names, the frame on screen and painted, then the About box once; About again on
// request.
struct AboutLog
{
    static void Record(QWidget* parent)
    {
        parents.push_back(parent);
        const auto* frame = qobject_cast<CMainFrame*>(parent);
        exposedAndPainted.push_back(frame != nullptr && frame->windowHandle() != nullptr &&
                                    frame->windowHandle()->isExposed() &&
                                    frame->m_wndView.m_boardImage.m_nOriginX == 15);
    }
    static std::vector<QWidget*> parents;
    static std::vector<bool> exposedAndPainted;
};
std::vector<QWidget*> AboutLog::parents;
std::vector<bool> AboutLog::exposedAndPainted;

TEST(Startup, ShowsThePaintedFrameThenTheAboutBoxOnce)
{
    ZudoredaApp::s_pfnRunAbout = &AboutLog::Record;
    {
        ZudoredaApp app;
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(QCoreApplication::applicationName(), QString("Daviz"));
        EXPECT_EQ(QCoreApplication::organizationName(), QString("Dudoziri"));
        EXPECT_EQ(QCoreApplication::applicationVersion(), QString("0.9.0.0"));
        ASSERT_EQ(AboutLog::parents.size(), 1u);
        EXPECT_EQ(AboutLog::parents[0], app.m_pMainWnd.data());
        EXPECT_TRUE(AboutLog::exposedAndPainted[0]);

        app.m_pMainWnd->m_pAbout->trigger();
        EXPECT_EQ(AboutLog::parents.size(), 2u);
        // Commands of the view never reach the application object.
        app.m_pMainWnd->m_pNewGame->trigger();
        app.m_pMainWnd->m_pUndo->trigger();
        EXPECT_EQ(AboutLog::parents.size(), 2u);
    }
    ZudoredaApp::s_pfnRunAbout = &ZudoredaApp::RunAboutBox;
}

} // namespace
