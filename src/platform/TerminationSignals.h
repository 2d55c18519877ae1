#pragma once

class QCoreApplication;

namespace dokivo::platform {

// SIGINT and SIGTERM (on Windows: Ctrl+C, Ctrl+Break, the console closing, log-off and
// shutdown) end the application's event loop instead of the process, so the program closes in
// order (closing line, tracking file). A pass that is running finishes first: the request is
// seen when control is back in the event loop.
void quitOnTerminationSignals(QCoreApplication& app);

}  // namespace dokivo::platform
