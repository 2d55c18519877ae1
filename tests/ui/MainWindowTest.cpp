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
    QAbstractItemView* list() { return child<QAbstractItemView>(&window, "List1"); }
    std::vector<QString> rows() {
        std::vector<QString> shown;
        for (int r = 0; r < list()->model()->rowCount(); ++r)
            shown.push_back(list()->model()->index(r, 0).data().toString());
        return shown;
    }
    int closingLines() const {
        return QString::fromUtf8(tree.read(QStringLiteral("track/") + kTrackingFileName))
            .count(QStringLiteral(" CHIUSURA  DOKIVO "));
    }
};

struct MainWindowFixture : Program, ::testing::Test {};

}  // namespace

TEST_F(MainWindowFixture, TheBottomRowWorksAndMovesWithTheLowerEdgeAndMessagesOpenOverTheWindow) {
    QTest::keyClicks(child<QLineEdit>(&window, "Text1"), QStringLiteral("ABCD"));
    EXPECT_EQ(window.operatorCode(), "ABC");

    module->flags.timer_flag = QStringLiteral("y");  // scheduled mode
    auto* run = child<QPushButton>(&window, "cmdRun");
    auto* timer = child<QTimer>(&window, "Timer1");
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
    QTimer::singleShot(0, [&] {  // runs once the box is up; closes it
        QWidget* box = QApplication::activeModalWidget();
        parent = box->parentWidget();
        centre = box->frameGeometry().center();
        box->close();
    });
    window.showMessage(QStringLiteral("Elaborati 1 file PDF"), Frontend::MessageIcon::None, QString());
    EXPECT_EQ(parent, &window);
    EXPECT_TRUE(window.frameGeometry().contains(centre)) << centre.x() << "," << centre.y();

    window.show();
    window.resize(600, 400 + window.menuBar()->height());  // 9000 x 6000 twips below the menu bar
    settle();
    EXPECT_EQ(run->pos(), QPoint(twipsToPixels(240), twipsToPixels(6000 - 605)));
    EXPECT_EQ(child<QLineEdit>(&window, "Text1")->pos(),
              QPoint(twipsToPixels(2760), twipsToPixels(6000 - 605)));
    EXPECT_EQ(list()->size(), QSize(twipsToPixels(9000 - 300), twipsToPixels(6000 - 1000)));

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
    EXPECT_TRUE(rows().size() == 2 && rows()[0].contains(" Sistema Operativo "));
    window.setListHorizontalExtent(1500);
    for (int i = 0; i < 200; ++i)
        module->addLine(QStringLiteral(" riga %1").arg(i));
    window.refreshList();  // the scroll range grows at once, without a turn of the event loop
    EXPECT_EQ(rows(), module->operations.lines());
    QAbstractItemView& view = *list();
    const auto row = [&](int r) { return view.model()->index(r, 0); };
    const int height = view.visualRect(row(1)).top() - view.visualRect(row(0)).top();
    const int shown = view.viewport()->height();
    QScrollBar* down = view.verticalScrollBar();
    EXPECT_EQ(down->maximum(), 202 * height - shown) << "every row, and nothing beyond, lies in the range";
    EXPECT_EQ(down->value(), down->maximum()) << "the newest line is in view";
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 1500 - view.viewport()->width());
    EXPECT_EQ(view.visualRect(row(0)).width(), 1500);

    down->setValue(10 * height);  // a click selects the line under the mouse
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(20, 2 * height + 1));
    EXPECT_EQ(view.selectionModel()->selectedIndexes(), QModelIndexList{row(12)});
    EXPECT_EQ(view.currentIndex(), row(12));
    view.setFocus();
    view.setCurrentIndex(row(0));
    const std::pair<Qt::Key, int> moves[] = {{Qt::Key_End, 201},
                                             {Qt::Key_Home, 0},
                                             {Qt::Key_PageDown, shown / height},
                                             {Qt::Key_Up, shown / height - 1}};
    for (const auto& [key, expected] : moves) {  // keys move the current line and keep it in view
        QTest::keyClick(&view, key);
        EXPECT_EQ(view.currentIndex(), row(expected)) << key;
        const QRect at = view.visualRect(row(expected));
        EXPECT_TRUE(at.top() >= 0 && at.bottom() <= shown) << key;
    }

    module->flushTrackingFile();
    EXPECT_TRUE(rows().empty());
    module->addLine(QStringLiteral(" dopo"));  // shown at the next turn of the event loop
    settle();
    EXPECT_TRUE(rows().size() == 1 && rows()[0].endsWith(" dopo"));
    window.setListHorizontalExtent(200);  // narrower than the view: the row still takes its whole width
    EXPECT_TRUE(view.indexAt(QPoint(view.viewport()->width() - 2, 1)) == row(0));
    EXPECT_FALSE(view.indexAt(QPoint(5, height + 1)).isValid() || view.indexAt(QPoint(5, -1)).isValid());
    EXPECT_EQ(down->maximum(), 0);
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
    ASSERT_TRUE(report && report->isVisible());
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
    // Height, width, the layout before, the layout after. 1605 high or less the row stays where it
    // was; a size the list cannot take leaves it as it was; exactly the margins leave it empty.
    const std::tuple<int, int, MainWindowLayout, MainWindowLayout> cases[] = {
        {9000, 15000, design, {8395, 8000, 14700}},
        {1606, 6330, design, {1001, 606, 6030}},
        {1605, 6330, moved, {1500, 605, 6030}},
        {900, 200, design, design},
        {-30, -60, design, design},
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
