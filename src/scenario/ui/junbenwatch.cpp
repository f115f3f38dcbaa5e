// The scenario editor's files changed by other programs: the scenario and its R file.
#include "armyframe.h"
#include "changes/compare.h"
#include "common/fileaccess.h"
#include "common/ui/filewatch.h"
#include "junben.h"
#include "scenario/savebuilder.h"

#include <QListWidget>

namespace lcj::scenario {

void Junben::watchFiles() {
    auto* watch = new FileWatch(this, [this](const QString& text) { showStatus(text); });
    watch->add({[this] { return stamp_; }, [this] { return holdsScenarioEdits(); },
                [this] { return reloadScenario(); }});
    watch->add({[this] { return army_->rFileStamp(); },
                [this] { return army_->limits().holdsEdits(); },
                [this] { return army_->reloadRFile(); }});
    addDocument({[this] { return stamp_; },
                 [this] {
                     // A save writes what the document builds; unchanged, the file as read.
                     if (!history_.modified())
                         return stamp_.bytes;
                     auto built = buildSave(doc_);
                     return built.ok() ? built->bytes : doc_.bytes();
                 },
                 [this] { return holdsScenarioEdits(); }, [this] { return saveScenario(); },
                 [this] { return history_.stack(); },
                 [this](const QByteArray& bytes) { return adoptScenario(bytes); }});
    addDocument({[this] { return army_->rFileStamp(); },
                 [this] { return army_->rFileBytes(); },
                 [this] { return army_->limits().holdsEdits(); },
                 [this] { return !army_->limits().holdsEdits() || army_->limits().confirmEdits(); },
                 {},
                 {}});
}

bool Junben::adoptScenario(const QByteArray& bytes) {
    // Taken as one change of the scenario's bytes: a file of the length loaded, over a
    // document whose save would write it as it is.
    const QByteArray& held = doc_.bytes();
    if (stamp_.path.isEmpty() || bytes.size() != held.size() || history_.modified())
        return false;
    qsizetype first = 0;
    while (first < held.size() && held[first] == bytes[first])
        ++first;
    if (first == held.size())
        return true;
    qsizetype end = held.size();
    while (end > first && held[end - 1] == bytes[end - 1])
        --end;
    DocumentChange change;
    change.buffer = DocumentChange::Buffer::Scenario;
    change.pos = first;
    change.before = held.mid(first, end - first);
    change.after = bytes.mid(first, end - first);
    change.armyEntryCountBefore = change.armyEntryCountAfter = doc_.armyEntryCount();
    change.equipEditedBefore = change.equipEditedAfter = doc_.equipEdited();
    doc_.reapply(change);
    history_.record(change, changes::stepText(fields::FileKind::Scenario, held, bytes));
    showStored();
    updateTitle();
    emit documentChanged();
    return true;
}

bool Junben::saveScenario() {
    for (EditPart* part : editParts_)
        if (part != &army_->limits() && part->holdsEdits() && !part->confirmEdits())
            return false;
    return !history_.modified() || ssave_Click();
}

bool Junben::reopenAt(const QString& path) {
    const bool withRFile = !army_->rFileStamp().path.isEmpty();
    const UnitKind kinds[] = {UnitKind::Army, UnitKind::Ally, UnitKind::Enemy};
    int selected[3];
    for (int k = 0; k < 3; ++k)
        selected[k] = selectedUnit(kinds[k]);
    const View view = keepView();
    if (!readScenario(path))
        return false;
    if (withRFile)
        army_->takeRFile();
    for (int k = 0; k < 3; ++k)
        if (selected[k] >= 0)
            selectUnit(kinds[k], selected[k]);
    restoreView(view);
    return true;
}

bool Junben::holdsScenarioEdits() const {
    if (history_.modified())
        return true;
    // The R file's boxes belong to the R file.
    for (const EditPart* part : editParts_)
        if (part != &army_->limits() && part->holdsEdits())
            return true;
    return false;
}

Failure Junben::reloadScenario() {
    // The file watched is the one last read or written (after 剧本另存为, the new one).
    const QString path = stamp_.path;
    auto bytes = files::readWhole(path);
    if (!bytes.ok())
        return bytes.error();
    const UnitKind kinds[] = {UnitKind::Army, UnitKind::Ally, UnitKind::Enemy};
    int selected[3];
    for (int k = 0; k < 3; ++k)
        selected[k] = selectedUnit(kinds[k]);
    stamp_ = DiskStamp::take(path, *bytes);
    takeDocument(ScenarioDocument::scan(std::move(*bytes)));
    // The entries the user was on, where they still exist.
    for (int k = 0; k < 3; ++k)
        selectUnit(kinds[k], selected[k]);
    reportProblems();
    return {};
}

} // namespace lcj::scenario
