#pragma once

#include <QLabel>
#include <QString>
#include <array>

namespace dokivo {

// The pieces both settings windows are built from.

// Every label of the settings windows carries this tooltip.
inline const QString kSettingsLabelTooltip =
    QStringLiteral("Inserire la directory nella quale verra' scompattato il nmessaggio di posta");

// The twelve settings of a slot, in the order the windows show and store them: the INI key
// stem (the slot number is appended), the control and the label beside it.
struct SlotColumn {
    const char* stem;
    const char* control;
    const char* label;
    bool isCheckBox;
};
inline constexpr int kSlotColumnCount = 12;
inline constexpr std::array<SlotColumn, kSlotColumnCount> kSlotColumns{{
    {"dir_in_", "txt_dir_in", "Dir in ", false},
    {"dir_out_", "txt_dir_out", "Dir out", false},
    {"dir_log_", "txt_dir_log", "Dir file log", false},
    {"dir_backup_", "txt_dir_backup", "Dir backup", false},
    {"dir_doppioni_", "txt_dir_doppioni", "Dir file doppi", false},
    {"dir_nazionale_", "txt_dir_nazionale", "Parametri", false},
    {"gestione_pwd_", "chk_pwd", "Pwd", true},
    {"gestione_dir_", "chk_getdir", "Sotto Dir in", true},
    {"gestione_dir_out_", "chk_getdir_out", "Out", true},
    {"inizio_car_controllo_", "txt_inizio_car_controllo", "Inizio car controllo", false},
    {"fine_car_controllo_", "txt_fine_car_controllo", "Fine car controllo", false},
    {"car_controllo_", "txt_car_controllo", "Sigla controllo", false},
}};
inline constexpr int kDirInColumn = 0;

// A check box is stored as "0" (clear), "1" (ticked) or "2" (greyed).
QString storedCheckValue(Qt::CheckState state);
// A stored "0", "1" or "2" as a check state; empty text, or text that is no such number, is clear.
Qt::CheckState checkStateFromStored(const QString& stored);

// A label of a settings window, with the common tooltip.
QLabel* makeSettingsLabel(const QString& text, QWidget* parent);

}  // namespace dokivo
