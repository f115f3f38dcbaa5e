#pragma once

#include "scenariodocument.h"

#include <deque>

namespace lcj::scenario {

// Undo and redo of the in-memory edits of one loaded scenario. A step keeps
// only what its edit changed (the bytes that differ, before and after, and
// the counts it moved), so that a step of a 16 MB script costs as little as
// one of a small one. The history is bounded in steps and in bytes held: past
// either bound the oldest steps are forgotten.
class EditHistory {
public:
    static constexpr int defaultMaxSteps = 1000;
    static constexpr qint64 defaultMaxBytes = 4 * 1024 * 1024;

    explicit EditHistory(int maxSteps = defaultMaxSteps, qint64 maxBytes = defaultMaxBytes);

    // A fresh load or a save: no steps, nothing modified.
    void reset();
    // The change of an edit that has just succeeded (ScenarioDocument::takeChange).
    void record(DocumentChange change);
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Takes back the last edit of `doc` (makes the last one taken back again).
    bool undo(ScenarioDocument& doc);
    bool redo(ScenarioDocument& doc);
    // True when the document differs from the state loaded or last saved.
    bool modified() const { return state_ != clean_; }

    int undoSteps() const { return int(undo_.size()); }
    int redoSteps() const { return int(redo_.size()); }
    // What the steps hold, by the measure the bound applies.
    qint64 heldBytes() const { return held_; }

private:
    struct Step {
        DocumentChange change;
        int stateBefore;
        int stateAfter;
    };
    static qint64 cost(const Step& step);
    void forgetOldest();
    // Moves the last step of `from` onto `to`, taking its edit back or making it again.
    bool step(std::deque<Step>& from, std::deque<Step>& to, ScenarioDocument& doc, bool back);

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
