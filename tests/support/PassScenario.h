#pragma once

// One form for the tests of a pass: a scenario is INI lines and a few passes, each with the files
// laid out before it and what it must leave (files, operation lines, record lines). The tree has
// slot 0 in "in/", "out/", "log/", with "bak/", "dup/", "pwd/" and the tracking folder "track/"
// made too; "app/" is the program's and record folder, "conf/" holds Dokivo.ini.
//
// In every text, {name} stands for the tree's folder "name/" (native path, final separator),
// {YY} {MM} {DD} {DDD} {YYYYMMDD} {HHMMSS} {YYMMDDHHSS} for the creation time of the first file
// laid out, {tree} for the tree itself, {tmp} {journal} {tracking} for the temporary copy's, journal's and tracking file's names.

#include <gtest/gtest.h>

#include <QMap>
#include <functional>
#include <memory>

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
    QStringList drop = {};  // "path=content" ("#N c": N times c) or "folder/", laid out before the pass
    Hook arrange = {};  // after the drop; may hold things in `during` or set `cannot`
    // After the pass: "path=bytes", "path~part" (contains), "path" (is there), "!path" (is not),
    // "folder/=a|b" (its entries, exactly).
    QStringList files = {};
    // The pass's operation lines: "text" (one is it), "~part" (one contains it), "!part" (none
    // does). Every error line of the pass must be among them. `onlyLines`: these, in order, only.
    QStringList lines = {};
    bool onlyLines = false;
    // Every record line in the record folder so far, in any order; a field "*" is any field, a
    // last field "**" any rest.
    QStringList records = {};
    Hook check = {};
};

struct Scenario {
    const char* what;
    QStringList ini;  // "key=value", over slot 0 and the tracking folder
    std::vector<Step> steps;
};

const QByteArray kRecordHeader =
    "DOKIVO\tDIR_DESTINAZIONE\tDATA_RIC\tDATA_SCANSIONE\tORA_SCANSIONE\tOPERATOR\tNOME ORIGINALE\t"
    "DIR_ORIGINALE\tSPOSTAMENTO";

struct PassTree : ModuleFixture {
    QMap<QString, QString> ini;
    QString cannot;                        // why this system cannot arrange what the scenario needs
    std::vector<std::shared_ptr<void>> during;  // in force for one pass
    std::vector<std::shared_ptr<void>> held;    // in force to the end (gone before the tree)
    QStringList notes;                     // from a row's arrange to its check
    QDateTime created;

    PassTree() {
        for (const char* folder : {"in", "out", "log", "bak", "dup", "pwd", "track"})
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
    // "key=value" sets a key, "key" alone removes it.
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
    // Lines and records name paths with the native separator.
    QString expandNative(const QString& text) const { return QDir::toNativeSeparators(expand(text)); }
    void saveIni() {
        QString text = QStringLiteral("[TUTTI]\r\n");
        for (auto it = ini.begin(); it != ini.end(); ++it)
            text += it.key() + "=" + expand(it.value()) + "\r\n";
        writeIni(text);
    }
    void pass() {
        saveIni();
        EXPECT_TRUE(runsWithoutBlocking(tree.path(), [this] { LEGGI_DIR(m()); })) << "the pass waited on a FIFO";
    }
    void drop(const QString& spec) {
        if (spec.endsWith('/')) {
            tree.folder(expand(spec));
            return;
        }
        const QString rel = expand(spec.section('=', 0, 0));
        tree.write(rel, bytes(expand(spec.section('=', 1))));
        if (!created.isValid())
            created = platform::regularFileInfo(tree.path(rel))->created;
    }
    static QByteArray bytes(const QString& content) {
        static const QRegularExpression repeated(QStringLiteral("^#(\\d+)(.)$"));
        const QRegularExpressionMatch m = repeated.match(content);
        return m.hasMatch() ? QByteArray(m.captured(1).toInt(), m.captured(2).at(0).toLatin1()) : content.toUtf8();
    }
    // The record lines of every record file in the record folder; each file is checked for its
    // header and CR LF line ends, and its copy in the log folder, if any, must be the same.
    QStringList recordLines() const {
        QStringList lines;
        for (const QString& name : QDir(tree.path("app")).entryList({"dokivolog*.txt"}, QDir::Files)) {
            const QByteArray content = tree.read("app/" + name);
            EXPECT_TRUE(content.startsWith(kRecordHeader + "\r\n") && content.endsWith("\r\n")) << name;
            EXPECT_EQ(content.count('\n'), content.count("\r\n")) << name;
            if (tree.exists("log/" + name)) {
                EXPECT_EQ(tree.read("log/" + name), content) << name;
            }
            for (const QByteArray& line : content.split('\n').mid(1))
                if (!line.isEmpty())
                    lines << QString::fromUtf8(line.chopped(1));
        }
        return lines;
    }

  private:
    QString valueOf(const QString& name) const {
        using platform::DatePattern;
        static const QMap<QString, DatePattern> patterns{
            {"YY", DatePattern::YY},           {"MM", DatePattern::MM},         {"DD", DatePattern::DD},
            {"DDD", DatePattern::DDD},         {"YYYYMMDD", DatePattern::YYYYMMDD},
            {"HHMMSS", DatePattern::HHMMSS}, {"YYMMDDHHSS", DatePattern::YYMMDDHHSS}};
        if (patterns.contains(name))
            return platform::formatDate(created, patterns[name]);
        const QMap<QString, QString> names{
            {"tmp", platform::kTemporaryCopyName}, {"journal", kJournalFileName}, {"tracking", kTrackingFileName}};
        return name == "tree" ? tree.path() : names.value(name, platform::withTrailingSeparator(tree.path(name)));
    }
};

namespace scenario_detail {

inline bool fieldsMatch(const QString& expected, const QString& actual) {
    const QStringList want = expected.split('\t');
    const QStringList got = actual.split('\t');
    for (qsizetype i = 0; i < want.size(); ++i) {
        if (want[i] == "**")
            return true;
        if (i >= got.size() || (want[i] != "*" && want[i] != got[i]))
            return false;
    }
    return want.size() == got.size();
}

inline void expectFiles(const PassTree& t, const QStringList& specs) {
    for (const QString& raw : specs) {
        const QString spec = t.expand(raw);
        if (spec.startsWith('!')) {
            const QFileInfo info(t.tree.path(spec.mid(1)));
            EXPECT_FALSE(info.exists() || info.isSymLink()) << "is there: " << spec;
            continue;
        }
        const qsizetype at = spec.indexOf(QRegularExpression(QStringLiteral("[=~]")));
        const QString rel = at < 0 ? spec : spec.left(at);
        if (at < 0) {
            EXPECT_TRUE(t.tree.exists(rel)) << "missing: " << rel;
        } else if (rel.endsWith('/')) {
            QStringList want = spec.mid(at + 1).split('|', Qt::SkipEmptyParts);
            QStringList got = t.tree.entries(rel);
            want.sort();
            got.sort();
            EXPECT_EQ(got, want) << rel;
        } else if (spec[at] == '=') {
            EXPECT_EQ(t.tree.read(rel), PassTree::bytes(spec.mid(at + 1))) << rel;
        } else {
            EXPECT_TRUE(t.tree.read(rel).contains(spec.mid(at + 1).toUtf8())) << rel << " lacks " << spec.mid(at + 1);
        }
    }
}

inline void expectLines(const PassTree& t, const QStringList& lines, const QStringList& specs, bool only) {
    QStringList want;
    for (const QString& spec : specs)
        want << t.expandNative(spec);
    if (only) {
        EXPECT_EQ(lines, want);
        return;
    }
    const auto matches = [&](const QString& w, const QString& line) {
        return w.startsWith('~') ? line.contains(w.mid(1)) : line == w;
    };
    for (const QString& w : want) {
        const bool found = std::any_of(lines.begin(), lines.end(), [&](const QString& l) {
            return w.startsWith('!') ? l.contains(w.mid(1)) : matches(w, l);
        });
        EXPECT_EQ(found, !w.startsWith('!')) << w << "\nin:\n" << lines.join('\n');
    }
    for (const QString& line : lines) {
        if (line.contains(" Lettura Cartella ")) {
            EXPECT_TRUE(std::any_of(want.begin(), want.end(), [&](const QString& w) { return matches(w, line); }))
                << "unexpected: " << line;
        }
        EXPECT_FALSE(line.contains('\t') || line.contains('\r') || line.contains('\n')) << line;
    }
}

inline void expectRecords(const PassTree& t, const QStringList& specs) {
    QStringList left = t.recordLines();
    for (const QString& spec : specs) {
        const QString want = t.expandNative(spec);
        const auto it =
            std::find_if(left.begin(), left.end(), [&](const QString& line) { return fieldsMatch(want, line); });
        if (it == left.end())
            ADD_FAILURE() << "no record line " << want << "\namong:\n" << left.join('\n');
        else
            left.erase(it);
    }
    EXPECT_TRUE(left.isEmpty()) << "unexpected record lines:\n" << left.join('\n');
}

}  // namespace scenario_detail

inline void runScenario(const Scenario& s) {
    PassTree t;
    for (const QString& line : s.ini)
        t.set(line);
    for (size_t n = 0; n < s.steps.size(); ++n) {
        const Step& step = s.steps[n];
        SCOPED_TRACE("pass " + std::to_string(n + 1));
        for (const QString& spec : step.drop)
            t.drop(spec);
        if (step.arrange)
            step.arrange(t);
        if (!t.cannot.isEmpty())
            GTEST_SKIP() << t.cannot.toStdString();
        const qsizetype before = t.m().operations.size();
        t.pass();
        t.during.clear();
        scenario_detail::expectFiles(t, step.files);
        scenario_detail::expectLines(t, t.messages().mid(before), step.lines, step.onlyLines);
        scenario_detail::expectRecords(t, step.records);
        if (step.check)
            step.check(t);
    }
}

struct PassScenario : ::testing::TestWithParam<Scenario> {};

// A test name made of the scenario's words.
inline std::string scenarioName(const ::testing::TestParamInfo<Scenario>& info) {
    std::string name;
    bool upper = true;
    for (const char* c = info.param.what; *c; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c)))
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*c))) : *c;
        upper = !std::isalnum(static_cast<unsigned char>(*c));
    }
    return name;
}

}  // namespace dokivo::test
