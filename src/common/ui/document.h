#pragma once

#include "common/diskstamp.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QUndoStack;

namespace lcj {

class EditorWindow;

// One open file of the game folder as the workspace sees it: its path, the bytes as the editor
// read or last wrote them (base), the bytes the editor holds now (mine), the stamp of the disk,
// whether the editor holds edits not on disk, and how to save it. The bytes are the editor's
// own, asked for each time: the document never keeps a copy that could fall out of step.
class Document {
public:
    // What the editor that holds the file gives for it.
    struct Access {
        // The file as the editor read or last wrote it (path and whole bytes); an empty path
        // while the editor holds no such file.
        std::function<DiskStamp()> stamp;
        // The whole file as a save would write it now.
        std::function<QByteArray()> mine;
        // Whether the editor holds edits of it not on disk, values typed and not confirmed
        // included.
        std::function<bool()> holdsEdits;
        // Confirms what is typed and writes the file, asking nothing but what a save of the
        // editor asks (a file changed by another program); true when the edits are on disk,
        // false with the reason said.
        std::function<bool()> save;
        // The steps of undo and redo over the file (none: the editor keeps no history of it).
        std::function<QUndoStack*()> undoStack;
        // Takes `bytes` (the whole file, as mine() gives it) as the edits the editor holds,
        // not written: one undo step, the title marked unsaved. False when the editor cannot
        // (none given: an editor that keeps no edits of the file).
        std::function<bool(const QByteArray& bytes)> adopt;
    };

    Document(EditorWindow* editor, Access access) : editor_(editor), access_(std::move(access)) {}

    EditorWindow* editor() const { return editor_; }
    QString path() const { return access_.stamp().path; }
    DiskStamp stamp() const { return access_.stamp(); }
    QByteArray base() const { return access_.stamp().bytes; }
    QByteArray mine() const { return access_.mine(); }
    bool modified() const { return access_.holdsEdits(); }
    bool save() const { return access_.save(); }
    bool adopt(const QByteArray& bytes) const { return access_.adopt && access_.adopt(bytes); }
    QUndoStack* undoStack() const { return access_.undoStack ? access_.undoStack() : nullptr; }

private:
    EditorWindow* editor_;
    Access access_;
};

} // namespace lcj
