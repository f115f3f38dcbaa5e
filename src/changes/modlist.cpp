#include "modlist.h"

namespace lcj::changes::mods {

namespace {
QString notYet() {
    return QStringLiteral("尚未完成");
}
} // namespace

QStringList Entry::files() const {
    QStringList out;
    for (const auto& f : patch.files)
        out << f.file;
    return out;
}

int Entry::fieldCount() const {
    int n = 0;
    for (const auto& f : patch.files)
        n += int(f.changes.size());
    return n;
}

Result<ModList> ModList::open(const QString& folder) {
    ModList list;
    list.folder_ = folder;
    return list;
}

Result<AddResult> ModList::add(const QString&) {
    return Result<AddResult>::failure(notYet());
}
Failure ModList::remove(const QString&) {
    return notYet();
}
Failure ModList::setEnabled(const QString&, bool) {
    return notYet();
}
Failure ModList::move(const QString&, int) {
    return notYet();
}
Failure ModList::takeOriginalsFrom(const QString&) {
    return notYet();
}
Result<OutsideEdits> ModList::outsideEdits() const {
    return Result<OutsideEdits>::failure(notYet());
}
Result<QList<ConflictRow>> ModList::conflicts() const {
    return Result<QList<ConflictRow>>::failure(notYet());
}
Result<ApplyResult> ModList::apply(Outside, bool) {
    return Result<ApplyResult>::failure(notYet());
}
Result<ApplyResult> ModList::restore(Outside) {
    return Result<ApplyResult>::failure(notYet());
}
Result<ApplyResult> ModList::undoApply() {
    return Result<ApplyResult>::failure(notYet());
}
bool ModList::canUndoApply() const {
    return false;
}

} // namespace lcj::changes::mods
