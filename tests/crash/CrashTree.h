#pragma once

// The tree the kill harness works on and the promise it must keep after every kill: no document
// lost, no final name holding a partial copy, every delivered document recorded once.

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace dokivo::crash {

inline constexpr int kSlots = 3;

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

    // kind: "in", "out", "backup", "doppioni", "log"
    QString dir(const char* kind, int slot) const {
        return root + QLatin1String(kind) + QString::number(slot) + QLatin1Char('/');
    }
};

// Three slots with backup, duplicates and dated destination folders, `files` documents from
// `seed` (a share with their name already taken, a few the slots do not accept), the console
// program of `binFolder` copied into the application folder, and "Dokivo.ini". `root` is emptied first.
CrashTree buildCrashTree(const QString& root, int files, std::uint32_t seed, const QString& binFolder);

enum Fault { kLost, kTruncated, kDuplicatedRecord, kStrayRecord, kMissingRecord, kLeftover, kFaultKinds };

struct Check {
    int delivered = 0;
    int waiting = 0;  // accepted documents still in their input folders
    std::array<int, kFaultKinds> faults{};
    QStringList problems;  // one line per fault

    void fault(Fault kind, const QString& what) {
        ++faults[kind];
        problems << what;
    }
};

// After a kill (`settled` false) a delivered document may still lack its record line and
// temporary copies may lie around; after a pass that ended by itself neither is allowed.
Check checkTree(const CrashTree& tree, bool settled);

}  // namespace dokivo::crash
