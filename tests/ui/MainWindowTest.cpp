// The main window's own wiring on the offscreen platform: its controls, the list over the
// operations log, the resize rule, the ways of closing and the windows it opens.
#include <QClipboard>
#include <QScrollBar>

#include "UiTestSupport.h"
#include "app/Startup.h"
#include "logs/TrackingFile.h"
#include "ui/DesignMetrics.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

// The objects as the program makes them, the window as the module's front end; the module
// outlives the window.
struct MainWindowFixture : ModuleFixture, ::testing::Test {
    MainWindow window;

    MainWindowFixture() {
        const QString app = tree.folder(QStringLiteral("app")), track = tree.folder(QStringLiteral("track"));
        module = std::make_unique<MainModule>(window, clock, AppFolders{app, app});
        module->settings.config_dir = tree.folder(QStringLiteral("conf"));
        module->settings.dir_log_generale = track;
        writeIni("[TUTTI]\r\ndir_log_generale=" + track + "\r\n");
        window.attach(*module);
    }
};

}  // namespace

TEST_F(MainWindowFixture, StartingUpShowsTheWindowItsListFollowsTheLogItsBottomRowTheLowerEdge) {
    ASSERT_EQ(startUp(*module, "ini:" + tree.path(QStringLiteral("conf"))), StartupOutcome::Idle);
    settle();
    QAbstractItemView& view = *child<QAbstractItemView>(&window, "operationsList");
    const auto row = [&](int r) { return view.model()->index(r, 0); };
    EXPECT_TRUE(window.isVisible() && view.model()->rowCount() == 2);
    EXPECT_TRUE(row(0).data().toString().contains(" Sistema Operativo "));
    window.setListHorizontalExtent(1500);
    for (int i = 0; i < 200; ++i)
        module->addLine(QStringLiteral(" riga %1").arg(i));
    window.refreshList();  // the scroll range grows at once, without a turn of the event loop
    EXPECT_EQ(row(201).data().toString(), module->operations.lines().back());
    const int height = view.visualRect(row(1)).top() - view.visualRect(row(0)).top();
    const int shown = view.viewport()->height();
    QScrollBar* down = view.verticalScrollBar();
    EXPECT_EQ(down->maximum(), 202 * height - shown) << "every row, and nothing beyond, lies in the range";
    EXPECT_EQ(down->value(), down->maximum()) << "the newest line is in view";
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 1500 - view.viewport()->width());
    EXPECT_EQ(view.visualRect(row(0)).width(), 1500);

    down->setValue(10 * height);  // a click selects the line under the mouse; Down goes on from it
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(20, 2 * height + 1));
    EXPECT_EQ(view.selectionModel()->selectedIndexes(), QModelIndexList{row(12)});
    const int page = shown / height;
    const std::pair<Qt::Key, int> moves[] = {{Qt::Key_Down, 13},           {Qt::Key_End, 201},
                                             {Qt::Key_PageUp, 201 - page}, {Qt::Key_Home, 0},
                                             {Qt::Key_PageDown, page},     {Qt::Key_Up, page - 1}};
    for (const auto& [key, expected] : moves) {  // keys move the current line and keep it in view
        QTest::keyClick(&view, key);
        EXPECT_EQ(view.currentIndex(), row(expected)) << key;
        const QRect at = view.visualRect(row(expected));
        EXPECT_TRUE(at.top() >= 0 && at.bottom() < shown) << key;
    }

    module->flushTrackingFile();
    EXPECT_EQ(view.model()->rowCount(), 0);
    module->addLine(QStringLiteral(" dopo"));  // shown at the next turn of the event loop
    settle();
    EXPECT_TRUE(view.model()->rowCount() == 1 && row(0).data().toString().endsWith(" dopo"));
    window.setListHorizontalExtent(200);  // narrower than the view: the row still takes its whole width
    EXPECT_TRUE(view.indexAt(QPoint(view.viewport()->width() - 2, 1)) == row(0));
    EXPECT_FALSE(view.indexAt(QPoint(5, height + 1)).isValid() || view.indexAt(QPoint(5, -1)).isValid());
    EXPECT_EQ(down->maximum(), 0);

    QTest::keyClicks(child<QLineEdit>(&window, "operatorCodeField"), QStringLiteral("ABCD"));
    EXPECT_EQ(window.operatorCode(), "ABC");

    module->flags.timer_flag = QStringLiteral("y");  // scheduled mode
    auto* run = child<QPushButton>(&window, "runButton");
    for (const bool started : {false, true, false, true}) {
        EXPECT_EQ(run->text(), started ? "Interrompi" : "Elaborazione");
        EXPECT_EQ(child<QTimer>(&window, "scheduleTimer")->isActive(), started);
        QTest::mouseClick(run, Qt::LeftButton);
    }

    window.hide();  // as minimising to the notification area does: a message box still opens over it
    QTimer::singleShot(0, [&] {  // runs once the box is up; closes it
        QWidget* box = QApplication::activeModalWidget();
        EXPECT_EQ(box->parentWidget(), &window) << "a box without a parent opens wherever the platform likes";
        box->close();
    });
    window.showMessage(QStringLiteral("Elaborati 1 file PDF"), Frontend::MessageIcon::None, QString());

    // The client area in turn (twips), then the top of the bottom row and the list's size. Up to
    // 1605 twips high the row stays where it was; a size the list cannot take leaves it as it was.
    const std::array<int, 5> sizes[] = {{6330, 1620, 1015, 6030, 620},
                                        {6330, 1605, 1015, 6030, 605},
                                        {200, 900, 1015, 6030, 605},
                                        {300, 1005, 1015, 0, 5}};
    window.show();
    for (const auto& [width, height, top, listWidth, listHeight] : sizes) {  // the bottom row and the list
        window.centralWidget()->resize(twipsToPixels(width), twipsToPixels(height));
        EXPECT_EQ(run->pos(), QPoint(twipsToPixels(240), twipsToPixels(top))) << width << " x " << height;
        EXPECT_EQ(child<QLineEdit>(&window, "operatorCodeField")->pos(),
                  QPoint(twipsToPixels(2760), twipsToPixels(top)));
        EXPECT_EQ(view.size(), QSize(twipsToPixels(listWidth), twipsToPixels(listHeight)));
    }

    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());  // so minimising must not hide the window
    window.addTrayIcon();
    window.showMinimized();
    settle();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowFixture, TheFileMenuOpensEachWindowOnceAndEveryWayOfClosingWaitsForThePassThenClosesOnce) {
    window.show();
    child(&window, "fileCheck")->trigger();
    ReportWindow* report = window.reportWindow();
    ASSERT_TRUE(report && report->isVisible());
    const QString ini = tree.path("conf/Dokivo.ini");
    EXPECT_EQ(report->text(), " Verifica configurazione " + ini + "\n Nessun problema trovato");
    child<QPushButton>(report, "copyButton")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), report->text());

    child(&window, "fileSimulation")->trigger();
    EXPECT_EQ(window.reportWindow(), report);
    EXPECT_TRUE(report->text().startsWith(" Simulazione elaborazione " + ini + "\n"));
    EXPECT_EQ(module->operations.size(), 0) << "a report adds no operation line";
    child<QPushButton>(report, "cmdClose")->click();
    settle();
    EXPECT_EQ(window.reportWindow(), nullptr);

    const auto pwd = [&] { return child<QLineEdit>(window.generalSettingsWindow(), "txt_dir_pwd"); };
    child(&window, "File_1")->trigger();
    pwd()->setText(QStringLiteral("/in/corso"));
    child(&window, "File_1")->trigger();
    EXPECT_EQ(pwd()->text(), "/in/corso");
    window.generalSettingsWindow()->close();  // closed, it opens afresh from the file the next time
    settle();
    child(&window, "File_1")->trigger();
    EXPECT_EQ(pwd()->text(), "");
    child(&window, "file_3")->trigger();
    EXPECT_TRUE(window.generalSettingsWindow()->isVisible() && window.slotSettingsWindow()->isVisible());

    // Each way of closing, during a pass, only asks for the close; the close sequence then runs once.
    const std::function<void()> ways[] = {
        [&] { child(&window, "file_2")->trigger(); },  // "Esci"
        [&] { window.findChild<TrayIcon*>()->mPopExit()->trigger(); },
        [&] { window.close(); },
    };
    QSignalSpy unloads(&window, &MainWindow::unloaded);
    module->pass_running = true;
    for (const auto& way : ways) {
        module->close_pending = false;
        way();
        EXPECT_TRUE(window.isVisible() && module->close_pending && !window.isUnloaded());
    }
    window.requestClose();  // as the scan driver asks at the end of the pass, its guard still set
    module->pass_running = false;
    settle();
    EXPECT_TRUE(window.isUnloaded() && !window.isVisible());
    for (const auto& again : ways)
        again();
    window.unload();  // as the end of the event loop does
    settle();
    EXPECT_EQ(unloads.size(), 1);
    EXPECT_EQ(tree.read("track/" + kTrackingFileName).count(" CHIUSURA  DOKIVO "), 1);
    EXPECT_TRUE(window.generalSettingsWindow() == nullptr && window.slotSettingsWindow() == nullptr);
}
