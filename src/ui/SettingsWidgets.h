#pragma once

#include <QLabel>
#include <QString>

namespace dokivo {

// The pieces both settings windows are built from.

// Every label of the settings windows carries this tooltip.
inline const QString kSettingsLabelTooltip =
    QStringLiteral("Inserire la directory nella quale verra' scompattato il nmessaggio di posta");

// A check box is stored as "0" (clear), "1" (ticked) or "2" (greyed).
QString storedCheckValue(Qt::CheckState state);
// A stored "0", "1" or "2" as a check state; empty text, or text that is no such number, is clear.
Qt::CheckState checkStateFromStored(const QString& stored);

// A label of a settings window, with the common tooltip.
QLabel* makeSettingsLabel(const QString& text, QWidget* parent);

}  // namespace dokivo
