#include "edithistory.h"

namespace lcj::scenario {

namespace {
// A byte array's block: its bytes, the header before them and the allocator's rounding.
constexpr qint64 blockOverhead = 48;
} // namespace

EditHistory::EditHistory(int maxSteps, qint64 maxBytes)
    : maxSteps_(qMax(1, maxSteps)), maxBytes_(maxBytes) {}

void EditHistory::reset() {
    undo_.clear();
    redo_.clear();
    held_ = 0;
    state_ = clean_ = 0;
    next_ = 1;
}

qint64 EditHistory::cost(const Step& step) {
    qint64 bytes = qint64(sizeof(Step));
    for (const QByteArray* b : {&step.change.before, &step.change.after})
        if (!b->isEmpty())
            bytes += b->size() + blockOverhead;
    return bytes;
}

void EditHistory::record(DocumentChange change) {
    for (const Step& s : redo_)
        held_ -= cost(s);
    redo_.clear();
    const int before = state_;
    state_ = next_++;
    undo_.push_back({std::move(change), before, state_});
    held_ += cost(undo_.back());
    while (!undo_.empty() && (int(undo_.size()) > maxSteps_ || held_ > maxBytes_))
        forgetOldest();
}

void EditHistory::forgetOldest() {
    held_ -= cost(undo_.front());
    undo_.pop_front();
}

bool EditHistory::step(std::deque<Step>& from, std::deque<Step>& to, ScenarioDocument& doc,
                       bool back) {
    if (from.empty())
        return false;
    Step step = std::move(from.back());
    from.pop_back();
    if (back)
        doc.revert(step.change);
    else
        doc.reapply(step.change);
    state_ = back ? step.stateBefore : step.stateAfter;
    to.push_back(std::move(step));
    return true;
}

bool EditHistory::undo(ScenarioDocument& doc) {
    return step(undo_, redo_, doc, true);
}

bool EditHistory::redo(ScenarioDocument& doc) {
    return step(redo_, undo_, doc, false);
}

} // namespace lcj::scenario
