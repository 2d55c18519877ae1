#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "UiTestSupport.h"
#include "ui/GeneralSettingsWindow.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

constexpr int kSlots = frm_setuputente::kSlotsShown;

// A stored value per slot setting: texts name their key, check values go round 0, 1, 2.
QString storedValue(int slot, int column) {
    if (kSlotKeys[column].isCheckBox)
        return QString::number((slot + column) % 3);
    return QStringLiteral("v_") + slotKey(kSlotKeys[column].stem, slot);
}

struct GeneralSettingsFixture : UiFixture {
    // Every key the window knows, for slots 0 to 6 (slot 6 lies beyond the window's reach).
    void writeFullConfiguration() {
        QString ini = QStringLiteral("[TUTTI]\r\n");
        for (int slot = 0; slot <= kSlots; ++slot)
            for (int column = 0; column < kSlotKeyCount; ++column)
                ini += slotKey(kSlotKeys[column].stem, slot) + '=' + storedValue(slot, column) + "\r\n";
        for (int n = 0; n < kExtensionCount; ++n)
            ini += QStringLiteral("estensione_%1=E%1\r\n").arg(n);
        ini += "dir_log_generale=/traccia\r\ndir_pwd=/pwd\r\ntimer_delta=10 minuti\r\n";
        writeIni(ini);
    }

    frm_setuputente& open() {
        window = new frm_setuputente(m());
        guard = window;
        return *window;
    }
    ~GeneralSettingsFixture() override { delete guard.data(); }

    template <typename W>
    W* control(const QString& name) {
        W* found = window->findChild<W*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QWidget* slotControl(int slot, int column) {
        return control<QWidget>(
            QStringLiteral("%1(%2)").arg(QLatin1String(kSlotKeys[column].control)).arg(slot));
    }
    QLineEdit* field(const QString& name) { return control<QLineEdit>(name); }
    QComboBox* interval() { return control<QComboBox>(QStringLiteral("cbotimer")); }
    QPushButton* button(const char* name) { return control<QPushButton>(QLatin1String(name)); }
    bool isOpen() const { return guard && guard->isVisible(); }

    frm_setuputente* window = nullptr;
    QPointer<frm_setuputente> guard;
};

}  // namespace

TEST_F(GeneralSettingsFixture, LoadingFillsEveryFieldIncludingTheHiddenSlotsAndSetsTheCaption) {
    writeFullConfiguration();
    open();
    for (int slot = 0; slot < kSlots; ++slot) {
        for (int column = 0; column < kSlotKeyCount; ++column) {
            QWidget* shown = slotControl(slot, column);
            if (kSlotKeys[column].isCheckBox)
                EXPECT_EQ(storedCheckValue(static_cast<QCheckBox*>(shown)->checkState()),
                          storedValue(slot, column))
                    << slot << ' ' << column;
            else
                EXPECT_EQ(static_cast<QLineEdit*>(shown)->text(), storedValue(slot, column))
                    << slot << ' ' << column;
            EXPECT_FALSE(shown->isVisibleTo(window)) << "slot fields stay out of sight";
        }
    }
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("txt_dir_in(6)")), nullptr);
    for (int n = 0; n < kExtensionCount; ++n)
        EXPECT_EQ(field(QStringLiteral("txt_ext(%1)").arg(n))->text(), QStringLiteral("E%1").arg(n));
    EXPECT_EQ(interval()->currentText(), "10 minuti");
    EXPECT_EQ(field(QStringLiteral("txt_dir_log_generale"))->text(), "/traccia");
    EXPECT_EQ(field(QStringLiteral("txt_dir_pwd"))->text(), "/pwd");
    EXPECT_EQ(window->windowTitle(), "PARAMETRI " + m().settings.config_dir + "Dokivo.ini");
}

TEST_F(GeneralSettingsFixture, ACheckValueReadsAsClearTickedOrGreyed) {
    writeIni(
        "[TUTTI]\r\ngestione_pwd_0=1\r\ngestione_dir_0=2\r\ngestione_dir_out_0=\r\n"
        "gestione_pwd_1=0\r\ngestione_dir_1=x\r\n");
    open();
    auto state = [&](const char* name) { return control<QCheckBox>(QLatin1String(name))->checkState(); };
    EXPECT_EQ(state("chk_pwd(0)"), Qt::Checked);
    EXPECT_EQ(state("chk_getdir(0)"), Qt::PartiallyChecked);
    EXPECT_EQ(state("chk_getdir_out(0)"), Qt::Unchecked);
    EXPECT_EQ(state("chk_pwd(1)"), Qt::Unchecked);
    EXPECT_EQ(state("chk_getdir(1)"), Qt::Unchecked);
    EXPECT_EQ(state("chk_getdir_out(2)"), Qt::Unchecked);  // absent
}

TEST_F(GeneralSettingsFixture, SavingWritesEveryEditedKeyReloadsTheSettingsAndCloses) {
    writeFullConfiguration();
    const QByteArray slotSix = iniBytes().mid(iniBytes().indexOf("dir_in_6="), 60);
    open();
    for (int slot = 0; slot < kSlots; ++slot) {
        for (int column = 0; column < kSlotKeyCount; ++column) {
            QWidget* shown = slotControl(slot, column);
            if (auto* box = qobject_cast<QCheckBox*>(shown))
                box->setCheckState(box->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            else
                static_cast<QLineEdit*>(shown)->setText(
                    QStringLiteral(" nuovo %1 %2 ").arg(slot).arg(column));
        }
    }
    for (int n = 0; n < kExtensionCount; ++n)
        field(QStringLiteral("txt_ext(%1)").arg(n))->setText(QStringLiteral("X%1").arg(n));
    const QString trackFolder = tree.folder(QStringLiteral("nuova traccia"));
    field(QStringLiteral("txt_dir_log_generale"))->setText(trackFolder);
    field(QStringLiteral("txt_dir_pwd"))->setText(QStringLiteral("/altra pwd"));
    interval()->setEditText(QStringLiteral("30 minuti"));
    window->show();
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);

    for (int slot = 0; slot < kSlots; ++slot) {
        for (int column = 0; column < kSlotKeyCount; ++column) {
            const QString key = slotKey(kSlotKeys[column].stem, slot);
            if (kSlotKeys[column].isCheckBox)
                EXPECT_EQ(stored(key), storedValue(slot, column) == "1" ? "0" : "1") << key;
            else
                EXPECT_TRUE(iniBytes().contains(
                    (key + QStringLiteral("= nuovo %1 %2 \r\n").arg(slot).arg(column)).toUtf8()))
                    << key << " is written exactly as typed";
        }
    }
    for (int n = 0; n < kExtensionCount; ++n)
        EXPECT_EQ(stored(slotKey("estensione_", n)), QStringLiteral("X%1").arg(n));
    EXPECT_EQ(stored("dir_log_generale"), trackFolder);
    EXPECT_EQ(stored("dir_pwd"), "/altra pwd");
    EXPECT_EQ(stored("timer_delta"), "30 minuti");
    EXPECT_TRUE(iniBytes().contains(slotSix)) << "slot 6 is not the window's";

    // The settings model was reloaded at once.
    EXPECT_EQ(m().settings.timer_delta, "30 minuti");
    EXPECT_EQ(m().settings.dir_log_generale, trackFolder);
    EXPECT_EQ(m().settings.slots[2].dir_out, "nuovo 2 1");  // the file reads without the blanks around
    EXPECT_TRUE(m().settings.extension_list.startsWith("||X0||X1||"));
    EXPECT_FALSE(isOpen());
}

TEST_F(GeneralSettingsFixture, OnlyTheEditedValueIsWrittenAndTheRestOfTheFileStaysAsItWas) {
    const QByteArray original =
        "; configurazione di prova\r\n[TUTTI]\r\nestensione_0=PDF\r\nestensione_1=TIF\r\n"
        "; un valore fuori elenco\r\ntimer_delta=7 minuti\r\ngestione_pwd_0=2\r\ndir_in_0=  /con spazi  \r\n"
        "[ALTRO]\r\nchiave=valore\r\n";
    tree.write(QStringLiteral("conf/Dokivo.ini"), original);
    open();
    ASSERT_TRUE(activate(*window));
    EXPECT_EQ(interval()->currentText(), "7 minuti");
    QLineEdit* ext = field(QStringLiteral("txt_ext(1)"));
    focusByMouse(ext);
    ext->setText(QStringLiteral("JPG"));
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);

    QByteArray expected = original;
    expected.replace("estensione_1=TIF", "estensione_1=JPG");
    EXPECT_EQ(iniBytes(), expected);
    EXPECT_FALSE(isOpen());
}

TEST_F(GeneralSettingsFixture, LeavingWithoutSavingWritesNothing) {
    writeFullConfiguration();
    const QByteArray original = iniBytes();
    open();
    field(QStringLiteral("txt_dir_pwd"))->setText(QStringLiteral("/cambiata"));
    window->show();
    QTest::mouseClick(button("CmdExit"), Qt::LeftButton);
    EXPECT_EQ(iniBytes(), original);
    EXPECT_FALSE(isOpen());
}

TEST_F(GeneralSettingsFixture, AnIntervalOutsideTheListKeepsTheFocusInTheCombo) {
    writeFullConfiguration();
    const QByteArray original = iniBytes();
    open();
    ASSERT_TRUE(activate(*window));
    QComboBox* combo = interval();
    focusByMouse(combo);
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("7 minuti"));
    ASSERT_EQ(combo->currentText(), "7 minuti");
    auto focusIsInCombo = [&] {
        return combo->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == combo;
    };

    // Neither button acts, and neither Tab nor a click on a field takes the focus away.
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    settle();
    EXPECT_TRUE(isOpen());
    EXPECT_EQ(iniBytes(), original);
    EXPECT_TRUE(focusIsInCombo());
    QTest::mouseClick(button("CmdExit"), Qt::LeftButton);
    settle();
    EXPECT_TRUE(isOpen());
    QTest::keyClick(combo->lineEdit(), Qt::Key_Tab);
    settle();
    EXPECT_TRUE(focusIsInCombo());
    QTest::mouseClick(field(QStringLiteral("txt_dir_pwd")), Qt::LeftButton);
    settle();
    EXPECT_TRUE(focusIsInCombo());

    // Letter case counts.
    combo->setEditText(QStringLiteral("15 Minuti"));
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    settle();
    EXPECT_TRUE(isOpen());

    combo->setEditText(QStringLiteral("15 minuti"));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Tab);
    EXPECT_FALSE(focusIsInCombo());
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(stored("timer_delta"), "15 minuti");
}
