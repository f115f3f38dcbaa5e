#pragma once

#include "scenariodocument.h"

#include <deque>
#include <memory>

namespace lcj::scenario {

// Undo and redo of the in-memory edits of one loaded scenario. A step keeps
// only what its edit changed (the bytes that differ, before and after, and
// the counts it moved), so that a step of a 16 MB script costs as little as
// one of a small one. The history is bounded in steps and in bytes held: past
// either bound the oldest steps are forgotten.
//
// A save keeps the steps. When the file written reads back otherwise than the
// document holds it (appended army entries now in their block, an equipment
// group closed up), the document becomes the file as read back, and the
// history keeps the document as it was in a step of its own, which an undo
// past the save passes through on its way to the edit before it.
class EditHistory {
public:
    static constexpr int defaultMaxSteps = 1000;
    static constexpr qint64 defaultMaxBytes = 4 * 1024 * 1024;

    explicit EditHistory(int maxSteps = defaultMaxSteps, qint64 maxBytes = defaultMaxBytes);

    // A fresh load: no steps, nothing modified.
    void reset();
    // The change of an edit that has just succeeded (ScenarioDocument::takeChange).
    void record(DocumentChange change);
    // What the document holds now is on disk; the steps are kept, so that an undo past the
    // save marks the document modified again and a redo back to it clean.
    void markSaved() { clean_ = state_; }
    // A save wrote what `doc` builds, and a load reads it back as `saved`: `doc` becomes
    // `saved` (unless steps to redo still need it as it is), and the state is the one on disk.
    void takeSaved(ScenarioDocument& doc, ScenarioDocument saved);
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Takes back the last edit of `doc` (makes the last one taken back again).
    bool undo(ScenarioDocument& doc);
    bool redo(ScenarioDocument& doc);
    // True when the document differs from the state loaded or last saved (a saved state
    // whose steps were forgotten is never reached again: the document stays modified).
    bool modified() const { return state_ != clean_; }

    // The edits that can be taken back or made again.
    int undoSteps() const { return edits(undo_); }
    int redoSteps() const { return edits(redo_); }
    // What the steps hold, by the measure the bound applies.
    qint64 heldBytes() const { return held_; }

private:
    struct Step {
        DocumentChange change;
        int stateBefore;
        int stateAfter;
        // A save's step: the document on the other side of the save (before it while the
        // step waits to be undone, after it while it waits to be redone). It changes no
        // state: both sides hold the same scenario. Held apart, so that a step of an edit
        // carries a pointer rather than room for a whole document.
        std::unique_ptr<ScenarioDocument> other;
    };
    static qint64 cost(const Step& step);
    static int edits(const std::deque<Step>& steps);
    void forgetOldest();
    // Moves the last step of `from` onto `to`, taking its edit back or making it again.
    void step(std::deque<Step>& from, std::deque<Step>& to, ScenarioDocument& doc, bool back);

    int maxSteps_;
    qint64 maxBytes_;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
    qint64 held_ = 0;
    int state_ = 0; // number of the current state
    int clean_ = 0; // number of the state on disk
    int next_ = 1;
};

} // namespace lcj::scenario
