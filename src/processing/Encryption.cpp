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
#include "processing/PdfProtection.h"

namespace dokivo {

namespace {

const QString kStandardPassword = QStringLiteral("harbor42");
const QString kPasswordKey = QStringLiteral("P");
const QString kMaskedPassword = QStringLiteral("********");

// The tool has this long to do its work before it is ended.
constexpr int kToolTimeLimitMs = 120 * 1000;
// The protected copy must be there this many whole seconds after the start at the latest.
constexpr qint64 kWorkFileWaitSeconds = 10;
// How often the window's events run while the tool runs and while its work file is awaited.
constexpr int kEventsIntervalMs = 50;

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
    const QString password = storedSlotPassword(m.settings.dir_pwd, m.slot.slot_index);
    return password.isEmpty() ? kStandardPassword : password;
}

// How the tool's run ended, as far as its process tells.
enum class ToolRun {
    NoFailureSaid,  // it ended well, or its status is unknown: the work file is awaited in full
    Failed,         // a non-zero exit status or a crash: a missing work file is not awaited
    CutOff,         // still running at the time limit, and ended
};

// Starts the tool and returns when it has ended. The window's events keep running meanwhile
// (a nested pass is refused by the scan driver's guard). A tool that cannot be started is
// reported in a message box and says nothing about its outcome.
ToolRun ShellAndWait(MainModule& m, const ToolCommand& command) {
    platform::OutsideProgram tool;
    if (!tool.start(command.program, command.arguments)) {
        m.frontend.showMessage(QStringLiteral("Error starting task ") + command.shownText +
                                   QStringLiteral("\r\n") + tool.failure(),
                               Frontend::MessageIcon::Exclamation, QStringLiteral("Error"));
        return ToolRun::NoFailureSaid;
    }
    m.frontend.processPendingEvents();
    if (tool.waitForEnd(
            kToolTimeLimitMs, [&m] { m.frontend.processPendingEvents(); }, kEventsIntervalMs) ==
        platform::OutsideProgram::End::Ended)
        return ToolRun::CutOff;
    return tool.reportedFailure() ? ToolRun::Failed : ToolRun::NoFailureSaid;
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

QString storedSlotPassword(const QString& dir_pwd, int slot) {
    return platform::readProfileString(QString::number(slot), kPasswordKey, QString(),
                                       platform::withTrailingSeparator(dir_pwd) + kPasswordFileName);
}

bool slotEncrypts(const SlotContext& ctx) {
    return readsAsOne(ctx.gestione_pwd);
}

EncryptionOutcome encryptDocument(MainModule& m, const QString& inputFolder, const QString& sourceName,
                                  const QString& destinationName, int& step) {
    step = 8;
    if (!slotEncrypts(m.slot))
        return EncryptionOutcome::NotAttempted;
    const QString password = slotPassword(m, step);
    const QString tool = m.folders.application + kEncryptionToolName;
    step = 11;
    if (!platform::regularFileExists(tool))
        return EncryptionOutcome::NotAttempted;
    const QString document = inputFolder + sourceName;
    // Left protected by an earlier pass whose delivery failed: the tool would refuse it, and
    // it needs no second protection.
    if (isPasswordProtectedPdf(document)) {
        m.addLineAndRefresh(QStringLiteral(" File gia' protetto, non lo cripto di nuovo  ") +
                            destinationName);
        return EncryptionOutcome::AlreadyProtected;
    }
    const QString workFile = inputFolder + kEncryptionWorkFileName;
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
    const ToolRun run = ShellAndWait(m, command);
    m.addLineAndRefresh(QStringLiteral(" Inviato Comando per criptare ") + destinationName);
    if (run == ToolRun::CutOff) {
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
        // A tool that said it failed has ended without a protected copy: none is coming.
        if (run == ToolRun::Failed || started.secsTo(m.clock.now()) > kWorkFileWaitSeconds)
            return reportFailure(m, destinationName, step);
        step = 23;
        m.frontend.processPendingEvents();
        m.clock.sleepMs(kEventsIntervalMs);
    }
}

}  // namespace dokivo
