#include "edithistory.h"

#include <utility>

namespace lcj::scenario {

namespace {
// A byte array's block: its bytes, the header before them and the allocator's rounding.
constexpr qint64 blockOverhead = 48;

qint64 blockCost(const QByteArray& b) {
    return b.isEmpty() ? 0 : b.size() + blockOverhead;
}

// The same scenario held the same way: the steps of one apply to the other.
bool sameDocument(const ScenarioDocument& a, const ScenarioDocument& b) {
    return a.bytes() == b.bytes() && a.extraSlotBytes() == b.extraSlotBytes() &&
           a.equipBytes() == b.equipBytes() && a.armyEntryCount() == b.armyEntryCount() &&
           a.equipEdited() == b.equipEdited() && a.scan().armySlotCount == b.scan().armySlotCount &&
           a.scan().equipEntryCount == b.scan().equipEntryCount;
}
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
        bytes += blockCost(*b);
    if (step.other)
        bytes += blockCost(step.other->bytes()) + blockCost(step.other->extraSlotBytes()) +
                 blockCost(step.other->equipBytes());
    return bytes;
}

int EditHistory::edits(const std::deque<Step>& steps) {
    int n = 0;
    for (const Step& s : steps)
        n += s.other ? 0 : 1;
    return n;
}

void EditHistory::record(DocumentChange change) {
    for (const Step& s : redo_)
        held_ -= cost(s);
    redo_.clear();
    const int before = state_;
    state_ = next_++;
    undo_.push_back({std::move(change), before, state_, nullptr});
    held_ += cost(undo_.back());
    while (!undo_.empty() && (edits(undo_) > maxSteps_ || held_ > maxBytes_))
        forgetOldest();
}

void EditHistory::forgetOldest() {
    held_ -= cost(undo_.front());
    undo_.pop_front();
    // A save's step with no edit before it leads nowhere.
    while (!undo_.empty() && undo_.front().other) {
        held_ -= cost(undo_.front());
        undo_.pop_front();
    }
}

void EditHistory::takeSaved(ScenarioDocument& doc, ScenarioDocument saved) {
    markSaved();
    // Steps to redo apply to the document as it is; so does everything when the file reads
    // back the same way.
    if (!redo_.empty() || sameDocument(doc, saved))
        return;
    if (undo_.empty()) {
        doc = std::move(saved);
        return;
    }
    undo_.push_back(
        {DocumentChange(), state_, state_, std::make_unique<ScenarioDocument>(std::move(doc))});
    doc = std::move(saved);
    held_ += cost(undo_.back());
    while (!undo_.empty() && held_ > maxBytes_)
        forgetOldest();
}

void EditHistory::step(std::deque<Step>& from, std::deque<Step>& to, ScenarioDocument& doc,
                       bool back) {
    Step step = std::move(from.back());
    from.pop_back();
    if (step.other) {
        std::swap(doc, *step.other);
    } else {
        if (back)
            doc.revert(step.change);
        else
            doc.reapply(step.change);
        state_ = back ? step.stateBefore : step.stateAfter;
    }
    to.push_back(std::move(step));
}

bool EditHistory::undo(ScenarioDocument& doc) {
    if (undo_.empty())
        return false;
    // Past a save to the document as it was, then the edit before it.
    while (!undo_.empty() && undo_.back().other)
        step(undo_, redo_, doc, true);
    if (undo_.empty())
        return true;
    step(undo_, redo_, doc, true);
    return true;
}

bool EditHistory::redo(ScenarioDocument& doc) {
    if (redo_.empty())
        return false;
    step(redo_, undo_, doc, false);
    // A save made right after this edit gives back the document as the file read back.
    while (!redo_.empty() && redo_.back().other)
        step(redo_, undo_, doc, false);
    return true;
}

} // namespace lcj::scenario
