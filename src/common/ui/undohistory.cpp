#include "undohistory.h"

#include "controls.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QStyle>
#include <QUndoStack>
#include <QUndoView>
#include <QVBoxLayout>
#include <QWidget>

namespace lcj {

// A thin command over a step held in a shared pointer, so that the stack can be built again
// over the same steps once the oldest are forgotten.
class UndoHistory::Command : public QUndoCommand {
public:
    Command(UndoHistory* history, std::shared_ptr<Step> step, const QString& text)
        : history_(history), step_(std::move(step)) {
        setText(text);
    }
    void undo() override {
        if (!history_->quiet_)
            step_->undo();
    }
    void redo() override {
        if (!history_->quiet_)
            step_->redo();
    }
    const std::shared_ptr<Step>& step() const { return step_; }
    // The text as given to the constructor.
    QString fullText() const {
        return actionText() == text() ? text() : text() + u'\n' + actionText();
    }
    qint64 cost() const {
        // The command, its texts and the shared pointer's block besides the step.
        return step_->cost() + qint64(sizeof(Command)) +
               2 * qint64(text().size() + actionText().size()) + 160;
    }

private:
    UndoHistory* history_;
    std::shared_ptr<Step> step_;
};

UndoHistory::UndoHistory(int maxSteps, qint64 maxBytes, QObject* parent)
    : QObject(parent), stack_(new QUndoStack(this)), maxBytes_(maxBytes) {
    stack_->setUndoLimit(qMax(1, maxSteps));
    connect(stack_, &QUndoStack::indexChanged, this, [this] {
        if (!quiet_)
            emit moved();
    });
}

UndoHistory::~UndoHistory() {
    // The commands go with the stack, their steps untouched.
    quiet_ = true;
}

void UndoHistory::clear() {
    quiet_ = true;
    stack_->clear();
    quiet_ = false;
}

void UndoHistory::push(std::shared_ptr<Step> step, const QString& text) {
    quiet_ = true;
    stack_->push(new Command(this, std::move(step), text));
    quiet_ = false;
    trim();
}

UndoHistory::Step* UndoHistory::stepAt(int index) const {
    return static_cast<const Command*>(stack_->command(index))->step().get();
}

UndoHistory::Step* UndoHistory::lastStep() const {
    return stack_->index() > 0 ? stepAt(stack_->index() - 1) : nullptr;
}

void UndoHistory::recount() {
    trim();
}

void UndoHistory::trim() {
    qint64 held = heldBytes();
    int drop = 0;
    while (drop < stack_->index() && held > maxBytes_)
        held -= static_cast<const Command*>(stack_->command(drop++))->cost();
    if (drop == 0)
        return;
    // A QUndoStack drops its oldest commands only past its step limit: for the byte bound it
    // is built again over the steps kept, the document left as it is.
    std::vector<std::pair<std::shared_ptr<Step>, QString>> kept;
    for (int i = drop; i < stack_->count(); ++i) {
        const auto* command = static_cast<const Command*>(stack_->command(i));
        kept.emplace_back(command->step(), command->fullText());
    }
    const int index = stack_->index() - drop;
    const int clean = stack_->cleanIndex() < 0 ? -1 : stack_->cleanIndex() - drop;
    quiet_ = true;
    stack_->clear();
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (clean == int(i))
            stack_->setClean();
        stack_->push(new Command(this, kept[i].first, kept[i].second));
    }
    if (clean == int(kept.size()))
        stack_->setClean();
    stack_->setIndex(index);
    if (clean < 0)
        stack_->resetClean();
    quiet_ = false;
}

void UndoHistory::markSaved() {
    stack_->setClean();
}

bool UndoHistory::modified() const {
    return !stack_->isClean();
}

bool UndoHistory::canUndo() const {
    return stack_->canUndo();
}

bool UndoHistory::canRedo() const {
    return stack_->canRedo();
}

bool UndoHistory::undo() {
    if (!canUndo() || !stepAt(stack_->index() - 1)->fits())
        return false;
    stack_->undo();
    return true;
}

bool UndoHistory::redo() {
    if (!canRedo() || !stepAt(stack_->index())->fits())
        return false;
    stack_->redo();
    return true;
}

int UndoHistory::undoSteps() const {
    return stack_->index();
}

int UndoHistory::redoSteps() const {
    return stack_->count() - stack_->index();
}

qint64 UndoHistory::heldBytes() const {
    qint64 held = 0;
    for (int i = 0; i < stack_->count(); ++i)
        held += static_cast<const Command*>(stack_->command(i))->cost();
    return held;
}

void UndoHistory::drive(QAction* undo, QAction* redo) {
    undoEntry_ = undo;
    redoEntry_ = redo;
    // Reads the stack alone: the stack clears itself as it is destroyed, after this history.
    const auto show = [stack = stack_, undo, redo] {
        const QString undoText = stack->canUndo() ? stack->undoText() : QString();
        const QString redoText = stack->canRedo() ? stack->redoText() : QString();
        undo->setText(undoText.isEmpty() ? QStringLiteral("撤销")
                                         : QStringLiteral("撤销 ") + undoText);
        redo->setText(redoText.isEmpty() ? QStringLiteral("重做")
                                         : QStringLiteral("重做 ") + redoText);
        undo->setEnabled(stack->canUndo());
        redo->setEnabled(stack->canRedo());
    };
    connect(stack_, &QUndoStack::undoTextChanged, undo, show);
    connect(stack_, &QUndoStack::redoTextChanged, redo, show);
    connect(stack_, &QUndoStack::canUndoChanged, undo, show);
    connect(stack_, &QUndoStack::canRedoChanged, redo, show);
    show();
}

namespace {

// Asks before a click or a key moves the history view's selection, and so the document.
class AskBeforeMoving : public QObject {
public:
    AskBeforeMoving(QObject* parent, std::function<bool()> mayMove)
        : QObject(parent), mayMove_(std::move(mayMove)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
            return !mayMove_();
        default:
            return false;
        }
    }

private:
    std::function<bool()> mayMove_;
};

} // namespace

QAction* UndoHistory::addHistoryEntry(QMenu* view, QWidget* window, std::function<bool()> mayMove) {
    QAction* entry = named(view->addAction(QStringLiteral("历史")), QStringLiteral("history"));
    connect(entry, &QAction::triggered, window, [this, window, mayMove = std::move(mayMove)] {
        if (!view_) {
            view_ = named(new QWidget(window, Qt::Tool), QStringLiteral("historyWindow"));
            view_->setWindowTitle(QStringLiteral("历史"));
            auto* list = named(new QUndoView(stack_, view_), QStringLiteral("historyView"));
            list->setEmptyLabel(QStringLiteral("打开时"));
            // The state on disk.
            list->setCleanIcon(window->style()->standardIcon(QStyle::SP_DialogSaveButton));
            if (mayMove) {
                auto* ask = new AskBeforeMoving(list, mayMove);
                list->installEventFilter(ask);
                list->viewport()->installEventFilter(ask);
            }
            for (QAction* key : {undoEntry_, redoEntry_})
                if (key)
                    view_->addAction(key);
            auto* layout = new QVBoxLayout(view_);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(list);
            view_->resize(360, 420);
        }
        view_->show();
        view_->raise();
    });
    return entry;
}

// ---- ByteUndo

class ByteUndo::RunsStep : public UndoHistory::Step {
public:
    RunsStep(ByteUndo& owner, XorRuns runs) : owner_(owner), runs_(std::move(runs)) {}
    void undo() override { flip(); }
    void redo() override { flip(); }
    bool fits() const override { return runs_.fits(owner_.read_()); }
    qint64 cost() const override { return qint64(sizeof(RunsStep)) + runs_.cost(); }

private:
    void flip() {
        Buffers buffers = owner_.read_();
        if (runs_.apply(buffers))
            owner_.write_(std::move(buffers));
    }
    ByteUndo& owner_;
    XorRuns runs_;
};

ByteUndo::ByteUndo(std::function<Buffers()> read, std::function<void(Buffers&&)> write,
                   int maxSteps, qint64 maxBytes, QObject* parent)
    : UndoHistory(maxSteps, maxBytes, parent), read_(std::move(read)), write_(std::move(write)) {}

bool ByteUndo::record(const Buffers& before, const Buffers& after, const QString& text) {
    auto runs = XorRuns::between(before, after);
    if (!runs)
        return false;
    push(std::make_shared<RunsStep>(*this, std::move(*runs)), text);
    return true;
}

bool ByteUndo::record(const QByteArray& before, const QByteArray& after, const QString& text) {
    return record(Buffers{before}, Buffers{after}, text);
}

} // namespace lcj
