// The two settings windows on a real INI file: what they show, and that a save writes exactly
// the values edited there, as typed, and leaves every other byte of the file alone.
#include <QListWidget>

#include "UiTestSupport.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

// What a control shows; a check box as the value it stores.
QString shownIn(QWidget* control) {
    if (auto* box = qobject_cast<QCheckBox*>(control))
        return storedCheckValue(box->checkState());
    auto* combo = qobject_cast<QComboBox*>(control);
    return combo ? combo->currentText() : static_cast<QLineEdit*>(control)->text();
}

void edit(QWidget* control, const QString& value) {
    if (auto* box = qobject_cast<QCheckBox*>(control))
        box->setCheckState(checkStateFromStored(value));
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setEditText(value);
    else
        static_cast<QLineEdit*>(control)->setText(value);
}

// A visit to one window (the slots' one when the name says so) and the lines it changes in the
// file ("key=text; ..."), every other byte staying as it was. The visit is a script: steps apart
// by "; ", each a verb, its target and after a "=" its text (see perform()).
struct Flow {
    const char *name, *script, *changes = "";
    friend void PrintTo(const Flow& flow, std::ostream* out) {
        *out << flow.name;
    }  // names the row in listings
};

const QByteArray kOriginal =
    "; configurazione di prova\r\n[TUTTI]\r\nestensione_0=PDF\r\nestensione_1=TIF\r\n"
    "; un valore fuori elenco\r\ntimer_delta=7 minuti\r\ngestione_pwd_0=2\r\ndir_in_0=  /con spazi  \r\n"
    "dir_in_1=/scan/uno\r\ndir_out_1=/arch/uno\r\n"
    "dir_in_2=/scan/due\r\ndir_out_2=/arch/due\r\ngestione_dir_2=1\r\n"
    "dir_in_4=/scan/quattro\r\ngestione_pwd_4=2\r\n"
    "; la postazione dell'ufficio\r\ndir_in_7=C:\\scan\\in\r\n"
    "[ALTRO]\r\nchiave=valore\r\n";

struct SettingsWindows : ModuleFixture, ::testing::TestWithParam<Flow> {
    ~SettingsWindows() override { delete window.data(); }
    template <typename W>
    W& open() {
        auto* opened = new W(m());
        window = opened;
        opened->show();
        opened->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(opened));
        return *opened;
    }
    bool isOpen() const { return window && window->isVisible(); }
    QByteArray iniBytes() const { return tree.read(QStringLiteral("conf/Dokivo.ini")); }
    void perform(const QString& verb, const QString& name, const QString& text) {
        ASSERT_TRUE(isOpen()) << "closed before " << verb << ' ' << name;
        // "choose" and "line" name a slot of the list.
        const bool slot = verb == "choose" || verb == "line";
        QWidget* target = child<QWidget>(window, slot ? QStringLiteral("listdir") : name);
        auto* list = qobject_cast<QListWidget*>(target);
        auto* combo = qobject_cast<QComboBox*>(target);
        QWidget* input = combo ? combo->lineEdit() : target;
        if (verb == "type") {  // enters the field as a click does, replaces its text by typing
            input->setFocus(Qt::MouseFocusReason);
            static_cast<QLineEdit*>(input)->selectAll();
            QTest::keyClicks(input, text);
        } else if (verb == "click") {
            QTest::mouseClick(target, Qt::LeftButton);
        } else if (verb == "choose") {  // a click on the slot's line, which takes the focus first
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(name.toInt())).center());
        } else if (verb == "enter" || verb == "leave") {  // by keyboard; for the target, as a click does
            target->setFocus(verb == "enter" ? Qt::TabFocusReason : Qt::MouseFocusReason);
        } else if (verb == "tab") {
            QTest::keyClick(input, Qt::Key_Tab);
        } else if (verb == "shows" || verb == "line") {
            EXPECT_EQ(slot ? list->item(name.toInt())->text() : shownIn(target), text) << name;
        } else if (verb == "holds") {  // the focus stays in the target
            EXPECT_TRUE(target == QApplication::focusWidget() ||
                        target->isAncestorOf(QApplication::focusWidget()))
                << name;
        } else {
            FAIL() << "no such step: " << verb;
        }
        settle();
    }

    QPointer<QWidget> window;
};

TEST_P(SettingsWindows, WritesExactlyWhatWasEditedAndCloses) {
    tree.write(QStringLiteral("conf/Dokivo.ini"), kOriginal);
    QString(GetParam().name).startsWith("Slots") ? (void)open<frm_setuputente2>()
                                                 : (void)open<frm_setuputente>();
    for (const QString& step : QString::fromUtf8(GetParam().script).split(QStringLiteral("; "))) {
        const QString verb = step.section(' ', 0, 0), rest = step.section(' ', 1);
        perform(verb, rest.section('=', 0, 0),
                rest.contains('=') ? rest.mid(rest.indexOf('=') + 1) : QString());
        if (HasFatalFailure())
            return;
    }
    QByteArray expected = kOriginal;
    for (const QString& change :
         QString::fromUtf8(GetParam().changes).split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        const qsizetype at = expected.indexOf("\n" + change.section('=', 0, 0).toUtf8() + '=') + 1;
        expected.replace(at, expected.indexOf('\r', at) - at, change.toUtf8());
    }
    EXPECT_EQ(iniBytes(), expected);
    EXPECT_FALSE(isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Flows, SettingsWindows,
    ::testing::Values(
        Flow{"GeneralLeavesWithoutSaving", "type txt_dir_pwd=/cambiata; click CmdExit"},
        // Off the list neither button acts, neither Tab nor a click takes the focus away; case counts.
        Flow{"GeneralIntervalOffTheListHoldsTheFocus",
             "shows cbotimer=7 minuti; type txt_ext(1)=JPG; type cbotimer=7 minuti; "
             "click cmdSave; holds cbotimer; click CmdExit; holds cbotimer; click txt_dir_pwd; "
             "holds cbotimer; tab cbotimer; holds cbotimer; type cbotimer=15 Minuti; click cmdSave; "
             "holds cbotimer; type cbotimer=15 minuti; tab cbotimer; click cmdSave",
             "estensione_1=JPG; timer_delta=15 minuti"},
        Flow{"SlotsTypingBeforeAnyChoiceGoesNowhere",
             "line 1=01) /scan/uno; line 7=07) C:\\scan\\in; line 15=15) ; shows txt_dir_in=; "
             "type txt_dir_out=/da nessuna parte; leave txt_dir_log; click cmdSave"},
        Flow{"SlotsEditBelongsToTheSlotChosenWhileItWasMade",
             "choose 1; type txt_dir_out=  /nuovo out  ; choose 2; shows txt_dir_out=/arch/due; "
             "shows chk_getdir=1; click cmdSave",
             "dir_out_1=  /nuovo out  "},
        Flow{"SlotsLeavingDirInRenamesItsLine",
             "choose 7; type txt_dir_in=D:\\altro; line 7=07) C:\\scan\\in; leave txt_dir_out; "
             "line 7=07) D:\\altro; line 1=01) /scan/uno; click cmdSave",
             "dir_in_7=D:\\altro"},
        Flow{"SlotsStoredTwoShowsClearAndStaysUntouched",
             "choose 4; shows txt_dir_out=; shows chk_getdir=0; shows chk_pwd=0; "
             "type txt_dir_in=/scan/4; click cmdSave",
             "dir_in_4=/scan/4"},
        Flow{"SlotsBoxEnteredAndLeftStoresClear", "choose 4; enter chk_pwd; leave txt_dir_out; click cmdSave",
             "gestione_pwd_4=0"},
        Flow{"SlotsBoxClickedStoresTicked", "choose 4; click chk_pwd; choose 1; click cmdSave",
             "gestione_pwd_4=1"},
        Flow{"SlotsLeaveWithoutSaving", "choose 1; type txt_dir_out=/scartato; click CmdExit"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsWindows, GeneralWindowShowsEveryKeyAndSavesEveryEditAsTyped) {
    // Every key the window knows, with a value stored for it and the edit made to it. Texts name
    // their key; check boxes go round every stored form (null: the key is absent) and are toggled;
    // slot 6 lies beyond the window's reach.
    struct Field {
        QString key, control, stored, edit;
        bool beyondReach = false;
    };
    std::vector<Field> fields;
    const QString forms[] = {"0", "1", "2", "x", "", QString()};
    for (int slot = 0; slot <= frm_setuputente::kSlotsShown; ++slot) {
        for (int column = 0; column < kSlotKeyCount; ++column) {
            const auto& k = kSlotKeys[column];
            const QString key = slotKey(k.stem, slot), form = forms[(slot + column) % 6];
            fields.push_back({key, QStringLiteral("%1(%2)").arg(k.control).arg(slot),
                              k.isCheckBox ? form : "v_" + key,
                              k.isCheckBox ? (form == "1" ? "0" : "1") : " nuovo " + key + " ", slot == 6});
        }
    }
    for (int n = 0; n < kExtensionCount; ++n)
        fields.push_back({slotKey("estensione_", n), QStringLiteral("txt_ext(%1)").arg(n),
                          QStringLiteral("E%1").arg(n), QStringLiteral("X%1").arg(n)});
    fields.push_back({"dir_log_generale", "txt_dir_log_generale", "/traccia", tree.folder("nuova traccia")});
    fields.push_back({"dir_pwd", "txt_dir_pwd", "/pwd", "/altra pwd"});
    fields.push_back({"timer_delta", "cbotimer", "10 minuti", "30 minuti"});
    QString ini = QStringLiteral("[TUTTI]\r\n");
    for (const Field& f : fields)
        ini += f.stored.isNull() ? QString() : f.key + '=' + f.stored + "\r\n";
    writeIni(ini);

    auto& w = open<frm_setuputente>();
    for (const Field& f : fields) {
        QWidget* shown = w.findChild<QWidget*>(f.control);
        EXPECT_EQ(shown == nullptr, f.beyondReach) << f.control;
        if (!shown)
            continue;
        auto* box = qobject_cast<QCheckBox*>(shown);
        EXPECT_EQ(shownIn(shown), box && f.stored != "1" && f.stored != "2" ? "0" : f.stored) << f.key;
        edit(shown, f.edit);
    }
    QTest::mouseClick(child<QWidget>(&w, "cmdSave"), Qt::LeftButton);
    for (const Field& f : fields)
        EXPECT_TRUE(
            f.stored.isNull() ||
            iniBytes().contains((f.key + '=' + (f.beyondReach ? f.stored : f.edit) + "\r\n").toUtf8()))
            << f.key << " is written as typed";
    // The settings are read again at once, without the blanks around a value.
    EXPECT_EQ(m().settings.slots[2].dir_out, "nuovo dir_out_2");
    EXPECT_FALSE(isOpen());
}

}  // namespace
