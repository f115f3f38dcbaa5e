#pragma once

#include "common/diskstamp.h"
#include "common/fileaccess.h"
#include "common/result.h"
#include "datalayout.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace lcj::data {

// One data.e5 and, for the editor, its document.
//
// The record calls (readRecord, writeRecord, readNames) open the file, check
// that it is long enough to be a data file, do their one thing and close it
// again; the name lists of other editors and lcjtool use them.
//
// The editor works on the document instead: the whole file read once, changed
// in memory record by record, and saved as one replace that writes back every
// record differing from the file on disk. Bytes outside the six tables are
// never written, and the file's length never changes.
class DataFile {
public:
    explicit DataFile(QString path = {}) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    Result<QByteArray> readRecord(const Table& table, int index) const;
    // Writes one record in place and renews the stamp.
    Failure writeRecord(const Table& table, int index, const QByteArray& record);
    // The trimmed name of every record of a table that has names, as on disk.
    Result<QStringList> readNames(const Table& table) const;

    // The file as the editor opened it or last wrote it, so that a save over
    // another program's change is the user's choice.
    const DiskStamp& stamp() const { return stamp_; }

    // --- The document ---

    // Makes sure the document holds the file: reads it when it was not read
    // yet, and again when another program changed it while the document holds
    // no edits that are not on disk. On a failure the document is dropped.
    Failure load();
    // Reads the file into the document again, its edits dropped (another
    // program changed the file). On a failure the document stays as it was.
    Failure reload();
    bool loaded() const { return loaded_; }
    // How many times the file was read into the document: a reader that saw
    // another count shows the document again.
    int loads() const { return loads_; }
    // The document's bytes; the data tables of the field model write into them.
    QByteArray& bytes() { return bytes_; }
    const QByteArray& bytes() const { return bytes_; }
    // The bytes as the file on disk held them when read or last saved.
    const QByteArray& savedBytes() const { return saved_; }

    QByteArray record(const Table& table, int index) const;
    void setRecord(const Table& table, int index, const QByteArray& record);
    // The trimmed names of a table's records, as the document holds them.
    QStringList names(const Table& table) const;

    // Whether the tables differ from the file as read or last saved.
    bool modified() const;

    // Writes every record that differs from the file on disk now, in one
    // replace; the count of records written. The caller holds the save lock
    // and has settled another program's change with the user.
    Result<int> save();

    // The records of `after` that differ from `before`, as patches of the bytes
    // each record owns (the last shop block's last byte is troop type 0's).
    static QList<files::Patch> changedRecords(const QByteArray& before, const QByteArray& after);

private:
    Failure checkSize() const;
    // Reads the whole file into the document; on a failure it is left alone.
    Failure read();

    // The names last decoded from a table, with the table's bytes then: a
    // section opened again over the same bytes does not decode them again.
    struct DecodedNames {
        QByteArray table;
        QStringList names;
    };

    QString path_;
    mutable QHash<qint64, DecodedNames> decodedNames_; // by the table's offset
    DiskStamp stamp_;
    bool loaded_ = false;
    QByteArray bytes_;
    QByteArray saved_;
    int loads_ = 0;
};

} // namespace lcj::data
