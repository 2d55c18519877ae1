#pragma once

#include <QString>

namespace dokivo {

namespace platform {
class RunError;
}

// The folder pass's error line: the step reached, the run-time number and its description; a
// failure while a document was being filed names that document.
QString failureLine(int step, const platform::RunError& error, const QString& document);

}  // namespace dokivo
