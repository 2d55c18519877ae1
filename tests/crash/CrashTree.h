#pragma once

// The tree the kill harness works on: three slots with backup and duplicates folders and dated
// destination folders, thousands of documents, a share of them with a name already taken at the
// destination, and a few files the slots do not accept.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace dokivo::crash {

inline constexpr int kSlots = 3;

struct Document {
    int slot = 0;
    QString sourceName;
    QString destinationName;
    QString dateFolder;  // "YY/MM/DD/" below the destination root
    QByteArray sha1;     // of the bytes as generated
    qint64 size = 0;
    bool accepted = true;    // false: an extension the slots do not take; it must stay put
    bool nameTaken = false;  // the destination already holds this name: a duplicate
};

// A destination file that was there before the first pass and must never change.
struct Preseeded {
    QString path;
    QByteArray bytes;
};

struct CrashTree {
    QString root;  // ends with "/"
    QString app;   // the program's own folder: its copy of dokivo-cli, the record files
    QString conf;
    std::vector<Document> documents;
    std::vector<Preseeded> preseeded;

    QString input(int slot) const;
    QString destination(int slot) const;
    QString backup(int slot) const;
    QString duplicates(int slot) const;
    QString log(int slot) const;
    QString tracking() const;
};

// Builds the tree under `root` (emptied first) with `files` documents from `seed`, copies the
// programs of `binFolder` into its application folder and writes "Dokivo.ini".
CrashTree buildCrashTree(const QString& root, int files, std::uint32_t seed, const QString& binFolder);

}  // namespace dokivo::crash
