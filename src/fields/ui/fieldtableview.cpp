#include "fieldtableview.h"

#include "common/ui/bytelimit.h"
#include "common/ui/plainheader.h"
#include "common/ui/prompts.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <QSet>

#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace lcj::fields {

using Editor = Column::Editor;

// ---- Text as spreadsheets put it on the clipboard

QList<QStringList> parseTabularText(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool cellStarted = false; // anything, even an empty cell, since the last row end
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto endCell = [&] {
        row.append(cell);
        cell.clear();
    };
    auto endRow = [&] {
        endCell();
        rows.append(row);
        row.clear();
        cellStarted = false;
    };
    while (i < n) {
        const QChar c = text[i];
        if (cell.isEmpty() && c == u'"') {
            // A quoted cell: up to the quote not doubled; a cell whose quote
            // never closes was no quoted cell but text beginning with a quote.
            QString quoted;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text[j] == u'"') {
                    if (j + 1 < n && text[j + 1] == u'"') {
                        quoted.append(u'"');
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                quoted.append(text[j]);
                ++j;
            }
            cellStarted = true;
            if (closed) {
                cell = quoted;
                i = j;
                // Anything after the closing quote up to the separator is kept as typed.
                while (i < n && text[i] != u'\t' && text[i] != u'\n' && text[i] != u'\r')
                    cell.append(text[i++]);
                continue;
            }
            cell.append(c);
            ++i;
            continue;
        }
        if (c == u'\t') {
            endCell();
            cellStarted = true;
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            endRow();
            i += (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
        } else {
            cell.append(c);
            cellStarted = true;
            ++i;
        }
    }
    // The line end after the last row closes it; it starts no empty row.
    if (cellStarted || !cell.isEmpty())
        endRow();
    // An empty line after a block of several columns is no row of it.
    qsizetype width = 0;
    for (const QStringList& r : rows)
        width = std::max(width, r.size());
    while (width > 1 && rows.size() > 1 && rows.last() == QStringList{QString()})
        rows.removeLast();
    return rows;
}

QString tabularText(const QList<QStringList>& rows) {
    QString out;
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                out.append(u'\t');
            const QString& cell = row[c];
            if (cell.contains(u'\t') || cell.contains(u'\n') || cell.contains(u'\r') ||
                cell.startsWith(u'"')) {
                QString quoted = cell;
                quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
                out.append(u'"' + quoted + u'"');
            } else {
                out.append(cell);
            }
        }
        out.append(QStringLiteral("\r\n"));
    }
    return out;
}

namespace {

const QColor changedBackground(255, 232, 170);

// A cell a change writes: a record, a field, the typed value.
struct Target {
    int record;
    int field;
    QString value;
};

// A value as a number when the whole of it is one.
std::optional<double> numberOf(const QString& text) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

struct SortKey {
    std::optional<double> number;
    QString text;
};

// Numbers before texts, numbers by value, texts by their characters.
int compareKeys(const SortKey& a, const SortKey& b) {
    if (a.number && b.number)
        return *a.number < *b.number ? -1 : (*a.number > *b.number ? 1 : 0);
    if (a.number != b.number)
        return a.number ? -1 : 1;
    return a.text.compare(b.text);
}

} // namespace

// ---- The model: a row per record, cached texts

struct ListCache {
    bool valid = false;
    QList<Entry> entries;
    QHash<QString, QString> textOf;       // value → the first entry's text
    QHash<QString, QStringList> valuesOf; // text → every value with that text
};

class FieldTableView::Model : public QAbstractTableModel {
public:
    explicit Model(FieldTable& table) : table_(table) {
        fixed_ = table.labelHeader().isEmpty() ? 1 : 2;
        for (qsizetype c = 0; c < table.columns().size(); ++c)
            if (nameField_ < 0 && table.columns()[c].editor == Editor::Name)
                nameField_ = int(c);
        rows_.resize(std::size_t(table.rowCount()));
        lists_.resize(std::size_t(table.columns().size()));
        order_.resize(std::size_t(table.rowCount()));
        for (int r = 0; r < table.rowCount(); ++r)
            order_[std::size_t(r)] = r;
        applyFilter();
    }

    FieldTable& table() const { return table_; }
    int fixedColumns() const { return fixed_; }
    // The field of a view column, or -1 for 序号 and the label.
    int fieldOf(int column) const { return column - fixed_; }
    int recordAt(int row) const {
        return row >= 0 && std::size_t(row) < visible_.size() ? visible_[std::size_t(row)] : -1;
    }
    int rowOf(int record) const {
        return record >= 0 && std::size_t(record) < rowOfRecord_.size()
                   ? rowOfRecord_[std::size_t(record)]
                   : -1;
    }
    const Column& column(int field) const { return table_.columns().at(field); }

    // The record's cell values, read once until the next invalidate().
    const QStringList& values(int record) const {
        auto& cached = rows_[std::size_t(record)];
        if (!cached)
            cached = table_.readRow(record);
        return *cached;
    }
    QString value(int record, int field) const { return values(record).value(field); }

    const ListCache& list(int field) const {
        ListCache& l = lists_[std::size_t(field)];
        if (!l.valid) {
            l.entries = table_.entries(field);
            l.textOf.clear();
            l.valuesOf.clear();
            for (const Entry& e : l.entries) {
                if (!l.textOf.contains(e.value))
                    l.textOf.insert(e.value, e.text);
                l.valuesOf[e.text].append(e.value);
            }
            l.valid = true;
        }
        return l;
    }

    // A cell as the view shows and copies it: a list's entry text, else the value.
    QString shown(int record, int field) const {
        const QString v = value(record, field);
        if (column(field).editor == Editor::List)
            return list(field).textOf.value(v, v);
        return v;
    }
    // A view column's text for a record, the fixed columns included.
    QString cellText(int record, int column) const {
        if (column == 0)
            return QString::number(record);
        const int field = fieldOf(column);
        if (field < 0)
            return table_.label(record);
        return shown(record, field);
    }

    void setSaved(const FieldTable* saved) {
        saved_ = saved;
        savedRows_.assign(
            saved && saved->rowCount() == table_.rowCount() ? std::size_t(table_.rowCount()) : 0,
            std::nullopt);
        if (savedRows_.empty())
            saved_ = nullptr;
        everythingChanged();
    }
    bool differsFromSaved(int record, int field) const {
        if (!saved_)
            return false;
        auto& cached = savedRows_[std::size_t(record)];
        if (!cached)
            cached = saved_->readRow(record);
        return cached->value(field) != value(record, field);
    }

    // The bytes under the table changed: every cached text goes. A table whose
    // rows came or went (a list of a scenario) starts again in file order.
    void invalidate() {
        for (auto& l : lists_)
            l.valid = false;
        if (std::size_t(table_.rowCount()) != rows_.size()) {
            beginResetModel();
            rows_.assign(std::size_t(table_.rowCount()), std::nullopt);
            savedRows_.clear();
            saved_ = nullptr;
            order_.resize(rows_.size());
            for (std::size_t r = 0; r < order_.size(); ++r)
                order_[r] = int(r);
            applyFilter();
            endResetModel();
            return;
        }
        for (auto& r : rows_)
            r.reset();
        everythingChanged();
    }

    void setFilter(const QString& text) {
        beginResetModel();
        filter_ = text;
        applyFilter();
        endResetModel();
    }
    const QString& filter() const { return filter_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(visible_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : fixed_ + int(table_.columns().size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const int record = recordAt(index.row());
        if (record < 0)
            return {};
        const int field = fieldOf(index.column());
        switch (role) {
        case Qt::DisplayRole:
            if (field >= 0 && column(field).editor == Editor::Flag)
                return {};
            return cellText(record, index.column());
        case Qt::EditRole:
            return field >= 0 ? value(record, field) : cellText(record, index.column());
        case Qt::CheckStateRole:
            if (field >= 0 && column(field).editor == Editor::Flag) {
                const QString v = value(record, field);
                return int(v == u"1"   ? Qt::Checked
                           : v == u"0" ? Qt::Unchecked
                                       : Qt::PartiallyChecked);
            }
            return {};
        case Qt::BackgroundRole:
            if (field >= 0 && differsFromSaved(record, field))
                return changedBackground;
            return {};
        case Qt::ToolTipRole:
            if (field >= 0 && column(field).editor == Editor::List)
                return value(record, field);
            return {};
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal)
            return {};
        if (role == Qt::InitialSortOrderRole)
            return int(Qt::AscendingOrder);
        if (role != Qt::DisplayRole)
            return {};
        return headerText(section);
    }
    QString headerText(int section) const {
        if (section == 0)
            return QStringLiteral("序号");
        const int field = fieldOf(section);
        return field < 0 ? table_.labelHeader() : column(field).caption;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        const int field = fieldOf(index.column());
        if (field < 0 || column(field).readOnly)
            return f;
        return column(field).editor == Editor::Flag ? f | Qt::ItemIsUserCheckable
                                                    : f | Qt::ItemIsEditable;
    }

    bool setData(const QModelIndex& index, const QVariant& v, int role) override {
        const int record = recordAt(index.row());
        const int field = fieldOf(index.column());
        if (record < 0 || field < 0 || !commit)
            return false;
        QString typed;
        if (role == Qt::CheckStateRole)
            typed = Qt::CheckState(v.toInt()) == Qt::Checked ? QStringLiteral("1")
                                                             : QStringLiteral("0");
        else if (role == Qt::EditRole)
            typed = v.toString();
        else
            return false;
        return commit(record, field, typed, role == Qt::CheckStateRole);
    }

    void sort(int sortColumn, Qt::SortOrder order) override {
        const int n = table_.rowCount();
        std::vector<int> sorted(static_cast<std::size_t>(n));
        for (int r = 0; r < n; ++r)
            sorted[std::size_t(r)] = r;
        if (sortColumn > 0 && sortColumn < columnCount()) {
            const int field = fieldOf(sortColumn);
            // A list sorts by its stored codes, which keep the list's order.
            std::vector<SortKey> keys(static_cast<std::size_t>(n));
            for (int r = 0; r < n; ++r) {
                const QString text = field < 0 ? table_.label(r) : value(r, field);
                keys[std::size_t(r)] = {numberOf(text), text};
            }
            std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
                const int c = compareKeys(keys[std::size_t(a)], keys[std::size_t(b)]);
                return order == Qt::AscendingOrder ? c < 0 : c > 0;
            });
        } else if (order == Qt::DescendingOrder) {
            std::reverse(sorted.begin(), sorted.end());
        }
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList before = persistentIndexList();
        QList<int> records;
        for (const QModelIndex& i : before)
            records.append(recordAt(i.row()));
        order_ = std::move(sorted);
        applyFilter();
        QModelIndexList after;
        for (qsizetype k = 0; k < before.size(); ++k) {
            const int row = rowOf(records[k]);
            after.append(row < 0 ? QModelIndex() : index(row, before[k].column()));
        }
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

    // Writes a cell the user typed; `immediate` for a tick box, which has no
    // editor to stay open.
    std::function<bool(int record, int field, const QString& value, bool immediate)> commit;

private:
    void everythingChanged() {
        if (rowCount() > 0 && columnCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }

    bool matches(int record) const {
        if (filter_.isEmpty())
            return true;
        if (QString::number(record).contains(filter_, Qt::CaseInsensitive))
            return true;
        if (fixed_ > 1 && table_.label(record).contains(filter_, Qt::CaseInsensitive))
            return true;
        return nameField_ >= 0 && value(record, nameField_).contains(filter_, Qt::CaseInsensitive);
    }

    void applyFilter() {
        visible_.clear();
        rowOfRecord_.assign(std::size_t(table_.rowCount()), -1);
        for (int record : order_)
            if (matches(record)) {
                rowOfRecord_[std::size_t(record)] = int(visible_.size());
                visible_.push_back(record);
            }
    }

    FieldTable& table_;
    int fixed_ = 1;
    int nameField_ = -1;
    mutable std::vector<std::optional<QStringList>> rows_;
    mutable std::vector<ListCache> lists_;
    const FieldTable* saved_ = nullptr;
    mutable std::vector<std::optional<QStringList>> savedRows_;
    std::vector<int> order_;       // every record, in the sorted order
    std::vector<int> visible_;     // the rows shown: records of order_ that pass the filter
    std::vector<int> rowOfRecord_; // record → row shown, or -1
    QString filter_;
};

// ---- The editors of a cell

namespace {

QLineEdit* lineEditOf(QWidget* editor) {
    if (auto* box = qobject_cast<QLineEdit*>(editor))
        return box;
    return editor->findChild<QLineEdit*>();
}

} // namespace

class FieldTableView::Delegate : public QStyledItemDelegate {
public:
    Delegate(Model& model, QObject* parent) : QStyledItemDelegate(parent), model_(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        const int field = model_.fieldOf(index.column());
        if (field < 0)
            return nullptr;
        const Column& column = model_.column(field);
        switch (column.editor) {
        case Editor::List: {
            auto* combo = new QComboBox(parent);
            combo->setObjectName(QStringLiteral("cellList"));
            for (const Entry& e : model_.list(field).entries)
                combo->addItem(e.text, e.value);
            auto* self = const_cast<Delegate*>(this);
            // A pick is a commit, as in the window's list.
            connect(combo, &QComboBox::activated, self, [self, combo] {
                emit self->commitData(combo);
                emit self->closeEditor(combo, QAbstractItemDelegate::NoHint);
            });
            return combo;
        }
        case Editor::Name: {
            // The box and, beside it, the bytes used of the field.
            auto* holder = new QWidget(parent);
            holder->setObjectName(QStringLiteral("cellName"));
            holder->setAutoFillBackground(true);
            auto* layout = new QHBoxLayout(holder);
            layout->setContentsMargins(0, 0, 2, 0);
            layout->setSpacing(4);
            auto* box = new QLineEdit(holder);
            box->setObjectName(QStringLiteral("cellBox"));
            box->setFrame(false);
            ByteLimit* limit = ByteLimit::attach(box, column.width);
            layout->addWidget(box, 1);
            layout->addWidget(limit->label());
            holder->setFocusProxy(box);
            return holder;
        }
        case Editor::Flag:
            return nullptr;
        case Editor::Box:
            break;
        }
        auto* box = new QLineEdit(parent);
        box->setObjectName(QStringLiteral("cellBox"));
        box->setFrame(false);
        return box;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        // An editor is filled once: after a refusal it keeps what was typed.
        if (editor->property("filled").toBool())
            return;
        editor->setProperty("filled", true);
        const QString value = index.data(Qt::EditRole).toString();
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            int at = combo->findData(value);
            if (at < 0) {
                // A stored value no entry stands for shows as itself.
                combo->addItem(value, value);
                at = combo->count() - 1;
            }
            combo->setCurrentIndex(at);
            return;
        }
        QLineEdit* box = lineEditOf(editor);
        if (!box)
            return;
        if (ByteLimit* limit = ByteLimit::of(box))
            limit->show(value);
        else
            box->setText(value);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, combo->currentData(), Qt::EditRole);
            return;
        }
        if (QLineEdit* box = lineEditOf(editor))
            model->setData(index, box->text(), Qt::EditRole);
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        QRect r = option.rect;
        // A name's editor is wide enough for the box and its byte count.
        if (editor->objectName() == u"cellName")
            r.setWidth(std::max(r.width(), editor->sizeHint().width() + 40));
        editor->setGeometry(r);
    }

private:
    Model& model_;
};

// ---- The table widget: a refused commit keeps its editor open

namespace {

class CellTable : public QTableView {
public:
    using QTableView::edit;
    using QTableView::QTableView;

    // The refusal of the last commit, taken once.
    std::function<Failure()> takeRefusal;
    std::function<void(const QString&)> refuse;
    // The view laid over the first `frozenCount` columns (序号 and the name), which
    // stay at the left while the others scroll; null for that view itself.
    CellTable* frozen = nullptr;
    int frozenCount = 0;

    // The width the frozen columns cover.
    int frozenWidth() const {
        int width = 0;
        for (int c = 0; c < frozenCount; ++c)
            width += columnWidth(c);
        return width;
    }
    // Lays the frozen view over its columns, headers included.
    void placeFrozen() {
        if (!frozen)
            return;
        frozen->setGeometry(frameWidth(), frameWidth(), frozenWidth(),
                            viewport()->height() + horizontalHeader()->height());
    }

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override {
        if (!frozen || !index.isValid()) {
            QTableView::scrollTo(index, hint);
            return;
        }
        // A frozen column is always in view: only the rows scroll to it.
        const int left = horizontalScrollBar()->value();
        QTableView::scrollTo(index, hint);
        if (index.column() < frozenCount) {
            horizontalScrollBar()->setValue(left);
            return;
        }
        // A column scrolled to at the left comes out from under the frozen ones.
        const int hidden = frozenWidth() - visualRect(index).left();
        if (hidden > 0)
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
    }

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
        // A frozen cell is edited where it is seen, in the view laid over it.
        if (frozen && index.isValid() && index.column() < frozenCount)
            return frozen->edit(index, trigger, event);
        return QTableView::edit(index, trigger, event);
    }
    void resizeEvent(QResizeEvent* event) override {
        QTableView::resizeEvent(event);
        placeFrozen();
    }
    void commitData(QWidget* editor) override {
        if (busy_)
            return;
        busy_ = true;
        takeRefusal();
        QTableView::commitData(editor);
        const Failure failure = takeRefusal();
        if (failure) {
            refused_ = editor;
            refuse(*failure);
            // Back to the typed text, to mend it or give it up with Escape.
            editor->window()->activateWindow();
            editor->setFocus();
        }
        busy_ = false;
    }
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
        // While a refusal is shown, and right after it, the editor stays.
        if (busy_)
            return;
        if (refused_ == editor) {
            refused_ = nullptr;
            return;
        }
        QTableView::closeEditor(editor, hint);
    }

private:
    bool busy_ = false;
    QPointer<QWidget> refused_;
};

} // namespace

// ---- The view

struct FieldTableView::Private {
    FieldTableView* q;
    FieldTable& table;
    ChangeRunner run;
    Prompts& prompts;
    Model* model = nullptr;
    CellTable* view = nullptr;
    int lastRecord = -1;
    Failure editFailure{};
    QString messageTitle{};

    void say(const QString& message) {
        prompts.showMessage(q, message, messageTitle, Prompts::Icon::Warning);
    }
    // `action` names the step: "粘贴", "向下填充".
    Failure runTargets(const QList<Target>& targets, const QString& lead, const QString& action);
    Result<QString> pastedValue(int record, int column, const QString& text) const;
};

FieldTableView::FieldTableView(FieldTable& table, ChangeRunner run, Prompts& prompts,
                               QWidget* parent)
    : QWidget(parent), d(new Private{this, table, std::move(run), prompts}) {
    d->model = new Model(table);
    d->model->setParent(this);
    d->view = new CellTable(this);
    d->view->setObjectName(QStringLiteral("table"));
    PlainHeader::install(d->view);
    d->view->setModel(d->model);
    d->view->setItemDelegate(new Delegate(*d->model, d->view));
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
        if (failure) {
            if (immediate)
                d->prompts.showMessage(this, *failure, d->messageTitle, Prompts::Icon::Warning);
            else
                d->editFailure = failure;
            return false;
        }
        emit changed();
        if (!rounded.isEmpty())
            emit this->rounded(roundingsText(rounded));
        return true;
    };
    d->view->takeRefusal = [this] { return std::exchange(d->editFailure, std::nullopt); };
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
    frozen->setItemDelegate(new Delegate(*d->model, frozen));
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

QString trueFalse(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(u"TRUE", Qt::CaseInsensitive) == 0)
        return QStringLiteral("1");
    if (t.compare(u"FALSE", Qt::CaseInsensitive) == 0)
        return QStringLiteral("0");
    return text;
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

// Writes `targets` as one change; on the first refusal the message names that
// cell, after `lead` ("粘贴没有执行：").
Failure FieldTableView::Private::runTargets(const QList<Target>& targets, const QString& lead,
                                            const QString& action) {
    // The cells each record takes, records in the order first met.
    std::vector<std::pair<int, QList<const Target*>>> byRecord;
    std::map<int, std::size_t> slot;
    for (const Target& t : targets) {
        auto [it, fresh] = slot.try_emplace(t.record, byRecord.size());
        if (fresh)
            byRecord.push_back({t.record, {}});
        byRecord[it->second].second.append(&t);
    }
    auto named = [&](const Target& t, const QString& failure) {
        const QString caption = table.columns().at(t.field).caption;
        const QString prefix = caption + u'：';
        return lead + table.place(t.record, t.field) + u'：' +
               (failure.startsWith(prefix) ? failure.mid(prefix.size()) : failure);
    };
    // Each rounded cell named by its place, as a paste may round many.
    Roundings rounded;
    std::set<int> fields;
    for (const Target& t : targets)
        fields.insert(t.field);
    const QString step =
        QStringLiteral("%1 %2 行 %3 列").arg(action).arg(byRecord.size()).arg(fields.size());
    const Failure failure = run(
        [&]() -> Failure {
            rounded.clear();
            for (const auto& [record, cells] : byRecord) {
                Cells typed;
                for (const Target* t : cells)
                    typed.insert(table.columns().at(t->field).key, QJsonValue(t->value));
                Roundings found;
                const Failure refused = table.write(record, typed, &found);
                if (!refused) {
                    for (Rounded r : found) {
                        r.caption = table.rowName(record) + u' ' + r.caption;
                        rounded.append(r);
                    }
                    continue;
                }
                // The cell the message is about: the one it names, else the first
                // that is refused alone (the runner undoes all of it anyway).
                for (const Target* t : cells)
                    if (refused->startsWith(table.columns().at(t->field).caption + u'：'))
                        return named(*t, *refused);
                for (const Target* t : cells)
                    if (const Failure alone = table.write(
                            record, {{table.columns().at(t->field).key, QJsonValue(t->value)}}))
                        return named(*t, *alone);
                return named(*cells.first(), *refused);
            }
            return std::nullopt;
        },
        [&step] { return step; });
    model->invalidate();
    if (!failure) {
        emit q->changed();
        if (!rounded.isEmpty())
            emit q->rounded(roundingsText(rounded));
    }
    return failure;
}

// What a pasted text is as a cell value, or why it cannot be one.
Result<QString> FieldTableView::Private::pastedValue(int record, int column,
                                                     const QString& text) const {
    const int field = model->fieldOf(column);
    if (field < 0 || table.columns().at(field).readOnly) {
        if (text == model->cellText(record, column))
            return QString();
        const QString caption = model->headerText(column);
        return Result<QString>::failure(
            QStringLiteral("%1 %2：这一栏不能修改").arg(table.rowName(record), caption));
    }
    const Column& c = table.columns().at(field);
    if (c.editor == Editor::Flag)
        return trueFalse(text);
    if (c.editor != Editor::List)
        return text;
    const ListCache& list = model->list(field);
    const QString t = text.trimmed();
    if (list.textOf.contains(t))
        return t;
    // The cell's own entry text keeps its value, even a text two entries share.
    if (t == model->shown(record, field))
        return model->value(record, field);
    const QStringList values = list.valuesOf.value(t);
    if (values.size() == 1)
        return values.first();
    if (values.size() > 1)
        return Result<QString>::failure(
            QStringLiteral("%1：列表中有%2项都叫“%3”，请填它的代码（%4）")
                .arg(table.place(record, field))
                .arg(values.size())
                .arg(t, values.join(QStringLiteral("、"))));
    return text;
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
    QList<Target> targets;
    for (const Place& p : places) {
        const int record = d->model->recordAt(p.row);
        const auto value = d->pastedValue(record, p.column, p.text);
        if (!value) {
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
    if (const Failure failure = d->runTargets(targets, lead, QStringLiteral("粘贴"))) {
        d->say(*failure);
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
    QList<Target> targets;
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
    std::sort(targets.begin(), targets.end(), [this](const Target& a, const Target& b) {
        const int ra = d->model->rowOf(a.record), rb = d->model->rowOf(b.record);
        return ra != rb ? ra < rb : a.field < b.field;
    });
    if (const Failure failure = d->runTargets(targets, QStringLiteral("向下填充没有执行："),
                                              QStringLiteral("向下填充")))
        d->say(*failure);
}

void TableCommands::update() const {
    if (!copy)
        return;
    FieldTableView* table = shown ? shown() : nullptr;
    const bool on = table && table->isVisible() && table->isEnabled();
    for (QAction* entry : {copy, paste, fillDown})
        entry->setEnabled(on);
}

TableCommands addTableCommands(QMenu* menu, std::function<FieldTableView*()> shown) {
    TableCommands commands;
    commands.shown = std::move(shown);
    menu->addSeparator();
    auto add = [&](const QString& caption, const QString& name, const QKeySequence& key,
                   void (FieldTableView::*command)()) {
        QAction* entry = menu->addAction(caption);
        entry->setObjectName(name);
        entry->setShortcut(key);
        // Shown in the menu only: the table answers the key itself, where it has the keyboard.
        entry->setShortcutContext(Qt::WidgetShortcut);
        entry->setEnabled(false);
        QObject::connect(entry, &QAction::triggered, menu, [shown = commands.shown, command] {
            if (FieldTableView* table = shown())
                if (table->isVisible())
                    (table->*command)();
        });
        return entry;
    };
    commands.copy = add(QStringLiteral("复制"), QStringLiteral("copy"), QKeySequence::Copy,
                        &FieldTableView::copy);
    commands.paste = add(QStringLiteral("粘贴"), QStringLiteral("paste"), QKeySequence::Paste,
                         &FieldTableView::paste);
    commands.fillDown = add(QStringLiteral("向下填充"), QStringLiteral("filldown"),
                            QKeySequence(Qt::CTRL | Qt::Key_D), &FieldTableView::fillDown);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [commands] { commands.update(); });
    return commands;
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
