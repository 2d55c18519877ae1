#pragma once

#include <QTextStream>
#include <QTimer>

#include "app/Frontend.h"
#include "logs/OperationsLog.h"

namespace dokivo {

class MainModule;

// The console program's front end: operation lines and message texts go to standard output as
// they happen; nothing waits for an OK. The schedule timer is a plain timer on the event loop.
class ConsoleFrontend final : public Frontend, public OperationsListener {
  public:
    ConsoleFrontend();

    void attach(MainModule& module);

    void refreshList() override;
    void showMessage(const QString& text, MessageIcon icon, const QString& title) override;
    void processPendingEvents() override;
    QString operatorCode() const override { return operatorCode_; }
    QString receptionDate() const override { return {}; }
    void setTimerEnabled(bool enabled) override;

    void lineAdded(const QString& line) override;
    void listCleared() override {}

  private:
    QTextStream out_;
    QTimer scheduleTimer_;
    QString operatorCode_;
    MainModule* module_ = nullptr;
};

}  // namespace dokivo
