#include "processing/Encryption.h"

#include <QFile>
#include <QStringList>

#include "app/MainModule.h"
#include "app/NumericText.h"
#include "platform/Clock.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/RunError.h"

namespace dokivo {

namespace {

const QString kToolName = QStringLiteral("encryptpdf.exe");
const QString kWorkFileName = QStringLiteral("cripato.pdf");
const QString kStandardPassword = QStringLiteral("harbor42");
const QString kPasswordKey = QStringLiteral("P");
const QString kMaskedPassword = QStringLiteral("********");

// The tool has this long to do its work before it is ended.
constexpr int kToolTimeLimitMs = 120 * 1000;
// The protected copy must be there this many whole seconds after the start at the latest.
constexpr qint64 kWorkFileWaitSeconds = 10;
constexpr int kWorkFilePollMs = 50;

// What is started, and how the operator sees it: the command line the tool would get from a
// shell, with the password hidden.
struct ToolCommand {
    QString program;
    QStringList arguments;
    QString shownText;
};

ToolCommand buildCommand(const QString& tool, const QString& input, const QString& workFile,
                         const QString& password) {
    const QString program = platform::shortPathName(tool);
    ToolCommand command;
    command.program = program;
    command.arguments = {QStringLiteral("-i"), input,    QStringLiteral("-o"), workFile,
                         QStringLiteral("-u"), password, QStringLiteral("-e"), QStringLiteral("40")};
    command.shownText = program + QStringLiteral(" -i ") + input + QStringLiteral(" -o ") + workFile +
                        QStringLiteral(" -u ") + kMaskedPassword + QStringLiteral(" -e 40");
    return command;
}

QString slotPassword(MainModule& m, int& step) {
    step = 9;
    m.settings.dir_pwd = platform::withTrailingSeparator(m.settings.dir_pwd);
    step = 10;
    const QString password = platform::readProfileString(QString::number(m.slot.slot_index), kPasswordKey,
                                                         QString(), m.settings.dir_pwd + kPasswordFileName);
    return password.isEmpty() ? kStandardPassword : password;
}

// Starts the tool and returns when it has ended; false when it had to be ended for taking too
// long. A tool that cannot be started is reported in a message box.
bool ShellAndWait(MainModule& m, const ToolCommand& command) {
    platform::OutsideProgram tool;
    if (!tool.start(command.program, command.arguments)) {
        m.frontend.showMessage(QStringLiteral("Error starting task ") + command.shownText +
                                   QStringLiteral("\r\n") + tool.failure(),
                               Frontend::MessageIcon::Exclamation, QStringLiteral("Error"));
        return true;
    }
    m.frontend.processPendingEvents();
    return tool.waitForEnd(kToolTimeLimitMs) == platform::OutsideProgram::End::Finished;
}

// The protected copy takes the document's place only complete and on disk, so the input folder
// never holds half a document.
bool takeProtectedCopy(const QString& workFile, const QString& document, int& step) {
    try {
        step = 24;
        platform::copyFileDurably(workFile, document);
        step = 25;
        platform::removeFile(workFile);
        return true;
    } catch (const platform::RunError&) {
        return false;  // e.g. the tool still holds its output: tried again until time is up
    }
}

EncryptionOutcome reportFailure(MainModule& m, const QString& destinationName, int& step) {
    step = 22;
    m.frontend.processPendingEvents();
    m.addLineAndRefresh(QStringLiteral(" Errore Cripto il file  ") + destinationName);
    m.frontend.processPendingEvents();
    return EncryptionOutcome::Failed;
}

}  // namespace

EncryptionOutcome encryptDocument(MainModule& m, const QString& inputFolder, const QString& sourceName,
                                  const QString& destinationName, int& step) {
    step = 8;
    if (!readsAsOne(m.slot.gestione_pwd))
        return EncryptionOutcome::NotAttempted;
    const QString password = slotPassword(m, step);
    const QString tool = m.folders.application + kToolName;
    step = 11;
    if (!platform::regularFileExists(tool))
        return EncryptionOutcome::NotAttempted;
    const QString document = inputFolder + sourceName;
    const QString workFile = inputFolder + kWorkFileName;
    step = 12;
    QFile::remove(workFile);  // an earlier failure's output must never pass for this one's
    step = 13;
    const ToolCommand command = buildCommand(tool, document, workFile, password);

    step = 14;
    m.addLineAndRefresh(QStringLiteral(" Cripto il file  ") + destinationName);
    m.frontend.processPendingEvents();
    m.frontend.processPendingEvents();
    const QDateTime started = m.clock.now();
    step = 15;
    const bool ended = ShellAndWait(m, command);
    m.addLineAndRefresh(QStringLiteral(" Inviato Comando per criptare ") + destinationName);
    if (!ended) {
        QFile::remove(workFile);  // whatever a tool that was cut off left is not a protected copy
        return reportFailure(m, destinationName, step);
    }

    for (;;) {
        step = 16;
        if (platform::regularFileExists(workFile)) {
            step = 17;
            if (takeProtectedCopy(workFile, document, step)) {
                step = 26;
                return EncryptionOutcome::Encrypted;
            }
        }
        if (started.secsTo(m.clock.now()) > kWorkFileWaitSeconds)
            return reportFailure(m, destinationName, step);
        step = 23;
        m.clock.sleepMs(kWorkFilePollMs);
    }
}

}  // namespace dokivo
