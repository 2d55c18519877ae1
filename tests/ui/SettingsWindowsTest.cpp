// The two settings windows on a real INI file: what they show, and that a save writes exactly
// the values edited there, as typed, and leaves every other byte of the file alone.
#include <QListWidget>

#include "UiTestSupport.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

// A visit to one window (the slots' one when the name says so) and the lines it changes in the
// file ("key=text; ..."), every other byte staying as it was. The visit is a script: steps apart
// by "; ", each a verb, its target and after a "=" its text (see perform()).
struct Flow {
    const char *name, *script, *changes = "";
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
    // Opens the general window (the slots' one when `slots`) on `ini` and runs `script` in it.
    void visit(bool slots, const QByteArray& ini, const QString& script) {
        tree.write(QStringLiteral("conf/Dokivo.ini"), ini);
        window = slots ? static_cast<QWidget*>(new SlotSettingsWindow(m())) : new GeneralSettingsWindow(m());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        for (const QString& step : script.split(QStringLiteral("; "), Qt::SkipEmptyParts))
            if (!HasFatalFailure())
                perform(step.section(' ', 0, 0), step.section('=', 0, 0).section(' ', 1),
                        step.section('=', 1));
    }
    void perform(const QString& verb, const QString& name, const QString& text) {
        ASSERT_TRUE(window && window->isVisible()) << "closed before " << verb << ' ' << name;
        // "choose" and "line" name a slot of the list.
        const bool slot = verb == "choose" || verb == "line";
        QWidget* target = child<QWidget>(window, slot ? QStringLiteral("slotList") : name);
        auto* list = qobject_cast<QListWidget*>(target);
        auto* combo = qobject_cast<QComboBox*>(target);
        auto* box = qobject_cast<QCheckBox*>(target);
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
        } else if (verb == "tab") {
            QTest::keyClick(input, Qt::Key_Tab);
        } else if (verb == "shows" || verb == "line") {  // a check box as the value it stores
            EXPECT_EQ(list  ? list->item(name.toInt())->text()
                      : box ? storedCheckValue(box->checkState())
                            : static_cast<QLineEdit*>(input)->text(),
                      text)
                << name;
        } else if (verb == "holds") {  // the focus stays in the target
            EXPECT_TRUE(target->isAncestorOf(QApplication::focusWidget())) << name;
        } else {
            FAIL() << "no such step: " << verb;
        }
        settle();
    }

    QPointer<QWidget> window;
};

TEST_P(SettingsWindows, WritesExactlyWhatWasEditedAndCloses) {
    visit(QString(GetParam().name).startsWith("Slots"), kOriginal, GetParam().script);
    QByteArray expected = kOriginal;
    for (const QString& change :
         QString::fromUtf8(GetParam().changes).split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        const qsizetype at = expected.indexOf("\n" + change.section('=', 0, 0).toUtf8() + '=') + 1;
        expected.replace(at, expected.indexOf('\r', at) - at, change.toUtf8());
    }
    EXPECT_EQ(tree.read("conf/Dokivo.ini"), expected);
    EXPECT_FALSE(window && window->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Flows, SettingsWindows,
    ::testing::Values(
        Flow{"GeneralLeavesWithoutSaving", "type txt_dir_pwd=/cambiata; click exitButton"},
        // Off the list neither button acts, neither Tab nor a click takes the focus away; case counts.
        Flow{"GeneralIntervalOffTheListHoldsTheFocus",
             "shows cbotimer=7 minuti; type txt_ext(1)=JPG; type cbotimer=7 minuti; "
             "click saveButton; holds cbotimer; click exitButton; holds cbotimer; click txt_dir_pwd; "
             "holds cbotimer; tab cbotimer; holds cbotimer; type cbotimer=15 Minuti; click saveButton; "
             "holds cbotimer; type cbotimer=15 minuti; tab cbotimer; click saveButton",
             "estensione_1=JPG; timer_delta=15 minuti"},
        // Typing before any slot is chosen goes nowhere; an edit belongs to the slot chosen while it
        // was made; leaving "Dir in" renames the slot's line; a stored "2" shows clear and stays
        // unless the box is entered (by Tab) and left (clear) or clicked.
        Flow{"SlotsEditsGoToTheSlotChosenWhileTheyWereMade",
             "line 1=01) /scan/uno; line 7=07) C:\\scan\\in; line 15=15) ; shows txt_dir_in=; "
             "type txt_dir_out=/da nessuna parte; click txt_dir_log; "
             "choose 1; type txt_dir_out=  /nuovo out  ; choose 2; shows txt_dir_out=/arch/due; "
             "shows chk_getdir=1; click chk_getdir; "
             "choose 7; type txt_dir_in=D:\\altro; line 7=07) C:\\scan\\in; click txt_dir_out; "
             "line 7=07) D:\\altro; line 1=01) /scan/uno; "
             "choose 0; shows txt_dir_in=/con spazi; shows chk_pwd=0; type txt_dir_in=/scan/0; "
             "choose 4; shows txt_dir_out=; shows chk_getdir=0; shows chk_pwd=0; click txt_dir_nazionale; "
             "tab txt_dir_nazionale; click txt_dir_out; click saveButton",
             "dir_in_0=/scan/0; dir_out_1=  /nuovo out  ; gestione_dir_2=0; gestione_pwd_4=0; "
             "dir_in_7=D:\\altro"},
        Flow{"SlotsLeaveWithoutSaving", "choose 1; type txt_dir_out=/scartato; click exitButton"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsWindows, GeneralWindowShowsEveryKeyAndSavesEveryEditAsTyped) {
    // Every key the window knows, with a value stored for it and the edit made to it. Texts name
    // their key; check boxes (no edit: they are clicked) go round every stored form. Slot 6 lies
    // beyond the window's reach.
    QString ini = QStringLiteral("[TUTTI]\r\ndir_in_6=/sei\r\n"), script, saved = ini;
    const auto field = [&](const QString& key, const QString& control, const QString& stored,
                           const QString& edit) {
        ini += key + '=' + stored + "\r\n";
        const bool box = edit.isEmpty();
        const QString shown = box && stored != "1" && stored != "2" ? "0" : stored;
        script += "shows " + control + '=' + shown +
                  (box ? "; click " + control : "; type " + control + '=' + edit) + "; ";
        saved += key + '=' + (box ? stored == "1" ? "0" : "1" : edit) + "\r\n";
    };
    const QString forms[] = {"0", "1", "2", "x", ""};
    for (int slot = 0; slot < GeneralSettingsWindow::kSlotsShown; ++slot)
        for (int column = 0; column < kSlotKeyCount; ++column) {
            const auto& k = kSlotKeys[column];
            const QString key = slotKey(k.stem, slot), form = forms[(slot + column) % 5];
            field(key, QStringLiteral("%1(%2)").arg(k.control).arg(slot), k.isCheckBox ? form : "v_" + key,
                  k.isCheckBox ? QString() : " nuovo " + key + " ");
        }
    for (int n = 0; n < kExtensionCount; ++n)
        field(slotKey("estensione_", n), QStringLiteral("txt_ext(%1)").arg(n), QStringLiteral("E%1").arg(n),
              QStringLiteral("X%1").arg(n));
    field("dir_log_generale", "txt_dir_log_generale", "/traccia", tree.folder("nuova traccia"));
    field("dir_pwd", "txt_dir_pwd", "/pwd", "/altra pwd");
    field("timer_delta", "cbotimer", "10 minuti", "30 minuti");
    // A yes/no box: "Y" shows ticked, and a click stores "n".
    ini += "archiviazione_immediata=Y\r\n", saved += "archiviazione_immediata=n\r\n";
    script += "shows chk_archiviazione_immediata=1; click chk_archiviazione_immediata; ";
    visit(false, ini.toUtf8(), script + "click saveButton");
    EXPECT_EQ(tree.read("conf/Dokivo.ini"), saved);
    // The settings are read again at once, without the blanks around a value.
    EXPECT_EQ(m().settings.slots[2].dir_out, "nuovo dir_out_2");
}

}  // namespace
