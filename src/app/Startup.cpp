#include "app/Startup.h"

#include "app/CommandLine.h"
#include "app/MainModule.h"
#include "logs/Retention.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/RunError.h"
#include "scan/Scheduler.h"

namespace dokivo {

void readOperatingSystemFacts(MainModule& module) {
    Settings& s = module.settings;
    const QString currentVersion = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion");
    s.system_root = platform::GetRegString(currentVersion, QStringLiteral("SystemRoot"), {});
    s.os_product_name = platform::GetRegString(currentVersion, QStringLiteral("ProductName"), {});
    if (s.os_product_name.isEmpty()) {
        const QString ntVersion = QStringLiteral("Software\\Microsoft\\Windows NT\\CurrentVersion");
        s.system_root = platform::GetRegString(ntVersion, QStringLiteral("SystemRoot"), {});
        s.os_product_name = platform::GetRegString(ntVersion, QStringLiteral("ProductName"), {});
    }
}

namespace {

QString openingMessage(const MainModule& module) {
    if (module.flags.autorun())
        return QStringLiteral(" Apertura  DOKIVO autorun  ");
    if (module.flags.scheduled())
        return QStringLiteral(" Apertura  DOKIVO schedulato  ") + module.settings.timer_delta;
    return {};
}

}  // namespace

bool findConfiguration(MainModule& module, const QString& commandLine) {
    Settings& s = module.settings;
    const std::vector<QString> arguments = splitCommandLine(commandLine, 10);
    s.config_dir = module.folders.application;
    applyCommandLine(arguments, s.config_dir, module.flags);
    if (s.config_dir.isEmpty()) {
        module.frontend.showMessage(
            QStringLiteral("Non e' stato specificato nessuna directory dove posizionato il file "
                           "dokivo.ini (ini:dir)"));
        return false;
    }
    s.config_dir = platform::withTrailingSeparator(s.config_dir);
    if (!platform::regularFileExists(s.iniPath())) {
        module.frontend.showMessage(
            QStringLiteral("Impossibile accedere al file ") + s.iniPath() +
            QStringLiteral("\r\nControllare il parametro ini:dir nella riga di comando"));
        return false;
    }
    return true;
}

StartupOutcome startUp(MainModule& module, const QString& commandLine) {
    Settings& s = module.settings;
    try {
        module.addLineAndRefresh(QStringLiteral(" Sistema Operativo ") + s.os_product_name +
                                 QStringLiteral(" System Root ") + s.system_root);
        module.frontend.setWindowCaption(kWindowCaption);
        module.frontend.showMainWindow();

        if (!findConfiguration(module, commandLine))
            return StartupOutcome::Refused;
        module.frontend.setListHorizontalExtent(kListHorizontalExtentPx);
        module.frontend.addTrayIcon();
        sweepOldRecordFiles(module.folders.records, module.clock.now().date());
        LoadSettings(s);
        module.addLineAndRefresh(openingMessage(module));

        if (module.flags.scheduled())
            startScheduleAtLaunch(module);
        if (module.flags.autorun()) {
            runButtonPressed(module);
            return StartupOutcome::RunFinished;
        }
    } catch (const platform::RunError& error) {
        module.frontend.showMessage(error.description());
    }
    return StartupOutcome::Idle;
}

void closeDown(MainModule& module) {
    // Nothing here can fail the close: a flush that cannot write keeps its lines in the list.
    module.addLine(QStringLiteral(" CHIUSURA  DOKIVO "));
    module.flushTrackingFile();
    module.frontend.removeTrayIcon();
}

}  // namespace dokivo
