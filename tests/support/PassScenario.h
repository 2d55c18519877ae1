#pragma once

// One form for the tests of a pass. A scenario is a few passes over a tree whose slot 0 reads
// "in/" into "out/" with its records in "log/" ("bak/", "dup/", "pwd/" and the tracking folder
// "track/" are made too; "app/" is the program's and record folder, "conf/" holds Dokivo.ini).
// Each pass is one list of texts, in any order:
//   "@key=value" "@key"        an INI line set or removed before the pass
//   "+path=content" "+folder/" laid out before the pass ("#N c" as content: N times c)
//   ">text" ">~part" ">!part"  the pass's operation lines: one is the text, one contains the part,
//                              none does; every error line of the pass must be among them
//   ">>"                       ... and the lines given are all of them, in this order
//   "#field\tfield..."         a record line; the lines given are all of them so far, in any
//                              order; "*" stands for any field, a last "**" for any rest
//   "path=bytes" "path=~part" "path" "!path" "folder/=a|b"
//                              after the pass: the file's bytes, a part of them, that it is there,
//                              that nothing is, the folder's entries exactly
// In every text {name} stands for the tree's folder "name/" (native path, final separator), {tree}
// for the tree, {YY} {MM} {DD} {YYYYMMDD} {HHMMSS} {YYMMDDHHSS} for the creation time of the first
// file laid out, {tmp} {journal} {tracking} for the names of a temporary copy, the journal and
// the tracking file. No pass may leave a temporary copy anywhere. A pass may also have a hook that
// arranges what texts cannot, and one that checks more.

#include <QMap>
#include <functional>

#include "config/Settings.h"
#include "logs/TrackingFile.h"
#include "platform/DateText.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "processing/DeliveryJournal.h"
#include "scan/ScanDriver.h"
#include "support/FileSystemFaults.h"
#include "support/TestSupport.h"

namespace dokivo::test {

struct PassTree;
using Hook = std::function<void(PassTree&)>;

struct Step {
    QStringList say;
    Hook arrange = {};  // after the layout; may hold things in `during` or set `cannot`
    Hook check = {};
};

struct Scenario {
    const char* what;
    QStringList say;  // the first pass
    Hook arrange = {};
    Hook check = {};
    std::vector<Step> then = {};
    friend void PrintTo(const Scenario& s, std::ostream* os) { *os << s.what; }  // not its bytes
};

struct PassTree : ModuleFixture {
    QMap<QString, QString> ini;
    QString cannot;             // why this system cannot arrange what is needed
    std::vector<Guard> during;  // in force for one pass
    std::vector<Guard> held;    // to the end (gone before the tree)
    QStringList notes;          // from a row's arrange to its check
    QDateTime created;

    PassTree() {
        for (const char* folder : {"bak", "dup", "pwd", "track"})
            tree.folder(folder);
        set("dir_log_generale={track}");
        slot(0);
    }
    // Slot n in "in/" "out/" "log/" (n = 0) or "inN/" "outN/" "logN/".
    void slot(int n) {
        const QString suffix = n == 0 ? QString() : QString::number(n);
        for (const char* kind : {"in", "out", "log"}) {
            tree.folder(kind + suffix);
            set(QStringLiteral("dir_%1_%2={%1%3}").arg(kind).arg(n).arg(suffix));
        }
    }
    // Applies a row's "@" and "+" texts; returns the others.
    QStringList lay(const QStringList& texts) {
        QStringList rest;
        for (const QString& text : texts) {
            if (text.startsWith('@'))
                set(text.mid(1));
            else if (text.startsWith('+'))
                drop(text.mid(1));
            else
                rest << text;
        }
        return rest;
    }
    void set(const QString& line) {
        if (line.contains('='))
            ini[line.section('=', 0, 0)] = line.section('=', 1);
        else
            ini.remove(line);
    }
    QString expand(QString text) const {
        static const QRegularExpression placeholder(QStringLiteral("\\{([^{}]+)\\}"));
        for (QRegularExpressionMatch m = placeholder.match(text); m.hasMatch(); m = placeholder.match(text))
            text.replace(m.capturedStart(), m.capturedLength(), valueOf(m.captured(1)));
        return text;
    }
    void saveIni() {
        QString text = QStringLiteral("[TUTTI]\r\n");
        for (auto it = ini.begin(); it != ini.end(); ++it)
            text += it.key() + "=" + expand(it.value()) + "\r\n";
        writeIni(text);
    }
    void pass() {
        saveIni();
        EXPECT_TRUE(runsWithoutBlocking(tree.path(), [this] { runScanPass(m()); }))
            << "the pass waited on a FIFO";
    }
    void drop(const QString& item) {
        const QString rel = expand(item.section('=', 0, 0));
        if (rel.endsWith('/'))
            return void(tree.folder(rel));
        tree.write(rel, bytes(expand(item.section('=', 1))));
        if (!created.isValid())
            created = platform::regularFileInfo(tree.path(rel))->created;
    }
    static QByteArray bytes(const QString& content) {
        static const QRegularExpression repeated(QStringLiteral("^#(\\d+) (.)$"));
        const QRegularExpressionMatch m = repeated.match(content);
        return m.hasMatch() ? QByteArray(m.captured(1).toInt(), m.captured(2).at(0).toLatin1())
                            : content.toUtf8();
    }
    // The lines of the record files in the record folder, each checked for its header and CR LF
    // line ends; a copy handed over to the log folder must be the same.
    QStringList recordLines() const {
        QStringList lines;
        for (const QString& name : QDir(tree.path("app")).entryList({"dokivolog*.txt"}, QDir::Files)) {
            const QByteArray content = tree.read("app/" + name);
            EXPECT_TRUE(
                content.startsWith("DOKIVO\tDIR_DESTINAZIONE\tDATA_RIC\tDATA_SCANSIONE\tORA_SCANSIONE\t"
                                   "OPERATOR\tNOME ORIGINALE\tDIR_ORIGINALE\tSPOSTAMENTO\r\n"))
                << name;
            EXPECT_TRUE(content.endsWith("\r\n") && content.count('\n') == content.count("\r\n")) << name;
            // Under its name, or a numbered one when another record file held it.
            const QStringList copies = QDir(tree.path("log")).entryList({name.chopped(4) + "*"});
            EXPECT_TRUE(copies.isEmpty() ||
                        std::any_of(copies.begin(), copies.end(),
                                    [&](const QString& c) { return tree.read("log/" + c) == content; }))
                << name;
            for (const QByteArray& line : content.split('\n').mid(1, content.count('\n') - 1))
                lines << QString::fromLocal8Bit(line.chopped(1));  // UTF-8, or Windows's ANSI code page
        }
        return lines;
    }

  private:
    QString valueOf(const QString& name) const {
        static const QStringList dates{"YY", "MM", "DD", "DDD", "YYYYMMDD", "HHMMSS", "YYMMDDHHSS"};
        if (dates.contains(name))  // in the order of DatePattern
            return platform::formatDate(created, platform::DatePattern(dates.indexOf(name)));
        const QMap<QString, QString> names{{"tmp", platform::kTemporaryCopyName},
                                           {"journal", kJournalFileName},
                                           {"tracking", kTrackingFileName},
                                           {"tree", tree.path()}};
        return names.value(name, platform::withTrailingSeparator(tree.path(name)));
    }
};

// Makes the tree's `folder` refuse the pass's copies while `during` holds; `everyWrite`: any new file.
inline Hook readOnly(const char* folder, bool everyWrite = false) {
    return [=](PassTree& t) {
        t.during.push_back(readOnlyFolder(t.tree.path(folder), everyWrite));
        if (!t.during.back())
            t.cannot = "no folder can be made to refuse writes here (wine enforces no folder rights; root without the immutable flag)";
    };
}

inline void expectFile(const PassTree& t, const QString& item) {
    const QString rel = item.section('=', 0, 0).mid(item.startsWith('!') ? 1 : 0);
    const QString content = item.section('=', 1);
    const QFileInfo info(t.tree.path(rel));
    if (!item.contains('=')) {
        EXPECT_EQ(info.exists() || info.isSymLink(), !item.startsWith('!')) << item;
    } else if (rel.endsWith('/')) {
        QStringList want = content.split('|', Qt::SkipEmptyParts);
        want.sort();
        EXPECT_EQ(t.tree.entries(rel), want) << rel;
    } else if (content.startsWith('~')) {
        EXPECT_TRUE(t.tree.read(rel).contains(content.mid(1).toUtf8())) << rel << " lacks " << content.mid(1);
    } else {
        EXPECT_EQ(t.tree.read(rel), PassTree::bytes(content)) << rel;
    }
}

inline void expectLines(const QStringList& lines, QStringList want) {
    if (want.removeAll(">") > 0) {
        EXPECT_EQ(lines, want);
        return;
    }
    const auto is = [](const QString& w, const QString& line) {
        return w.startsWith('~') ? line.contains(w.mid(1)) : line == w;
    };
    for (const QString& w : want) {
        const bool found = std::any_of(lines.begin(), lines.end(), [&](const QString& l) {
            return w.startsWith('!') ? l.contains(w.mid(1)) : is(w, l);
        });
        EXPECT_EQ(found, !w.startsWith('!')) << w.toStdString() << "\nin:\n" << lines.join('\n');
    }
    for (const QString& line : lines) {
        EXPECT_TRUE(!line.contains(" Lettura Cartella ") ||
                    std::any_of(want.begin(), want.end(), [&](const QString& w) { return is(w, line); }))
            << "unexpected: " << line;
        EXPECT_FALSE(line.contains('\t') || line.contains('\r') || line.contains('\n')) << line;
    }
}

inline void expectRecords(const QStringList& want, QStringList left) {
    for (const QString& item : want) {
        const QRegularExpression fields(QRegularExpression::anchoredPattern(
            QRegularExpression::escape(item).replace("\\*\\*", ".*").replace("\\*", "[^\t]*")));
        const auto it = std::find_if(left.begin(), left.end(),
                                     [&](const QString& l) { return fields.match(l).hasMatch(); });
        if (it == left.end())
            ADD_FAILURE() << "no record line " << item << "\namong:\n" << left.join('\n');
        else
            left.erase(it);
    }
    EXPECT_TRUE(left.isEmpty()) << "unexpected record lines:\n" << left.join('\n');
}

inline void runScenario(const Scenario& s) {
    PassTree t;
    std::vector<Step> steps{{s.say, s.arrange, s.check}};
    steps.insert(steps.end(), s.then.begin(), s.then.end());
    for (size_t n = 0; n < steps.size(); ++n) {
        SCOPED_TRACE("pass " + std::to_string(n + 1));
        QMap<char, QStringList> said;  // lines and records by their mark; files under ' '
        for (const QString& text : t.lay(steps[n].say)) {
            const bool marked = text.startsWith('>') || text.startsWith('#');
            said[marked ? text[0].toLatin1() : ' '] << text.mid(marked ? 1 : 0);
        }
        if (steps[n].arrange)
            steps[n].arrange(t);
        if (!t.cannot.isEmpty())
            GTEST_SKIP() << t.cannot.toStdString();
        const qsizetype before = t.m().operations.size();
        t.pass();
        t.during.clear();
        QDirIterator copies(t.tree.path(), {".~dokivo*"}, QDir::Files | QDir::Hidden,
                            QDirIterator::Subdirectories);
        EXPECT_FALSE(copies.hasNext()) << "a temporary copy is left: " << copies.next();
        for (const QString& item : said[' '])
            expectFile(t, t.expand(item));
        for (const char kind : {'>', '#'})
            for (QString& text : said[kind])
                text = QDir::toNativeSeparators(t.expand(text));  // as lines and records name paths
        expectLines(t.messages().mid(before), said['>']);
        expectRecords(said['#'], t.recordLines());
        if (steps[n].check)
            steps[n].check(t);
    }
}

struct PassScenario : ::testing::TestWithParam<Scenario> {};

// A test name made of the scenario's words.
inline std::string scenarioName(const ::testing::TestParamInfo<Scenario>& info) {
    std::string name = info.param.what;
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
}

}  // namespace dokivo::test
