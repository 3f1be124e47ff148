#include "CMainFrame.h"

#include "Resource.h"
#include "StringTable.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), m_wndView(this), m_pNewGame(nullptr), m_pExit(nullptr),
      m_pToggleSounds(nullptr), m_pUndo(nullptr), m_pAbout(nullptr)
{
    setWindowTitle(QString::fromUtf8(StringTable::kFrameTitle));
    QIcon icon;
    for (const char* file :
         {":/daviz/daviz-16.png", ":/daviz/daviz-32.png", ":/daviz/daviz-48.png"})
    {
        icon.addFile(QString::fromUtf8(file));
    }
    setWindowIcon(icon);

    QMenu* file = menuBar()->addMenu(QString::fromUtf8(StringTable::kMenuFile));
    m_pNewGame = AddCommand(file, StringTable::kNewGame, StringTable::kPromptNewGame);
    m_pNewGame->setShortcut(QKeySequence(QString::fromUtf8(StringTable::kKeyNewGame)));
    file->addSeparator();
    m_pExit = AddCommand(file, StringTable::kExit, nullptr);
    m_pExit->setShortcut(QKeySequence(QString::fromUtf8(StringTable::kKeyExit)));

    QMenu* options = menuBar()->addMenu(QString::fromUtf8(StringTable::kMenuOptions));
    m_pToggleSounds =
        AddCommand(options, StringTable::kToggleSounds, StringTable::kPromptToggleSounds);
    m_pToggleSounds->setShortcut(QKeySequence(QString::fromUtf8(StringTable::kKeyToggleSounds)));
    m_pToggleSounds->setCheckable(true);
    options->addSeparator();
    m_pUndo = AddCommand(options, StringTable::kUndo, StringTable::kPromptUndo);
    // The first key is the one the menu shows.
    m_pUndo->setShortcuts({QKeySequence(QString::fromUtf8(StringTable::kKeyUndo)),
                           QKeySequence(QString::fromUtf8(StringTable::kKeyUndoAlt))});

    QMenu* help = menuBar()->addMenu(QString::fromUtf8(StringTable::kMenuHelp));
    m_pAbout = AddCommand(help, StringTable::kAbout, nullptr);

    // The view's commands go straight to the view; nothing else handles them.
    connect(m_pNewGame, &QAction::triggered, &m_wndView, &CChildView::OnNewGame);
    connect(m_pToggleSounds, &QAction::triggered, &m_wndView, &CChildView::OnToggleSounds);
    connect(m_pUndo, &QAction::triggered, &m_wndView, &CChildView::OnUndo);
    connect(m_pExit, &QAction::triggered, this, &QWidget::close);

    for (QMenu* menu : {file, options, help})
    {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    }
    connect(&m_wndView, &CChildView::CommandStateChanged, this, &CMainFrame::UpdateCommandUI);

    setCentralWidget(&m_wndView);
    m_wndView.setFocus();
    UpdateCommandUI();
    OnGetMinMaxInfo();
}

CMainFrame::~CMainFrame()
{
    // The view is a member: take it out of the window's children before they are deleted.
    takeCentralWidget();
}

QAction* CMainFrame::AddCommand(QMenu* menu, const char* text, const char* prompt)
{
    QAction* action = menu->addAction(QString::fromUtf8(text));
    if (prompt != nullptr)
    {
        action->setStatusTip(QString::fromUtf8(prompt));
    }
    // Also on the window itself, so the keys work while no menu is open.
    addAction(action);
    return action;
}

QAction* CMainFrame::Command(int id) const
{
    switch (id)
    {
    case ID_FILE_NEWGAME:
        return m_pNewGame;
    case ID_APP_EXIT:
        return m_pExit;
    case ID_OPTIONS_TOGGLESOUNDS:
        return m_pToggleSounds;
    case ID_OPTIONS_UNDO:
        return m_pUndo;
    case ID_APP_ABOUT:
        return m_pAbout;
    default:
        return nullptr;
    }
}

void CMainFrame::UpdateCommandUI()
{
    m_wndView.OnUpdateToggleSounds(m_pToggleSounds);
    m_wndView.OnUpdateUndo(m_pUndo);
}

QMargins CMainFrame::FrameMargins() const
{
    const QWindow* window = windowHandle();
    QMargins margins = window != nullptr ? window->frameMargins() : QMargins();
    // A Wayland compositor that draws the frame itself does not say how big it is: take the
    // frame a typical X11 window manager draws, so the board gets the same room as there.
    if (margins.isNull() && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
    {
        margins = QMargins(1, 20, 1, 1);
    }
    return margins;
}

void CMainFrame::OnGetMinMaxInfo()
{
    // The whole window, with whatever frame is put around it, is 500 by 600.
    const QMargins frame = FrameMargins();
    const QSize client(s_nWindowWidth - frame.left() - frame.right(),
                       s_nWindowHeight - frame.top() - frame.bottom());
    if (minimumSize() != client || maximumSize() != client)
    {
        setFixedSize(client);
    }
    // A platform that ignores the size hints (maximising on some) is brought back.
    if (size() != client)
    {
        resize(client);
    }
}

bool CMainFrame::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    switch (event->type())
    {
    case QEvent::Show:
        windowHandle()->installEventFilter(this);
        OnGetMinMaxInfo();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        OnGetMinMaxInfo();
        break;
    case QEvent::FocusIn:
        m_wndView.setFocus();
        break;
    default:
        break;
    }
    return handled;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // Qt's own decorations on Wayland are made, and their size known, only when the window is
    // first exposed; no other event tells the frame.
    if (watched == windowHandle() && event->type() == QEvent::Expose)
    {
        OnGetMinMaxInfo();
    }
    return QMainWindow::eventFilter(watched, event);
}
