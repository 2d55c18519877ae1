#pragma once

#include <QString>
#include <array>

namespace dokivo {

class MainModule;

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

// The per-slot keys: stem (the slot number is appended) and the field it fills, in the order
// the file is read and the settings windows write.
struct SlotKey {
    const char* stem;
    QString SlotSettings::*field;
};
inline constexpr std::array<SlotKey, 12> kSlotKeys{{
    {"dir_in_", &SlotSettings::dir_in},
    {"dir_out_", &SlotSettings::dir_out},
    {"dir_log_", &SlotSettings::dir_log},
    {"dir_backup_", &SlotSettings::dir_backup},
    {"dir_doppioni_", &SlotSettings::dir_doppioni},
    {"dir_nazionale_", &SlotSettings::dir_nazionale},
    {"gestione_pwd_", &SlotSettings::gestione_pwd},
    {"inizio_car_controllo_", &SlotSettings::inizio_car_controllo},
    {"fine_car_controllo_", &SlotSettings::fine_car_controllo},
    {"car_controllo_", &SlotSettings::car_controllo},
    {"gestione_dir_", &SlotSettings::gestione_dir},
    {"gestione_dir_out_", &SlotSettings::gestione_dir_out},
}};

inline QString slotKey(const char* stem, int slot) {
    return QLatin1String(stem) + QString::number(slot);
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

// Writes one value; a failure adds " Errore in scrittura nel file " and the path (after a flush
// of the operations list when it holds more than 500 lines) and repaints the list.
void WriteIni(MainModule& module, const QString& section, const QString& key, const QString& value,
              const QString& file);

// Refills every value but the start-up ones from "Dokivo.ini" in config_dir.
void LoadSettings(Settings& settings);

}  // namespace dokivo
