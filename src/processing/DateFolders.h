#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

namespace dokivo {

// The layout code of the first "CREA:" (any letter case) up to the next ";" or the end of the
// text; empty when there is none. `found` tells whether "CREA:" stands in the text at all.
QString layoutCode(const QString& parameters, bool* found = nullptr);

// The layout codes the pass knows, in exact case.
const QStringList& knownLayoutCodes();

// The file's destination folder below `root` (which ends with the separator) for the slot's
// "CREA:" layout, taken from the file's creation time: "AA/MM/GG", "MM/GG", "AA/GGG", "GGG",
// "MM", "AA/MM" (matched with case); any other code, or none, gives the root. Missing levels
// are created one at a time; a level that cannot be created is left for the copy to report.
QString buildDateFolders(const QString& parameters, const QString& root, const QDateTime& created);
// buildDateFolders for the documents of one folder pass: each level is made the first time a
// document needs it and then remembered, so that the pass does not make it again. (A level that
// goes away during the pass fails the copy into it, which ends the pass.)
class DateFolderMaker {
  public:
    QString build(const QString& parameters, const QString& root, const QDateTime& created);

  private:
    QSet<QString> tried_;
};

// The same folder's path, without creating anything.
QString dateFolderPath(const QString& parameters, const QString& root, const QDateTime& created);

}  // namespace dokivo
