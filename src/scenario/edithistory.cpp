#include "edithistory.h"

namespace lcj::scenario {

void EditHistory::reset() {
    undo_.clear();
    redo_.clear();
    state_ = clean_ = 0;
    next_ = 1;
}

void EditHistory::record(const ScenarioDocument& before) {
    undo_.append({before, state_});
    redo_.clear();
    state_ = next_++;
}

bool EditHistory::undo(ScenarioDocument& current) {
    if (undo_.isEmpty())
        return false;
    Step step = undo_.takeLast();
    redo_.append({current, state_});
    current = std::move(step.doc);
    state_ = step.state;
    return true;
}

bool EditHistory::redo(ScenarioDocument& current) {
    if (redo_.isEmpty())
        return false;
    Step step = redo_.takeLast();
    undo_.append({current, state_});
    current = std::move(step.doc);
    state_ = step.state;
    return true;
}

} // namespace lcj::scenario
