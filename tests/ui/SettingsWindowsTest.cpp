// The two settings windows on a real INI file: what they show, and that a save writes exactly
// the values edited there, as typed, and leaves every other byte of the file alone.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "UiTestSupport.h"
#include "ui/GeneralSettingsWindow.h"
#include "ui/SlotSettingsWindow.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

struct SettingsWindowFixture : UiFixture {
    ~SettingsWindowFixture() override { delete window.data(); }

    template <typename W>
    W& open() {
        auto* opened = new W(m());
        window = opened;
        EXPECT_TRUE(activate(*opened));
        return *opened;
    }
    template <typename W = QWidget>
    W* control(const QString& name) {
        W* found = window->findChild<W*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const QString& field) { return control<QLineEdit>(field)->text(); }
    bool isOpen() const { return window && window->isVisible(); }

    QPointer<QWidget> window;
};

// One thing the operator does, or one thing the window must show then (see perform()).
struct Step {
    const char* verb;
    QString target, text = {};
};

// A visit to one window, and the changes the file must show afterwards.
struct Flow {
    const char* name;
    bool slotsWindow;
    std::vector<Step> steps;
    std::vector<std::pair<QByteArray, QByteArray>> changes;  // each replaces one line's text
    friend void PrintTo(const Flow& flow, std::ostream* out) { *out << flow.name; }
};

const QByteArray kOriginal =
    "; configurazione di prova\r\n[TUTTI]\r\nestensione_0=PDF\r\nestensione_1=TIF\r\n"
    "; un valore fuori elenco\r\ntimer_delta=7 minuti\r\ngestione_pwd_0=2\r\ndir_in_0=  /con spazi  \r\n"
    "dir_in_1=/scan/uno\r\ndir_out_1=/arch/uno\r\n"
    "dir_in_2=/scan/due\r\ndir_out_2=/arch/due\r\ngestione_dir_2=1\r\n"
    "dir_in_4=/scan/quattro\r\ngestione_pwd_4=2\r\n"
    "; la postazione dell'ufficio\r\ndir_in_7=C:\\scan\\in\r\n"
    "[ALTRO]\r\nchiave=valore\r\n";

struct SettingsFlow : SettingsWindowFixture, ::testing::WithParamInterface<Flow> {
    void perform(const Step& step) {
        const QString verb = QLatin1String(step.verb);
        // "choose" and "line" name a slot of the list.
        QWidget* target = verb == "choose" || verb == "line" ? control("listdir") : control(step.target);
        auto* list = qobject_cast<QListWidget*>(target);
        auto* combo = qobject_cast<QComboBox*>(target);
        QWidget* input = combo ? combo->lineEdit() : target;
        if (verb == "type") {  // enters the field as a click does, replaces its text by typing
            focusByMouse(input);
            static_cast<QLineEdit*>(input)->selectAll();
            QTest::keyClicks(input, step.text);
        } else if (verb == "click") {
            QTest::mouseClick(target, Qt::LeftButton);
        } else if (verb == "choose") {  // a click on the slot's line, which takes the focus first
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(step.target.toInt())).center());
        } else if (verb == "enter") {  // by keyboard
            target->setFocus(Qt::TabFocusReason);
        } else if (verb == "leave") {  // for the target, as a click on it does
            focusByMouse(target);
        } else if (verb == "tab") {
            QTest::keyClick(input, Qt::Key_Tab);
        } else if (verb == "shows") {
            EXPECT_EQ(combo ? combo->currentText() : static_cast<QLineEdit*>(target)->text(), step.text);
        } else if (verb == "line") {
            EXPECT_EQ(list->item(step.target.toInt())->text(), step.text);
        } else if (verb == "ticked") {
            EXPECT_EQ(static_cast<QCheckBox*>(target)->isChecked(), step.text == "1") << step.target;
        } else if (verb == "holds") {  // the focus stays in the target, the window open
            EXPECT_TRUE(target->isAncestorOf(QApplication::focusWidget()) ||
                        QApplication::focusWidget() == target)
                << step.target;
        } else {
            FAIL() << "no such step: " << step.verb;
        }
        settle();
    }
};

TEST_P(SettingsFlow, WritesExactlyWhatWasEditedAndCloses) {
    tree.write(QStringLiteral("conf/Dokivo.ini"), kOriginal);
    if (GetParam().slotsWindow)
        open<frm_setuputente2>();
    else
        open<frm_setuputente>();
    for (const Step& step : GetParam().steps) {
        ASSERT_TRUE(isOpen()) << "closed before " << step.verb << ' ' << step.target;
        perform(step);
    }
    QByteArray expected = kOriginal;
    for (const auto& [from, to] : GetParam().changes)
        expected.replace(from, to);
    EXPECT_EQ(iniBytes(), expected);
    EXPECT_FALSE(isOpen());
}

const bool kGeneral = false, kSlots = true;

INSTANTIATE_TEST_SUITE_P(
    Windows, SettingsFlow,
    ::testing::Values(
        Flow{"GeneralSavesOneEdit",
             kGeneral,
             {{"shows", "cbotimer", "7 minuti"}, {"type", "txt_ext(1)", "JPG"}, {"click", "cmdSave"}},
             {{"estensione_1=TIF", "estensione_1=JPG"}}},
        Flow{"GeneralLeavesWithoutSaving",
             kGeneral,
             {{"type", "txt_dir_pwd", "/cambiata"}, {"click", "CmdExit"}},
             {}},
        // Off the list neither button acts and neither Tab nor a click takes the focus away;
        // letter case counts.
        Flow{"GeneralIntervalOffTheListHoldsTheFocus",
             kGeneral,
             {{"type", "cbotimer", "7 minuti"},
              {"click", "cmdSave"},
              {"holds", "cbotimer"},
              {"click", "CmdExit"},
              {"holds", "cbotimer"},
              {"click", "txt_dir_pwd"},
              {"holds", "cbotimer"},
              {"tab", "cbotimer"},
              {"holds", "cbotimer"},
              {"type", "cbotimer", "15 Minuti"},
              {"click", "cmdSave"},
              {"type", "cbotimer", "15 minuti"},
              {"tab", "cbotimer"},
              {"click", "cmdSave"}},
             {{"timer_delta=7 minuti", "timer_delta=15 minuti"}}},
        Flow{"SlotsTypingBeforeAnyChoiceGoesNowhere",
             kSlots,
             {{"line", "1", "01) /scan/uno"},
              {"line", "7", "07) C:\\scan\\in"},
              {"line", "15", "15) "},
              {"shows", "txt_dir_in", ""},
              {"type", "txt_dir_out", "/da nessuna parte"},
              {"leave", "txt_dir_log"},
              {"click", "cmdSave"}},
             {}},
        Flow{"SlotsEditBelongsToTheSlotChosenWhileItWasMade",
             kSlots,
             {{"choose", "1"},
              {"type", "txt_dir_out", "  /nuovo out  "},
              {"choose", "2"},
              {"shows", "txt_dir_out", "/arch/due"},
              {"ticked", "chk_getdir", "1"},
              {"click", "cmdSave"}},
             {{"dir_out_1=/arch/uno", "dir_out_1=  /nuovo out  "}}},
        Flow{"SlotsLeavingDirInRenamesItsLine",
             kSlots,
             {{"choose", "7"},
              {"type", "txt_dir_in", "D:\\altro"},
              {"line", "7", "07) C:\\scan\\in"},
              {"leave", "txt_dir_out"},
              {"line", "7", "07) D:\\altro"},
              {"line", "1", "01) /scan/uno"},
              {"click", "cmdSave"}},
             {{"dir_in_7=C:\\scan\\in", "dir_in_7=D:\\altro"}}},
        Flow{"SlotsStoredTwoShowsClearAndStaysUntouched",
             kSlots,
             {{"choose", "4"},
              {"shows", "txt_dir_out", ""},
              {"ticked", "chk_getdir", "0"},
              {"ticked", "chk_pwd", "0"},
              {"type", "txt_dir_in", "/scan/4"},
              {"click", "cmdSave"}},
             {{"dir_in_4=/scan/quattro", "dir_in_4=/scan/4"}}},
        Flow{"SlotsBoxEnteredAndLeftStoresClear",
             kSlots,
             {{"choose", "4"}, {"enter", "chk_pwd"}, {"leave", "txt_dir_out"}, {"click", "cmdSave"}},
             {{"gestione_pwd_4=2", "gestione_pwd_4=0"}}},
        Flow{"SlotsBoxClickedStoresTicked",
             kSlots,
             {{"choose", "4"}, {"click", "chk_pwd"}, {"choose", "1"}, {"click", "cmdSave"}},
             {{"gestione_pwd_4=2", "gestione_pwd_4=1"}}},
        Flow{"SlotsLeaveWithoutSaving",
             kSlots,
             {{"choose", "1"}, {"type", "txt_dir_out", "/scartato"}, {"click", "CmdExit"}},
             {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A stored value per slot setting of the general window: texts name their key, check boxes go
// round every stored form (null: the key is absent).
QString storedValue(int slot, int column) {
    const QString forms[] = {"0", "1", "2", "x", "", QString()};
    return kSlotKeys[column].isCheckBox ? forms[(slot + column) % 6]
                                        : "v_" + slotKey(kSlotKeys[column].stem, slot);
}

TEST_F(SettingsWindowFixture, GeneralWindowShowsEveryKeyAndSavesEveryEditAsTyped) {
    constexpr int kSlots = frm_setuputente::kSlotsShown;
    QString ini = QStringLiteral("[TUTTI]\r\n");
    for (int slot = 0; slot <= kSlots; ++slot)  // slot 6 lies beyond the window's reach
        for (int column = 0; column < kSlotKeyCount; ++column)
            if (!storedValue(slot, column).isNull())
                ini += slotKey(kSlotKeys[column].stem, slot) + '=' + storedValue(slot, column) + "\r\n";
    for (int n = 0; n < kExtensionCount; ++n)
        ini += QStringLiteral("estensione_%1=E%1\r\n").arg(n);
    writeIni(ini + "dir_log_generale=/traccia\r\ndir_pwd=/pwd\r\ntimer_delta=10 minuti\r\n");
    const QByteArray slotSix = iniBytes().mid(iniBytes().indexOf("dir_in_6="));

    auto& w = open<frm_setuputente>();
    EXPECT_EQ(w.windowTitle(), "PARAMETRI " + m().settings.config_dir + "Dokivo.ini");
    EXPECT_EQ(w.findChild<QWidget*>("txt_dir_in(6)"), nullptr);
    for (int slot = 0; slot < kSlots; ++slot) {
        for (int column = 0; column < kSlotKeyCount; ++column) {
            const QString key = slotKey(kSlotKeys[column].stem, slot), value = storedValue(slot, column);
            QWidget* shown = control(QStringLiteral("%1(%2)").arg(kSlotKeys[column].control).arg(slot));
            EXPECT_FALSE(shown->isVisibleTo(&w)) << "slot fields stay out of sight";
            if (auto* box = qobject_cast<QCheckBox*>(shown)) {
                EXPECT_EQ(box->checkState(), value == "1"   ? Qt::Checked
                                             : value == "2" ? Qt::PartiallyChecked
                                                            : Qt::Unchecked)
                    << key;
                box->setCheckState(box->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            } else {
                EXPECT_EQ(static_cast<QLineEdit*>(shown)->text(), value);
                static_cast<QLineEdit*>(shown)->setText(" nuovo " + key + " ");
            }
        }
    }
    for (int n = 0; n < kExtensionCount; ++n) {
        EXPECT_EQ(text(QStringLiteral("txt_ext(%1)").arg(n)), QStringLiteral("E%1").arg(n));
        control<QLineEdit>(QStringLiteral("txt_ext(%1)").arg(n))->setText(QStringLiteral("X%1").arg(n));
    }
    EXPECT_EQ(control<QComboBox>("cbotimer")->currentText(), "10 minuti");
    EXPECT_EQ(text("txt_dir_log_generale"), "/traccia");
    EXPECT_EQ(text("txt_dir_pwd"), "/pwd");
    const QString trackFolder = tree.folder(QStringLiteral("nuova traccia"));
    control<QLineEdit>("txt_dir_log_generale")->setText(trackFolder);
    control<QLineEdit>("txt_dir_pwd")->setText("/altra pwd");
    control<QComboBox>("cbotimer")->setEditText("30 minuti");
    QTest::mouseClick(control("cmdSave"), Qt::LeftButton);

    for (int slot = 0; slot < kSlots; ++slot) {
        for (int column = 0; column < kSlotKeyCount; ++column) {
            const QString key = slotKey(kSlotKeys[column].stem, slot);
            if (kSlotKeys[column].isCheckBox)
                EXPECT_EQ(stored(key), storedValue(slot, column) == "1" ? "0" : "1") << key;
            else
                EXPECT_TRUE(iniBytes().contains((key + "= nuovo " + key + " \r\n").toUtf8())) << key;
        }
    }
    for (int n = 0; n < kExtensionCount; ++n)
        EXPECT_EQ(stored(slotKey("estensione_", n)), QStringLiteral("X%1").arg(n));
    EXPECT_EQ(stored("dir_log_generale"), trackFolder);
    EXPECT_EQ(stored("dir_pwd"), "/altra pwd");
    EXPECT_EQ(stored("timer_delta"), "30 minuti");
    EXPECT_TRUE(iniBytes().contains(slotSix.left(slotSix.indexOf("\r\n")))) << "slot 6 is not the window's";
    // The settings model was reloaded at once; the file reads without the blanks around a value.
    EXPECT_EQ(m().settings.timer_delta, "30 minuti");
    EXPECT_EQ(m().settings.dir_log_generale, trackFolder);
    EXPECT_EQ(m().settings.slots[2].dir_out, "nuovo dir_out_2");
    EXPECT_TRUE(m().settings.extension_list.startsWith("||X0||X1||"));
    EXPECT_FALSE(isOpen());
}

}  // namespace
