#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "UiTestSupport.h"
#include "ui/SlotSettingsWindow.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

constexpr int kDirOut = 1;
constexpr int kPwd = 6;

const QByteArray kOriginal =
    "; postazioni di scansione\r\n"
    "[TUTTI]\r\n"
    "dir_in_1=/scan/uno\r\ndir_out_1=/arch/uno\r\n"
    "dir_in_2=/scan/due\r\ndir_out_2=/arch/due\r\ngestione_dir_2=1\r\n"
    "dir_in_4=/scan/quattro\r\ngestione_pwd_4=2\r\n"
    "; la postazione dell'ufficio\r\n"
    "dir_in_7=C:\\scan\\in\r\n"
    "timer_delta=5 minuti\r\n";

struct SlotSettingsFixture : UiFixture {
    SlotSettingsFixture() { tree.write(QStringLiteral("conf/Dokivo.ini"), kOriginal); }
    ~SlotSettingsFixture() override { delete guard.data(); }

    frm_setuputente2& open() {
        window = new frm_setuputente2(m());
        guard = window;
        EXPECT_TRUE(activate(*window));
        return *window;
    }
    bool isOpen() const { return guard && guard->isVisible(); }

    template <typename W>
    W* control(const char* name) {
        W* found = window->findChild<W*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QListWidget* list() { return control<QListWidget>("listdir"); }
    QLineEdit* field(const char* name) { return control<QLineEdit>(name); }
    QCheckBox* box(const char* name) { return control<QCheckBox>(name); }

    // Chooses a slot as the operator does: a click on its line, which takes the focus first.
    void choose(int slot) {
        QListWidget* l = list();
        const QRect line = l->visualItemRect(l->item(slot));
        ASSERT_TRUE(line.isValid());
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, line.center());
        ASSERT_EQ(window->selectedSlot(), slot);
    }
    // Types into a field entered by a click, replacing its text.
    void type(QLineEdit* into, const QString& text) {
        QTest::mouseClick(into, Qt::LeftButton);
        into->selectAll();
        QTest::keyClicks(into, text);
    }
    void save() { QTest::mouseClick(control<QPushButton>("cmdSave"), Qt::LeftButton); }

    frm_setuputente2* window = nullptr;
    QPointer<frm_setuputente2> guard;
};

}  // namespace

TEST_F(SlotSettingsFixture, TheListShowsEverySlotByNumberAndInputFolderWithNoneChosen) {
    open();
    QListWidget* l = list();
    ASSERT_EQ(l->count(), 16);
    EXPECT_EQ(l->item(0)->text(), "00) ");
    EXPECT_EQ(l->item(1)->text(), "01) /scan/uno");
    EXPECT_EQ(l->item(7)->text(), "07) C:\\scan\\in");
    EXPECT_EQ(l->item(15)->text(), "15) ");
    EXPECT_EQ(window->selectedSlot(), -1);
    EXPECT_EQ(field("txt_dir_in")->text(), "");
    EXPECT_EQ(window->windowTitle(), "Parametri Utenti");
}

TEST_F(SlotSettingsFixture, ChoosingASlotShowsItsValuesAndTicksOnlyAStoredOne) {
    open();
    choose(2);
    EXPECT_EQ(field("txt_dir_in")->text(), "/scan/due");
    EXPECT_EQ(field("txt_dir_out")->text(), "/arch/due");
    EXPECT_TRUE(box("chk_getdir")->isChecked());
    choose(4);
    EXPECT_EQ(field("txt_dir_out")->text(), "");
    EXPECT_FALSE(box("chk_getdir")->isChecked());
    EXPECT_FALSE(box("chk_pwd")->isChecked()) << "a stored 2 shows a clear box";
}

TEST_F(SlotSettingsFixture, TypingBeforeAnySlotIsChosenChangesNothing) {
    open();
    type(field("txt_dir_out"), QStringLiteral("/da nessuna parte"));
    QTest::mouseClick(field("txt_dir_log"), Qt::LeftButton);
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_NE(window->tableValue(slot, kDirOut), "/da nessuna parte") << slot;
    save();
    EXPECT_EQ(iniBytes(), kOriginal);
    EXPECT_FALSE(isOpen());
}

TEST_F(SlotSettingsFixture, AnEditBelongsToTheSlotThatWasChosenWhileItWasMade) {
    open();
    choose(1);
    type(field("txt_dir_out"), QStringLiteral("  /nuovo out  "));
    choose(2);
    // The new slot's values are shown; the edit went into slot 1.
    EXPECT_EQ(field("txt_dir_out")->text(), "/arch/due");
    EXPECT_EQ(window->tableValue(1, kDirOut), "  /nuovo out  ");
    EXPECT_EQ(window->tableValue(2, kDirOut), "/arch/due");
    save();

    // Only that value is written, exactly as typed; comments and every other line stay.
    QByteArray expected = kOriginal;
    expected.replace("dir_out_1=/arch/uno", "dir_out_1=  /nuovo out  ");
    EXPECT_EQ(iniBytes(), expected);
    EXPECT_FALSE(isOpen());
}

TEST_F(SlotSettingsFixture, LeavingDirInUpdatesThatSlotsLineAtOnce) {
    open();
    choose(7);
    type(field("txt_dir_in"), QStringLiteral("D:\\altro"));
    EXPECT_EQ(list()->item(7)->text(), "07) C:\\scan\\in") << "not before the field is left";
    QTest::mouseClick(field("txt_dir_out"), Qt::LeftButton);
    EXPECT_EQ(list()->item(7)->text(), "07) D:\\altro");

    type(field("txt_dir_out"), QStringLiteral("/altrove"));
    QTest::mouseClick(field("txt_dir_log"), Qt::LeftButton);
    EXPECT_EQ(list()->item(7)->text(), "07) D:\\altro");
    EXPECT_EQ(list()->item(1)->text(), "01) /scan/uno");
}

TEST_F(SlotSettingsFixture, AStoredTwoIsWrittenBackUnchangedUnlessItsBoxIsEnteredAndLeft) {
    open();
    choose(4);
    type(field("txt_dir_out"), QStringLiteral("/arch/quattro"));
    save();
    EXPECT_EQ(stored("gestione_pwd_4"), "2");
    EXPECT_EQ(stored("dir_out_4"), "/arch/quattro");

    open();
    choose(4);
    box("chk_pwd")->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(field("txt_dir_out"), Qt::LeftButton);
    EXPECT_EQ(window->tableValue(4, kPwd), "0");
    save();
    EXPECT_EQ(stored("gestione_pwd_4"), "0");

    open();
    choose(4);
    QTest::mouseClick(box("chk_pwd"), Qt::LeftButton);
    choose(1);
    save();
    EXPECT_EQ(stored("gestione_pwd_4"), "1");
}

TEST_F(SlotSettingsFixture, LeavingWithoutSavingWritesNothing) {
    open();
    choose(1);
    type(field("txt_dir_out"), QStringLiteral("/scartato"));
    QTest::mouseClick(control<QPushButton>("CmdExit"), Qt::LeftButton);
    EXPECT_EQ(iniBytes(), kOriginal);
    EXPECT_FALSE(isOpen());
}
