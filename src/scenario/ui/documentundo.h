#pragma once

#include "common/ui/undohistory.h"
#include "scenario/scenariodocument.h"

namespace lcj::scenario {

// Undo and redo of the in-memory edits of one loaded scenario. A step keeps only what its edit
// changed (DocumentChange: the bytes that differ, before and after, and the counts it moved),
// so that a step of a 16 MB script costs as little as one of a small one.
//
// A save keeps the steps. When the file written reads back otherwise than the document holds it
// (appended army entries now in their block, an equipment group closed up), the document becomes
// the file as read back, and the last step keeps the document as it was: an undo past the save
// passes back to it on its way to the edit before, a redo of that edit passes on to the file
// as read back.
class DocumentUndo : public UndoHistory {
    Q_OBJECT
public:
    static constexpr int defaultMaxSteps = 1000;
    static constexpr qint64 defaultMaxBytes = 4 * 1024 * 1024;

    explicit DocumentUndo(ScenarioDocument& doc, int maxSteps = defaultMaxSteps,
                          qint64 maxBytes = defaultMaxBytes, QObject* parent = nullptr);

    // The change of an edit that has just succeeded (ScenarioDocument::takeChange), named `text`.
    void record(DocumentChange change, const QString& text);
    // Changes made one after the other (each in one of the document's buffers), as one step.
    void record(QList<DocumentChange> changes, const QString& text);
    // A save wrote what the document builds, and a load reads it back as `saved`: the document
    // becomes `saved` (unless steps to redo still need it as it is), and the state is the one on
    // disk.
    void takeSaved(ScenarioDocument saved);

private:
    class EditStep;
    ScenarioDocument& doc_;
};

} // namespace lcj::scenario
