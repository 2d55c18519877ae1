// The kill harness: runs the real console program over a generated tree, kills it with SIGKILL
// at seeded random moments, checks after every kill that no document is lost, then lets a final
// pass finish and checks that everything is filed and recorded exactly once.
//
//   dokivo-crashtest BIN_DIR WORK_DIR FILES KILLS SEED [DELAYS_MS]
//
// A failure prints the delay of every kill so far; DELAYS_MS ("a,b,...") replays them.

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QUuid>
#include <cstdio>
#include <random>
#include <stdexcept>

#include <utime.h>

#include "platform/DateText.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "processing/DeliveryJournal.h"
#include "processing/NameRules.h"

namespace {

constexpr int kSlots = 3;
constexpr int kKilled = -2;  // runProgram(): the kill landed while the program ran

struct Document {
    int slot = 0;
    QString sourceName, destinationName;
    QString dateFolder;      // "YY/MM/DD/" below the destination root
    QByteArray sha1;         // of the bytes as generated
    bool accepted = true;    // false: an extension the slots do not take; it must stay put
    bool nameTaken = false;  // the destination already holds this name: a duplicate
};

struct CrashTree {
    QString root;  // ends with "/"; "app/" holds the program's copy and its record files
    std::vector<Document> documents;
    // What a final name must hold (SHA-1): by path a destination file from before the passes, which
    // must never change; by "slot/destination name" the document of that name.
    QHash<QString, QByteArray> expected;

    // kind: "in", "out", "backup", "doppioni"; each folder is named after its INI key.
    QString dir(const char* kind, int slot) const {
        return root + QLatin1String(kind) + QString::number(slot) + QLatin1Char('/');
    }
};

struct Check {
    int delivered = 0;
    int waiting = 0;            // accepted documents still in their input folders
    QMap<QString, int> faults;  // by kind, for the figures
    QStringList problems;       // one line per fault

    void fault(const char* kind, const QString& what) {
        ++faults[QLatin1String(kind)];
        problems << what;
    }
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray sha1(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

// Mostly small scans, some empty, some large enough that a kill lands inside their copy.
QByteArray randomDocument(std::mt19937& rng) {
    const unsigned pick = rng() % 100;
    QByteArray bytes(pick < 2   ? 0
                     : pick < 7 ? 256 * 1024 + rng() % (768 * 1024)
                                : 1024 + rng() % (48 * 1024),
                     Qt::Uninitialized);
    for (char& c : bytes)
        c = static_cast<char>(rng());
    return bytes;
}

// Three slots with backup, duplicates and dated destination folders, `files` settled documents
// (a share with their name already taken, a few the slots do not accept), the console program
// copied into the application folder, where it keeps its record files, and "Dokivo.ini".
CrashTree buildCrashTree(const QString& root, int files, std::uint32_t seed, const QString& binFolder) {
    CrashTree t{QDir(root).absolutePath() + QLatin1Char('/'), {}, {}};
    QDir(t.root).removeRecursively();
    for (const char* f : {"app", "conf", "track"})
        QDir().mkpath(t.root + QLatin1String(f));
    QString ini = QStringLiteral("[TUTTI]\r\ndir_log_generale=%1track/\r\n").arg(t.root);
    for (int s = 0; s < kSlots; ++s) {
        for (const char* kind : {"in", "out", "log", "backup", "doppioni"}) {
            QDir().mkpath(t.dir(kind, s));
            ini += QStringLiteral("dir_%1_%2=%3\r\n").arg(QLatin1String(kind)).arg(s).arg(t.dir(kind, s));
        }
        ini += QStringLiteral("dir_nazionale_%1=CREA:AA/MM/GG;\r\n").arg(s);
    }
    writeFile(t.root + QStringLiteral("conf/Dokivo.ini"), ini.toUtf8());
    if (!QFile::copy(binFolder + QStringLiteral("/dokivo-cli"), t.root + QStringLiteral("app/dokivo-cli")))
        throw std::runtime_error("cannot copy dokivo-cli from " + binFolder.toStdString());

    std::mt19937 rng(seed);
    const struct utimbuf settled { ::time(nullptr) - 3600, ::time(nullptr) - 3600 };
    for (int i = 0; i < files; ++i) {
        Document d;
        d.slot = i % kSlots;
        // A blank the name rule turns into "_"; one file in a hundred is not a document.
        d.sourceName = QString::fromLatin1(i % 100 == 37 ? "nota %1.txt" : "Scan %1.pdf")
                           .arg(i, 5, 10, QLatin1Char('0'));
        d.accepted = !d.sourceName.endsWith(QLatin1String(".txt"));
        d.destinationName = dokivo::baseDestinationName(d.sourceName, false);
        const QByteArray bytes = randomDocument(rng);
        d.sha1 = sha1(bytes);
        t.expected.insert(QString::number(d.slot) + QLatin1Char('/') + d.destinationName, d.sha1);
        const QString path = t.dir("in", d.slot) + d.sourceName;
        writeFile(path, bytes);
        ::utime(QFile::encodeName(path).constData(), &settled);

        const auto info = dokivo::platform::regularFileInfo(path);
        if (!info)
            throw std::runtime_error("cannot read back " + path.toStdString());
        using dokivo::platform::DatePattern;
        for (const auto pattern : {DatePattern::YY, DatePattern::MM, DatePattern::DD})
            d.dateFolder += dokivo::platform::formatDate(info->created, pattern) + QLatin1Char('/');
        d.nameTaken = d.accepted && rng() % 10 == 0;
        if (d.nameTaken) {
            const QString folder = t.dir("out", d.slot) + d.dateFolder;
            const QByteArray before = "already filed: " + d.destinationName.toUtf8();
            QDir().mkpath(folder);
            writeFile(folder + d.destinationName, before);
            t.expected.insert(folder + d.destinationName, sha1(before));
        }
        t.documents.push_back(std::move(d));
    }
    return t;
}

// The promise after every kill: no document lost, no final name holding a partial copy, every
// delivered document recorded once. After a kill (`settled` false) a delivered document may still
// lack its record line and temporary copies may lie around; after a pass that ended by itself not.
Check checkTree(const CrashTree& tree, bool settled) {
    Check c;
    // Record lines per input folder + destination name, over every record file of the program's
    // folder (the copies in the log folders repeat them).
    QHash<QString, int> records;
    QDirIterator recordFiles(tree.root + QStringLiteral("app"), {QStringLiteral("dokivolog*.txt")},
                             QDir::Files);
    while (recordFiles.hasNext()) {
        QFile f(recordFiles.next());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : f.readAll().split('\n')) {
            const QList<QByteArray> fields = line.trimmed().split('\t');
            if (fields.size() >= 8 && fields[0] != "DOKIVO")
                ++records[QString::fromUtf8(fields[7] + fields[0])];
        }
    }

    // Every file the program's folders hold, read once: a final name outside the input folders
    // holds a complete document of its slot, or the file that was there before the passes.
    QHash<QString, QByteArray> held;  // path -> SHA-1
    for (int s = 0; s < kSlots; ++s) {
        for (const char* kind : {"in", "out", "backup", "doppioni"}) {
            QDirIterator it(tree.dir(kind, s), QDir::Files | QDir::Hidden | QDir::System,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                if (dokivo::platform::isTemporaryCopyName(it.fileName())) {
                    if (settled)
                        c.fault("leftovers", QStringLiteral("temporary copy left: ") + path);
                    continue;
                }
                QFile f(path);
                QCryptographicHash hash(QCryptographicHash::Sha1);
                const QByteArray sha = held[path] =
                    f.open(QIODevice::ReadOnly) && hash.addData(&f) ? hash.result() : "unreadable";
                const QByteArray want = tree.expected.value(
                    path, tree.expected.value(QString::number(s) + QLatin1Char('/') + it.fileName()));
                if (qstrcmp(kind, "in") != 0 && sha != want)
                    c.fault("truncated", QStringLiteral("final name without its complete file: ") + path);
            }
        }
    }

    for (const Document& d : tree.documents) {
        const QString source = tree.dir("in", d.slot) + d.sourceName;
        const int lines = records.value(tree.dir("in", d.slot) + d.destinationName);
        if (lines > 1)
            c.fault("duplicated records", QStringLiteral("%1 record lines for ").arg(lines) + source);
        if (held.contains(source)) {
            c.waiting += d.accepted ? 1 : 0;
            if (held.value(source) != d.sha1)
                c.fault("lost", QStringLiteral("input document changed: ") + source);
            if (lines != 0)
                c.fault("stray records", QStringLiteral("recorded but still in its input folder: ") + source);
            continue;
        }
        if (!d.accepted) {
            c.fault("lost", QStringLiteral("a file the slot does not take has gone: ") + source);
            continue;
        }
        ++c.delivered;
        const QString target = d.nameTaken ? tree.dir("doppioni", d.slot) + d.destinationName
                                           : tree.dir("out", d.slot) + d.dateFolder + d.destinationName;
        for (const QString& copy : {target, tree.dir("backup", d.slot) + d.destinationName})
            if (held.value(copy) != d.sha1)
                c.fault("lost", QStringLiteral("gone from its input folder, not complete in ") + copy);
        if (d.nameTaken && lines != 0)
            c.fault("stray records", QStringLiteral("a duplicate has a record line: ") + source);
        else if (settled && !d.nameTaken && lines == 0)
            c.fault("missing records", QStringLiteral("delivered without its record line: ") + source);
    }
    return c;
}

// One pass of the console program, killed (SIGKILL) after `killAfterMs` unless it ended first
// (-1: never). Returns its exit status, kKilled, or -1 when it crashed by itself.
int runProgram(const CrashTree& tree, int killAfterMs) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardOutputFile(tree.root + QStringLiteral("last-run.txt"));
    p.start(tree.root + QStringLiteral("app/dokivo-cli"),
            {QStringLiteral("ini:") + tree.root + QStringLiteral("conf/"), QStringLiteral("run:y")});
    if (!p.waitForStarted())
        throw std::runtime_error("cannot start " + p.program().toStdString());
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
            check.problems << QStringLiteral(
                                  "run %1 ended with status %2 (3: the lock outlived a killed "
                                  "run), see %3last-run.txt")
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
    std::printf(
        "kills tried %d, landed %d, inside a batch %d\ndocuments checked %lld (%zu documents x %lld "
        "checks)\ndelivered %d",
        kills, landed, inBatch, static_cast<long long>(delays.size() * tree.documents.size()),
        tree.documents.size(), static_cast<long long>(delays.size()), check.delivered);
    for (const char* kind :
         {"lost", "truncated", "duplicated records", "stray records", "missing records", "leftovers"})
        std::printf(", %s %d", kind, check.faults.value(QLatin1String(kind)));
    std::printf("\n");
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
