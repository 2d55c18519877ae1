#include "ui/SlotSettingsWindow.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "app/MainModule.h"
#include "app/WriteIni.h"
#include "platform/IniFile.h"
#include "ui/DesignMetrics.h"

namespace dokivo {

namespace {

constexpr int kClientWidth = 11595;
constexpr int kClientHeight = 3330;
constexpr int kFieldHeight = 285;
constexpr int kBoxLabelReach = 180;

// Where each setting sits: its label's left, the field's left and width, and the row's top.
struct FieldPlace {
    int labelLeft;
    int fieldLeft;
    int fieldWidth;
    int top;
};
constexpr std::array<FieldPlace, kSlotKeyCount> kPlaces{{
    {3360, 4800, 6615, 480},    // Dir in
    {3360, 4800, 6615, 840},    // Dir out
    {3360, 4800, 6615, 1200},   // Dir file log
    {3360, 4800, 6615, 1560},   // Dir backup
    {3360, 4800, 6615, 1920},   // Dir file doppi
    {3360, 4800, 5775, 2280},   // Parametri
    {10800, 11160, 255, 2280},  // Pwd
    {9360, 10200, 255, 120},    // Sotto Dir in
    {10680, 11160, 255, 120},   // Out
    {3360, 4800, 495, 120},     // Inizio car controllo
    {5400, 6840, 495, 120},     // Fine car controllo
    {7440, 8640, 495, 120},     // Sigla controllo
}};

QString listItemText(int slot, const QString& dirIn) {
    return QStringLiteral("%1) ").arg(slot, 2, 10, QLatin1Char('0')) + dirIn;
}

}  // namespace

SlotSettingsWindow::SlotSettingsWindow(MainModule& module)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      module_(module) {
    setObjectName(QStringLiteral("SlotSettingsWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Parametri Utenti"));
    setFont(designFont());
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));

    slotList = new QListWidget(this);
    slotList->setObjectName(QStringLiteral("slotList"));
    slotList->setGeometry(twipsRect(120, 120, 3135, 2400));
    slotList->setSelectionMode(QAbstractItemView::SingleSelection);
    buildFields();

    saveButton = new QPushButton(QStringLiteral("Salva ed Esci"), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setGeometry(twipsRect(120, 2760, 1695, 375));
    connect(saveButton, &QPushButton::clicked, this, &SlotSettingsWindow::saveAndClose);
    exitButton = new QPushButton(QStringLiteral("Esci senza salvare"), this);
    exitButton->setObjectName(QStringLiteral("exitButton"));
    exitButton->setGeometry(twipsRect(1920, 2760, 1455, 375));
    connect(exitButton, &QPushButton::clicked, this, &SlotSettingsWindow::closeWithoutSaving);

    loadSlots();
    // Connected after the load: filling the list chooses no slot.
    connect(slotList, &QListWidget::itemSelectionChanged, this, &SlotSettingsWindow::slotChosen);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SlotSettingsWindow::buildFields() {
    // Created in the order of the form, top row first, so Tab walks it as it reads.
    for (int column : {9, 10, 11, 7, 8, 0, 1, 2, 3, 4, 5, 6}) {
        const SlotKey& setting = kSlotKeys[column];
        const FieldPlace& place = kPlaces[column];
        QLabel* label = makeSettingsLabel(QLatin1String(setting.label), this);
        if (setting.isCheckBox) {
            // A box's label ends just before the box, using the gap to the control on its left.
            const int left = place.labelLeft - kBoxLabelReach;
            label->setGeometry(twipsRect(left, place.top, place.fieldLeft - left - 30, kFieldHeight));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        } else {
            label->setGeometry(
                twipsRect(place.labelLeft, place.top, place.fieldLeft - place.labelLeft - 60, kFieldHeight));
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
        // A check box is bare: the label beside it names it.
        QWidget* field =
            setting.isCheckBox ? static_cast<QWidget*>(new QCheckBox(this)) : new QLineEdit(this);
        field->setObjectName(QLatin1String(setting.control));
        field->setGeometry(twipsRect(place.fieldLeft, place.top, place.fieldWidth, kFieldHeight));
        field->installEventFilter(this);
        fields_[column] = field;
    }
}

void SlotSettingsWindow::loadSlots() {
    // One read of the file serves every value of the window.
    const platform::IniDocument ini = platform::IniDocument::load(module_.settings.iniPath());
    auto read = [&](int slot, int column) {
        return ini.value(kIniSection, slotKey(kSlotKeys[column].stem, slot));
    };
    slotList->clear();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        table_[slot][kDirInKey] = read(slot, kDirInKey);
        slotList->addItem(listItemText(slot, table_[slot][kDirInKey]));
        for (int column = 1; column < kSlotKeyCount; ++column)
            table_[slot][column] = read(slot, column);
    }
    loaded_ = table_;
}

int SlotSettingsWindow::selectedSlot() const {
    const QList<QListWidgetItem*> selected = slotList->selectedItems();
    return selected.isEmpty() ? -1 : slotList->row(selected.first());
}

void SlotSettingsWindow::slotChosen() {
    const int slot = selectedSlot();
    if (slot < 0)
        return;
    for (int column = 0; column < kSlotKeyCount; ++column) {
        const QString& value = table_[slot][column];
        if (kSlotKeys[column].isCheckBox)
            static_cast<QCheckBox*>(fields_[column])->setChecked(value == QLatin1String("1"));
        else
            static_cast<QLineEdit*>(fields_[column])->setText(value);
    }
}

QString SlotSettingsWindow::fieldValue(int column) const {
    if (kSlotKeys[column].isCheckBox)
        return storedCheckValue(static_cast<const QCheckBox*>(fields_[column])->checkState());
    return static_cast<const QLineEdit*>(fields_[column])->text();
}

int SlotSettingsWindow::columnOf(const QObject* control) const {
    for (int column = 0; column < kSlotKeyCount; ++column)
        if (fields_[column] == control)
            return column;
    return -1;
}

void SlotSettingsWindow::storeField(int column) {
    const int slot = selectedSlot();
    if (slot < 0)
        return;
    table_[slot][column] = fieldValue(column);
    if (column == kDirInKey) {
        QListWidgetItem* item = slotList->item(slot);
        item->setText(item->text().left(4) + table_[slot][column]);
    }
}

bool SlotSettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    // Leaving a field stores it. A click on the list moves the focus before the list changes
    // its selection, so an edit is stored into the slot it was made for.
    if (event->type() == QEvent::FocusOut) {
        const int column = columnOf(watched);
        if (column >= 0)
            storeField(column);
    }
    return QWidget::eventFilter(watched, event);
}

void SlotSettingsWindow::saveAndClose() {
    // A button reached without leaving the field (a key press) still stores the last edit.
    const int focused = columnOf(focusWidget());
    if (focused >= 0)
        storeField(focused);
    // Only what was edited here is written, so a save does not undo what the general window
    // saved meanwhile, and untouched values (a stored "2" among them) stay as they are.
    const QString file = module_.settings.iniPath();
    for (int slot = 0; slot < kSlotCount; ++slot)
        for (int column = 0; column < kSlotKeyCount; ++column)
            if (table_[slot][column] != loaded_[slot][column])
                WriteIni(module_, kIniSection, slotKey(kSlotKeys[column].stem, slot), table_[slot][column],
                         file);
    close();
}

void SlotSettingsWindow::closeWithoutSaving() {
    close();
}

}  // namespace dokivo
