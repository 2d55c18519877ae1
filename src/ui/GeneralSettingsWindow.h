#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <vector>

#include "config/Settings.h"
#include "ui/SettingsWidgets.h"

namespace dokivo {

class MainModule;

// The general settings window, "Parametri Generali": the folder of the tracking file, the folder of the
// password file, the 33 accepted extensions, the scheduler's interval and immediate filing, plus the twelve
// settings of slots 0 to 5, which the delivered layout keeps out of sight (slots 0 to 2 behind
// the frame of the general values, slots 3 to 5 in a hidden frame). Loaded from "Dokivo.ini"
// when the window opens. "Salva ed Esci" writes the values edited here, reloads the settings
// model and closes; "Esci senza salvare" closes without writing. Closing deletes the window.
class GeneralSettingsWindow final : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSlotsShown = 6;

    explicit GeneralSettingsWindow(MainModule& module);

    void saveAndClose();
    void closeWithoutSaving();
    void showMoreSlots();
    void showGeneralValues();

    // The interval typed or chosen is one of the list's.
    bool intervalIsListed() const;

  private:
    void buildGeneralFrame();
    void buildSlotFields(int slot, QWidget* parent, int left, int top);
    void load();

    // One INI value shown in one control, with what the control showed once loaded: a save
    // writes only the values that differ from it.
    struct Binding {
        QString key;
        QWidget* control;
        QString loaded;
    };

    MainModule& module_;
    QGroupBox* moreSlotsFrame;
    QGroupBox* generalFrame;
    QWidget* slotsOnWindow_;  // slots 0 to 2, under generalFrame
    QLineEdit* txt_dir_log_generale;
    QLineEdit* txt_dir_pwd;
    std::array<QLineEdit*, kExtensionCount> txt_ext{};
    QComboBox* cbotimer;
    QCheckBox* chk_archiviazione_immediata;
    std::array<std::array<QWidget*, kSlotKeyCount>, kSlotsShown> slotControls_{};
    QPushButton* saveButton;
    QPushButton* exitButton;
    QPushButton* moreSlotsButton;
    QPushButton* generalValuesButton;
    std::vector<Binding> bindings_;  // in the order a save writes them
};

}  // namespace dokivo
