#pragma once

#include "common/recordfields.h"
#include "common/result.h"
#include "datafile/datalayout.h"
#include "fieldtable.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// A section of data.e5 as rows and columns over its form. Every column is a
// field of the form's own field table, headed by that field's caption, and
// every import goes through the form's own validation, so a value means the
// same here as in the window.
namespace lcj::fields {

// How a field of a form edits in a table where it is no box: a list whose
// entries may come from the file's own bytes (the item names), or a tick box.
struct FieldEditor {
    const void* key; // the form field's key (fieldKey)
    Column::Editor editor;
    std::function<QList<Entry>(QByteArrayView file)> entries = {};
};

// The entries of a fixed list whose entry p stands for code p + first and
// whose entry `noneEntry` (-1 for none) stands for 255.
QList<Entry> listEntries(const QStringList& texts, int first = 0, int noneEntry = -1);

class TableAdapter {
public:
    virtual ~TableAdapter() = default;

    virtual QString name() const = 0;
    // How a difference names a record: "人物 5 武力: 74 → 76".
    virtual QString title() const = 0;
    virtual const data::Table& table() const = 0;
    virtual QStringList headers() const = 0;
    // Tables without names of their own show one fixed name per record after
    // 序号 (a battle, a troop type); that column is only read, never imported.
    virtual QString labelHeader() const { return {}; }
    virtual QString label(int) const { return {}; }
    // Columns whose values are text rather than numbers.
    virtual bool isText(int column) const = 0;
    // How a column edits, and a name's width in bytes.
    virtual Column::Editor editor(int) const { return Column::Editor::Box; }
    virtual int width(int) const { return 0; }
    // A list column's entries as the window lists them for the file `file`.
    virtual QList<Entry> entries(int, QByteArrayView) const { return {}; }
    virtual QStringList exportRecord(QByteArrayView record) const = 0;
    // Applies the cells that differ from what the record shows; cells of
    // missing columns are absent from `cells`. On a refusal the record stays
    // as it was and the message names the column. A value stored other than
    // typed is added to `rounded`, where given.
    virtual Failure importRecord(const QHash<QString, QString>& cells, QByteArray& record,
                                 Roundings* rounded = nullptr) const = 0;
    // The section's "保存" with the record as shown: the form's checks on the
    // stored values, the record stored as the form stores it.
    virtual Failure confirmRecord(QByteArray& record) const = 0;
};

// A section whose columns are the fields of its form, Form::fields().
template <class Form> class FormTable : public TableAdapter {
public:
    FormTable(QString name, QString title, const data::Table& table, QString labelHeader = {},
              QStringList labels = {}, std::vector<FieldEditor> editors = {})
        : name_(std::move(name)), title_(std::move(title)), table_(table),
          labelHeader_(std::move(labelHeader)), labels_(std::move(labels)),
          editors_(std::move(editors)) {}

    QString labelHeader() const override { return labelHeader_; }
    QString label(int i) const override { return labels_.value(i); }

    QString name() const override { return name_; }
    QString title() const override { return title_; }
    const data::Table& table() const override { return table_; }
    QStringList headers() const override {
        QStringList out;
        for (const auto& f : Form::fields())
            out.append(f.caption);
        return out;
    }
    bool isText(int column) const override { return Form::fields()[column].text; }
    // A text field is the record's name, as wide as the table says.
    Column::Editor editor(int column) const override {
        if (isText(column))
            return Column::Editor::Name;
        const FieldEditor* e = editorOf(column);
        return e ? e->editor : Column::Editor::Box;
    }
    int width(int column) const override { return isText(column) ? table_.nameWidth : 0; }
    QList<Entry> entries(int column, QByteArrayView file) const override {
        const FieldEditor* e = editorOf(column);
        return e && e->entries ? e->entries(file) : QList<Entry>();
    }
    QStringList exportRecord(QByteArrayView record) const override {
        const Form form = Form::show(record);
        QStringList out;
        for (const auto& f : Form::fields())
            out.append(f.show(form, record));
        return out;
    }
    Failure importRecord(const QHash<QString, QString>& cells, QByteArray& record,
                         Roundings* rounded = nullptr) const override {
        Form form = Form::show(record);
        bool changed = false;
        for (const auto& f : Form::fields()) {
            const auto cell = cells.constFind(f.caption);
            if (cell == cells.constEnd() || *cell == f.show(form, record))
                continue;
            if (auto failure = f.take(form, *cell); !failure.ok())
                return failure;
            changed = true;
        }
        if (!changed)
            return {};
        // Only some forms have fields that store a value other than typed.
        if constexpr (requires { form.apply(record, rounded); })
            return form.apply(record, rounded);
        else
            return form.apply(record);
    }
    Failure confirmRecord(QByteArray& record) const override {
        return Form::show(record).apply(record);
    }

private:
    const FieldEditor* editorOf(int column) const {
        const auto& fields = Form::fields();
        if (column < 0 || std::size_t(column) >= fields.size())
            return nullptr;
        for (const auto& e : editors_)
            if (e.key == fields[std::size_t(column)].key)
                return &e;
        return nullptr;
    }

    QString name_;
    QString title_;
    const data::Table& table_;
    QString labelHeader_;
    QStringList labels_;
    std::vector<FieldEditor> editors_;
};

// Every section of data.e5, by name.
const std::vector<std::unique_ptr<TableAdapter>>& dataTables();
const TableAdapter* findDataTable(const QString& name);

// The six sections as field tables over `bytes`, a whole data.e5 that the
// caller owns and keeps alive while the tables live: they read and write it
// in place, so a change the caller makes (an undo, a form's save) shows in
// them at once. Empty when `bytes` is too short to hold every section.
std::vector<std::unique_ptr<FieldTable>> dataFieldTables(QByteArray& bytes);

} // namespace lcj::fields
