#include "ui/GeneralSettingsWindow.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>

#include "app/MainModule.h"
#include "app/WriteIni.h"
#include "config/Settings.h"
#include "platform/IniFile.h"
#include "scan/ImmediateFiling.h"
#include "scan/Scheduler.h"
#include "ui/DesignMetrics.h"
#include "ui/FocusValidator.h"

namespace dokivo {

namespace {

constexpr int kClientWidth = 8985;
constexpr int kClientHeight = 9420;
constexpr int kRow = 360;  // one row of fields
constexpr int kFieldHeight = 285;
constexpr int kLabelLeft = 60;  // in the frame, fields from kFieldLeft on
constexpr int kLabelWidth = 1350;
constexpr int kFieldLeft = 1440;
constexpr int kSlotFieldLeft = 1380;  // from a slot block's left
constexpr int kFolderWidth = 6495;
constexpr int kSlotBlockHeight = 2640;  // seven rows and a gap

// Slot 0's input folder was labelled with a 1, the next two were left without a number.
const std::array<const char*, GeneralSettingsWindow::kSlotsShown> kDirInLabels{
    "Dir in 1", "Dir in", "Dir in", "Dir in 4", "Dir in 5", "Dir in 6"};

QString arrayName(const char* control, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(control)).arg(index);
}

QLabel* labelAt(const QString& text, QWidget* parent, int left, int top, int width = kLabelWidth,
                Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    QLabel* label = makeSettingsLabel(text, parent);
    label->setGeometry(twipsRect(left, top, width, kFieldHeight));
    label->setAlignment(alignment);
    return label;
}

QLineEdit* fieldAt(const QString& name, QWidget* parent, int left, int top, int width) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setGeometry(twipsRect(left, top, width, kFieldHeight));
    return field;
}

// A box that stores "y" or "n" rather than a check state.
const char* const kYesNoBox = "yesNo";

QString currentValue(const QWidget* control) {
    if (auto* box = qobject_cast<const QCheckBox*>(control))
        return box->property(kYesNoBox).toBool() ? QLatin1String(box->isChecked() ? "y" : "n")
                                                 : storedCheckValue(box->checkState());
    if (auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    return static_cast<const QLineEdit*>(control)->text();
}

void resetMousePointer() {
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

}  // namespace

GeneralSettingsWindow::GeneralSettingsWindow(MainModule& module)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      module_(module) {
    setObjectName(QStringLiteral("GeneralSettingsWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Parametri Applicazione"));
    setFont(designFont());
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));

    // Created first, so that the focus starts in the general values.
    buildGeneralFrame();

    saveButton = new QPushButton(QStringLiteral("Salva ed Esci"), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setGeometry(twipsRect(360, 8640, 1695, 375));
    connect(saveButton, &QPushButton::clicked, this, &GeneralSettingsWindow::saveAndClose);
    exitButton = new QPushButton(QStringLiteral("Esci senza salvare"), this);
    exitButton->setObjectName(QStringLiteral("exitButton"));
    exitButton->setGeometry(twipsRect(2160, 8640, 1455, 375));
    connect(exitButton, &QPushButton::clicked, this, &GeneralSettingsWindow::closeWithoutSaving);

    // The page buttons that show the slot fields are not part of the delivered layout.
    moreSlotsButton = new QPushButton(QStringLiteral("Settaggi 4-6"), this);
    moreSlotsButton->setObjectName(QStringLiteral("moreSlotsButton"));
    moreSlotsButton->setGeometry(twipsRect(3720, 8640, 1455, 375));
    moreSlotsButton->hide();
    connect(moreSlotsButton, &QPushButton::clicked, this, &GeneralSettingsWindow::showMoreSlots);
    generalValuesButton = new QPushButton(QStringLiteral("Mostra Par Generali"), this);
    generalValuesButton->setObjectName(QStringLiteral("generalValuesButton"));
    generalValuesButton->setGeometry(twipsRect(5280, 8640, 1695, 375));
    generalValuesButton->hide();
    connect(generalValuesButton, &QPushButton::clicked, this, &GeneralSettingsWindow::showGeneralValues);

    // Slots 0 to 2 lie on the window where generalFrame covers them; they are hidden while it does,
    // so that neither the eye nor the focus reaches them.
    slotsOnWindow_ = new QWidget(this);
    slotsOnWindow_->setGeometry(0, 0, width(), twipsToPixels(8520));
    moreSlotsFrame = new QGroupBox(this);
    moreSlotsFrame->setObjectName(QStringLiteral("moreSlotsFrame"));
    moreSlotsFrame->setGeometry(twipsRect(240, 120, 8175, 8295));
    for (int slot = 0; slot < kSlotsShown; ++slot) {
        if (slot < 3)
            buildSlotFields(slot, slotsOnWindow_, 360, 240 + slot * kSlotBlockHeight);
        else
            buildSlotFields(slot, moreSlotsFrame, 120, 360 + (slot - 3) * kSlotBlockHeight);
    }
    slotsOnWindow_->hide();
    moreSlotsFrame->hide();
    generalFrame->raise();

    // The order in which a save writes: the slots, the general values, the extensions.
    for (int slot = 0; slot < kSlotsShown; ++slot)
        for (int column = 0; column < kSlotKeyCount; ++column)
            bindings_.push_back({slotKey(kSlotKeys[column].stem, slot), slotControls_[slot][column], {}});
    bindings_.push_back({kDirLogGeneraleKey, txt_dir_log_generale, {}});
    bindings_.push_back({kDirPwdKey, txt_dir_pwd, {}});
    bindings_.push_back({kTimerDeltaKey, cbotimer, {}});
    bindings_.push_back({kArchiviazioneImmediataKey, chk_archiviazione_immediata, {}});
    for (int n = 0; n < kExtensionCount; ++n)
        bindings_.push_back({slotKey(kExtensionKeyStem, n), txt_ext[n], {}});

    load();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void GeneralSettingsWindow::buildGeneralFrame() {
    generalFrame = new QGroupBox(QStringLiteral("Parametri Generali"), this);
    generalFrame->setObjectName(QStringLiteral("generalFrame"));
    generalFrame->setGeometry(twipsRect(240, 120, 8175, 8295));

    labelAt(QStringLiteral("Dir log operazioni"), generalFrame, kLabelLeft, 360);
    txt_dir_log_generale =
        fieldAt(QStringLiteral("txt_dir_log_generale"), generalFrame, kFieldLeft, 360, kFolderWidth);
    labelAt(QStringLiteral("Dir parametri 1"), generalFrame, kLabelLeft, 720);
    txt_dir_pwd = fieldAt(QStringLiteral("txt_dir_pwd"), generalFrame, kFieldLeft, 720, kFolderWidth);

    labelAt(QStringLiteral("Estensioni"), generalFrame, kLabelLeft, 1080);
    for (int n = 0; n < kExtensionCount; ++n)
        txt_ext[n] = fieldAt(arrayName("txt_ext", n), generalFrame, kFieldLeft + 600 * (n % 11),
                             1080 + kRow * (n / 11), 495);

    labelAt(QStringLiteral("Intervallo"), generalFrame, kLabelLeft, 2400);
    cbotimer = new QComboBox(generalFrame);
    cbotimer->setObjectName(QStringLiteral("cbotimer"));
    cbotimer->setGeometry(twipsRect(kFieldLeft, 2400, 1335, 315));
    cbotimer->setEditable(true);
    // What is typed stays what is typed: no completion, and Enter adds nothing to the list.
    cbotimer->setInsertPolicy(QComboBox::NoInsert);
    cbotimer->setCompleter(nullptr);
    cbotimer->addItems(offeredIntervals());
    new FocusValidator(cbotimer, [this] { return intervalIsListed(); });

    labelAt(QStringLiteral("Archiviazione immediata"), generalFrame, kLabelLeft, 2760, 2400);
    chk_archiviazione_immediata = new QCheckBox(generalFrame);
    chk_archiviazione_immediata->setObjectName(QStringLiteral("chk_archiviazione_immediata"));
    chk_archiviazione_immediata->setProperty(kYesNoBox, true);
    chk_archiviazione_immediata->setGeometry(twipsRect(kLabelLeft + 2460, 2760, 255, kFieldHeight));
}

void GeneralSettingsWindow::buildSlotFields(int slot, QWidget* parent, int left, int top) {
    auto& controls = slotControls_[slot];
    auto name = [&](int column) { return arrayName(kSlotKeys[column].control, slot); };
    auto label = [&](int column) { return QLatin1String(kSlotKeys[column].label); };

    auto folderRow = [&](int column, const QString& text, int row, int width) {
        labelAt(text, parent, left, top + row * kRow);
        controls[column] = fieldAt(name(column), parent, left + kSlotFieldLeft, top + row * kRow, width);
    };
    folderRow(0, QLatin1String(kDirInLabels[slot]), 0, kFolderWidth);
    for (int column = 1; column <= 4; ++column)
        folderRow(column, label(column), column, kFolderWidth);
    folderRow(5, label(5), 5, 5400);

    // A box's label ends just before the box.
    auto box = [&](int column, int labelLeft, int boxLeft, int row) {
        labelAt(label(column), parent, left + labelLeft, top + row * kRow, boxLeft - labelLeft - 30,
                Qt::AlignRight | Qt::AlignVCenter);
        auto* check = new QCheckBox(parent);  // bare: the label names it
        check->setObjectName(name(column));
        check->setGeometry(twipsRect(left + boxLeft, top + row * kRow, 255, kFieldHeight));
        controls[column] = check;
    };
    box(6, 6840, 7440, 5);

    const int codesTop = top + 6 * kRow;
    auto code = [&](int column, int labelLeft, int fieldLeft) {
        labelAt(label(column), parent, left + labelLeft, codesTop, fieldLeft - labelLeft - 30);
        controls[column] = fieldAt(name(column), parent, left + fieldLeft, codesTop, 495);
    };
    code(9, 0, kSlotFieldLeft);
    code(10, 1950, 3330);
    code(11, 3900, 5070);
    box(7, 5640, 6540, 6);
    box(8, 6840, 7290, 6);
}

void GeneralSettingsWindow::load() {
    resetMousePointer();
    // One read of the file serves every value of the window.
    const platform::IniDocument ini = platform::IniDocument::load(module_.settings.iniPath());
    auto read = [&](const QString& key) { return ini.value(kIniSection, key); };

    for (int slot = 0; slot < kSlotsShown; ++slot) {
        for (int column = 0; column < kSlotKeyCount; ++column) {
            const QString stored = read(slotKey(kSlotKeys[column].stem, slot));
            QWidget* control = slotControls_[slot][column];
            if (kSlotKeys[column].isCheckBox)
                static_cast<QCheckBox*>(control)->setCheckState(checkStateFromStored(stored));
            else
                static_cast<QLineEdit*>(control)->setText(stored);
        }
    }
    for (int n = 0; n < kExtensionCount; ++n)
        txt_ext[n]->setText(read(slotKey(kExtensionKeyStem, n)));
    // Shown as stored, also when it is none of the list's texts or empty.
    const QString interval = read(kTimerDeltaKey);
    cbotimer->setCurrentIndex(cbotimer->findText(interval, Qt::MatchExactly | Qt::MatchCaseSensitive));
    cbotimer->setEditText(interval);
    txt_dir_log_generale->setText(read(kDirLogGeneraleKey));
    setWindowTitle(QStringLiteral("PARAMETRI ") + module_.settings.config_dir + kIniFileName);
    txt_dir_pwd->setText(read(kDirPwdKey));
    chk_archiviazione_immediata->setChecked(readsAsYes(read(kArchiviazioneImmediataKey)));

    for (Binding& binding : bindings_)
        binding.loaded = currentValue(binding.control);
}

bool GeneralSettingsWindow::intervalIsListed() const {
    return offeredIntervals().contains(cbotimer->currentText(), Qt::CaseSensitive);
}

void GeneralSettingsWindow::saveAndClose() {
    // Only what was edited here is written, so a save does not undo what the per-slot window
    // saved meanwhile, and untouched values (a stored "2", an interval outside the list) stay.
    const QString file = module_.settings.iniPath();
    for (const Binding& binding : bindings_) {
        const QString value = currentValue(binding.control);
        if (value != binding.loaded)
            WriteIni(module_, kIniSection, binding.key, value, file);
    }
    LoadSettings(module_.settings);
    followInputFolders(module_);  // immediate filing turned on or off takes effect at once
    close();
}

void GeneralSettingsWindow::closeWithoutSaving() {
    close();
    resetMousePointer();
}

void GeneralSettingsWindow::showMoreSlots() {
    moreSlotsFrame->setHidden(!moreSlotsFrame->isHidden());
    moreSlotsFrame->raise();
    moreSlotsButton->setText(moreSlotsFrame->isHidden() ? QStringLiteral("Settaggi 4-6")
                                                        : QStringLiteral("Settaggi 1-3"));
}

void GeneralSettingsWindow::showGeneralValues() {
    generalFrame->setHidden(!generalFrame->isHidden());
    slotsOnWindow_->setHidden(!generalFrame->isHidden());
    generalValuesButton->setText(generalFrame->isHidden() ? QStringLiteral("Mostra Par Gen")
                                                          : QStringLiteral("Nascondi Par Gen"));
}

}  // namespace dokivo
