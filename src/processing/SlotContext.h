#pragma once

#include <QString>

#include "config/ControlCodes.h"

namespace dokivo {

// The working values of the slot and folder being processed, filled by the scan driver before
// each folder pass and read by the pass and its steps. Folders end with the separator; the
// separator alone means "none". The control codes are those of `parameters`.
struct SlotContext : ControlCodes {
    int slot_index = 0;
    QString folder;
    QString dest_folder;
    QString log_folder;
    QString backup_folder;
    QString duplicates_folder;
    QString parameters;
    QString inizio_car_controllo;
    QString fine_car_controllo;
    QString car_controllo;
    QString gestione_pwd;
    QString format_marker;
    bool is_main_folder = true;
};

}  // namespace dokivo
