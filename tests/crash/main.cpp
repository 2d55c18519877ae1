// The kill harness: runs the real console program over a generated tree, kills it with SIGKILL
// at seeded random moments, checks after every kill that no document is lost, then lets a final
// pass finish and checks that everything is filed and recorded exactly once.
//
//   dokivo-crashtest BIN_DIR WORK_DIR FILES KILLS SEED [DELAYS_MS]
//
// A failure prints the delay of every kill so far; DELAYS_MS ("a,b,...") replays them.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QUuid>
#include <cstdio>
#include <random>

#include "CrashTree.h"
#include "processing/DeliveryJournal.h"

using namespace dokivo::crash;

namespace {

constexpr int kKilled = -2;  // runProgram(): the kill landed while the program ran

// One pass of the console program, killed (SIGKILL) after `killAfterMs` unless it ended first
// (-1: never). Returns its exit status, kKilled, or -1 when it crashed by itself.
int runProgram(const CrashTree& tree, int killAfterMs) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardOutputFile(tree.root + QStringLiteral("last-run.txt"));
    p.start(tree.root + QStringLiteral("app/dokivo-cli"),
            {QStringLiteral("ini:") + tree.root + QStringLiteral("conf/"), QStringLiteral("run:y")});
    if (!p.waitForStarted()) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(p.program()));
        std::exit(2);
    }
    const bool ended = p.waitForFinished(killAfterMs);
    if (!ended) {
        p.kill();
        p.waitForFinished(-1);
    }
    // It may have ended by itself just before the kill.
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : ended ? -1 : kKilled;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: dokivo-crashtest BIN_DIR WORK_DIR FILES KILLS SEED [DELAYS_MS]\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // figures show up as they come, also in a log file
    const std::uint32_t seed = std::strtoul(argv[5], nullptr, 10);
    QList<int> replay;
    for (const QByteArray& d : QByteArray(argc > 6 ? argv[6] : "").split(','))
        if (!d.isEmpty())
            replay << d.toInt();
    const int kills = replay.isEmpty() ? std::atoi(argv[4]) : static_cast<int>(replay.size());
    std::printf("seed %u, %s files, %d kills, work folder %s\n", seed, argv[3], kills, argv[2]);
    const CrashTree tree =
        buildCrashTree(QFile::decodeName(argv[2]), std::atoi(argv[3]), seed, QFile::decodeName(argv[1]));
    // Its own lock, so that a developer's running instance does not refuse the harness's passes.
    qputenv("DOKIVO_INSTANCE_KEY", "dokivo-crash-" + QUuid::createUuid().toByteArray(QUuid::Id128));
    qputenv("DOKIVO_OPERATORE", "CRS");

    // The window a kill may land in follows the measured pace, so that the kills spread over the
    // whole work instead of bunching at its start or missing it: with batches the work goes fast.
    std::mt19937 rng(seed);
    int startupMs = 20, windowMs = 20, landed = 0, inBatch = 0;
    double msPerDocument = 0.0;
    QStringList delays;
    Check check = checkTree(tree, false);
    for (int k = 0; k <= kills && check.problems.isEmpty(); ++k) {
        // After the kills a final pass runs to its end.
        const int delay = k == kills ? -1 : k < replay.size() ? replay[k] : int(rng() % (windowMs + 1));
        delays << QString::number(delay);
        const int before = check.waiting;
        QElapsedTimer clock;
        clock.start();
        const int status = runProgram(tree, delay);
        const qint64 took = clock.elapsed();
        const bool killed = status == kKilled;
        // A kill inside a batch leaves its journal notes: copies staged, named or half-filed.
        landed += killed;
        inBatch +=
            killed && QFileInfo(tree.root + QStringLiteral("app/") + dokivo::kJournalFileName).size() > 0;
        check = checkTree(tree, !killed);
        // The lock goes with its process, and the killed one has been reaped: a refusal by the lock
        // means it outlived it (a leaked descriptor, say).
        if (!killed && status != 0)
            check.problems
                << QStringLiteral(
                       "run %1 ended with status %2 (3: the lock outlived a killed run), see %3last-run.txt")
                       .arg(k)
                       .arg(status)
                       .arg(tree.root);
        if (k == kills && check.waiting != 0)
            check.problems << QStringLiteral("%1 documents still in their input folders").arg(check.waiting);

        // The window is the start-up (learnt: longer after a kill that filed nothing, shorter after
        // a run that filed everything, measured by a run that had nothing to file) and twice the
        // time of a kill's share of the work left.
        const int done = before - check.waiting;
        if (killed && done == 0)
            startupMs += 10;
        else if (!killed)
            startupMs = done == 0 ? int(took) : std::max(5, startupMs * 2 / 3);
        if (done > 0 && took > 0)
            msPerDocument = double(took) / done;
        windowMs = startupMs + int(2.0 * msPerDocument * check.waiting / std::max(1, kills - k - 1));
    }

    // Kills that all miss the batches would leave their recovery untried.
    if (landed >= 5 && inBatch == 0)
        check.problems << QStringLiteral("no kill landed inside a batch");
    const auto& f = check.faults;
    std::printf(
        "kills tried %d, landed %d, inside a batch %d\ndocuments checked %lld (%zu documents x %lld checks)\n"
        "delivered %d, lost %d, truncated %d, duplicated records %d, stray records %d, "
        "missing records %d, leftovers %d\n",
        kills, landed, inBatch, static_cast<long long>(delays.size() * tree.documents.size()),
        tree.documents.size(), static_cast<long long>(delays.size()), check.delivered, f[kLost],
        f[kTruncated], f[kDuplicatedRecord], f[kStrayRecord], f[kMissingRecord], f[kLeftover]);
    if (!check.problems.isEmpty()) {
        delays.removeAll(QStringLiteral("-1"));
        std::fprintf(stderr, "FAILED; replay: dokivo-crashtest %s %s %s %d %u %s\n", argv[1], argv[2],
                     argv[3], kills, seed, qPrintable(delays.join(QLatin1Char(','))));
        for (const QString& p : check.problems.first(std::min<qsizetype>(20, check.problems.size())))
            std::fprintf(stderr, "  %s\n", qPrintable(p));
        return 1;
    }
    std::printf("OK\n");
    QDir(tree.root).removeRecursively();  // a failed run keeps its tree for a look
    return 0;
}
