#pragma once

#include "scenariodocument.h"

#include <QList>

namespace lcj::scenario {

// Undo and redo of the in-memory edits of one loaded scenario. Each step keeps
// the whole document as it was; the byte arrays are shared until one of them
// changes, so a step costs little more than the entry it changed.
class EditHistory {
public:
    // A fresh load or a save: no steps, nothing modified.
    void reset();
    // `before` is the document as it was before an edit that has just succeeded.
    void record(const ScenarioDocument& before);
    bool canUndo() const { return !undo_.isEmpty(); }
    bool canRedo() const { return !redo_.isEmpty(); }
    // Swaps `current` with the state before the last edit (after the last undone one).
    bool undo(ScenarioDocument& current);
    bool redo(ScenarioDocument& current);
    // True when the document differs from the state loaded or last saved.
    bool modified() const { return state_ != clean_; }

private:
    struct Step {
        ScenarioDocument doc;
        int state;
    };
    // Moves the current state onto `to` and takes the last of `from`.
    bool step(QList<Step>& from, QList<Step>& to, ScenarioDocument& current);

    QList<Step> undo_;
    QList<Step> redo_;
    int state_ = 0; // number of the current state
    int clean_ = 0; // number of the state on disk
    int next_ = 1;
};

} // namespace lcj::scenario
