#pragma once

#include "common/recoveryjournal.h"
#include "document.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class QUndoStack;

namespace lcj {

class EditorWindow;

// Keeps the RecoveryJournal of one document of an editor while it holds edits not on disk:
// each step of its history (the stack's index or clean state moved) or of its unsaved mark
// starts a single-shot timer, if none runs, and when it fires the file as a save would write
// it is appended to the journal at once and synced. A save, a reload, another file read or
// the editor's end (a clean exit) removes the journal.
class DocumentJournal : public QObject {
    Q_OBJECT
public:
    // Within one second of a step its bytes are on disk.
    static constexpr int delayMs = 500;

    DocumentJournal(EditorWindow* editor, Document::Access access, const QString& folder);
    ~DocumentJournal() override;

    // Writes what waits now (the timer's work).
    void flush();
    const RecoveryJournal& journal() const { return journal_; }

private:
    void stepped();
    void follow();

    Document::Access access_;
    QString folder_;
    RecoveryJournal journal_;
    QByteArray base_;
    QTimer timer_;
    QPointer<QUndoStack> stack_;
};

} // namespace lcj
