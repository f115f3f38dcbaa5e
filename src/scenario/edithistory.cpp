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

bool EditHistory::step(QList<Step>& from, QList<Step>& to, ScenarioDocument& current) {
    if (from.isEmpty())
        return false;
    Step step = from.takeLast();
    to.append({current, state_});
    current = std::move(step.doc);
    state_ = step.state;
    return true;
}

bool EditHistory::undo(ScenarioDocument& current) {
    return step(undo_, redo_, current);
}

bool EditHistory::redo(ScenarioDocument& current) {
    return step(redo_, undo_, current);
}

} // namespace lcj::scenario
