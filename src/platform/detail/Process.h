#pragma once

#include <QProcess>

// The part of starting an outside program that each system does in its own way.
namespace dokivo::platform::detail {

// Sets up `process`, before it starts, so that the program opens no window of its own.
void startWithoutWindow(QProcess& process);

}  // namespace dokivo::platform::detail
