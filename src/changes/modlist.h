#pragma once

#include "common/result.h"
#include "common/writelock.h"
#include "compare.h"
#include "patch.h"

#include <QByteArray>
#include <QHash>
#include <QJsonValue>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

// The mod list of a game folder: patches copied into the folder's workshop
// (.lcjworkshop/mods/), in load order, each switched on or off, over the
// original files kept beside them (.lcjworkshop/original/, each with its
// SHA-256). Applying the list builds every touched file in memory from its
// original, the enabled patches in order (where two set one field the later
// wins; army entries appended by a later patch follow the earlier ones'),
// then the player's own edits (我的修改) on top, and writes the files all or
// nothing through files::WriteJournal.
namespace lcj::changes::mods {

// The name of the top layer that holds the player's own edits.
inline const QString ownLayerName = QStringLiteral("我的修改");

struct Entry {
    QString name; // the patch's file name without .lcjpatch
    bool enabled = true;
    QString sha256;     // of the patch file as it was added
    patch::Patch patch; // as read from the copy in the workshop
    // Why the entry cannot be applied to this game (a missing file, an army
    // part past the file's end...); empty when it can. Such an entry is shown
    // red and never applied, not even in part.
    QString problem;
    // What is only noted: the original's size or SHA-256 differs from the
    // patch's.
    QStringList notes;
    bool own = false; // the 我的修改 layer

    QStringList files() const;
    int fieldCount() const;
};

// A field that two or more enabled entries set.
struct ConflictRow {
    QString file;  // the file's name in the folder
    QString where; // in the change list's words: "人物 5 武力"
    QString part;  // the field as a patch names it
    int row = -1;
    QString column;
    int partIndex = -1;  // the part as the field model opens the file (EditorWindow::showPlace)
    QJsonValue original; // undefined for a field of an appended entry
    // One per entry of entries(), in list order: the value it sets, or
    // nothing when it does not set this field (or is switched off).
    QList<std::optional<QJsonValue>> values;
    int winner = -1; // the index in entries() of the value that wins
    QJsonValue result;
};

// Fields of the touched files that were changed outside the list since the
// last apply (in an editor, by another program), in the change list's words.
struct OutsideEdits {
    QStringList lines;    // "data.e5：人物 5 武力：74 → 80"
    patch::Patch asPatch; // the same changes as a patch, to keep or save
    bool empty() const { return lines.isEmpty(); }
};

// What to do with outside edits when applying or restoring.
enum class Outside {
    Refuse,      // nothing written while there are any (the caller asks first)
    KeepAsLayer, // they become (or join) the 我的修改 layer, applied last
    Drop,        // they are overwritten
};

struct FileResult {
    QString file;
    QByteArray before; // on disk now
    QByteArray after;  // what the list gives
};

struct ApplyResult {
    QList<FileResult> files; // every touched file, changed or not
    QList<ConflictRow> conflicts;
    QStringList skipped; // "名称：原因", for each entry with a problem
    // lcjtool check's lines over the result, filled by the caller (lcjtool,
    // the window) from check::checkFolder: the check room is beside this one.
    QStringList checkProblems;
    bool written = false;
};

struct AddResult {
    QString name;
    bool alreadyListed = false; // the same content is in the list: not added twice
    // The folder seems modded already: fields that hold the patch's new value
    // instead of its old one ("人物 5 武力 已是 76"). The patch is added; the
    // caller may offer to take the originals from another folder
    // (takeOriginalsFrom).
    QStringList alreadyModded;
};

class ModList {
public:
    // The list of `folder`, read from its workshop; an empty list when there
    // is none. Refused, with a clear message, when the workshop is damaged (a
    // missing original, a list naming a missing patch, a patch whose hash no
    // longer matches).
    static Result<ModList> open(const QString& folder);
    // The list of a damaged workshop, to repair it: an entry whose patch is
    // missing or changed is listed with that as its problem (never applied),
    // a missing original stays listed; remove() and takeOriginalsFrom() then
    // work. Anything that builds the result still refuses.
    static Result<ModList> openToRepair(const QString& folder);

    const QString& folder() const { return folder_; }
    const QList<Entry>& entries() const { return entries_; }

    // Copies the patch into the workshop and, for every file it touches that
    // is not kept yet, the folder's file into original/ with its SHA-256.
    Result<AddResult> add(const QString& patchPath);
    Failure remove(const QString& name);
    Failure setEnabled(const QString& name, bool enabled);
    // Moves the entry to `position` (0 = first, applied first).
    Failure move(const QString& name, int position);
    // Replaces the kept originals of the listed files by those of `folder`.
    Failure takeOriginalsFrom(const QString& folder);

    // The fields changed outside the list since the last apply (or since the
    // originals were kept, before any apply).
    Result<OutsideEdits> outsideEdits() const;

    // The fields two or more enabled entries set.
    Result<QList<ConflictRow>> conflicts() const;

    // Builds the result in memory, reads it back as the windows would show it,
    // and (unless dryRun) writes every touched file all or nothing. Open
    // editors see the new bytes as another program's write. With outside
    // edits and Outside::Refuse it is refused, the message listing them. An
    // entry that does not fit (a problem, the army past its limit) is left
    // out whole and named in ApplyResult::skipped. Every call reads the list
    // from the workshop again: entries() is then what was applied.
    Result<ApplyResult> apply(Outside outside, bool dryRun = false);
    // 恢复原版: writes the originals back, all or nothing; each file is then
    // byte-identical to its kept original (ApplyResult::files hold the bytes).
    Result<ApplyResult> restore(Outside outside);
    // 撤销应用: the touched files as they were before the last apply; refused
    // when a file changed since.
    Result<ApplyResult> undoApply();
    bool canUndoApply() const;

    // The names the list is kept under in the folder's workshop.
    static QString modsFolder(const QString& folder);     // .lcjworkshop/mods
    static QString listFile(const QString& folder);       // .lcjworkshop/mods/list.json
    static QString originalFolder(const QString& folder); // .lcjworkshop/original
    static QString keptFolder(const QString& folder);     // .lcjworkshop/applied

    // The kept original of the game file `file`, as read from original/.
    Result<QByteArray> original(const QString& file) const;
    // The game files the list looks after: every file a patch of it touches.
    QStringList touchedFiles() const;

    struct Kept {
        QString file; // the name in the game folder
        qint64 size = 0;
        QString sha256;
    };

private:
    struct Built;
    // `strict` false keeps an entry whose patch cannot be read (as a problem)
    // and an original that is missing, so that they can be removed or replaced.
    Failure reload(bool strict = true);
    // The lock of `paths` (the list's own when `paths` is the list's lock file), taken after
    // the folder was found writable, and the list read again under it; held while the result
    // lives. An empty `paths` (a dry run) takes no lock. A refusal ends with `refusedNote`.
    Result<files::WriteLock> hold(const QStringList& paths, bool strict = true,
                                  const QString& refusedNote = {});
    QStringList listLock() const;
    Failure saveList(const QMap<QString, QString>* pendingApplied = nullptr,
                     const QMap<QString, QString>* pendingUndo = nullptr) const;
    Failure saveOriginals() const;
    void findProblems();
    Result<Built> build(bool write) const;
    Result<QByteArray> reference(const QString& file) const;
    Result<OutsideEdits> outsideIn(const QMap<QString, QByteArray>& now) const;
    Failure keepOwnEdits(const OutsideEdits& edits, bool save);
    // The touched files as they are now, the edits made outside the list settled as `outside`
    // says (kept as the top layer, saved when `save`); refused while they stand unsettled.
    Result<QMap<QString, QByteArray>> settleOutside(Outside outside, bool save);
    Result<ApplyResult> writeFiles(const QMap<QString, QByteArray>& before,
                                   const QMap<QString, QByteArray>& after, bool keepUndo);
    void dropUnusedKept() const;

    QString folder_;
    QList<Entry> entries_;
    QList<Kept> originals_;
    QMap<QString, QString> applied_; // file → SHA-256 of what the last apply wrote
    QMap<QString, QString> undo_;    // file → SHA-256 of what it held before
    // What reading the workshop again need not redo: patches by their file's
    // SHA-256, the fields of the originals by theirs.
    QHash<QString, patch::Patch> parsed_;
    QHash<QString, std::optional<QSet<QString>>> fieldKeys_;
    mutable QHash<QString, QHash<QString, QJsonValue>> originalValues_;
    // An entry's problem and notes, by its patch's and the originals' SHA-256.
    QHash<QString, std::pair<QString, QStringList>> problems_;
};

} // namespace lcj::changes::mods
