#include "CrashTree.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <random>
#include <stdexcept>

#include <sys/stat.h>
#include <utime.h>

#include "platform/DateText.h"
#include "platform/FileSystem.h"
#include "processing/NameRules.h"

namespace dokivo::crash {

using platform::DatePattern;
using platform::formatDate;

QString CrashTree::input(int slot) const {
    return root + QStringLiteral("in%1/").arg(slot);
}
QString CrashTree::destination(int slot) const {
    return root + QStringLiteral("out%1/").arg(slot);
}
QString CrashTree::backup(int slot) const {
    return root + QStringLiteral("bak%1/").arg(slot);
}
QString CrashTree::duplicates(int slot) const {
    return root + QStringLiteral("dup%1/").arg(slot);
}
QString CrashTree::log(int slot) const {
    return root + QStringLiteral("log%1/").arg(slot);
}
QString CrashTree::tracking() const {
    return root + QStringLiteral("track/");
}

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void copyProgram(const QString& from, const QString& to) {
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw std::runtime_error("cannot copy " + from.toStdString());
    QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

// Three naming families: blanks that become "_", the sixteen-character form whose "-" becomes
// "_", and plain names with an upper-case extension; one file in a hundred is not a document.
QString sourceNameFor(int slot, int i, bool* accepted) {
    *accepted = i % 100 != 37;
    if (!*accepted)
        return QStringLiteral("nota %1.txt").arg(i, 5, 10, QLatin1Char('0'));
    switch (i % 3) {
        case 0:
            return QStringLiteral("Scan %1.pdf").arg(i, 5, 10, QLatin1Char('0'));
        case 1:
            return QStringLiteral("DK%1-%2.pdf").arg(slot).arg(i, 8, 10, QLatin1Char('0'));
        default:
            return QStringLiteral("doc_%1.PDF").arg(i, 5, 10, QLatin1Char('0'));
    }
}

// Mostly small scans, some empty, some large enough that a kill lands inside their copy.
qint64 sizeFor(std::mt19937& rng) {
    const unsigned pick = rng() % 100;
    if (pick < 2)
        return 0;
    if (pick < 7)
        return 256 * 1024 + rng() % (768 * 1024);
    return 1024 + rng() % (48 * 1024);
}

QByteArray randomBytes(std::mt19937& rng, qint64 size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(rng());
    return bytes;
}

QString iniText(const CrashTree& t) {
    QString ini = QStringLiteral("[TUTTI]\r\ndir_log_generale=%1\r\n").arg(t.tracking());
    for (int s = 0; s < kSlots; ++s) {
        ini += QStringLiteral("dir_in_%1=%2\r\n").arg(s).arg(t.input(s));
        ini += QStringLiteral("dir_out_%1=%2\r\n").arg(s).arg(t.destination(s));
        ini += QStringLiteral("dir_log_%1=%2\r\n").arg(s).arg(t.log(s));
        ini += QStringLiteral("dir_backup_%1=%2\r\n").arg(s).arg(t.backup(s));
        ini += QStringLiteral("dir_doppioni_%1=%2\r\n").arg(s).arg(t.duplicates(s));
        ini += QStringLiteral("dir_nazionale_%1=CREA:AA/MM/GG;\r\n").arg(s);
    }
    return ini;
}

}  // namespace

CrashTree buildCrashTree(const QString& root, int files, std::uint32_t seed, const QString& binFolder) {
    CrashTree t;
    t.root = QDir(root).absolutePath() + QLatin1Char('/');
    QDir(t.root).removeRecursively();
    t.app = t.root + QStringLiteral("app/");
    t.conf = t.root + QStringLiteral("conf/");
    for (const QString& f : {t.app, t.conf, t.tracking()})
        QDir().mkpath(f);
    for (int s = 0; s < kSlots; ++s)
        for (const QString& f : {t.input(s), t.destination(s), t.backup(s), t.duplicates(s), t.log(s)})
            QDir().mkpath(f);

    copyProgram(binFolder + QStringLiteral("/dokivo-cli"), t.app + QStringLiteral("dokivo-cli"));
    if (QFile::exists(binFolder + QStringLiteral("/encryptpdf.exe")))
        copyProgram(binFolder + QStringLiteral("/encryptpdf.exe"), t.app + QStringLiteral("encryptpdf.exe"));
    writeFile(t.conf + QStringLiteral("Dokivo.ini"), iniText(t).toUtf8());

    std::mt19937 rng(seed);
    // Files look settled, as a scanner's finished output does.
    const struct utimbuf settled { ::time(nullptr) - 3600, ::time(nullptr) - 3600 };
    for (int i = 0; i < files; ++i) {
        Document d;
        d.slot = i % kSlots;
        d.sourceName = sourceNameFor(d.slot, i, &d.accepted);
        d.destinationName = baseDestinationName(d.sourceName, false);
        const QByteArray bytes = randomBytes(rng, sizeFor(rng));
        d.size = bytes.size();
        d.sha1 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
        const QString path = t.input(d.slot) + d.sourceName;
        writeFile(path, bytes);
        ::utime(QFile::encodeName(path).constData(), &settled);

        const std::optional<platform::FileEntry> info = platform::regularFileInfo(path);
        if (!info)
            throw std::runtime_error("cannot read back " + path.toStdString());
        const QDateTime& created = info->created;
        d.dateFolder = formatDate(created, DatePattern::YY) + QLatin1Char('/') +
                       formatDate(created, DatePattern::MM) + QLatin1Char('/') +
                       formatDate(created, DatePattern::DD) + QLatin1Char('/');
        d.nameTaken = d.accepted && rng() % 10 == 0;
        if (d.nameTaken) {
            const QString folder = t.destination(d.slot) + d.dateFolder;
            QDir().mkpath(folder);
            Preseeded p{folder + d.destinationName, "already filed: " + d.destinationName.toUtf8()};
            writeFile(p.path, p.bytes);
            t.preseeded.push_back(std::move(p));
        }
        t.documents.push_back(std::move(d));
    }
    return t;
}

}  // namespace dokivo::crash
