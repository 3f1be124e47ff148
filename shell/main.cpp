#include "ZudoredaApp.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace
{
QtMessageHandler g_previousHandler = nullptr;
std::vector<std::pair<QtMsgType, QString>> g_startupMessages;

// While Qt opens the display its complaints are held back: if it cannot, the player gets one
// plain sentence instead of a page of plugin diagnostics and an abort.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext& context,
                           const QString& message)
{
    if (type == QtFatalMsg)
    {
        std::fputs("Daviz cannot start because it could not open a window on the display.\n",
                   stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    (void)context;
    g_startupMessages.emplace_back(type, message);
}

void EndStartupMessages()
{
    qInstallMessageHandler(g_previousHandler);
    for (const auto& [type, message] : g_startupMessages)
    {
        switch (type)
        {
        case QtDebugMsg:
            qDebug("%s", qUtf8Printable(message));
            break;
        case QtInfoMsg:
            qInfo("%s", qUtf8Printable(message));
            break;
        default:
            qWarning("%s", qUtf8Printable(message));
            break;
        }
    }
    g_startupMessages.clear();
}
} // namespace

int main(int argc, char* argv[])
{
    // The game reads no command line: Qt is handed the program's name alone.
    static char fallbackName[] = "duvurir";
    char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    int qtArgc = 1;

    g_previousHandler = qInstallMessageHandler(StartupMessageHandler);
    QApplication application(qtArgc, qtArgv);
    EndStartupMessages();

    ZudoredaApp app;
    if (!app.InitInstance())
    {
        // Closed before the event loop ran: nothing is left to wait for.
        return 0;
    }
    return QApplication::exec();
}
