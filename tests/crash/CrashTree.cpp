#include "CrashTree.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <random>
#include <stdexcept>

#include <utime.h>

#include "platform/DateText.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "processing/NameRules.h"

namespace dokivo::crash {

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray sha1(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

// Three naming families: blanks that become "_", the sixteen-character form whose "-" becomes
// "_", and plain names with an upper-case extension; one file in a hundred is not a document.
QString sourceNameFor(int slot, int i) {
    const QString n = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
    if (i % 100 == 37)
        return QStringLiteral("nota ") + n + QStringLiteral(".txt");
    const QString names[] = {QStringLiteral("Scan ") + n + QStringLiteral(".pdf"),
                             QStringLiteral("DK%1-%2.pdf").arg(slot).arg(i, 8, 10, QLatin1Char('0')),
                             QStringLiteral("doc_") + n + QStringLiteral(".PDF")};
    return names[i % 3];
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

}  // namespace

CrashTree buildCrashTree(const QString& root, int files, std::uint32_t seed, const QString& binFolder) {
    CrashTree t{QDir(root).absolutePath() + QLatin1Char('/'), {}, {}};
    QDir(t.root).removeRecursively();
    for (const char* f : {"app", "conf", "track"})
        QDir().mkpath(t.root + QLatin1String(f));
    QString ini = QStringLiteral("[TUTTI]\r\ndir_log_generale=%1track/\r\n").arg(t.root);
    for (int s = 0; s < kSlots; ++s) {
        // Each folder is named after its key: "dir_backup_0" is "backup0/".
        for (const char* kind : {"in", "out", "log", "backup", "doppioni"}) {
            QDir().mkpath(t.dir(kind, s));
            ini += QStringLiteral("dir_%1_%2=%3\r\n").arg(QLatin1String(kind)).arg(s).arg(t.dir(kind, s));
        }
        ini += QStringLiteral("dir_nazionale_%1=CREA:AA/MM/GG;\r\n").arg(s);
    }
    writeFile(t.root + QStringLiteral("conf/Dokivo.ini"), ini.toUtf8());
    // The program keeps its record files in its own folder.
    if (!QFile::copy(binFolder + QStringLiteral("/dokivo-cli"), t.root + QStringLiteral("app/dokivo-cli")))
        throw std::runtime_error("cannot copy dokivo-cli from " + binFolder.toStdString());

    std::mt19937 rng(seed);
    // Files look settled, as a scanner's finished output does.
    const struct utimbuf settled { ::time(nullptr) - 3600, ::time(nullptr) - 3600 };
    for (int i = 0; i < files; ++i) {
        Document d;
        d.slot = i % kSlots;
        d.sourceName = sourceNameFor(d.slot, i);
        d.accepted = !d.sourceName.endsWith(QLatin1String(".txt"));
        d.destinationName = baseDestinationName(d.sourceName, false);
        const QByteArray bytes = randomDocument(rng);
        d.sha1 = sha1(bytes);
        t.expected.insert(QString::number(d.slot) + QLatin1Char('/') + d.destinationName, d.sha1);
        const QString path = t.dir("in", d.slot) + d.sourceName;
        writeFile(path, bytes);
        ::utime(QFile::encodeName(path).constData(), &settled);

        const std::optional<platform::FileEntry> info = platform::regularFileInfo(path);
        if (!info)
            throw std::runtime_error("cannot read back " + path.toStdString());
        for (const auto pattern :
             {platform::DatePattern::YY, platform::DatePattern::MM, platform::DatePattern::DD})
            d.dateFolder += platform::formatDate(info->created, pattern) + QLatin1Char('/');
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
                if (platform::isTemporaryCopyName(it.fileName())) {
                    if (settled)
                        c.fault(kLeftover, QStringLiteral("temporary copy left: ") + path);
                    continue;
                }
                QFile f(path);
                QCryptographicHash hash(QCryptographicHash::Sha1);
                const QByteArray sha = held[path] =
                    f.open(QIODevice::ReadOnly) && hash.addData(&f) ? hash.result() : "unreadable";
                const QByteArray want = tree.expected.value(
                    path, tree.expected.value(QString::number(s) + QLatin1Char('/') + it.fileName()));
                if (qstrcmp(kind, "in") != 0 && sha != want)
                    c.fault(kTruncated, QStringLiteral("final name without its complete file: ") + path);
            }
        }
    }

    for (const Document& d : tree.documents) {
        const QString source = tree.dir("in", d.slot) + d.sourceName;
        const int lines = records.value(tree.dir("in", d.slot) + d.destinationName);
        if (lines > 1)
            c.fault(kDuplicatedRecord, QStringLiteral("%1 record lines for ").arg(lines) + source);
        if (held.contains(source)) {
            c.waiting += d.accepted ? 1 : 0;
            if (held.value(source) != d.sha1)
                c.fault(kLost, QStringLiteral("input document changed: ") + source);
            if (lines != 0)
                c.fault(kStrayRecord, QStringLiteral("recorded but still in its input folder: ") + source);
            continue;
        }
        if (!d.accepted) {
            c.fault(kLost, QStringLiteral("a file the slot does not take has gone: ") + source);
            continue;
        }
        ++c.delivered;
        const QString target = d.nameTaken ? tree.dir("doppioni", d.slot) + d.destinationName
                                           : tree.dir("out", d.slot) + d.dateFolder + d.destinationName;
        for (const QString& copy : {target, tree.dir("backup", d.slot) + d.destinationName})
            if (held.value(copy) != d.sha1)
                c.fault(kLost, QStringLiteral("gone from its input folder, not complete in ") + copy);
        if (d.nameTaken && lines != 0)
            c.fault(kStrayRecord, QStringLiteral("a duplicate has a record line: ") + source);
        else if (settled && !d.nameTaken && lines == 0)
            c.fault(kMissingRecord, QStringLiteral("delivered without its record line: ") + source);
    }
    return c;
}

}  // namespace dokivo::crash
