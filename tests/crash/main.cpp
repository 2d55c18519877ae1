// The kill harness: runs the real console program over a generated tree, kills it with SIGKILL
// at seeded random moments, checks after every kill that no document is lost, then lets a final
// pass finish and checks that everything is filed and recorded exactly once.
//
//   dokivo-crashtest BIN_DIR WORK_DIR FILES KILLS SEED [DELAYS_MS]
//
// A failure prints the delay of every kill so far; DELAYS_MS ("a,b,...") replays them.
//
// CTest runs a short variant on every build, bench/crash_long.sh a long one on a real disk. A kill
// ends the process, not the machine, so what it leaves is the same in memory: the short run's tree
// lies in /dev/shm (a folder per build), which keeps the data flushes from setting the pace.

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>
#include <random>
#include <stdexcept>

#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "processing/DeliveryJournal.h"

namespace {

struct Document {
    QString source;      // its path in its input folder
    QString recordKey;   // input folder + destination name, as its record line names it
    QByteArray sha1;     // of the bytes as generated
    QStringList copies;  // where it must be once gone from its input folder (itself: never to go)
};

struct CrashTree {
    QString root;  // ends with "/"; "app/" holds the program's copy and its record files
    std::vector<Document> documents;
    // What each final name below "out", "backup" and "doppioni" must hold (SHA-1): a document, or
    // the file that was there before the passes and must never change.
    QHash<QString, QByteArray> finalNames;
};

struct Check {
    int delivered = 0, waiting = 0;  // waiting: accepted documents still in their input folders
    QStringList problems;            // "kind: what", one per fault
};

QByteArray sha1(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

// Written an hour ago, so that the program takes it as settled.
void writeSettled(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() ||
        !f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime))
        throw std::runtime_error("cannot write " + path.toStdString());
}

// Three slots with backup, duplicates and dated destination folders, `files` documents, mostly
// small scans, some empty, some large enough that a kill lands inside their copy; a share with
// their name already taken, a few the slots do not accept. The console program is copied into
// the application folder, where it keeps its record files, beside "conf/Dokivo.ini".
CrashTree buildCrashTree(const QString& root, int files, std::uint32_t seed, const QString& binFolder) {
    CrashTree t{QDir(root).absolutePath() + QLatin1Char('/'), {}, {}};
    QDir(t.root).removeRecursively();
    for (const char* folder : {"app", "conf", "track"})
        QDir().mkpath(t.root + folder);
    QString ini = QStringLiteral("[TUTTI]\r\ndir_log_generale=%1track/\r\n").arg(t.root);
    for (int s = 0; s < 3; ++s) {  // each slot folder is named after its INI key
        ini += QStringLiteral("dir_nazionale_%1=CREA:AA/MM/GG;\r\n").arg(s);
        for (const QString& kind : QStringList{"in", "out", "log", "backup", "doppioni"}) {
            ini += QString("dir_%1_%2=%3%1%2/\r\n").arg(kind, QString::number(s), t.root);
            QDir().mkpath(t.root + kind + QString::number(s));
        }
    }
    writeSettled(t.root + QStringLiteral("conf/Dokivo.ini"), ini.toUtf8());
    if (!QFile::copy(binFolder + QStringLiteral("/dokivo-cli"), t.root + QStringLiteral("app/dokivo-cli")))
        throw std::runtime_error("cannot copy dokivo-cli from " + binFolder.toStdString());

    std::mt19937 rng(seed);
    for (int i = 0; i < files; ++i) {
        const unsigned size = rng() % 100;
        QByteArray bytes(size < 2   ? 0
                         : size < 7 ? 256 * 1024 + rng() % (768 * 1024)
                                    : 1024 + rng() % (48 * 1024),
                         Qt::Uninitialized);
        std::ranges::generate(bytes, std::ref(rng));
        // A blank the name rule turns into "_"; one file in a hundred is not a document.
        const QString slot = QString::number(i % 3), in = t.root + "in" + slot + '/';
        const QString name = QString(i % 100 == 37 ? "nota %1.txt" : "Scan %1.pdf").arg(i, 5, 10, QChar('0'));
        const QString filed = QString(name).replace(' ', '_');
        Document d{in + name, in + filed, sha1(bytes), {in + name}};
        writeSettled(d.source, bytes);
        if (!name.endsWith(QLatin1String(".txt"))) {
            const QString dated = t.root + "out" + slot + '/' +
                                  dokivo::platform::regularFileInfo(d.source).value().created.toString(
                                      QStringLiteral("yy/MM/dd/"));
            d.copies = {dated + filed, t.root + "backup" + slot + '/' + filed};
            if (rng() % 10 == 0) {  // the name is taken: the document goes to the duplicates
                const QByteArray before = "already filed: " + filed.toUtf8();
                QDir().mkpath(dated);
                writeSettled(dated + filed, before);
                t.finalNames.insert(dated + filed, sha1(before));
                d.copies[0] = t.root + "doppioni" + slot + '/' + filed;
            }
            for (const QString& copy : d.copies)
                t.finalNames.insert(copy, d.sha1);
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
    // One walk: record lines per input folder + destination name from the record files of the
    // program's folder (the copies in the log folders repeat them), every other file hashed.
    static const QRegularExpression finalFolder(QStringLiteral("^(out|backup|doppioni)\\d/"));
    QHash<QString, int> records;
    QHash<QString, QByteArray> held;  // path -> SHA-1
    QDirIterator it(tree.root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next(), rel = path.mid(tree.root.size());
        QFile f(path);
        if (dokivo::platform::isTemporaryCopyName(it.fileName())) {
            if (settled)
                c.problems << QStringLiteral("leftovers: temporary copy left: ") + path;
        } else if (rel.startsWith(QLatin1String("app/dokivolog")) && f.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : f.readAll().split('\n')) {
                const QList<QByteArray> fields = line.trimmed().split('\t');
                if (fields.size() >= 8 && fields[0] != "DOKIVO")
                    ++records[QString::fromUtf8(fields[7] + fields[0])];
            }
        } else if (rel.startsWith(QLatin1String("in")) || finalFolder.match(rel).hasMatch()) {
            QCryptographicHash hash(QCryptographicHash::Sha1);
            held[path] = f.open(QIODevice::ReadOnly) && hash.addData(&f) ? hash.result() : "unreadable";
            if (!rel.startsWith(QLatin1String("in")) && held[path] != tree.finalNames.value(path))
                c.problems << QStringLiteral("truncated: final name without its complete file: ") + path;
        }
    }

    for (const Document& d : tree.documents) {
        const int lines = records.value(d.recordKey);
        int want = 0;
        if (held.contains(d.source)) {
            c.waiting += d.copies.size() > 1;
            if (held.value(d.source) != d.sha1)
                c.problems << QStringLiteral("lost: input document changed: ") + d.source;
        } else {
            ++c.delivered;
            want = d.copies[0].contains(QLatin1String("/doppioni")) ? 0 : 1;  // none for a duplicate
            for (const QString& copy : d.copies)
                if (held.value(copy) != d.sha1)
                    c.problems << QStringLiteral("lost: gone from its input folder, not complete in ") + copy;
        }
        // A kill may land between a document's filing and its record line.
        if (lines > want || (settled && lines < want))
            c.problems << QString("records: %1 lines, %2 wanted, for %3").arg(lines).arg(want).arg(d.source);
    }
    return c;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 6)
        throw std::invalid_argument("usage: dokivo-crashtest BIN_DIR WORK_DIR FILES KILLS SEED [DELAYS_MS]");
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // figures show up as they come, also in a log file
    const std::uint32_t seed = std::strtoul(argv[5], nullptr, 10);
    const QStringList replay = QString(argc > 6 ? argv[6] : "").split(',', Qt::SkipEmptyParts);
    const int kills = replay.isEmpty() ? std::atoi(argv[4]) : int(replay.size());
    std::printf("seed %u, %s files, %d kills, work folder %s\n", seed, argv[3], kills, argv[2]);
    const CrashTree tree = buildCrashTree(argv[2], std::atoi(argv[3]), seed, argv[1]);
    // Its own lock, so that a developer's running instance does not refuse the harness's passes.
    qputenv("DOKIVO_INSTANCE_KEY", "dokivo-crash-" + QByteArray::number(app.applicationPid()));
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
        const int delay = k == kills          ? -1
                          : k < replay.size() ? replay[k].toInt()
                                              : int(rng() % (windowMs + 1));
        delays << QString::number(delay);
        const int before = check.waiting;
        QElapsedTimer clock;
        clock.start();
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.setStandardOutputFile(tree.root + QStringLiteral("last-run.txt"));
        p.start(tree.root + "app/dokivo-cli", {"ini:" + tree.root + "conf/", "run:y"});
        if (!p.waitForStarted())
            throw std::runtime_error("cannot start " + p.program().toStdString());
        const bool ended = p.waitForFinished(delay);  // it may end by itself just before the kill
        if (!ended)
            p.kill();
        p.waitForFinished(-1);
        const bool killed = !ended && p.exitStatus() == QProcess::CrashExit;
        const int status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;  // -1: a crash
        const qint64 took = clock.elapsed();
        // A kill inside a batch leaves its journal notes: copies staged, named or half-filed.
        landed += killed;
        inBatch += killed && QFileInfo(tree.root + "app/" + dokivo::kJournalFileName).size() > 0;
        check = checkTree(tree, !killed);
        // The lock goes with its process, and the killed one has been reaped: a refusal by the lock
        // (status 3) means it outlived it (a leaked descriptor, say).
        if (!killed && status != 0)
            check.problems << QString("run %1: status %2, %3last-run.txt").arg(k).arg(status).arg(tree.root);
        if (k == kills && check.waiting != 0)
            check.problems << QStringLiteral("%1 documents still in their input folders").arg(check.waiting);

        // The window is the start-up (learnt: longer after a kill that filed nothing, shorter after
        // a run that filed everything, measured by a run that had nothing to file) and twice the
        // time of a kill's share of the work left.
        const int done = before - check.waiting;
        if (!killed || done == 0)
            startupMs = killed ? startupMs + 10 : done == 0 ? int(took) : std::max(5, startupMs * 2 / 3);
        if (done > 0 && took > 0)
            msPerDocument = double(took) / done;
        windowMs = startupMs + int(2.0 * msPerDocument * check.waiting / std::max(1, kills - k - 1));
    }

    // Kills that all miss the batches would leave their recovery untried.
    if (landed >= 5 && inBatch == 0)
        check.problems << QStringLiteral("no kill landed inside a batch");
    std::printf(
        "kills tried %d, landed %d, inside a batch %d; %d documents x %d checks, delivered %d, faults %d\n",
        kills, landed, inBatch, int(tree.documents.size()), int(delays.size()), check.delivered,
        int(check.problems.size()));
    if (check.problems.isEmpty()) {
        QDir(tree.root).removeRecursively();  // a failed run keeps its tree for a look
        return 0;
    }
    delays.removeAll("-1");
    std::fprintf(stderr, "FAILED; replay: dokivo-crashtest %s %s %s %d %u %s\n", argv[1], argv[2], argv[3],
                 kills, seed, qPrintable(delays.join(',')));
    for (const QString& p : check.problems.mid(0, 20))
        std::fprintf(stderr, "  %s\n", qPrintable(p));
    return 1;
}
