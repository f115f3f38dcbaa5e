#pragma once

#include "common/diskstamp.h"
#include "common/result.h"
#include "datalayout.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lcj::data {

// Reads and writes single records of one data.e5. Each call opens the file,
// checks that it is long enough to be a data file, does its one thing and
// closes it again, so nothing stays open between user actions.
class DataFile {
public:
    explicit DataFile(QString path = {}) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    Result<QByteArray> readRecord(const Table& table, int index) const;
    // Writes one record in place and renews the stamp.
    Failure writeRecord(const Table& table, int index, const QByteArray& record);
    // The trimmed name of every record of a table that has names.
    Result<QStringList> readNames(const Table& table) const;

    // The file as the editor opened it or last wrote it, so that a save over
    // another program's change is the user's choice.
    const DiskStamp& stamp() const { return stamp_; }
    // Takes the stamp of the file as it is now.
    void stampNow() { stamp_ = DiskStamp::read(path_); }

private:
    Failure checkSize() const;

    QString path_;
    DiskStamp stamp_;
};

} // namespace lcj::data
