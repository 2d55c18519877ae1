#pragma once

#include <QString>
#include <array>

namespace dokivo {

inline constexpr int kSlotCount = 16;
inline constexpr int kExtensionCount = 33;

// One slot: an input folder with its destination, log, backup and duplicates folders, its
// parameter text and its file-name rules. Every value is the text as read from the file.
struct SlotSettings {
    QString dir_in;
    QString dir_out;
    QString dir_log;
    QString dir_backup;
    QString dir_doppioni;
    QString dir_nazionale;
    QString gestione_pwd;
    QString gestione_dir;
    QString gestione_dir_out;
    QString inizio_car_controllo;
    QString fine_car_controllo;
    QString car_controllo;
};

// The per-slot keys, for the model and both settings windows alike: the stem (the slot number is
// appended), the field it fills, and the control and label a settings window shows it with (a
// check box stores "0", "1" or "2"). In the order the windows show and store them.
struct SlotKey {
    const char* stem;
    QString SlotSettings::*field;
    const char* control;
    const char* label;
    bool isCheckBox;
};
inline constexpr int kSlotKeyCount = 12;
inline constexpr std::array<SlotKey, kSlotKeyCount> kSlotKeys{{
    {"dir_in_", &SlotSettings::dir_in, "txt_dir_in", "Dir in ", false},
    {"dir_out_", &SlotSettings::dir_out, "txt_dir_out", "Dir out", false},
    {"dir_log_", &SlotSettings::dir_log, "txt_dir_log", "Dir file log", false},
    {"dir_backup_", &SlotSettings::dir_backup, "txt_dir_backup", "Dir backup", false},
    {"dir_doppioni_", &SlotSettings::dir_doppioni, "txt_dir_doppioni", "Dir file doppi", false},
    {"dir_nazionale_", &SlotSettings::dir_nazionale, "txt_dir_nazionale", "Parametri", false},
    {"gestione_pwd_", &SlotSettings::gestione_pwd, "chk_pwd", "Pwd", true},
    {"gestione_dir_", &SlotSettings::gestione_dir, "chk_getdir", "Sotto Dir in", true},
    {"gestione_dir_out_", &SlotSettings::gestione_dir_out, "chk_getdir_out", "Out", true},
    {"inizio_car_controllo_", &SlotSettings::inizio_car_controllo, "txt_inizio_car_controllo",
     "Inizio car controllo", false},
    {"fine_car_controllo_", &SlotSettings::fine_car_controllo, "txt_fine_car_controllo", "Fine car controllo",
     false},
    {"car_controllo_", &SlotSettings::car_controllo, "txt_car_controllo", "Sigla controllo", false},
}};
inline constexpr int kDirInKey = 0;

// A numbered key: the stem followed by the slot (or extension) number in decimal.
inline QString slotKey(const char* stem, int slot) {
    return QLatin1String(stem) + QString::number(slot);
}

// The general keys.
inline constexpr const char* kExtensionKeyStem = "estensione_";  // 0 to 32
inline const QString kDirLogGeneraleKey = QStringLiteral("dir_log_generale");
inline const QString kDirPwdKey = QStringLiteral("dir_pwd");
inline const QString kTimerDeltaKey = QStringLiteral("timer_delta");
inline const QString kFormatoatenePrefissiKey = QStringLiteral("formatoatene_prefissi");
inline const QString kArchiviazioneImmediataKey = QStringLiteral("archiviazione_immediata");

// A yes/no key is on when it holds "y", in either case.
inline bool readsAsYes(const QString& stored) {
    return stored.compare(QLatin1String("y"), Qt::CaseInsensitive) == 0;
}

// The in-memory copy of "Dokivo.ini".
struct Settings {
    std::array<SlotSettings, kSlotCount> slots;
    QString extension_list;  // "||PDF||TIF||", or empty when no extension is set
    QString dir_log_generale;
    QString dir_pwd;
    QString timer_delta;
    // Four-character name prefixes that a FORMATOATENE slot accepts, separated by ";".
    QString formatoatene_prefissi;
    // "y": while the schedule runs, a change in an input folder starts a pass shortly after.
    bool immediate_filing = false;
    bool password_handling_on = false;
    bool use_standard_password = false;
    // Start-up values, not touched by LoadSettings.
    QString config_dir;
    QString system_root;
    QString os_product_name;

    QString iniPath() const;
};

inline const QString kIniFileName = QStringLiteral("Dokivo.ini");
inline const QString kIniSection = QStringLiteral("TUTTI");
inline const QString kPasswordFileName = QStringLiteral("ao.dat");
inline const QString kDefaultTimerDelta = QStringLiteral("5 minuti");

QString ReadIni(const QString& section, const QString& key, const QString& fallback, const QString& file);

// Refills every value but the start-up ones from "Dokivo.ini" in config_dir. Values stay as the
// file has them, except the password folder, which is settled here (the system folder when it is
// empty and a slot encrypts, and a final separator).
void LoadSettings(Settings& settings);

}  // namespace dokivo
