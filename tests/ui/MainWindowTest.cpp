#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QClipboard>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "UiTestSupport.h"
#include "app/Startup.h"
#include "logs/TrackingFile.h"
#include "ui/DesignMetrics.h"
#include "ui/GeneralSettingsWindow.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowLayout.h"
#include "ui/ReportWindow.h"
#include "ui/SlotSettingsWindow.h"
#include "ui/TrayEvents.h"
#include "ui/TrayIcon.h"

using namespace dokivo;
using namespace dokivo::test;

namespace dokivo {
static void PrintTo(const MainWindowLayout& l, std::ostream* os) {
    *os << "{row top " << l.bottomRowTop << ", list " << l.listHeight << " x " << l.listWidth << "}";
}
}  // namespace dokivo

namespace {

struct MainWindowFixture : ::testing::Test {
    TempTree tree;
    FakeClock clock;
    std::unique_ptr<MainModule> module;  // outlives the window, as in the program
    Form1 window;

    MainWindowFixture() {
        const QString app = tree.folder(QStringLiteral("app"));
        module = std::make_unique<MainModule>(window, clock, AppFolders{app, app});
        module->settings.config_dir = tree.folder(QStringLiteral("conf"));
        module->settings.dir_log_generale = tree.folder(QStringLiteral("track"));
        tree.write(QStringLiteral("conf/Dokivo.ini"),
                   "[TUTTI]\r\ndir_log_generale=" + tree.folder(QStringLiteral("track")).toUtf8() + "\r\n");
        window.attach(*module);
    }

    template <typename W>
    W* control(const char* name) {
        W* found = window.findChild<W*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAbstractItemView* list() { return control<QAbstractItemView>("List1"); }
    int rows() { return list()->model()->rowCount(); }
    QString row(int r) { return list()->model()->index(r, 0).data().toString(); }
    QAction* action(const char* name) { return control<QAction>(name); }

    // Resizes the window so that the area below the menu bar has the given size in pixels.
    void resizeClient(int width, int height) {
        window.resize(width, height + window.menuBar()->height());
        settle();
        ASSERT_EQ(window.centralWidget()->size(), QSize(width, height));
    }

    int closingLinesInTrackingFile() const {
        return QString::fromUtf8(tree.read(QStringLiteral("track/") + kTrackingFileName))
            .count(QStringLiteral(" CHIUSURA  DOKIVO "));
    }
};

}  // namespace

TEST_F(MainWindowFixture, StartingUpShowsTheCaptionAndTheOpeningLines) {
    ASSERT_EQ(Form_Load(*module, "ini:" + tree.path(QStringLiteral("conf"))), StartupOutcome::Idle);
    settle();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Dokivo Ver. 3.7 - 20/11/09");
    ASSERT_EQ(rows(), 2);
    EXPECT_TRUE(row(0).contains(" Sistema Operativo "));
    EXPECT_EQ(row(1), module->operations.lines()[1]);
}

TEST_F(MainWindowFixture, TheOperatorCodeTakesAtMostThreeCharacters) {
    auto* code = control<QLineEdit>("Text1");
    QTest::keyClicks(code, QStringLiteral("ABCD"));
    EXPECT_EQ(code->text(), "ABC");
    EXPECT_EQ(window.operatorCode(), "ABC");
}

TEST_F(MainWindowFixture, InScheduledModeTheRunButtonStartsAndStopsTheSchedule) {
    module->flags.timer_flag = QStringLiteral("y");
    auto* run = control<QPushButton>("cmdRun");
    auto* timer = control<QTimer>("Timer1");
    EXPECT_EQ(run->text(), "Elaborazione");
    EXPECT_EQ(timer->interval(), 65535);

    for (const bool started : {true, false, true}) {
        QTest::mouseClick(run, Qt::LeftButton);
        EXPECT_EQ(run->text(), started ? "Interrompi" : "Elaborazione");
        EXPECT_EQ(timer->isActive(), started);
    }
}

TEST_F(MainWindowFixture, AMessageBoxOpensOverTheMainWindowAlsoWhileItIsHidden) {
    window.setGeometry(400, 300, 500, 250);
    window.show();
    settle();
    window.hide();  // as minimising to the notification area does
    QWidget* parent = nullptr;
    QPoint centre;
    QTimer watch;  // looks at the box once it is up, then closes it
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            parent = box->parentWidget();
            centre = box->frameGeometry().center();
            box->close();
        }
    });
    watch.start(0);
    window.showMessage(QStringLiteral("Elaborati 1 file PDF"), Frontend::MessageIcon::None, QString());
    EXPECT_EQ(parent, &window);
    EXPECT_TRUE(window.frameGeometry().contains(centre)) << centre.x() << "," << centre.y();
}

TEST_F(MainWindowFixture, ResizingMovesTheBottomRowAndSizesTheList) {
    window.show();
    auto* run = control<QPushButton>("cmdRun");
    auto* code = control<QLineEdit>("Text1");
    resizeClient(600, 400);  // 9000 x 6000 twips
    EXPECT_EQ(run->y(), twipsToPixels(6000 - 605));
    EXPECT_EQ(code->y(), twipsToPixels(6000 - 605));
    EXPECT_EQ(list()->size(), QSize(twipsToPixels(9000 - 300), twipsToPixels(6000 - 1000)));
    // Left positions never change.
    EXPECT_EQ(run->x(), twipsToPixels(240));
    EXPECT_EQ(code->x(), twipsToPixels(2760));

    // 1500 twips high: the row stays where the last size put it, the list shrinks.
    resizeClient(600, 100);
    EXPECT_EQ(run->y(), twipsToPixels(6000 - 605));
    EXPECT_EQ(list()->height(), twipsToPixels(500));
}

TEST_F(MainWindowFixture, WithoutANotificationAreaMinimisingDoesNotHideTheWindow) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    window.addTrayIcon();
    window.show();
    window.showMinimized();
    settle();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowFixture, TheListFollowsTheOperationsLogAcrossAFlushAndScrollsOverItsExtent) {
    window.show();
    window.setListHorizontalExtent(1500);
    for (int i = 0; i < 200; ++i)
        module->addLine(QStringLiteral(" riga %1").arg(i));
    window.refreshList();
    ASSERT_EQ(rows(), 200);
    EXPECT_TRUE(row(199).endsWith(" riga 199"));
    // The newest line is in view.
    EXPECT_EQ(list()->verticalScrollBar()->value(), list()->verticalScrollBar()->maximum());
    EXPECT_GT(list()->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(list()->horizontalScrollBar()->maximum(), 1500 - list()->viewport()->width());

    module->flushTrackingFile();
    EXPECT_EQ(rows(), 0);
    // Lines added without a refresh appear at the next turn of the event loop.
    module->addLine(QStringLiteral(" dopo"));
    settle();
    ASSERT_EQ(rows(), 1);
    EXPECT_TRUE(row(0).endsWith(" dopo"));
}

TEST_F(MainWindowFixture, ACloseDuringAPassWaitsForTheEndOfThePass) {
    window.show();
    module->pass_running = true;
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(module->close_pending);
    EXPECT_EQ(closingLinesInTrackingFile(), 0);

    // The scan driver asks again from the end of the pass, while its guard is still set.
    window.requestClose();
    module->pass_running = false;
    settle();
    EXPECT_TRUE(window.isUnloaded());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closingLinesInTrackingFile(), 1);
}

TEST_F(MainWindowFixture, EveryWayOfClosingRunsTheCloseSequenceOnce) {
    window.show();
    int unloads = 0;
    QObject::connect(&window, &Form1::unloaded, [&] { ++unloads; });
    action("file_2")->trigger();  // "Esci"
    window.findChild<TrayIcon*>()->mPopExit()->trigger();
    window.close();
    window.unload();
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(closingLinesInTrackingFile(), 1);
    EXPECT_TRUE(module->operations.lines().empty());
}

TEST_F(MainWindowFixture, ASettingsWindowThatIsOpenIsBroughtForwardWithItsEdits) {
    const auto pwd = [&] { return window.generalSettingsWindow()->findChild<QLineEdit*>("txt_dir_pwd"); };
    action("File_1")->trigger();
    frm_setuputente* general = window.generalSettingsWindow();
    ASSERT_NE(general, nullptr);
    pwd()->setText(QStringLiteral("/in/corso"));
    action("File_1")->trigger();
    EXPECT_EQ(window.generalSettingsWindow(), general);
    EXPECT_EQ(pwd()->text(), "/in/corso");

    action("file_3")->trigger();
    frm_setuputente2* slots = window.slotSettingsWindow();
    ASSERT_NE(slots, nullptr);
    EXPECT_TRUE(general->isVisible());
    EXPECT_TRUE(slots->isVisible());

    // Closed, a window is opened afresh from the file the next time.
    general->close();
    settle();
    action("File_1")->trigger();
    ASSERT_NE(window.generalSettingsWindow(), nullptr);
    EXPECT_EQ(pwd()->text(), "");

    // The main window's close takes both with it.
    window.close();
    settle();
    EXPECT_EQ(window.generalSettingsWindow(), nullptr);
    EXPECT_EQ(window.slotSettingsWindow(), nullptr);
}

TEST_F(MainWindowFixture, TheFileMenuShowsEachReportInOneWindowToCopyAndClose) {
    window.show();
    action("fileCheck")->trigger();
    ReportWindow* report = window.reportWindow();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_EQ(report->text(),
              " Verifica configurazione " + tree.path("conf/Dokivo.ini") + "\n Nessun problema trovato");
    report->findChild<QPushButton*>("cmdCopy")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), report->text());

    action("fileSimulation")->trigger();
    EXPECT_EQ(window.reportWindow(), report);
    EXPECT_EQ(report->text(), " Simulazione elaborazione " + tree.path("conf/Dokivo.ini") +
                                  "\n File da archiviare: 0, file che restano: 0");
    EXPECT_EQ(module->operations.size(), 0) << "a report adds no operation line";

    report->findChild<QPushButton*>("cmdClose")->click();
    settle();
    EXPECT_EQ(window.reportWindow(), nullptr);
}

TEST(MainWindowLayout, TheBottomRowFollowsTheLowerEdgeAndTheListTakesTheRest) {
    const MainWindowLayout design{2520, 2265, 6015}, moved{1500, 1000, 6030};
    const struct {
        int height, width;
        MainWindowLayout current, expected;
    } cases[] = {
        {3075, 6330, design, {2470, 2075, 6030}},  // the design size
        {9000, 15000, design, {8395, 8000, 14700}},
        {1606, 6330, design, {1001, 606, 6030}},
        {1605, 6330, moved, {1500, 605, 6030}},  // 1605 high or less: the row stays where it was
        {1200, 6330, moved, {1500, 200, 6030}},
        {900, 6330, design, {2520, 2265, 6030}},  // a size the list cannot take leaves it as it was
        {3075, 200, design, {2470, 2075, 6015}},
        {-30, -60, design, design},
        {1000, 300, design, {2520, 0, 0}},  // exactly the margins: empty, not negative
    };
    for (const auto& c : cases)
        EXPECT_EQ(layoutForClientArea(c.height, c.width, c.current), c.expected)
            << c.height << " x " << c.width;
}

TEST(TrayIcon, AClickShowsTheWindowADoubleClickAlsoActivatesItTheRightButtonOpensTheMenu) {
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::Trigger)), TrayAction::ShowWindow);
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::DoubleClick)), TrayAction::ShowAndRestoreWindow);
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::Context)), TrayAction::PopupMenu);
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::MiddleClick)), TrayAction::None);
}
