#include "ui/SettingsWidgets.h"

namespace dokivo {

QString storedCheckValue(Qt::CheckState state) {
    switch (state) {
        case Qt::Checked:
            return QStringLiteral("1");
        case Qt::PartiallyChecked:
            return QStringLiteral("2");
        case Qt::Unchecked:
            break;
    }
    return QStringLiteral("0");
}

Qt::CheckState checkStateFromStored(const QString& stored) {
    bool isNumber = false;
    const int value = stored.trimmed().toInt(&isNumber);
    if (isNumber && value == 1)
        return Qt::Checked;
    if (isNumber && value == 2)
        return Qt::PartiallyChecked;
    return Qt::Unchecked;
}

QLabel* makeSettingsLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setToolTip(kSettingsLabelTooltip);
    return label;
}

}  // namespace dokivo
