#pragma once

#include "common/result.h"
#include "compare.h"
#include "fields/filekind.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

// A save over a file that another program changed since the editor read it:
// three copies compared field by field, as the change list names the fields.
// The editor's changes (as read → the editor's) are typed again into the
// copy on disk; fields only the other program changed, and every byte no
// field shows, keep the disk's value. A field both changed to different values
// is a conflict, settled one way for all.
namespace lcj::changes {

struct MergeConflict {
    QString where; // "人物 5 武力"
    QJsonValue disk;
    QJsonValue mine;
};

class ThreeWayMerge {
public:
    enum class Settle { TakeMine, KeepDisk };

    // Compares `base` (the file as the editor read it), `mine` (as the editor's save would
    // write it) and `disk` (as it is now). Refused when a copy does not open as a file of
    // `kind`, or when the editor's copy differs in bytes no field shows that cannot be
    // carried over (a scenario whose length changed).
    static Result<ThreeWayMerge> compare(fields::FileKind kind, const QString& name,
                                         const QByteArray& base, const QByteArray& mine,
                                         const QByteArray& disk);

    // The changes of each side in the windows' words ("人物 5 武力：74 → 76").
    const QStringList& mineLines() const { return mineLines_; }
    const QStringList& diskLines() const { return diskLines_; }
    const QList<MergeConflict>& conflicts() const { return conflicts_; }
    // Each conflict in the windows' words ("人物 5 武力：磁盘上 80 → 编辑器中 90").
    QStringList conflictLines() const;

    // The merged file: the disk's copy with the editor's changes typed in, each conflict
    // settled by `settle`. Refused, nothing built, when a value is refused or the result
    // does not hold every change it should.
    Result<QByteArray> merged(Settle settle) const;

private:
    fields::FileKind kind_ = fields::FileKind::Data;
    QString name_;
    QByteArray base_, mine_, disk_;
    QList<FieldChange> mineChanges_;
    QList<FieldChange> diskChanges_;
    QStringList mineLines_, diskLines_;
    QList<MergeConflict> conflicts_;
    QStringList conflictKeys_;
    // Both sides appended army entries: the count and the appended entries go one way.
    bool armyConflict_ = false;
    int baseArmy_ = -1;
};

} // namespace lcj::changes
