#include "ZudoredaApp.h"

#include "CAboutDlg.h"
#include "CMainFrame.h"
#include "Resource.h"
#include "StringTable.h"
#include "Version.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

ZudoredaApp::ZudoredaApp(RunAboutFn runAbout) : m_pfnRunAbout(runAbout) {}

ZudoredaApp::~ZudoredaApp()
{
    delete m_pMainWnd.data();
}

CMainFrame* ZudoredaApp::MainWindow() const
{
    return m_pMainWnd;
}

bool ZudoredaApp::InitInstance()
{
    // The names only label the program; no settings are read or written.
    QCoreApplication::setOrganizationName(QString::fromUtf8(StringTable::kOrganisation));
    QCoreApplication::setApplicationName(QString::fromUtf8(StringTable::kAppName));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(DAVIZ_VERSION_STRING));
    // Lets the desktop match the window to the installed menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Daviz"));

    auto* frame = new CMainFrame;
    frame->setAttribute(Qt::WA_DeleteOnClose);
    m_pMainWnd = frame;
    connect(frame->Command(ID_APP_ABOUT), &QAction::triggered, this, &ZudoredaApp::OnAppAbout);

    frame->show();
    // The board must be on the screen before the About box covers part of it; a window
    // manager may take a moment to map the window. Clicks and keys wait for the About box:
    // the player has not seen the board yet.
    QElapsedTimer waited;
    waited.start();
    while (m_pMainWnd != nullptr && m_pMainWnd->windowHandle() != nullptr &&
           !m_pMainWnd->windowHandle()->isExposed() && waited.elapsed() < 2000)
    {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    if (m_pMainWnd == nullptr)
    {
        return false;
    }
    m_pMainWnd->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    OnAppAbout();
    // The main window may have been closed while the About box was open; the event loop would
    // then wait for a window that is gone.
    return m_pMainWnd != nullptr && m_pMainWnd->isVisible();
}

void ZudoredaApp::RunAboutBox(QWidget* parent)
{
    // On the heap: closing the main window while the box is open deletes the box with it.
    QPointer<CAboutDlg> dlg = new CAboutDlg(parent);
    dlg->exec();
    delete dlg.data();
}

void ZudoredaApp::OnAppAbout()
{
    if (m_pfnRunAbout != nullptr)
    {
        m_pfnRunAbout(m_pMainWnd);
    }
}
