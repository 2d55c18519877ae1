#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <optional>

#include "app/Startup.h"
#include "scan/Scheduler.h"
#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

// A row starts the program with a command line (the configuration in conf/, or without "ini:" in
// the program's folder; the line is split at blanks and tabs into ten words at most, keywords in
// small letters, values in any case, the last one winning), checks the line it opened with, and
// follows a script of the run button
// ("press"), real schedule-timer ticks that come every 65.5 seconds ("tick*N"), a tick while a pass runs
// ("busy") and a minute's wait ("wait"), checking the passes so far ("=N") and whether the
// schedule runs ("on"/"off": the timer and the button's caption). With archiviazione_immediata
// set, the event loop runs between steps, the clock standing still: "doc" writes a document into
// in/, "hold" starts one and keeps it open for writing, "close" finishes it, "burst" writes 500,
// "gone"/"back" take in/ away and bring it back, "idle" lets 1.5 s go by; "filed=N" waits (a minute
// at most) for N documents in out/, "atmost=N" checks the passes so far and "warned=N" the lines
// that leave a folder to the timer.
TEST(Scheduler, StartsAsTheCommandLineSaysAndRunsAPassOnceThePeriodSinceTheLastOneHasGoneBy) {
    const struct {
        const char* args;
        const char* delta;
        const char* opening;  // after the system line; null: not looked at
        const char* script;
        const char* immediate = nullptr;  // archiviazione_immediata
    } rows[] = {
        {"timer:y", "5 minuti", nullptr, "=0 doc filed=1 =1 doc filed=2 =2", "Y"},
        {"timer:y", "5 minuti", nullptr, "hold idle filed=0 close filed=1", "y"},
        {"timer:y", "5 minuti", nullptr, "burst filed=500 atmost=5", "y"},
#ifndef Q_OS_WIN  // there a watch follows its folder through a rename: taken away and back, it still serves
        {"timer:y", "5 minuti", nullptr,
         "gone idle warned=1 back doc idle =0 tick filed=1 doc filed=2 warned=1", "y"},
#endif
        {"timer:y", "5 minuti", nullptr, "doc idle =0 filed=0 tick filed=1 =1", "n"},  // off: the timer alone
        {"", "5 minuti", nullptr, "doc idle press filed=1 =1 doc idle =1", "y"},  // no schedule, no watch
        {"", "1 minuto", "", "off press press =2 off"},                           // by hand
        {"INI:{x} RUN:y timer:Y", "1 minuto", " Apertura  DOKIVO schedulato  1 minuto", "on tick*12 =12"},
        // the stop keeps the time
        {"timer:y", "5 minuti", nullptr, "tick =1 press off wait press on tick*2 =1 tick*2 =2"},
        {"timer:y", "1 minuto", nullptr, "busy =0 tick =1"},
        // the period is read from the first two characters; no number: 5 minutes (262 s: not yet)
        {"timer:y", "100 minuti", nullptr, "tick =1 tick*9 =1 tick =2"},
        {"timer:y", "minuti", nullptr, "on =0 tick =1 tick*4 =1 tick =2"},
        {"run:y timer:y", "1 minuto", " Apertura  DOKIVO autorun  ", "=0 off"},  // stops the schedule
        {"timer:yes run:Y", "1 minuto", " Apertura  DOKIVO autorun  ", "=1 off"},
        {"ini:{nowhere} run:y ini:{conf}\t\trun:n  a a a a a run:y", "1 minuto", "", "off =0"},  // 11th
    };
    int argc = 1;
    char name[] = "core_tests";
    char* argv[] = {name, nullptr};
    std::optional<QCoreApplication> app;  // the folder watch runs on its event loop
    if (!QCoreApplication::instance())
        app.emplace(argc, argv);
    const auto runLoop = [](int ms, const std::function<bool()>& done) {
        QEventLoop loop;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (done())
                loop.quit();
        });
        look.start(50);
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.args) + " " + row.script);
        PassTree t;
        t.set(QString("timer_delta=") + row.delta);
        if (row.immediate)
            t.set(QString("archiviazione_immediata=") + row.immediate);
        t.saveIni();
        const QString args =
            QString(row.args).isEmpty() ? QString() : t.expand(QString("ini:{conf} ") + row.args);
        if (args.isEmpty())  // a wrong folder finds no configuration
            QFile::rename(t.tree.path("conf/Dokivo.ini"), t.tree.path("app/Dokivo.ini"));
        EXPECT_EQ(startUp(t.m(), args), QString(row.opening).contains("autorun") ? StartupOutcome::RunFinished
                                                                                 : StartupOutcome::Idle);
        EXPECT_TRUE(t.frontend.trayIcon);
        if (row.opening) {
            EXPECT_EQ(t.messages().value(1), row.opening);
        }
        // A long pass sends the list to the tracking file.
        const auto count = [&](const char* line) {
            return t.messages().filter(line).size() + t.tree.read("track/" + kTrackingFileName).count(line);
        };
        const auto filed = [&] { return t.tree.entries("out").size(); };
        int docs = 0;
        QFile held(t.tree.path("in/held.pdf"));
        for (const QString& step : QString(row.script).split(' ')) {
            const int times = step.contains('*') ? step.section('*', 1).toInt() : 1;
            for (int i = 0; i < times; ++i) {
                if (step == "press")
                    runButtonPressed(t.m());
                else if (step == "wait")
                    t.clock.sleepMs(60000);
                else if (step == "doc" || step == "burst")
                    for (int n = step == "doc" ? 1 : 500; n > 0; --n)
                        t.tree.write(QString("in/doc%1.pdf").arg(++docs), "%PDF-1.4 a scanned page");
                else if (step == "hold")
                    EXPECT_TRUE(held.open(QIODevice::WriteOnly) && held.write("%PDF-1.4 the first half") &&
                                held.flush());
                else if (step == "close")
                    held.write(" and the rest"), held.close();
                else if (step == "gone" || step == "back")
                    EXPECT_TRUE(QDir(t.tree.path())
                                    .rename(step == "gone" ? "in" : "away", step == "gone" ? "away" : "in"));
                else if (step == "idle")
                    runLoop(1500, [] { return false; });
                else if (step.startsWith("filed="))
                    runLoop(60000, [&] { return filed() == step.section('=', 1).toInt(); });
                t.m().pass_running = step == "busy";
                if (step.startsWith("tick") || step == "busy") {
                    t.clock.sleepMs(kScheduleTickMs);
                    scheduleTick(t.m());
                }
                t.m().pass_running = false;
            }
            if (step.startsWith('=')) {
                EXPECT_EQ(count(" Lettura cartella pricipale "), step.mid(1).toInt());
            }
            if (step.startsWith("atmost=")) {
                EXPECT_LE(count(" Lettura cartella pricipale "), step.section('=', 1).toInt());
            }
            if (step.startsWith("filed=")) {
                EXPECT_EQ(filed(), step.section('=', 1).toInt()) << step.toStdString();
            }
            if (step.startsWith("warned=")) {
                EXPECT_EQ(count(" Archiviazione immediata non attiva per la cartella "),
                          step.section('=', 1).toInt());
            }
            if (step == "on" || step == "off") {
                EXPECT_TRUE(t.frontend.timerEnabled == (step == "on") &&
                            (t.frontend.runCaption == "Interrompi") == (step == "on"))
                    << step.toStdString();
            }
        }
        EXPECT_EQ(count(" Eseguo controllo directory "),
                  t.frontend.timerEnabled ? count(" Lettura cartella pricipale ") : 0);
    }
}
