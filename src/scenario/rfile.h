#pragma once

#include "common/diskstamp.h"
#include "common/result.h"
#include "scenarioforms.h"

#include <QByteArray>
#include <QString>

namespace lcj::scenario {

// The battle's R file beside the scenario, with its deployment-limit record:
// 2E 00 01 00 04, the deployed count at 6, five forced characters at 12 + 4k
// and five restricted ones at 32 + 4k, 50 bytes in all.
class RFile {
public:
    static constexpr int recordSize = 50;

    // The R file of a scenario: the leading S of the file name becomes R
    // (S_05.eex gives R_05.eex in the same folder). A name that does not start
    // with S has no R file.
    static Result<QString> pathFor(const QString& scenarioPath);

    // The last record of `bytes` when it is complete, else -1.
    static qint64 findRecord(const QByteArray& bytes);

    // Reads the whole file and finds its record; a missing or empty file, or a
    // file without a complete record, is an error.
    static Result<RFile> read(const QString& path);
    // The same from `bytes`, the whole file at `path` as read.
    static Result<RFile> fromBytes(const QString& path, QByteArray bytes);

    const QString& rFilePath() const { return rFilePath_; }
    const QByteArray& rFileBytes() const { return rFileBytes_; }
    qint64 rLimitPos() const { return rLimitPos_; }
    // The file as it was read or last saved: a save over another program's
    // change is the user's choice, asked by the window.
    const DiskStamp& stamp() const { return stamp_; }

    RLimitsForm show() const;
    // The whole file with the form stored into the record; refused as save() refuses.
    Result<QByteArray> bytesWith(const RLimitsForm& form) const;
    // Stores the form into the record in memory, then writes the whole file.
    // On a refused field or a failed write the file is left as it was.
    Failure save(const RLimitsForm& form);

private:
    QString rFilePath_;
    QByteArray rFileBytes_;
    qint64 rLimitPos_ = -1;
    DiskStamp stamp_;
};

// "你所访问的该路径下找不到相应的R文件"
QString rFileNotFoundMessage();

} // namespace lcj::scenario
