#pragma once

// Shared fixtures for the core tests: a clock the test sets, a front end that records what it
// was asked to show, and a temporary folder tree.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "app/Frontend.h"
#include "app/MainModule.h"
#include "platform/Clock.h"
#include "platform/FolderLock.h"
#include "platform/Paths.h"

// GoogleTest prints Qt texts in failure messages (a list of texts as a container of them).
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}
inline std::ostream& operator<<(std::ostream& os, const QByteArray& b) {
    return os << b.toStdString();
}
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace dokivo::test {

// Starts at 5 March 2024, 14:03:07; only sleeping moves it.
class FakeClock final : public platform::Clock {
  public:
    QDateTime now() const override {
        if (onNow)
            onNow();
        return now_;
    }
    void sleepMs(int ms) override { now_ = now_.addMSecs(ms); }
    std::function<void()> onNow;  // a pass asks the time at every file: a moment inside it

  private:
    QDateTime now_{QDate(2024, 3, 5), QTime(14, 3, 7)};
};

class FakeFrontend final : public Frontend {
  public:
    void refreshList() override {
        ++refreshes;
        if (onRefresh)
            onRefresh();
    }
    void showMessage(const QString& text, MessageIcon, const QString&) override {
        messages << text;
        if (onMessage)
            onMessage(text);
    }
    void processPendingEvents() override {
        ++eventRounds;
        if (onProcessEvents)
            onProcessEvents();
    }
    QString operatorCode() const override { return operatorCodeText; }
    QString receptionDate() const override { return receptionDateText; }
    void addTrayIcon() override { trayIcon = true; }
    void removeTrayIcon() override { trayIcon = false; }
    void requestClose() override { closeRequested = true; }
    void setRunCaption(const QString& text) override { runCaption = text; }
    void setTimerEnabled(bool on) override { timerEnabled = on; }

    QStringList messages;
    int refreshes = 0;
    int eventRounds = 0;
    QString operatorCodeText;
    QString receptionDateText;
    QString runCaption;
    bool trayIcon = false;
    bool timerEnabled = false;
    bool closeRequested = false;
    std::function<void()> onProcessEvents, onRefresh;
    std::function<void(const QString&)> onMessage;
};

// A temporary folder with helpers that take paths relative to it ("a/b", "/" between levels).
// The paths it gives use the native separator, as the program's own paths do.
class TempTree {
  public:
    QString path(const QString& rel = {}) const {
        const QString root = QDir::toNativeSeparators(dir_.path());
        return rel.isEmpty() ? platform::withTrailingSeparator(root)
                             : root + platform::separatorChar() + QDir::toNativeSeparators(rel);
    }
    // A folder path ending with the separator.
    QString folder(const QString& rel) const {
        QDir().mkpath(path(rel));
        return platform::withTrailingSeparator(path(rel));
    }
    void write(const QString& rel, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(path(rel)).path());
        QFile f(path(rel));
        if (!f.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write test file");
        f.write(bytes);
    }
    QByteArray read(const QString& rel) const {
        QFile f(path(rel));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString& rel) const { return QFileInfo::exists(path(rel)); }
    // Without the lock file a pass keeps in its input folder: no document, always there.
    QStringList entries(const QString& rel = {}) const {
        QStringList names = QDir(path(rel)).entryList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
        names.removeOne(platform::kFolderLockName);
        return names;
    }

  private:
    QTemporaryDir dir_;
};

// A main module on a temporary tree whose application and record folders are `app/`.
struct ModuleFixture {
    TempTree tree;
    FakeClock clock;
    FakeFrontend frontend;
    std::unique_ptr<MainModule> module;

    ModuleFixture() {
        const QString app = tree.folder(QStringLiteral("app"));
        module = std::make_unique<MainModule>(frontend, clock, AppFolders{app, app});
        module->settings.config_dir = tree.folder(QStringLiteral("conf"));
    }
    MainModule& m() { return *module; }
    // Lines of the operations list with their stamp cut off: the stamp is the locale's date and a
    // time with seconds, and the first such time ends it. (The fake clock never stands at
    // midnight, where the stamp would be the date alone.)
    QStringList messages() const {
        static const QRegularExpression stamp(
            QStringLiteral("^.*?\\d{1,2}[:.]\\d{2}[:.]\\d{2}(?:\\s?[AaPp]\\.?[Mm]\\.?)?"));
        QStringList out;
        for (const QString& line : module->operations.lines())
            out << line.mid(stamp.match(line).capturedLength());
        return out;
    }
    void writeIni(const QString& content) { tree.write(QStringLiteral("conf/Dokivo.ini"), content.toUtf8()); }
};

// Every entry below `root` with its size and modification time: a file or folder made, changed
// or removed, even one made and removed again, shows.
inline QStringList snapshot(const QString& root) {
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << QStringLiteral("%1 %2 %3")
                       .arg(info.filePath())
                       .arg(info.isDir() ? -1 : info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

}  // namespace dokivo::test
