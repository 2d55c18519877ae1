#pragma once

// A configured tree for scan and folder passes: Dokivo.ini written from key/value pairs, real
// input, destination, log, backup and duplicates folders.

#include <QMap>

#include "config/Settings.h"
#include "scan/ScanDriver.h"
#include "support/TestSupport.h"

namespace dokivo::test {

struct PassFixture : ModuleFixture {
    QMap<QString, QString> ini;

    PassFixture() { ini["dir_log_generale"] = tree.folder("track"); }

    // Slot n with input, destination and log folders under "sN/".
    void slot(int n, const QMap<QString, QString>& extra = {}) {
        const QString base = QStringLiteral("s%1/").arg(n);
        ini[slotKey("dir_in_", n)] = tree.folder(base + "in");
        ini[slotKey("dir_out_", n)] = tree.folder(base + "out");
        ini[slotKey("dir_log_", n)] = tree.folder(base + "log");
        for (auto it = extra.begin(); it != extra.end(); ++it)
            ini[slotKey(it.key().toLatin1().constData(), n)] = it.value();
    }
    QString in(int n, const QString& name = {}) const {
        return tree.path(QStringLiteral("s%1/in/").arg(n) + name);
    }
    QString out(int n, const QString& rel = {}) const {
        return tree.path(QStringLiteral("s%1/out/").arg(n) + rel);
    }
    QString log(int n, const QString& rel = {}) const {
        return tree.path(QStringLiteral("s%1/log/").arg(n) + rel);
    }

    void saveIni() {
        QString text = QStringLiteral("[TUTTI]\r\n");
        for (auto it = ini.begin(); it != ini.end(); ++it)
            text += it.key() + "=" + it.value() + "\r\n";
        writeIni(text);
    }
    void pass() {
        saveIni();
        LEGGI_DIR(m());
    }
    void drop(int n, const QString& name, const QByteArray& content = "%PDF-1.4 test\n") const {
        tree.write(QStringLiteral("s%1/in/").arg(n) + name, content);
    }
    // Record files handed over to slot n's log folder.
    QStringList recordFiles(int n) const {
        return QDir(log(n)).entryList({"dokivolog*.txt"}, QDir::Files, QDir::Name);
    }
};

}  // namespace dokivo::test
