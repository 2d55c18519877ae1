#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "config/Settings.h"
#include "ui/SettingsWidgets.h"

namespace dokivo {

class MainModule;

// The slot settings window, "Parametri Utenti": the sixteen slots listed by number and input folder
// ("07) C:\scan\in"); choosing one shows its twelve settings beside the list. A field's value
// goes into the working table of all slots when the focus leaves the field, for the slot that
// was selected while it was edited (none selected: it goes nowhere). "Salva ed Esci" writes the
// values edited here and closes; the settings model is left to the next pass, which rereads the
// file. "Esci senza salvare" closes without writing. Closing deletes the window.
class SlotSettingsWindow final : public QWidget {
    Q_OBJECT
  public:
    explicit SlotSettingsWindow(MainModule& module);

    void saveAndClose();
    void closeWithoutSaving();

    // The slot of the selected list item; -1 when none is selected.
    int selectedSlot() const;
    // The working table's value of one setting (column as in kSlotKeys).
    QString tableValue(int slot, int column) const { return table_[slot][column]; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using SlotRow = std::array<QString, kSlotKeyCount>;

    void buildFields();
    void loadSlots();
    void slotChosen();
    void storeField(int column);
    QString fieldValue(int column) const;
    int columnOf(const QObject* control) const;

    MainModule& module_;
    QListWidget* slotList;
    std::array<QWidget*, kSlotKeyCount> fields_{};
    QPushButton* saveButton;
    QPushButton* exitButton;
    std::array<SlotRow, kSlotCount> table_;
    std::array<SlotRow, kSlotCount> loaded_;  // as read, to tell edited values from the rest
};

}  // namespace dokivo
