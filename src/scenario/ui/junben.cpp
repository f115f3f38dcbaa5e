#include "junben.h"

#include "common/fileaccess.h"
#include "common/nametables.h"
#include "common/ui/controls.h"
#include "common/ui/diskchange.h"
#include "common/ui/namebeside.h"
#include "common/ui/twinfile.h"
#include "common/ui/unsavededits.h"
#include "common/writelock.h"
#include "datafile/datafile.h"
#include "scenario/savebuilder.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace lcj::scenario {

namespace {

const QString scenarioFilter =
    QStringLiteral("岚川记剧本文件(S_??.eex) (S_*.eex s_*.eex);;所有文件 (*)");
const QString dataFilter = QStringLiteral("岚川记Data文件 (data.e5 Data.e5 DATA.E5);;所有文件 (*)");
const QString none = QStringLiteral("无");
// Problems the scan reports at most, one line each.
constexpr int shownProblems = 8;

// A list handler runs when the selection moves (also from code) and when the
// selected item is clicked again.
template <class Handler> void onSelect(QListWidget* list, Junben* window, Handler handler) {
    QObject::connect(list, &QListWidget::currentRowChanged, window, [window, handler](int row) {
        if (row >= 0)
            (window->*handler)();
    });
    QObject::connect(list, &QListWidget::itemClicked, window,
                     [window, handler] { (window->*handler)(); });
}

} // namespace

Junben::Junben(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("Junben"));
    setWindowTitle(QStringLiteral("岚川记S剧本简易修改版"));

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
    connect(linsave, &QAction::triggered, this, &Junben::linsave_Click);
    connect(exit, &QAction::triggered, this, &Junben::exit_Click);
    QMenu* editMenu = named(menuBar()->addMenu(QStringLiteral("编辑")), QStringLiteral("edit"));
    undo = named(editMenu->addAction(QStringLiteral("撤销")), QStringLiteral("undo"));
    redo = named(editMenu->addAction(QStringLiteral("重做")), QStringLiteral("redo"));
    undo->setShortcut(QKeySequence::Undo);
    QList<QKeySequence> redoKeys{QKeySequence(Qt::CTRL | Qt::Key_Y)};
    for (const QKeySequence& k : QKeySequence::keyBindings(QKeySequence::Redo))
        if (!redoKeys.contains(k))
            redoKeys << k;
    redo->setShortcuts(redoKeys);
    for (QAction* a : {undo, redo})
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(undo);
    addAction(redo);
    connect(undo, &QAction::triggered, this, &Junben::undo_Click);
    connect(redo, &QAction::triggered, this, &Junben::redo_Click);

    buildLayout();
    buildPanelMenu();

    onSelect(List1, this, &Junben::List1_Click);
    onSelect(List2, this, &Junben::List2_Click);
    onSelect(List8, this, &Junben::List8_Click);
    onSelect(ally_.list, this, &Junben::List3_Click);
    onSelect(enemy_.list, this, &Junben::List4_Click);
    onSelect(List6, this, &Junben::List6_Click);
    onSelect(List9, this, &Junben::List9_Click);
    connect(Command1, &QPushButton::clicked, this, &Junben::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Junben::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Junben::Command3_Click);
    connect(ally_.confirm, &QPushButton::clicked, this, &Junben::Command4_Click);
    connect(enemy_.confirm, &QPushButton::clicked, this, &Junben::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Junben::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Junben::Command7_Click);
    connect(Command9, &QPushButton::clicked, this, &Junben::Command9_Click);
    connect(Check1, &QCheckBox::clicked, this, &Junben::Check1_Click);
    connect(jiacheng, &QScrollBar::valueChanged, this, &Junben::jiacheng_Change);
    addModdingHelps();

    Form_Load();
}

void Junben::Form_Load() {
    dataLoaded_ = false;
    for (QPushButton* b : {Command1, Command2, Command3, ally_.confirm, enemy_.confirm, Command6,
                           Command7, Command9})
        b->setEnabled(false);
    for (QAction* a : {sopen, ssave, linsave})
        a->setEnabled(false);
    Check1->setEnabled(false);
    undo->setEnabled(false);
    redo->setEnabled(false);
    for (QRadioButton* o :
         {enemy_.initial, enemy_.story, Option3, Option4, ally_.story, ally_.initial})
        o->setEnabled(false);
}

bool Junben::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == Label5) {
            Label5_DblClick();
            return true;
        }
        if (watched == Label6) {
            Label6_DblClick();
            return true;
        }
    }
    return EditorWindow::eventFilter(watched, event);
}

// ---- names from the data file

void Junben::dataopen_Click() {
    const QString path = prompts().chooseOpenFile(this, QStringLiteral("读取Data文件"), dataFilter,
                                                  Prompts::editorFolder());
    // A cancelled dialog changes nothing.
    if (path.isEmpty())
        return;
    const data::DataFile file(path);
    const auto people = file.readNames(data::characters);
    const auto items = people ? file.readNames(data::items) : people;
    if (!people || !items) {
        // The lists keep the names read before.
        say(QStringLiteral("文件打开出错\n") + (people ? items.error() : people.error()));
        return;
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
    for (QComboBox* combo : {Combo1, Combo2, Combo3}) {
        combo->clear();
        combo->addItems(itemNames_);
        combo->addItem(none);
    }
    Label10->setText(QStringLiteral("人物列表"));
    Label9->setText(QStringLiteral("物品列表"));
    dataLoaded_ = true;
    NameBeside::refreshAll(this);
    sopen->setEnabled(true);
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
    return n >= 0 ? QStringLiteral("（未知：%1）").arg(n) : none;
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
    if (path.isEmpty())
        return;
    auto bytes = files::readWhole(path);
    if (!bytes) {
        say(QStringLiteral("读取剧本文件出错\n") + bytes.error());
        return;
    }
    scenarioPath_ = path;
    // A plain save writes to the scenario just loaded, never to an earlier save-as target.
    saveAsPath_.clear();
    // The R file's limits belong to the scenario before.
    if (Check1->isChecked()) {
        Check1->setChecked(false);
        Check1_Click();
    }
    stamp_ = DiskStamp::take(path, *bytes);
    takeDocument(ScenarioDocument::scan(std::move(*bytes)));
    ssave->setEnabled(true);
    linsave->setEnabled(true);
    Check1->setEnabled(true);
    reportProblems();
}

void Junben::takeDocument(ScenarioDocument doc) {
    doc_ = std::move(doc);
    onDisk_ = doc_;
    history_.reset();
    fillLists();
    enableBattleFrames();
    updateTitle();
    emit documentChanged();
}

void Junben::enableBattleFrames() {
    Command6->setEnabled(doc_.scan().hasBattleHeader);
    if (doc_.scan().hasBattleHeader)
        return; // the other buttons wait for a selection
    // Without a battle header nothing may write through one, whatever a
    // scenario loaded before had enabled.
    for (QWidget* w : std::initializer_list<QWidget*>{
             Command1, Command3, Option3, Option4, ally_.confirm, ally_.initial, ally_.story,
             enemy_.confirm, enemy_.initial, enemy_.story, Command9})
        w->setEnabled(false);
}

void Junben::edited() {
    if (auto change = doc_.takeChange())
        history_.record(std::move(*change));
    updateTitle();
    emit documentChanged();
    refreshTips();
}

void Junben::updateTitle() {
    const QString caption = QStringLiteral("岚川记S剧本简易修改版");
    setWindowTitle(history_.modified() ? caption + QStringLiteral(" *") : caption);
    undo->setEnabled(history_.canUndo());
    redo->setEnabled(history_.canRedo());
}

void Junben::undo_Click() {
    if (history_.undo(doc_))
        fillLists();
    updateTitle();
    emit documentChanged();
}

void Junben::redo_Click() {
    if (history_.redo(doc_))
        fillLists();
    updateTitle();
    emit documentChanged();
}

bool Junben::mayDropEdits(const QString& question) {
    return settleEdits(prompts(), this, question, hasUnconfirmedEdits() || history_.modified(),
                       [this] {
                           // Every frame's typing is confirmed first, so that the
                           // save writes it; a refused value stops here with its message.
                           for (int f = 0; f < frameCount; ++f)
                               if (frameEdited(Frame(f)) && !confirmFrame(Frame(f)))
                                   return false;
                           return !history_.modified() || ssave_Click();
                       });
}

bool Junben::mayClose() {
    return mayDropEdits(QStringLiteral("剧本的修改还没有保存到文件。关闭前要保存吗？"));
}

void Junben::fillLists() {
    for (QListWidget* l : {ally_.list, enemy_.list, List5, List6, List9, List8}) {
        const QSignalBlocker blocker(l);
        l->clear();
    }
    if (doc_.scan().hasBattleHeader) {
        for (SlotFrame* f : {&ally_, &enemy_}) {
            const QSignalBlocker blocker(f->list);
            for (int k = 0; k < ScenarioDocument::slotCount(f->side); ++k) {
                const quint16 n = doc_.slotCharacter(f->side, k);
                f->list->addItem(n == 0xFFFF ? none : personName(n));
            }
        }
    }
    showBattle();
    {
        const QSignalBlocker blocker(List8);
        for (int k = 1; k <= doc_.armyEntryCount(); ++k)
            List8->addItem(QString::number(k));
    }
    Command3->setEnabled(doc_.canAppendArmyEntry());
    {
        const QSignalBlocker blocker(List9);
        for (int k = 0; k < 100; ++k) {
            const quint16 n = doc_.equipCharacter(k);
            // Slots past the loaded entries hold FF bytes until an entry is confirmed there.
            List9->addItem(n <= 512 ? personName(n) : none);
        }
    }
    List9->setEnabled(doc_.equipmentEditable());
    {
        const QSignalBlocker blocker(List6);
        for (int k = 0; k < doc_.spoilsCount(); ++k)
            List6->addItem(QStringLiteral("战利品"));
    }
    refreshTips();
}

void Junben::showBattle() {
    if (!doc_.scan().hasBattleHeader) {
        // Values of a scenario loaded before are not shown as this one's.
        for (QLineEdit* box : {Text3, Text4, Text5, Text6})
            box->clear();
        takeShown(Frame::Battle);
        return;
    }
    const BattleForm form = doc_.showBattle();
    {
        // A bonus the scroll bar cannot take is still shown in the box.
        const QSignalBlocker blocker(jiacheng);
        jiacheng->setValue(form.scrollValue);
    }
    Text3->setText(form.levelBonus);
    Text4->setText(form.turns);
    Text5->setText(form.victory);
    Text6->setText(form.defeat);
    takeShown(Frame::Battle);
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

std::optional<Failure> Junben::writeScenario(const QString& target) {
    // The file is read once before the write (the check) and once after it
    // (what is shown), both under its lock.
    const auto lock = files::WriteLock::take(target);
    if (!lock)
        return Failure(lock.error());
    const DiskStamp::State state = stamp_.stateOf(target);
    if (!mayOverwrite(this, prompts(), state, target, QStringLiteral("剧本文件"), true))
        return std::nullopt;
    auto built = buildSave(doc_);
    if (!built)
        return Failure(built.error());
    // A file found as it was stamped holds the stamp's bytes: its backup takes them.
    const bool asStamped = state == DiskStamp::State::Unchanged && stamp_.size >= 0 &&
                           stamp_.path == QFileInfo(target).absoluteFilePath();
    if (auto failure = files::writeWhole(target, built->bytes, asStamped ? &stamp_.bytes : nullptr))
        return failure;
    // Show what is on disk.
    auto reread = files::readWhole(target);
    const QByteArray& onDisk = reread ? *reread : built->bytes;
    stamp_ = DiskStamp::take(target, onDisk);
    // The builder has scanned the bytes it wrote; what came back is scanned only if it differs.
    takeDocument(onDisk == built->bytes ? std::move(built->scanned)
                                        : ScenarioDocument::scan(onDisk));
    if (!reread)
        return Failure(QStringLiteral("文件已写入，但读回时出错：") + reread.error());
    return Failure();
}

bool Junben::ssave_Click() {
    const QString target = saveAsPath_.isEmpty() ? scenarioPath_ : saveAsPath_;
    const auto result = writeScenario(target);
    if (!result)
        return false; // the user kept the file changed on disk
    if (*result) {
        say(QStringLiteral("保存剧本文件出错\n") + **result);
        return false;
    }
    scenarioPath_ = target;
    return true;
}

void Junben::linsave_Click() {
    const QString path = prompts().chooseSaveFile(this, QStringLiteral("剧本另存为"),
                                                  scenarioFilter, Prompts::editorFolder());
    if (path.isEmpty()) {
        say(QStringLiteral("文件另存为出错"));
        return;
    }
    const auto result = writeScenario(path);
    if (!result)
        return;
    if (*result) {
        say(QStringLiteral("文件另存为出错\n") + **result);
        return;
    }
    saveAsPath_ = path;
}

void Junben::exit_Click() {
    // Only the window closes: the banner was never hidden for the scenario editor.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}

} // namespace lcj::scenario
