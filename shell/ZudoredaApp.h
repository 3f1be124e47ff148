#pragma once

#include <QObject>
#include <QPointer>

class CMainFrame;

// The application: its start-up sequence and the About command.
class ZudoredaApp : public QObject
{
    Q_OBJECT

public:
    ZudoredaApp();
    ~ZudoredaApp() override;

    // Names the application, creates and shows the main window, then shows the About box once;
    // false when the main window is gone by then.
    bool InitInstance();

    // Where the About box comes from; tests replace it so that nothing waits.
    using RunAboutFn = void (*)(QWidget* parent);
    static RunAboutFn s_pfnRunAbout;
    static void RunAboutBox(QWidget* parent);

    QPointer<CMainFrame> m_pMainWnd;

public slots:
    void OnAppAbout();
};
