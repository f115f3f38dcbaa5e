#include "documentundo.h"

#include <memory>
#include <utility>
#include <vector>

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

class DocumentUndo::EditStep : public UndoHistory::Step {
public:
    EditStep(ScenarioDocument& doc, DocumentChange change, QList<DocumentChange> more)
        : doc_(doc), change_(std::move(change)), more_(std::move(more)) {}
    void undo() override {
        // Back past the saves made after this edit, to the document it was made on.
        for (auto it = saves_.rbegin(); it != saves_.rend(); ++it)
            std::swap(doc_, **it);
        for (auto it = more_.crbegin(); it != more_.crend(); ++it)
            doc_.revert(*it);
        doc_.revert(change_);
    }
    void redo() override {
        doc_.reapply(change_);
        for (const DocumentChange& change : more_)
            doc_.reapply(change);
        for (auto& other : saves_)
            std::swap(doc_, *other);
    }
    qint64 cost() const override {
        qint64 bytes =
            qint64(sizeof(EditStep)) + blockCost(change_.before) + blockCost(change_.after);
        for (const DocumentChange& change : more_)
            bytes += blockCost(change.before) + blockCost(change.after);
        for (const auto& other : saves_)
            bytes += qint64(sizeof(ScenarioDocument)) + blockCost(other->bytes()) +
                     blockCost(other->extraSlotBytes()) + blockCost(other->equipBytes());
        return bytes;
    }
    // A save right after this edit: `other` is the document on the other side of it (before it
    // while the step waits to be undone, after it while it waits to be redone). Held apart, so
    // that a step of an edit carries a pointer rather than room for a whole document.
    void addSave(std::unique_ptr<ScenarioDocument> other) { saves_.push_back(std::move(other)); }

private:
    ScenarioDocument& doc_;
    DocumentChange change_;
    QList<DocumentChange> more_; // made after change_, in this order (most steps have none)
    std::vector<std::unique_ptr<ScenarioDocument>> saves_;
};

DocumentUndo::DocumentUndo(ScenarioDocument& doc, int maxSteps, qint64 maxBytes, QObject* parent)
    : UndoHistory(maxSteps, maxBytes, parent), doc_(doc) {}

void DocumentUndo::record(DocumentChange change, const QString& text) {
    push(std::make_shared<EditStep>(doc_, std::move(change), QList<DocumentChange>{}), text);
}

void DocumentUndo::record(QList<DocumentChange> changes, const QString& text) {
    if (changes.isEmpty())
        return;
    DocumentChange first = changes.takeFirst();
    push(std::make_shared<EditStep>(doc_, std::move(first), std::move(changes)), text);
}

void DocumentUndo::takeSaved(ScenarioDocument saved) {
    markSaved();
    // Steps to redo apply to the document as it is; so does everything when the file reads
    // back the same way.
    if (canRedo() || sameDocument(doc_, saved))
        return;
    auto* last = static_cast<EditStep*>(lastStep());
    if (!last) {
        doc_ = std::move(saved);
        return;
    }
    last->addSave(std::make_unique<ScenarioDocument>(std::move(doc_)));
    doc_ = std::move(saved);
    recount();
}

} // namespace lcj::scenario
