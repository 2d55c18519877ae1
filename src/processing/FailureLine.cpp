#include "processing/FailureLine.h"

#include "platform/RunError.h"
#include "processing/LineBreakingNames.h"

namespace dokivo {

QString failureLine(int step, const platform::RunError& error, const QString& document) {
    return QStringLiteral(" Lettura Cartella ") + QString::number(step) + QLatin1Char(' ') +
           QString::number(error.number()) + QLatin1Char(' ') + error.description() +
           (document.isEmpty() ? QString() : QStringLiteral(" : ") + withLineBreaksShown(document));
}

}  // namespace dokivo
