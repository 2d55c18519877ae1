// The main window's own wiring on the offscreen platform: its controls, the list over the
// operations log, the ways of closing and the windows it opens; the layout rule and the tray's
// clicks as tables.
#include <QClipboard>
#include <QMenuBar>
#include <QScrollBar>

#include "UiTestSupport.h"
#include "app/Startup.h"
#include "logs/TrackingFile.h"
#include "ui/DesignMetrics.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

// The objects as the program makes them; the module outlives the window.
struct Program {
    TempTree tree;
    FakeClock clock;
    std::unique_ptr<MainModule> module;
    Form1 window;

    Program() {
        const QString app = tree.folder(QStringLiteral("app")), track = tree.folder(QStringLiteral("track"));
        module = std::make_unique<MainModule>(window, clock, AppFolders{app, app});
        module->settings.config_dir = tree.folder(QStringLiteral("conf"));
        module->settings.dir_log_generale = track;
        tree.write(QStringLiteral("conf/Dokivo.ini"),
                   "[TUTTI]\r\ndir_log_generale=" + track.toUtf8() + "\r\n");
        window.attach(*module);
    }
    int closingLines() const {
        return QString::fromUtf8(tree.read(QStringLiteral("track/") + kTrackingFileName))
            .count(QStringLiteral(" CHIUSURA  DOKIVO "));
    }
};

struct MainWindowFixture : Program, ::testing::Test {
    QAbstractItemView* list() { return child<QAbstractItemView>(&window, "List1"); }
    std::vector<QString> rows() {
        std::vector<QString> shown;
        for (int r = 0; r < list()->model()->rowCount(); ++r)
            shown.push_back(list()->model()->index(r, 0).data().toString());
        return shown;
    }
    void resizeClient(int width, int height) {  // the area below the menu bar, in pixels
        window.resize(width, height + window.menuBar()->height());
        settle();
        ASSERT_EQ(window.centralWidget()->size(), QSize(width, height));
    }
};

}  // namespace

TEST_F(MainWindowFixture, TheBottomRowWorksAndMovesWithTheLowerEdgeAndMessagesOpenOverTheWindow) {
    QTest::keyClicks(child<QLineEdit>(&window, "Text1"), QStringLiteral("ABCD"));
    EXPECT_EQ(window.operatorCode(), "ABC");

    module->flags.timer_flag = QStringLiteral("y");  // scheduled mode
    auto* run = child<QPushButton>(&window, "cmdRun");
    auto* timer = child<QTimer>(&window, "Timer1");
    EXPECT_EQ(timer->interval(), 65535);
    for (const bool started : {false, true, false, true}) {
        EXPECT_EQ(run->text(), started ? "Interrompi" : "Elaborazione");
        EXPECT_EQ(timer->isActive(), started);
        QTest::mouseClick(run, Qt::LeftButton);
    }

    window.setGeometry(400, 300, 500, 250);
    window.show();
    settle();
    window.hide();  // as minimising to the notification area does: a message box still opens over it
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

    window.show();
    resizeClient(600, 400);  // 9000 x 6000 twips; left positions never change
    EXPECT_EQ(run->pos(), QPoint(twipsToPixels(240), twipsToPixels(6000 - 605)));
    EXPECT_EQ(child<QLineEdit>(&window, "Text1")->pos(),
              QPoint(twipsToPixels(2760), twipsToPixels(6000 - 605)));
    EXPECT_EQ(list()->size(), QSize(twipsToPixels(9000 - 300), twipsToPixels(6000 - 1000)));
    resizeClient(600, 100);  // 1500 twips high: the row stays, the list shrinks
    EXPECT_EQ(run->y(), twipsToPixels(6000 - 605));
    EXPECT_EQ(list()->height(), twipsToPixels(500));

    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());  // so minimising must not hide the window
    window.addTrayIcon();
    window.showMinimized();
    settle();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowFixture, StartingUpShowsTheWindowAndTheListFollowsTheOperationsLogAcrossAFlush) {
    ASSERT_EQ(Form_Load(*module, "ini:" + tree.path(QStringLiteral("conf"))), StartupOutcome::Idle);
    settle();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Dokivo Ver. 3.7 - 20/11/09");
    EXPECT_TRUE(rows().size() == 2 && rows()[0].contains(" Sistema Operativo "));
    window.setListHorizontalExtent(1500);
    for (int i = 0; i < 200; ++i)
        module->addLine(QStringLiteral(" riga %1").arg(i));
    window.refreshList();
    EXPECT_EQ(rows(), module->operations.lines());
    const QScrollBar* down = list()->verticalScrollBar();
    EXPECT_TRUE(down->maximum() > 0 && down->value() == down->maximum()) << "the newest line is in view";
    EXPECT_EQ(list()->horizontalScrollBar()->maximum(), 1500 - list()->viewport()->width());

    module->flushTrackingFile();
    EXPECT_TRUE(rows().empty());
    module->addLine(QStringLiteral(" dopo"));  // shown at the next turn of the event loop
    settle();
    EXPECT_TRUE(rows().size() == 1 && rows()[0].endsWith(" dopo"));
}

TEST(MainWindow, EveryWayOfClosingWaitsForThePassInProgressThenRunsTheCloseSequenceOnce) {
    const std::function<void(Form1&)> ways[] = {
        [](Form1& w) { child(&w, "file_2")->trigger(); },  // "Esci"
        [](Form1& w) { w.findChild<TrayIcon*>()->mPopExit()->trigger(); },
        [](Form1& w) { w.close(); },
    };
    for (const auto& way : ways) {
        Program p;
        p.window.show();
        int unloads = 0;
        QObject::connect(&p.window, &Form1::unloaded, [&] { ++unloads; });
        p.module->pass_running = true;
        way(p.window);
        EXPECT_TRUE(p.window.isVisible() && p.module->close_pending && !p.window.isUnloaded());
        EXPECT_EQ(p.closingLines(), 0);
        p.window.requestClose();  // as the scan driver asks at the end of the pass, its guard still set
        p.module->pass_running = false;
        settle();
        EXPECT_TRUE(p.window.isUnloaded() && !p.window.isVisible());
        for (const auto& again : ways)
            again(p.window);
        p.window.unload();
        EXPECT_EQ(unloads, 1);
        EXPECT_EQ(p.closingLines(), 1);
        EXPECT_TRUE(p.module->operations.lines().empty());
    }
}

TEST_F(MainWindowFixture, TheFileMenuOpensEachWindowOnceAndBringsItForwardWithItsEdits) {
    window.show();
    child(&window, "fileCheck")->trigger();
    ReportWindow* report = window.reportWindow();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    const QString ini = tree.path("conf/Dokivo.ini");
    EXPECT_EQ(report->text(), " Verifica configurazione " + ini + "\n Nessun problema trovato");
    child<QPushButton>(report, "cmdCopy")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), report->text());

    child(&window, "fileSimulation")->trigger();
    EXPECT_EQ(window.reportWindow(), report);
    EXPECT_EQ(report->text(),
              " Simulazione elaborazione " + ini + "\n File da archiviare: 0, file che restano: 0");
    EXPECT_EQ(module->operations.size(), 0) << "a report adds no operation line";
    child<QPushButton>(report, "cmdClose")->click();
    settle();
    EXPECT_EQ(window.reportWindow(), nullptr);

    const auto pwd = [&] { return child<QLineEdit>(window.generalSettingsWindow(), "txt_dir_pwd"); };
    child(&window, "File_1")->trigger();
    frm_setuputente* general = window.generalSettingsWindow();
    pwd()->setText(QStringLiteral("/in/corso"));
    child(&window, "File_1")->trigger();
    EXPECT_EQ(window.generalSettingsWindow(), general);
    EXPECT_EQ(pwd()->text(), "/in/corso");
    child(&window, "file_3")->trigger();
    EXPECT_TRUE(general->isVisible() && window.slotSettingsWindow() &&
                window.slotSettingsWindow()->isVisible());

    general->close();  // closed, it opens afresh from the file the next time
    settle();
    child(&window, "File_1")->trigger();
    EXPECT_EQ(pwd()->text(), "");
    window.close();  // the main window's close takes both with it
    settle();
    EXPECT_TRUE(window.generalSettingsWindow() == nullptr && window.slotSettingsWindow() == nullptr);
}

TEST(MainWindowLayout, TheBottomRowFollowsTheLowerEdgeAndTheListTakesTheRest) {
    const MainWindowLayout design{2520, 2265, 6015}, moved{1500, 1000, 6030};
    // Height, width, the layout before, the layout after. The first row is the design size; 1605
    // high or less the row stays where it was; a size the list cannot take leaves it as it was;
    // exactly the margins leave it empty, not negative.
    const std::tuple<int, int, MainWindowLayout, MainWindowLayout> cases[] = {
        {3075, 6330, design, {2470, 2075, 6030}}, {9000, 15000, design, {8395, 8000, 14700}},
        {1606, 6330, design, {1001, 606, 6030}},  {1605, 6330, moved, {1500, 605, 6030}},
        {1200, 6330, moved, {1500, 200, 6030}},   {900, 6330, design, {2520, 2265, 6030}},
        {3075, 200, design, {2470, 2075, 6015}},  {-30, -60, design, design},
        {1000, 300, design, {2520, 0, 0}}};
    const auto fields = [](const MainWindowLayout& l) {
        return std::array{l.bottomRowTop, l.listHeight, l.listWidth};
    };
    for (const auto& [height, width, current, expected] : cases)
        EXPECT_EQ(fields(layoutForClientArea(height, width, current)), fields(expected))
            << height << " x " << width;
}

TEST(TrayIcon, AClickShowsTheWindowADoubleClickAlsoActivatesItTheRightButtonOpensTheMenu) {
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::Trigger)), TrayAction::ShowWindow);
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::DoubleClick)), TrayAction::ShowAndRestoreWindow);
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::Context)), TrayAction::PopupMenu);
    EXPECT_EQ(trayActionFor(trayEventCode(QSystemTrayIcon::MiddleClick)), TrayAction::None);
}
