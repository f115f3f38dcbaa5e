#include "junben.h"

#include "armyframe.h"
#include "battleframe.h"
#include "common/fileaccess.h"
#include "common/nametables.h"
#include "common/ui/controls.h"
#include "common/ui/diskchange.h"
#include "common/ui/namebeside.h"
#include "common/ui/twinfile.h"
#include "common/ui/unsavededits.h"
#include "common/writelock.h"
#include "datafile/datafile.h"
#include "equipframe.h"
#include "fields/filekind.h"
#include "scenario/savebuilder.h"
#include "slotframe.h"
#include "spoilsframe.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>

namespace lcj::scenario {

namespace {

const QString scenarioFilter =
    QStringLiteral("岚川记剧本文件(S_??.eex) (S_*.eex s_*.eex);;所有文件 (*)");
const QString dataFilter = QStringLiteral("岚川记Data文件 (data.e5 Data.e5 DATA.E5);;所有文件 (*)");
// Problems the scan reports at most, one line each.
constexpr int shownProblems = 8;

// A list handler runs when the selection moves (also from code) and when the
// selected item is clicked again.
template <class Receiver, class Handler>
void onSelect(QListWidget* list, Receiver* receiver, Handler handler) {
    QObject::connect(list, &QListWidget::currentRowChanged, receiver, [receiver, handler](int row) {
        if (row >= 0)
            (receiver->*handler)();
    });
    QObject::connect(list, &QListWidget::itemClicked, receiver,
                     [receiver, handler] { (receiver->*handler)(); });
}

} // namespace

Junben::Junben(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("Junben"));
    setCaption(QStringLiteral("岚川记S剧本简易修改版"));

    QMenu* file = named(menuBar()->addMenu(QStringLiteral("文件")), QStringLiteral("file"));
    dataopen = named(file->addAction(QStringLiteral("读取Data文件")), QStringLiteral("dataopen"));
    sopen = named(file->addAction(QStringLiteral("读取剧本文件")), QStringLiteral("sopen"));
    ssave = named(file->addAction(QStringLiteral("保存剧本文件")), QStringLiteral("ssave"));
    linsave = named(file->addAction(QStringLiteral("剧本另存为")), QStringLiteral("linsave"));
    named(file->addSeparator(), QStringLiteral("wuyiyi"));
    exit = named(file->addAction(QStringLiteral("退出")), QStringLiteral("exit"));
    connect(dataopen, &QAction::triggered, this, &Junben::dataopen_Click);
    connect(sopen, &QAction::triggered, this, &Junben::sopen_Click);
    connect(ssave, &QAction::triggered, this, &Junben::ssave_Click);
    // Ctrl+S saves while the keyboard is anywhere in the editor, as the entry shows.
    setSaveKey(ssave);
    connect(linsave, &QAction::triggered, this, &Junben::linsave_Click);
    connect(exit, &QAction::triggered, this, &Junben::exit_Click);
    QMenu* editMenu = named(menuBar()->addMenu(QStringLiteral("编辑")), QStringLiteral("edit"));
    const UndoRedo undoRedo = addUndoRedo(editMenu);
    undo = undoRedo.undo;
    redo = undoRedo.redo;
    connect(undo, &QAction::triggered, this, &Junben::undo_Click);
    connect(redo, &QAction::triggered, this, &Junben::redo_Click);
    history_.drive(undo, redo);
    // An undo, a redo or a click in the history: the frames show what is stored now.
    connect(&history_, &UndoHistory::moved, this, [this] {
        showStored();
        updateTitle();
        emit documentChanged();
    });

    buildLayout();
    buildPanelMenu();

    onSelect(List1, this, &Junben::List1_Click);
    onSelect(List2, this, &Junben::List2_Click);
    onSelect(army_->list(), army_, &ArmyFrame::select);
    onSelect(ally_->list(), ally_, &SlotFrame::select);
    onSelect(enemy_->list(), enemy_, &SlotFrame::select);
    onSelect(spoils_->list(), spoils_, &SpoilsFrame::select);
    onSelect(equip_->list(), equip_, &EquipFrame::select);
    addModdingHelps();
    watchFiles();

    Form_Load();
}

void Junben::Form_Load() {
    // The frames' buttons wait for a scenario and a selection from their creation.
    dataLoaded_ = false;
    for (QAction* a : {sopen, ssave, linsave})
        a->setEnabled(false);
}

// ---- names from the data file

void Junben::dataopen_Click() {
    const QString path = prompts().chooseOpenFile(this, QStringLiteral("读取Data文件"), dataFilter,
                                                  Prompts::editorFolder());
    // A cancelled dialog changes nothing.
    if (!path.isEmpty())
        readDataNames(path);
}

bool Junben::readDataNames(const QString& path) {
    const data::DataFile file(path);
    const auto people = file.readNames(data::characters);
    const auto items = people.ok() ? file.readNames(data::items) : people;
    if (!people.ok() || !items.ok()) {
        // The lists keep the names read before.
        say(QStringLiteral("文件打开出错\n") + (people.ok() ? items.error() : people.error()));
        return false;
    }
    personNames_ = *people;
    itemNames_ = *items;
    {
        const QSignalBlocker b1(List1), b2(List2);
        List1->clear();
        List2->clear();
        List1->addItems(personNames_);
        List2->addItems(itemNames_);
    }
    equip_->setItemNames(itemNames_);
    Label10->setText(QStringLiteral("人物列表"));
    Label9->setText(QStringLiteral("物品列表"));
    dataLoaded_ = true;
    NameBeside::refreshAll(this);
    sopen->setEnabled(true);
    return true;
}

void Junben::List1_Click() {
    const int row = List1->currentRow();
    if (row < 0)
        return;
    Label10->setText(
        QStringLiteral("人物列表-%1-武将编号:%2").arg(List1->item(row)->text()).arg(row));
}

void Junben::List2_Click() {
    const int row = List2->currentRow();
    if (row < 0)
        return;
    Label9->setText(
        QStringLiteral("物品列表-%1-物品编号:%2").arg(List2->item(row)->text()).arg(row));
}

QString Junben::personName(int n) const {
    return n >= 0 && n < personNames_.size() ? personNames_[n] : QString();
}

QString Junben::itemName(int n) const {
    if (n >= 0 && n < itemNames_.size())
        return itemNames_[n];
    // A stored item no list entry stands for is named by its number, not taken for none.
    return n >= 0 ? QStringLiteral("（未知：%1）").arg(n) : noneName();
}

QStringList Junben::characterNames() const {
    return dataLoaded_ ? personNames_ : names::characters();
}

QStringList Junben::itemNames() const {
    return dataLoaded_ ? itemNames_ : names::items();
}

// ---- loading

void Junben::sopen_Click() {
    if (!mayDropEdits(QStringLiteral("剧本的修改还没有保存到文件。读取另一个剧本前要保存吗？")))
        return;
    const QString path =
        offerVirtualStoreTwin(this, prompts(),
                              prompts().chooseOpenFile(this, QStringLiteral("读取剧本文件"),
                                                       scenarioFilter, Prompts::editorFolder()));
    // A cancelled or failed open keeps the scenario loaded before, its lists and its path.
    if (!path.isEmpty())
        readScenario(path);
}

bool Junben::openPath(const QString& path) {
    QString scenario = path;
    const bool rFile = fields::kindOfName(QFileInfo(path).fileName()) == fields::FileKind::RFile;
    if (rFile) {
        scenario = fields::scenarioOfRFile(path);
        if (scenario.isEmpty()) {
            say(QStringLiteral("找不到这个R文件所属的剧本文件：%1")
                    .arg(QFileInfo(path).fileName()));
            return false;
        }
        // The R file of the scenario shown: its limits are shown beside it, the scenario and
        // its edits stay as they are.
        if (!scenarioPath_.isEmpty() && QFileInfo(scenarioPath_) == QFileInfo(scenario)) {
            if (army_->rFileStamp().path.isEmpty())
                army_->takeRFile();
            return !army_->rFileStamp().path.isEmpty();
        }
    }
    if (!mayDropEdits(QStringLiteral("剧本的修改还没有保存到文件。读取另一个剧本前要保存吗？")))
        return false;
    if (!dataLoaded_) {
        const QString data =
            fields::fileIn(QFileInfo(scenario).absolutePath(), QStringLiteral("data.e5"));
        if (data.isEmpty()) {
            say(QStringLiteral("你还没有读入Data文件数据"));
            return false;
        }
        if (!readDataNames(data))
            return false;
    }
    const QString chosen = offerVirtualStoreTwin(this, prompts(), scenario);
    if (chosen.isEmpty() || !readScenario(chosen))
        return false;
    // An R file opened brings its limits up beside its scenario.
    if (rFile)
        army_->takeRFile();
    return true;
}

void Junben::useGameData(const QString& dataPath) {
    // As 读取Data文件 with that file chosen; the names read before stay without one.
    if (!dataPath.isEmpty())
        readDataNames(dataPath);
}

bool Junben::readScenario(const QString& path) {
    auto bytes = files::readWhole(path);
    if (!bytes.ok()) {
        say(QStringLiteral("读取剧本文件出错\n") + bytes.error());
        return false;
    }
    scenarioPath_ = path;
    // A plain save writes to the scenario just loaded, never to an earlier save-as target.
    saveAsPath_.clear();
    // The R file's limits belong to the scenario before.
    army_->dropRFile();
    stamp_ = DiskStamp::take(path, *bytes);
    takeDocument(ScenarioDocument::scan(std::move(*bytes)));
    ssave->setEnabled(true);
    linsave->setEnabled(true);
    army_->allowRFile();
    reportProblems();
    return true;
}

void Junben::takeDocument(ScenarioDocument doc) {
    doc_ = std::move(doc);
    onDisk_ = doc_;
    history_.clear();
    fillLists();
    // Without a battle header nothing may write through one, whatever a
    // scenario loaded before had enabled.
    for (ScenarioFrame* frame : frames())
        frame->enableForDocument();
    updateTitle();
    emit documentChanged();
}

void Junben::say(const QString& text) {
    EditorWindow::say(text);
}

void Junben::edited(const QString& step) {
    if (auto change = doc_.takeChange())
        history_.record(std::move(*change), step);
    updateTitle();
    emit documentChanged();
    refreshTips();
}

void Junben::updateTitle() {
    // The title names the file a save writes to.
    showFileState(saveAsPath_.isEmpty() ? scenarioPath_ : saveAsPath_, history_.modified());
}

void Junben::undo_Click() {
    history_.undo();
}

void Junben::redo_Click() {
    history_.redo();
}

void Junben::showStored() {
    for (ScenarioFrame* frame :
         std::initializer_list<ScenarioFrame*>{ally_, enemy_, battle_, army_, equip_, spoils_})
        frame->showStored();
    refreshTips();
}

bool Junben::mayDropEdits(const QString& question) {
    return settleEdits(prompts(), this, question, hasUnconfirmedEdits() || history_.modified(),
                       [this] {
                           // Every frame's typing is confirmed first, so that the
                           // save writes it; a refused value stops here with its message.
                           for (EditPart* part : editParts_)
                               if (part->holdsEdits() && !part->confirmEdits())
                                   return false;
                           return !history_.modified() || ssave_Click();
                       });
}

bool Junben::mayClose() {
    return mayDropEdits(QStringLiteral("剧本的修改还没有保存到文件。关闭前要保存吗？"));
}

bool Junben::hasUnconfirmedEdits() const {
    for (const EditPart* part : editParts_)
        if (part->holdsEdits())
            return true;
    return false;
}

QList<ScenarioFrame*> Junben::frames() const {
    return {battle_, army_, ally_, enemy_, spoils_, equip_};
}

void Junben::fillLists() {
    for (ScenarioFrame* frame :
         std::initializer_list<ScenarioFrame*>{ally_, enemy_, battle_, army_, equip_, spoils_})
        frame->showDocument();
    refreshTips();
}

void Junben::selectPerson(int row) {
    if (row >= 0 && row < List1->count()) {
        List1->setCurrentRow(row);
        List1->scrollToItem(List1->item(row));
    } else {
        List1->setCurrentRow(-1);
        List1->clearSelection();
    }
}

void Junben::reportProblems() {
    QStringList parts;
    if (const QString nothing = doc_.nothingToEdit(); !nothing.isEmpty())
        parts << nothing;
    if (!doc_.problems().isEmpty()) {
        QStringList lines = doc_.problems().mid(0, shownProblems);
        if (doc_.problems().size() > shownProblems)
            lines << QStringLiteral("……（另有%1处）").arg(doc_.problems().size() - shownProblems);
        parts << QStringLiteral("剧本中有以下内容无法识别，已按原样保留，不作修改：\n") +
                     lines.join(u'\n');
    }
    if (!parts.isEmpty())
        say(parts.join(QStringLiteral("\n\n")));
}

// ---- saving

Junben::SaveOutcome Junben::writeScenario(const QString& target) {
    using Kind = SaveOutcome::Kind;
    // The file is read once before the write (the check) and once after it
    // (what is shown), both under its lock.
    const auto lock = files::WriteLock::take(target);
    if (!lock.ok())
        return {Kind::Failed, lock.error()};
    const DiskStamp::State state = stamp_.stateOf(target);
    const MergeSource merge = mergeSource(fields::FileKind::Scenario, [this] {
        auto built = buildSave(doc_);
        return built.ok() ? built->bytes : doc_.bytes();
    });
    switch (settleDiskChange(this, prompts(), stamp_, state, target, QStringLiteral("剧本文件"),
                             true, &merge)) {
    case SaveRoute::Write:
        break;
    case SaveRoute::Merged:
        return {Kind::Saved, {}};
    case SaveRoute::Keep:
        return {Kind::Cancelled, {}};
    }
    auto built = buildSave(doc_);
    if (!built.ok())
        return {Kind::Failed, built.error()};
    // A file found as it was stamped holds the stamp's bytes: its backup takes them.
    const bool asStamped = state == DiskStamp::State::Unchanged && stamp_.size >= 0 &&
                           stamp_.path == QFileInfo(target).absoluteFilePath();
    if (const Failure failure =
            files::writeWhole(target, built->bytes, asStamped ? &stamp_.bytes : nullptr);
        !failure.ok())
        return {Kind::Failed, failure.error()};
    // Show what is on disk.
    auto reread = files::readWholeAgain(target, built->bytes);
    const QByteArray& onDisk = reread.ok() ? *reread : built->bytes;
    stamp_ = DiskStamp::take(target, onDisk);
    if (onDisk.isSharedWith(built->bytes) || onDisk == built->bytes) {
        // The file holds what the document builds: the document becomes the file as a load
        // reads it, and the history keeps its steps, so that an undo past this save leads
        // back to the states before.
        onDisk_ = built->scanned;
        history_.takeSaved(std::move(built->scanned));
        showStored();
        updateTitle();
        emit documentChanged();
    } else {
        // Something else stands in the file: that is what is shown, with a history of its own.
        takeDocument(ScenarioDocument::scan(onDisk));
    }
    if (!reread.ok())
        return {Kind::Failed, QStringLiteral("文件已写入，但读回时出错：") + reread.error()};
    return {Kind::Saved, {}};
}

bool Junben::ssave_Click() {
    const QString target = saveAsPath_.isEmpty() ? scenarioPath_ : saveAsPath_;
    const SaveOutcome saved = writeScenario(target);
    if (saved.kind == SaveOutcome::Kind::Cancelled)
        return false;
    if (saved.kind == SaveOutcome::Kind::Failed) {
        say(QStringLiteral("保存剧本文件出错\n") + saved.error);
        return false;
    }
    scenarioPath_ = target;
    updateTitle();
    return true;
}

void Junben::linsave_Click() {
    const QString path = prompts().chooseSaveFile(this, QStringLiteral("剧本另存为"),
                                                  scenarioFilter, Prompts::editorFolder());
    if (path.isEmpty()) {
        say(QStringLiteral("文件另存为出错"));
        return;
    }
    const SaveOutcome saved = writeScenario(path);
    if (saved.kind == SaveOutcome::Kind::Cancelled)
        return;
    if (saved.kind == SaveOutcome::Kind::Failed) {
        say(QStringLiteral("文件另存为出错\n") + saved.error);
        return;
    }
    saveAsPath_ = path;
    updateTitle();
}

void Junben::exit_Click() {
    // Only the window closes: the banner was never hidden for the scenario editor.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}

} // namespace lcj::scenario
