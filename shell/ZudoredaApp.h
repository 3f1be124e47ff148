#pragma once

#include <QObject>
#include <QPointer>

class CMainFrame;

// The application: its start-up sequence and the About command.
class ZudoredaApp : public QObject
{
    Q_OBJECT

public:
    // Shows the About box over parent and waits for it; tests pass one that does not wait.
    using RunAboutFn = void (*)(QWidget* parent);
    static void RunAboutBox(QWidget* parent);

    explicit ZudoredaApp(RunAboutFn runAbout = &ZudoredaApp::RunAboutBox);
    ~ZudoredaApp() override;

    // Names the application, creates and shows the main window, then shows the About box once;
    // false when the main window is gone by then.
    bool InitInstance();

    CMainFrame* MainWindow() const;

public slots:
    void OnAppAbout();

private:
    RunAboutFn m_pfnRunAbout;
    QPointer<CMainFrame> m_pMainWnd;
};
