#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include "platform/InstanceLock.h"

namespace dokivo {

// One running Dokivo per user: a lock on a file says whether another instance runs, and a local
// socket named after the application lets a second start ask the first one to show itself.
// The lock belongs to the open file, so the system drops it whenever the process ends, a kill
// included: no stale lock can ever keep Dokivo from starting.
// DOKIVO_INSTANCE_KEY overrides the name, for separate installations and for tests.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(QString key = defaultKey(), QObject* parent = nullptr);
    ~SingleInstance() override;

    static QString defaultKey();

    // True when no other instance runs; this one then answers activation requests.
    bool acquire();
    // Empty while activation requests can reach this instance; otherwise an operation line that
    // says why they cannot (the name held by something that is not a socket of ours).
    const QString& activationProblem() const { return activationProblem_; }
    // Asks the running instance to restore and raise its window; false when none answered.
    bool activateRunning();

  Q_SIGNALS:
    void activationRequested();

  private:
    void listenForActivation();

    QString key_;
    QString lockPath_;
    platform::InstanceLock lock_;
    QLocalServer server_;
    QString activationProblem_;
};

}  // namespace dokivo
