#pragma once

#include <QString>

namespace dokivo {

// The working values of the slot and folder being processed, filled by the scan driver before
// each folder pass and read by the pass and its steps.
struct SlotContext {
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
    bool doclibero = false;
    bool sololog = false;
    bool podsitir = false;
    bool sihsit = false;
    bool abbin = false;
    QString abbin_value;
    QString dircgd_value;
};

}  // namespace dokivo
