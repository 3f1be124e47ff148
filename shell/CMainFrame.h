#pragma once

#include "CChildView.h"

#include <QMainWindow>
#include <QMargins>

class QAction;
class QMenu;

// The main window: menu bar and the game view, nothing else; 500 by 600 pixels in all,
// decorations included, and never resized.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    static constexpr int s_nWindowWidth = 500;
    static constexpr int s_nWindowHeight = 600;

    // Asks the view for the check mark and enabled state of its commands.
    void UpdateCommandUI();

    CChildView& View() { return m_wndView; }
    // The menu command of a resource id (ID_FILE_NEWGAME, ID_APP_ABOUT, ...), or null.
    QAction* Command(int id) const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnGetMinMaxInfo();
    QMargins FrameMargins() const;
    QAction* AddCommand(QMenu* menu, const char* text, const char* prompt);

    CChildView m_wndView;
    QAction* m_pNewGame;
    QAction* m_pExit;
    QAction* m_pToggleSounds;
    QAction* m_pUndo;
    QAction* m_pAbout;
};
