// The scenario editor's files changed by other programs: the scenario and its R file.
#include "armyframe.h"
#include "changes/compare.h"
#include "changes/patch.h"
#include "common/fileaccess.h"
#include "common/ui/filewatch.h"
#include "junben.h"
#include "scenario/savebuilder.h"

#include <QFileInfo>
#include <QHash>
#include <QLineEdit>
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
    // The R file's edits are its boxes' values until R文件保存: what a save would write holds them.
    addDocument({[this] { return army_->rFileStamp(); },
                 [this] { return army_->rFileTyped(); },
                 [this] { return army_->limits().holdsEdits(); },
                 [this] { return !army_->limits().holdsEdits() || army_->limits().confirmEdits(); },
                 {},
                 [this](const QByteArray& bytes) { return army_->adoptRFile(bytes); }});
    for (QLineEdit* box : army_->limitBoxes())
        connect(box, &QLineEdit::textEdited, this, &EditorWindow::editsTyped);
}

bool Junben::adoptScenario(const QByteArray& bytes) {
    // Taken as one step over a document whose save would write it as it is: a file of the
    // length loaded as one change of the scenario's bytes, one of another length (army
    // entries appended) by adoptRetyped.
    if (stamp_.path.isEmpty() || history_.modified())
        return false;
    if (bytes.size() != doc_.bytes().size())
        return adoptRetyped(bytes);
    if (bytes == doc_.bytes())
        return true;
    const auto change = doc_.changeToBytes(bytes);
    return change && takeSteps({*change}, bytes);
}

bool Junben::adoptRetyped(const QByteArray& bytes) {
    // The fields that differ are typed into a copy of the document as the editor's boxes take
    // them, and taken only when that copy builds exactly `bytes`.
    const QString name = QFileInfo(stamp_.path).fileName();
    const auto now = changes::patch::readCells(fields::FileKind::Scenario, name, doc_.bytes());
    const auto then = changes::patch::readCells(fields::FileKind::Scenario, name, bytes);
    if (!now.ok() || !then.ok())
        return false;
    QHash<QString, QJsonValue> held;
    for (const changes::patch::Cell& cell : *now)
        held.insert(cell.key(), cell.value);
    QList<changes::patch::Cell> differing;
    for (const changes::patch::Cell& cell : *then)
        if (held.value(cell.key(), QJsonValue::Undefined) != cell.value)
            differing << cell;
    ScenarioDocument typed = doc_;
    if (!changes::patch::typeScenarioCells(typed, differing).ok())
        return false;
    const auto built = buildSave(typed);
    if (!built.ok() || built->bytes != bytes)
        return false;
    const auto steps = doc_.changesTo(typed);
    return steps && takeSteps(*steps, bytes);
}

bool Junben::takeSteps(const QList<DocumentChange>& steps, const QByteArray& bytes) {
    const QByteArray before = doc_.bytes();
    for (const DocumentChange& change : steps)
        doc_.reapply(change);
    history_.record(steps, changes::stepText(fields::FileKind::Scenario, before, bytes));
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
