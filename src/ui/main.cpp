// dokivo: the desktop program. The same start-up, passes and close as dokivo-cli, with the main
// window, its tray icon and the two settings windows.
//   dokivo [ini:DIR] [run:y] [timer:y]
//   dokivo [ini:DIR] verifica:y | simula:y   the report in its own window; changes nothing

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <memory>

#include "app/MainModule.h"
#include "app/ReportMode.h"
#include "app/Startup.h"
#include "instance/SingleInstance.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/TerminationSignals.h"
#include "ui/AppIcon.h"
#include "ui/MainWindow.h"
#include "ui/ReportWindow.h"

namespace {
enum ExitCode { kOk = 0, kRefused = 2 };

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(dokivo::kApplicationTitle);
    QApplication::setWindowIcon(dokivo::applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("dokivo"));
    // The main window's close ends the program, whatever other window is still open.
    QApplication::setQuitOnLastWindowClosed(false);
    const QString commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    // A report changes nothing: it takes no instance lock. The main window stays hidden; it
    // only carries the message box of a refusal.
    if (dokivo::reportRequested(commandLine)) {
        dokivo::MainWindow hidden;
        const std::optional<dokivo::ReportOutcome> report = dokivo::runRequestedReports(hidden, commandLine);
        if (!report)
            return kRefused;
        dokivo::ReportWindow window;
        window.setReport(report->configurationChecked ? dokivo::kCheckCaption : dokivo::kSimulationCaption,
                         report->lines);
        window.exec();
        return report->exitStatus();
    }

    dokivo::SingleInstance instance;
    if (!instance.acquire()) {
        // Two instances must never walk the same folders: the running one is brought forward.
        if (!instance.activateRunning())
            std::fputs("Dokivo e' gia' in esecuzione.\n", stderr);
        return kOk;
    }

    // The state object outlives the window, which reads the operations list until it is gone.
    dokivo::platform::SystemClock clock;
    std::unique_ptr<dokivo::MainModule> state;
    dokivo::MainWindow window;
    const QString appFolder = dokivo::platform::applicationFolder();
    state = std::make_unique<dokivo::MainModule>(
        window, clock, dokivo::AppFolders{appFolder, dokivo::platform::recordFolderFor(appFolder)});
    dokivo::MainModule& module = *state;
    window.attach(module);
    QObject::connect(&instance, &dokivo::SingleInstance::activationRequested, &window,
                     &dokivo::MainWindow::restoreWindow);
    QObject::connect(&window, &dokivo::MainWindow::unloaded, &app, &QCoreApplication::quit);
    // When the Windows session ends the system ends the process right after this signal, so
    // the event loop never returns: the close happens here.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &dokivo::MainWindow::unload);

    dokivo::platform::quitOnTerminationSignals(app);

    dokivo::readOperatingSystemFacts(module);
    const dokivo::StartupOutcome outcome = dokivo::startUp(module, commandLine);
    if (outcome != dokivo::StartupOutcome::Refused && !instance.activationProblem().isEmpty())
        module.addLine(instance.activationProblem());
    switch (outcome) {
        case dokivo::StartupOutcome::Refused:
            return kRefused;
        case dokivo::StartupOutcome::RunFinished:
            window.close();
            break;
        case dokivo::StartupOutcome::Idle:
            QApplication::exec();
            break;
    }
    // Any end of the event loop that did not come through the window (the session ending)
    // still closes in order.
    window.unload();
    return kOk;
}
