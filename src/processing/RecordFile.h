#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

namespace dokivo {

// The pass record file: a header and one tab-separated line per processed document, CR LF line
// ends, written in the record folder while the pass runs and handed over to the slot's log
// folder when it ends.
class RecordFile {
  public:
    static const QStringList& headerFields();

    // Creates "dokivolog" + DD + HHMMSS + "_" + sequence + ".txt" in `folder` and writes the
    // header, flushed at once: no power cut leaves a record file without it. A name that is taken already
    // gets the next sequence number, so an earlier file is never replaced; `sequence` is left at the number
    // used. Throws RunError.
    void open(const QString& folder, const QDateTime& now, qint64& sequence);
    bool isOpen() const { return file_.isOpen(); }

    // One line of fields joined by tabs. Throws RunError when it cannot be written.
    void write(const QStringList& fields);
    // Flushes the lines written so far to disk; failures are ignored (the journal still holds them).
    void flush();
    // Flushes to disk and closes; failures are ignored.
    void close();
    // Copies the closed file into `logFolder` under its own name, or when another file holds that
    // name the first free numbered one ("dokivolog05140307_1 (2).txt"); failures are ignored.
    // `token` names the copy's temporary file, which the journal has named the folder for.
    void handOver(const QString& logFolder, quint32 token) const { handOverPath(path_, logFolder, token); }
    static void handOverPath(const QString& recordPath, const QString& logFolder, quint32 token);

    const QString& path() const { return path_; }
    // The length written so far.
    qint64 size() const { return file_.size(); }
    const QString& name() const { return name_; }

    static QByteArray lineBytes(const QStringList& fields);

  private:
    QFile file_;
    QString path_;
    QString name_;
};

}  // namespace dokivo
