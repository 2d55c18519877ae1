// The kill harness: runs the real console program over a generated tree, kills it with SIGKILL
// at seeded random moments, checks after every kill that no document is lost, then lets a final
// pass finish and checks that everything is filed and recorded exactly once.
//
//   dokivo-crashtest BIN_DIR WORK_DIR FILES KILLS SEED [DELAYS_MS]
//
// A failure prints the delay of every kill so far; DELAYS_MS ("a,b,...") replays them.
//
// Its power-cut mode (PowerCut.h) cuts the power instead, on a file system that forgets what was
// not flushed:
//
//   dokivo-crashtest --power-cut BIN_DIR WORK_DIR FILES ROUNDS SEED FLUSHES_OFF_LIBRARY
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
#include <QStandardPaths>
#include <QThread>
#include <cstdio>
#include <random>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
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

// Written an hour ago, so that the program takes it as settled; on disk before the time is set,
// so that neither a power cut nor a late write-back changes it.
void writeSettled(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush() ||
        !dokivo::platform::syncFile(f) ||
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
    QFile program(binFolder + QStringLiteral("/dokivo-cli"));
    if (!program.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read dokivo-cli in " + binFolder.toStdString());
    writeSettled(t.root + QStringLiteral("app/dokivo-cli"), program.readAll());
    QFile::setPermissions(t.root + QStringLiteral("app/dokivo-cli"), program.permissions());

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
    // program's folder (the copies in the log folders repeat them; every one needs its header),
    // every other file hashed.
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
        } else if (it.fileName().startsWith(QLatin1String("dokivolog")) && f.open(QIODevice::ReadOnly)) {
            const QByteArray content = f.readAll();
            if (!content.startsWith("DOKIVO\t"))
                c.problems << QStringLiteral("headerless: record file without its header: ") + path;
            if (!rel.startsWith(QLatin1String("app/")))
                continue;
            for (const QByteArray& line : content.split('\n')) {
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
            c.problems << QString("%1: %2 record lines, %3 wanted, for %4")
                              .arg(lines > want ? "duplicated" : "unrecorded")
                              .arg(lines)
                              .arg(want)
                              .arg(d.source);
    }
    return c;
}

struct Run {
    bool killed = false;
    int status = -1;  // -1: a crash
    qint64 took = 0;  // ms
};

// One unattended pass of the tree's program, killed with SIGKILL after `delay` ms unless it ends
// first (-1: never killed); `preload` is a library the program runs with.
Run runProgram(const CrashTree& tree, int delay, const QString& preload = {}) {
    QElapsedTimer clock;
    clock.start();
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardOutputFile(tree.root + QStringLiteral("last-run.txt"));
    if (!preload.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), preload);
        p.setProcessEnvironment(env);
    }
    p.start(tree.root + "app/dokivo-cli", {"ini:" + tree.root + "conf/", "run:y"});
    if (!p.waitForStarted())
        throw std::runtime_error("cannot start " + p.program().toStdString());
    const bool ended = p.waitForFinished(delay);  // it may end by itself just before the kill
    if (!ended)
        p.kill();
    p.waitForFinished(-1);
    return {!ended && p.exitStatus() == QProcess::CrashExit,
            p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, clock.elapsed()};
}

// ---- The power-cut mode ----
//
// LazyFS (a FUSE file system; scripts/test.sh builds it into /var/cache/dokivo/lazyfs, or
// $DOKIVO_LAZYFS names where it is) keeps every write not yet flushed in its own cache and drops
// that cache on command, as a power cut does; creations, renames and deletions reach the folder
// underneath at once. Each round mounts it over a fresh folder that holds the whole tree (the
// program's own folder with its record files and journal, input, destination, backup, duplicates
// and log folders), starts a pass and kills it at a seeded random moment, drops the cache, unmounts
// and mounts again (the reboot), lets a pass recover and run and a further pass run, and checks
// the settled tree. Rounds with the program's flushes turned off (FLUSHES_OFF_LIBRARY, preloaded)
// must be caught, so that a round that sees nothing proves something.

// Why LazyFS cannot run here, or nothing when it can.
QString lazyFsMissing(const QString& prefix) {
    if (::geteuid() != 0)
        return QStringLiteral("not root (FUSE mounts need it)");
    if (!QFileInfo::exists(QStringLiteral("/dev/fuse")))
        return QStringLiteral("no /dev/fuse");
    if (!QFileInfo(prefix + QStringLiteral("/bin/lazyfs")).isExecutable())
        return prefix + QStringLiteral("/bin/lazyfs is not built (scripts/test.sh builds it)");
    if (QStandardPaths::findExecutable(QStringLiteral("fusermount3")).isEmpty())
        return QStringLiteral("fusermount3 is missing");
    return {};
}

// LazyFS mounted at WORK/mnt over WORK/root, the folder that survives a power cut.
class LazyFs {
  public:
    LazyFs(const QString& prefix, const QString& work)
        : prefix_(prefix), work_(QDir(work).absolutePath() + QLatin1Char('/')) {
        QDir(work_ + QStringLiteral("root")).removeRecursively();
        for (const char* folder : {"root", "mnt"})
            QDir().mkpath(work_ + folder);
        QFile config(work_ + QStringLiteral("lazyfs.toml"));
        if (!config.open(QIODevice::WriteOnly) ||
            config.write(QStringLiteral("[faults]\nfifo_path=\"%1faults.fifo\"\n"
                                        "fifo_path_completed=\"%1done.fifo\"\n"
                                        "[cache]\napply_eviction=false\n"
                                        "[cache.simple]\ncustom_size=\"256mb\"\nblocks_per_page=1\n"
                                        "[filesystem]\nlog_all_operations=false\nlogfile=\"\"\n")
                             .arg(work_)
                             .toUtf8()) < 0)
            throw std::runtime_error("cannot write the LazyFS configuration");
        for (const char* fifo : {"faults.fifo", "done.fifo"})
            ::mkfifo(QFile::encodeName(work_ + fifo).constData(), 0600);
        // Held open for reading throughout, so that LazyFS's opening it to report never waits.
        done_ = ::open(QFile::encodeName(work_ + QStringLiteral("done.fifo")).constData(), O_RDWR);
    }
    LazyFs(const LazyFs&) = delete;
    LazyFs& operator=(const LazyFs&) = delete;
    ~LazyFs() {
        unmount();
        ::close(done_);
    }

    QString mountPoint() const { return work_ + QStringLiteral("mnt/"); }

    void mount() {
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(work_ + QStringLiteral("lazyfs.log"), QIODevice::Append);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_LIBRARY_PATH"), prefix_ + QStringLiteral("/lib"));
        process_.setProcessEnvironment(env);
        process_.start(prefix_ + QStringLiteral("/bin/lazyfs"),
                       {work_ + QStringLiteral("mnt"), QStringLiteral("--config-path"),
                        work_ + QStringLiteral("lazyfs.toml"), QStringLiteral("-f"), QStringLiteral("-o"),
                        QStringLiteral("modules=subdir"), QStringLiteral("-o"),
                        QStringLiteral("subdir=") + work_ + QStringLiteral("root")});
        for (int waited = 0; !mounted(); waited += 50) {
            if (waited > 60000 || process_.state() == QProcess::NotRunning)
                throw std::runtime_error("LazyFS did not mount; see " + work_.toStdString() + "lazyfs.log");
            QThread::msleep(50);
        }
    }

    // Every write not yet flushed is gone; the call returns once LazyFS says so.
    void cutPower() {
        QFile faults(work_ + QStringLiteral("faults.fifo"));
        if (!faults.open(QIODevice::WriteOnly) || faults.write("lazyfs::clear-cache\n") < 0)
            throw std::runtime_error("cannot reach LazyFS's fault channel");
        faults.close();
        QByteArray reply;
        char c = 0;
        while (!reply.endsWith("finished::clear-cache\n") && ::read(done_, &c, 1) == 1)
            reply += c;
    }

    void unmount() {
        if (process_.state() == QProcess::NotRunning)
            return;
        QProcess::execute(QStringLiteral("fusermount3"),
                          {QStringLiteral("-u"), work_ + QStringLiteral("mnt")});
        if (!process_.waitForFinished(20000)) {
            process_.kill();
            process_.waitForFinished(-1);
            QProcess::execute(QStringLiteral("umount"),
                              {QStringLiteral("-l"), work_ + QStringLiteral("mnt")});
        }
    }

  private:
    bool mounted() const {
        QFile mounts(QStringLiteral("/proc/self/mounts"));
        return mounts.open(QIODevice::ReadOnly) &&
               mounts.readAll().contains(" " + QFile::encodeName(work_ + QStringLiteral("mnt")) + " ");
    }

    QString prefix_;
    QString work_;
    QProcess process_;
    int done_ = -1;
};

// The documents still in their input folders that the passes are to file.
int waitingDocuments(const CrashTree& tree) {
    int waiting = 0;
    for (const Document& d : tree.documents)
        waiting += d.copies.size() > 1 && QFileInfo::exists(d.source);
    return waiting;
}

// `rounds` power cuts, then a few with the program's flushes off, which must be caught. Returns
// the exit status: 0 when every round is clean, most cut mid-pass and the planted fault is seen;
// 77 (CTest's skip) where LazyFS cannot run, unless DOKIVO_POWER_CUT=required.
int powerCutRounds(const QString& binFolder, const QString& work, int files, int rounds, std::uint32_t seed,
                   const QString& flushesOff) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QString prefix = qEnvironmentVariable("DOKIVO_LAZYFS", QStringLiteral("/var/cache/dokivo/lazyfs"));
    if (const QString missing = lazyFsMissing(prefix); !missing.isEmpty()) {
        const bool required = qgetenv("DOKIVO_POWER_CUT") == "required";
        std::printf("power-cut rounds %s: %s\n", required ? "cannot run" : "skipped", qPrintable(missing));
        return required ? 1 : 77;
    }
    qputenv("DOKIVO_INSTANCE_KEY", "dokivo-power-" + QByteArray::number(QCoreApplication::applicationPid()));
    qputenv("DOKIVO_OPERATORE", "CRS");
    constexpr int kPlanted = 3;
    static const QStringList kinds{"lost",      "truncated",  "duplicated",
                                   "leftovers", "unrecorded", "headerless"};
    QMap<QString, int> found, planted;  // faults by kind
    QStringList problems;
    std::mt19937 rng(seed);
    qint64 passMs = 0;
    int midPass = 0;
    for (int r = 0; r < rounds + kPlanted; ++r) {
        const bool flushesAreOff = r >= rounds;
        LazyFs fs(prefix, work);
        fs.mount();
        const CrashTree tree = buildCrashTree(fs.mountPoint(), files, seed + r, binFolder);
        const int total = waitingDocuments(tree);
        // The first round runs to its end and gives the pace; the others are cut anywhere in it,
        // those without flushes in its middle, where batches have been filed.
        const int delay = r == 0          ? -1
                          : flushesAreOff ? int(passMs / 3 + rng() % (passMs / 2 + 1))
                                          : int(rng() % (passMs * 11 / 10 + 1));
        const Run cut = runProgram(tree, delay, flushesAreOff ? flushesOff : QString());
        if (r == 0)
            passMs = std::max<qint64>(cut.took, 20);
        const int filed = total - waitingDocuments(tree);
        const bool delivering = QFileInfo(tree.root + "app/" + dokivo::kJournalFileName).size() > 0;
        const bool mid = cut.killed && (delivering || filed > 0) && filed < total;
        midPass += mid && !flushesAreOff;
        fs.cutPower();
        fs.unmount();
        fs.mount();  // the reboot
        const Run recovery = runProgram(tree, -1), further = runProgram(tree, -1);
        Check c = checkTree(tree, true);
        for (const Run& run : {recovery, further})
            if (run.status != 0)
                c.problems << QString("status: a pass after the cut ended with %1, %2last-run.txt")
                                  .arg(run.status)
                                  .arg(tree.root);
        if (c.waiting != 0)
            c.problems << QString("waiting: %1 documents still in their input folders").arg(c.waiting);
        for (const QString& p : c.problems)
            ++(flushesAreOff ? planted : found)[p.section(':', 0, 0)];
        std::printf("round %d%s: cut at %d ms of %lld (%s), %d of %d filed before it; faults %d\n", r,
                    flushesAreOff ? " (flushes off)" : "", delay, passMs,
                    !cut.killed ? "after the pass"
                    : mid       ? "mid-pass"
                                : "before filing",
                    filed, total, int(c.problems.size()));
        if (!flushesAreOff)
            problems += c.problems;
    }
    const auto totals = [](const QMap<QString, int>& faults) {
        QStringList shown;
        for (const QString& kind : kinds)
            shown << QString("%1 %2").arg(kind).arg(faults.value(kind));
        for (auto it = faults.begin(); it != faults.end(); ++it)
            if (!kinds.contains(it.key()))
                shown << QString("%1 %2").arg(it.key()).arg(it.value());
        return shown.join(", ");
    };
    std::printf("power cuts %d, mid-pass %d: %s\nwith flushes off, %d cuts: %s\n", rounds, midPass,
                qPrintable(totals(found)), kPlanted, qPrintable(totals(planted)));
    int failed = 0;
    if (!problems.isEmpty())
        failed = std::fprintf(stderr, "FAILED: faults after power cuts\n");
    for (const QString& p : problems.mid(0, 20))
        std::fprintf(stderr, "  %s\n", qPrintable(p));
    if (midPass * 2 <= rounds)
        failed = std::fprintf(stderr, "FAILED: most cuts must land mid-pass\n");
    if (planted.isEmpty())
        failed = std::fprintf(stderr, "FAILED: the rounds did not catch a program that does not flush\n");
    if (failed == 0)
        QDir(work).removeRecursively();
    return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc == 8 && QByteArray(argv[1]) == "--power-cut")
        return powerCutRounds(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]),
                              std::strtoul(argv[6], nullptr, 10), argv[7]);
    if (argc < 6)
        throw std::invalid_argument("usage: dokivo-crashtest BIN_DIR WORK_DIR FILES KILLS SEED [DELAYS_MS]");
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
        const Run run = runProgram(tree, delay);
        const bool killed = run.killed;
        const int status = run.status;
        const qint64 took = run.took;
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
