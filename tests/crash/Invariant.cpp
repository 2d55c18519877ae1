#include "Invariant.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QHash>

#include "platform/DurableCopy.h"

namespace dokivo::crash {

namespace {

QByteArray sha1Of(const QString& path, bool* exists) {
    QFile f(path);
    *exists = f.open(QIODevice::ReadOnly);
    if (!*exists)
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&f);
    return hash.result();
}

bool holdsDocument(const QString& path, const Document& d) {
    bool exists = false;
    const QByteArray sha = sha1Of(path, &exists);
    return exists && sha == d.sha1;
}

// Record lines per input folder + destination name, over every record file of the program's
// folder (the copies in the log folders repeat them).
QHash<QString, int> countRecordLines(const CrashTree& tree) {
    QHash<QString, int> counts;
    QDirIterator it(tree.app, {QStringLiteral("dokivolog*.txt")}, QDir::Files);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> lines = f.readAll().split('\n');
        for (const QByteArray& raw : lines) {
            const QList<QByteArray> fields = raw.trimmed().split('\t');
            if (fields.size() < 8 || fields[0] == "DOKIVO")
                continue;
            ++counts[QString::fromUtf8(fields[7]) + QString::fromUtf8(fields[0])];
        }
    }
    return counts;
}

// Every file under a final name in the trees the program writes must be a complete document
// (or a file that was there before); temporary copies are counted apart.
void checkFinalNames(const CrashTree& tree, InvariantReport& r) {
    QHash<QString, const Document*> byTarget;  // "slot/name" -> document
    for (const Document& d : tree.documents)
        byTarget.insert(QString::number(d.slot) + QLatin1Char('/') + d.destinationName, &d);
    QHash<QString, QByteArray> before;
    for (const Preseeded& p : tree.preseeded)
        before.insert(p.path, p.bytes);

    for (int s = 0; s < kSlots; ++s) {
        for (const QString& folder :
             {tree.destination(s), tree.backup(s), tree.duplicates(s), tree.input(s)}) {
            QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                const QString name = it.fileName();
                if (platform::isTemporaryCopyName(name)) {
                    ++r.leftovers;
                    r.problems << QStringLiteral("temporary copy left: ") + path;
                    continue;
                }
                if (folder == tree.input(s))
                    continue;  // input files are checked document by document
                if (before.contains(path)) {
                    QFile f(path);
                    if (!f.open(QIODevice::ReadOnly) || f.readAll() != before.value(path)) {
                        ++r.truncated;
                        r.problems << QStringLiteral("file filed before the passes was changed: ") + path;
                    }
                    continue;
                }
                const Document* d = byTarget.value(QString::number(s) + QLatin1Char('/') + name);
                if (!d || !holdsDocument(path, *d)) {
                    ++r.truncated;
                    r.problems << QStringLiteral("final name without a complete document: ") + path;
                }
            }
        }
    }
}

}  // namespace

InvariantReport checkInvariant(const CrashTree& tree, bool final) {
    InvariantReport r;
    const QHash<QString, int> records = countRecordLines(tree);
    for (const Document& d : tree.documents) {
        ++r.documentsChecked;
        const QString source = tree.input(d.slot) + d.sourceName;
        const int lines = records.value(tree.input(d.slot) + d.destinationName);
        if (lines > 1) {
            ++r.duplicatedRecords;
            r.problems << QStringLiteral("%1 record lines for ").arg(lines) + source;
        }
        bool inInput = false;
        const QByteArray inputSha = sha1Of(source, &inInput);
        if (inInput) {
            if (inputSha != d.sha1) {
                ++r.lost;
                r.problems << QStringLiteral("input document changed: ") + source;
            }
            if (lines != 0) {
                ++r.strayRecords;
                r.problems << QStringLiteral("recorded but still in its input folder: ") + source;
            }
            continue;
        }
        if (!d.accepted) {
            ++r.lost;
            r.problems << QStringLiteral("a file the slot does not take has gone: ") + source;
            continue;
        }
        ++r.delivered;
        const QString target = d.nameTaken ? tree.duplicates(d.slot) + d.destinationName
                                           : tree.destination(d.slot) + d.dateFolder + d.destinationName;
        if (!holdsDocument(target, d)) {
            ++r.lost;
            r.problems << QStringLiteral("gone from its input folder, not complete in ") + target;
        }
        if (!holdsDocument(tree.backup(d.slot) + d.destinationName, d)) {
            ++r.lost;
            r.problems << QStringLiteral("gone from its input folder without its backup copy: ") + source;
        }
        const int expectedLines = d.nameTaken ? 0 : 1;
        if (d.nameTaken && lines != 0) {
            ++r.strayRecords;
            r.problems << QStringLiteral("a duplicate has a record line: ") + source;
        } else if (final && lines < expectedLines) {
            ++r.missingRecords;
            r.problems << QStringLiteral("delivered without its record line: ") + source;
        }
    }
    checkFinalNames(tree, r);
    return r;
}

}  // namespace dokivo::crash
