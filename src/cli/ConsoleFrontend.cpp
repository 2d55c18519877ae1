#include "cli/ConsoleFrontend.h"

#include <QCoreApplication>

#include "app/MainModule.h"
#include "scan/Scheduler.h"

namespace dokivo {

ConsoleFrontend::ConsoleFrontend() : out_(stdout) {
    out_.setEncoding(QStringConverter::Utf8);
    // The console has no operator field; an unattended job may name its operator here.
    operatorCode_ = QString::fromLocal8Bit(qgetenv("DOKIVO_OPERATORE")).left(3);
    scheduleTimer_.setInterval(kScheduleTickMs);
}

void ConsoleFrontend::attach(MainModule& module) {
    module_ = &module;
    module.operations.setListener(this);
    QObject::connect(&scheduleTimer_, &QTimer::timeout, [this] { scheduleTick(*module_); });
}

void ConsoleFrontend::refreshList() {
    out_.flush();
}

void ConsoleFrontend::showMessage(const QString& text, MessageIcon, const QString& title) {
    QString oneLine = text;
    oneLine.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
    if (!title.isEmpty())
        out_ << title << ": ";
    out_ << oneLine << '\n';
    out_.flush();
}

void ConsoleFrontend::processPendingEvents() {
    QCoreApplication::processEvents();
}

void ConsoleFrontend::setTimerEnabled(bool enabled) {
    if (enabled)
        scheduleTimer_.start();
    else
        scheduleTimer_.stop();
}

void ConsoleFrontend::lineAdded(const QString& line) {
    out_ << line << '\n';
}

}  // namespace dokivo
