#include "fieldtableview.h"

#include "common/ui/plainheader.h"
#include "fields/tabulartext.h"
#include "fieldtabledelegate.h"
#include "fieldtableviewprivate.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <map>

namespace lcj::fields {

using Editor = Column::Editor;

FieldTableView::FieldTableView(FieldTable& table, ChangeRunner run, Prompts& prompts,
                               QWidget* parent)
    : QWidget(parent), d(new Private{this, table, std::move(run), prompts}) {
    d->model = new FieldTableModel(table);
    d->model->setParent(this);
    d->view = new CellTable(this);
    d->view->setObjectName(QStringLiteral("table"));
    PlainHeader::install(d->view);
    d->view->setModel(d->model);
    d->view->setItemDelegate(new FieldTableDelegate(*d->model, d->view));
    d->view->setSortingEnabled(false);
    d->view->horizontalHeader()->setSectionsClickable(true);
    d->view->horizontalHeader()->setSortIndicatorShown(true);
    d->view->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    d->view->setSortingEnabled(true);
    d->view->verticalHeader()->hide();
    d->view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    d->view->verticalHeader()->setDefaultSectionSize(d->view->fontMetrics().height() + 8);
    d->view->horizontalHeader()->setDefaultSectionSize(88);
    d->view->setColumnWidth(0, 48);
    d->view->setWordWrap(false);
    d->view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    d->view->installEventFilter(this);
    freezeNameColumns();

    d->model->commit = [this](int record, int field, const QString& value, bool immediate) {
        const Column& column = d->table.columns().at(field);
        Roundings rounded;
        const QString before = d->table.read(record, field);
        const Failure failure = d->run(
            [&]() -> Failure {
                rounded.clear();
                return d->table.write(record, {{column.key, QJsonValue(value)}}, &rounded);
            },
            [&] {
                const QString place = d->table.place(record, field);
                return QStringLiteral("修改 %1 %2 → %3\n修改 %1")
                    .arg(place, before, d->table.read(record, field));
            });
        d->model->invalidate();
        if (!failure.ok()) {
            if (immediate)
                d->prompts.showMessage(this, failure.error(), d->messageTitle,
                                       Prompts::Icon::Warning);
            else
                d->editFailure = failure;
            return false;
        }
        emit changed();
        if (!rounded.isEmpty())
            emit this->rounded(roundingsText(rounded));
        return true;
    };
    d->view->takeRefusal = [this] { return std::exchange(d->editFailure, Failure()); };
    d->view->refuse = [this](const QString& message) { d->say(message); };

    connect(d->view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                const int record = d->model->recordAt(current.row());
                if (record >= 0 && record != d->lastRecord) {
                    d->lastRecord = record;
                    emit currentRowChanged(record);
                }
            });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->view);
    setFocusProxy(d->view);
}

void FieldTableView::freezeNameColumns() {
    // 序号 and the label, or without a label the name when it is the first field, stay at
    // the left.
    int count = d->model->fixedColumns();
    if (count == 1 && !d->table.columns().isEmpty() &&
        d->table.columns().first().editor == Editor::Name)
        ++count;
    CellTable* main = d->view;
    auto* frozen = new CellTable(main);
    frozen->setObjectName(QStringLiteral("frozenColumns"));
    // Its headings in the table's own face, as the table's: no bold face loaded for them.
    PlainHeader::install(frozen);
    frozen->setModel(d->model);
    frozen->setItemDelegate(new FieldTableDelegate(*d->model, frozen));
    frozen->setSelectionModel(main->selectionModel());
    frozen->takeRefusal = [this] { return d->view->takeRefusal(); };
    frozen->refuse = [this](const QString& message) { d->view->refuse(message); };
    // The keyboard stays in the table itself: a click or an editor closing gives it there.
    frozen->setFocusPolicy(Qt::ClickFocus);
    frozen->setFocusProxy(main);
    frozen->setFrameShape(QFrame::NoFrame);
    frozen->setEditTriggers(main->editTriggers());
    frozen->setWordWrap(false);
    frozen->verticalHeader()->hide();
    frozen->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen->verticalHeader()->setDefaultSectionSize(main->verticalHeader()->defaultSectionSize());
    frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen->horizontalHeader()->setSortIndicatorShown(true);
    frozen->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    main->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    main->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    main->viewport()->stackUnder(frozen);
    main->frozen = frozen;
    main->frozenCount = count;

    // Widths from the font: 序号 for four digits, a label for its longest text, a name for
    // the characters its bytes hold; never narrower than the heading.
    const QFontMetrics metrics = main->fontMetrics();
    const int padding = 2 * metrics.horizontalAdvance(u'0');
    for (int c = 0; c < count; ++c) {
        const int field = d->model->fieldOf(c);
        int text = 0;
        if (c == 0)
            text = metrics.horizontalAdvance(QStringLiteral("0000"));
        else if (field < 0)
            for (int r = 0; r < d->table.rowCount(); ++r)
                text = std::max(text, metrics.horizontalAdvance(d->table.label(r)));
        else
            text =
                metrics.horizontalAdvance(QString(d->table.columns().at(field).width / 2, u'汉'));
        main->setColumnWidth(
            c, std::max(text + padding, main->horizontalHeader()->sectionSizeHint(c)));
    }

    // Its columns: the frozen ones, as wide as in the table.
    auto showColumns = [main, frozen, count] {
        for (int c = 0; c < frozen->model()->columnCount(); ++c) {
            frozen->setColumnHidden(c, c >= count);
            if (c < count)
                frozen->setColumnWidth(c, main->columnWidth(c));
        }
        main->placeFrozen();
    };
    showColumns();
    connect(d->model, &QAbstractItemModel::modelReset, frozen, showColumns);
    connect(main->horizontalHeader(), &QHeaderView::sectionResized, frozen,
            [main, frozen, count](int column, int, int width) {
                if (column >= count)
                    return;
                frozen->setColumnWidth(column, width);
                main->placeFrozen();
            });
    // The rows scroll together.
    connect(main->verticalScrollBar(), &QAbstractSlider::valueChanged, frozen->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(frozen->verticalScrollBar(), &QAbstractSlider::valueChanged, main->verticalScrollBar(),
            &QAbstractSlider::setValue);
    // A click on a frozen heading sorts as one on the table's own.
    connect(frozen->horizontalHeader(), &QHeaderView::sectionClicked, main, [main](int column) {
        QHeaderView* header = main->horizontalHeader();
        const bool again = header->sortIndicatorSection() == column &&
                           header->sortIndicatorOrder() == Qt::AscendingOrder;
        header->setSortIndicator(column, again ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    connect(main->horizontalHeader(), &QHeaderView::sortIndicatorChanged,
            frozen->horizontalHeader(), &QHeaderView::setSortIndicator);
    frozen->show();
}

QTableView* FieldTableView::frozenView() const {
    return d->view->frozen;
}

FieldTableView::~FieldTableView() {
    // An editor still open commits nothing while the view goes.
    d->model->commit = nullptr;
    d->view->takeRefusal = [] { return Failure(); };
    d->view->refuse = [](const QString&) {};
    if (d->view->frozen) {
        d->view->frozen->takeRefusal = [] { return Failure(); };
        d->view->frozen->refuse = [](const QString&) {};
    }
    delete d->view;
}

FieldTable& FieldTableView::table() const {
    return d->table;
}

QTableView* FieldTableView::view() const {
    return d->view;
}

void FieldTableView::setMessageTitle(const QString& title) {
    d->messageTitle = title;
}

void FieldTableView::setSaved(const FieldTable* saved) {
    d->model->setSaved(saved);
}

void FieldTableView::refresh() {
    d->model->invalidate();
}

void FieldTableView::setFilter(const QString& text) {
    const int record = currentRow();
    const int column = std::max(d->view->currentIndex().column(), 0);
    d->model->setFilter(text);
    const int row = d->model->rowOf(record);
    if (row >= 0)
        d->view->setCurrentIndex(d->model->index(row, column));
}

QString FieldTableView::filter() const {
    return d->model->filter();
}

int FieldTableView::currentRow() const {
    return d->model->recordAt(d->view->currentIndex().row());
}

void FieldTableView::setCurrentRow(int record) {
    const int row = d->model->rowOf(record);
    if (row < 0)
        return;
    const int column = std::max(d->view->currentIndex().column(), 0);
    const QModelIndex index = d->model->index(row, column);
    d->view->setCurrentIndex(index);
    d->view->scrollTo(index);
}

// ---- Copy, paste, fill

namespace {

// The selected cells; the current cell alone when it lies outside them.
QModelIndexList chosenCells(QTableView* view) {
    QModelIndexList cells = view->selectionModel()->selectedIndexes();
    const QModelIndex current = view->currentIndex();
    if (current.isValid() && !view->selectionModel()->isSelected(current))
        cells = {current};
    return cells;
}

} // namespace

void FieldTableView::copy() {
    const QModelIndexList cells = chosenCells(d->view);
    if (cells.isEmpty())
        return;
    int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
    for (const QModelIndex& i : cells) {
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    QSet<std::pair<int, int>> chosen;
    for (const QModelIndex& i : cells)
        chosen.insert({i.row(), i.column()});
    QList<QStringList> rows;
    bool wholeColumns = true;
    for (int c = left; c <= right && wholeColumns; ++c)
        wholeColumns = d->view->selectionModel()->isColumnSelected(c, {});
    if (wholeColumns) {
        QStringList header;
        for (int c = left; c <= right; ++c)
            header.append(d->model->headerText(c));
        rows.append(header);
    }
    for (int r = top; r <= bottom; ++r) {
        const int record = d->model->recordAt(r);
        QStringList row;
        for (int c = left; c <= right; ++c)
            row.append(chosen.contains({r, c}) ? d->model->cellText(record, c) : QString());
        rows.append(row);
    }
    QApplication::clipboard()->setText(tabularText(rows));
}

void FieldTableView::paste() {
    const QList<QStringList> block = parseTabularText(QApplication::clipboard()->text());
    if (block.isEmpty())
        return;
    const QString lead = QStringLiteral("粘贴没有执行：");
    const QModelIndexList cells = chosenCells(d->view);
    if (cells.isEmpty())
        return;
    // Where each pasted text goes, as (row, column, text).
    struct Place {
        int row, column;
        QString text;
    };
    QList<Place> places;
    int width = 0;
    for (const QStringList& row : block)
        width = std::max(width, int(row.size()));
    const bool fillsSelection = block.size() == 1 && width == 1 && cells.size() > 1;
    if (fillsSelection) {
        // One value over a larger selection fills it, as spreadsheets do.
        for (const QModelIndex& i : cells)
            places.append({i.row(), i.column(), block[0][0]});
    } else {
        int top = INT_MAX, left = INT_MAX;
        for (const QModelIndex& i : cells) {
            top = std::min(top, i.row());
            left = std::min(left, i.column());
        }
        const int rows = int(block.size());
        if (top + rows > d->model->rowCount() || left + width > d->model->columnCount()) {
            const int record = d->model->recordAt(top);
            d->prompts.showMessage(
                this,
                lead + QStringLiteral("要粘贴的有%1行%2列，从%3 %4起只容得下%5行%6列")
                           .arg(rows)
                           .arg(width)
                           .arg(d->table.rowName(record), d->model->headerText(left))
                           .arg(d->model->rowCount() - top)
                           .arg(d->model->columnCount() - left),
                d->messageTitle, Prompts::Icon::Warning);
            return;
        }
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < int(block[r].size()); ++c)
                places.append({top + r, left + c, block[r][c]});
    }
    QList<Private::Target> targets;
    for (const Place& p : places) {
        const int record = d->model->recordAt(p.row);
        const auto value = d->pastedValue(record, p.column, p.text);
        if (!value.ok()) {
            d->prompts.showMessage(this, lead + value.error(), d->messageTitle,
                                   Prompts::Icon::Warning);
            return;
        }
        const int field = d->model->fieldOf(p.column);
        if (field >= 0 && !d->table.columns().at(field).readOnly)
            targets.append({record, field, *value});
    }
    if (targets.isEmpty())
        return;
    if (const Failure failure = d->runTargets(targets, lead, QStringLiteral("粘贴"));
        !failure.ok()) {
        d->say(failure.error());
        return;
    }
    // The pasted block is selected as one range (a range per cell would make
    // every paint slow); a filled selection stays as it was.
    if (!fillsSelection) {
        const QModelIndex first = d->model->index(places.first().row, places.first().column);
        const QModelIndex last = d->model->index(places.first().row + int(block.size()) - 1,
                                                 places.first().column + width - 1);
        d->view->selectionModel()->select(QItemSelection(first, last),
                                          QItemSelectionModel::ClearAndSelect);
    }
}

void FieldTableView::fillDown() {
    const QModelIndexList cells = d->view->selectionModel()->selectedIndexes();
    // The first selected row of each column gives the others its value.
    std::map<int, int> firstRow;
    for (const QModelIndex& i : cells) {
        auto [it, fresh] = firstRow.try_emplace(i.column(), i.row());
        if (!fresh)
            it->second = std::min(it->second, i.row());
    }
    QList<Private::Target> targets;
    for (const QModelIndex& i : cells) {
        const int field = d->model->fieldOf(i.column());
        const int from = firstRow[i.column()];
        if (field < 0 || d->table.columns().at(field).readOnly || i.row() == from)
            continue;
        targets.append(
            {d->model->recordAt(i.row()), field, d->model->value(d->model->recordAt(from), field)});
    }
    if (targets.isEmpty())
        return;
    std::sort(targets.begin(), targets.end(),
              [this](const Private::Target& a, const Private::Target& b) {
                  const int ra = d->model->rowOf(a.record), rb = d->model->rowOf(b.record);
                  return ra != rb ? ra < rb : a.field < b.field;
              });
    if (const Failure failure = d->runTargets(targets, QStringLiteral("向下填充没有执行："),
                                              QStringLiteral("向下填充"));
        !failure.ok())
        d->say(failure.error());
}

bool FieldTableView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == d->view &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool fill = key->key() == Qt::Key_D && key->modifiers() == Qt::ControlModifier;
        const bool ours =
            key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste) || fill;
        if (ours) {
            if (event->type() == QEvent::ShortcutOverride) {
                // The table's own keys come before the window's shortcuts.
                event->accept();
                return true;
            }
            if (key->matches(QKeySequence::Copy))
                copy();
            else if (key->matches(QKeySequence::Paste))
                paste();
            else
                fillDown();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lcj::fields
