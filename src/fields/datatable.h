#pragma once

#include "common/recordfields.h"
#include "common/result.h"
#include "datafile/datalayout.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// A section of data.e5 as rows and columns over its form. Every column is a
// field of the form's own field table, headed by that field's caption, and
// every import goes through the form's own validation, so a value means the
// same here as in the window.
namespace lcj::fields {

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
    virtual QStringList exportRecord(QByteArrayView record) const = 0;
    // Applies the cells that differ from what the record shows; cells of
    // missing columns are absent from `cells`. On a refusal the record stays
    // as it was and the message names the column.
    virtual Failure importRecord(const QHash<QString, QString>& cells,
                                 QByteArray& record) const = 0;
};

// A section whose columns are the fields of its form, Form::fields().
template <class Form> class FormTable : public TableAdapter {
public:
    FormTable(QString name, QString title, const data::Table& table, QString labelHeader = {},
              QStringList labels = {})
        : name_(std::move(name)), title_(std::move(title)), table_(table),
          labelHeader_(std::move(labelHeader)), labels_(std::move(labels)) {}

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
    QStringList exportRecord(QByteArrayView record) const override {
        const Form form = Form::show(record);
        QStringList out;
        for (const auto& f : Form::fields())
            out.append(f.show(form, record));
        return out;
    }
    Failure importRecord(const QHash<QString, QString>& cells, QByteArray& record) const override {
        Form form = Form::show(record);
        bool changed = false;
        for (const auto& f : Form::fields()) {
            const auto cell = cells.constFind(f.caption);
            if (cell == cells.constEnd() || *cell == f.show(form, record))
                continue;
            if (auto failure = f.take(form, *cell))
                return failure;
            changed = true;
        }
        if (!changed)
            return std::nullopt;
        return form.apply(record);
    }

private:
    QString name_;
    QString title_;
    const data::Table& table_;
    QString labelHeader_;
    QStringList labels_;
};

// Every section of data.e5, by name.
const std::vector<std::unique_ptr<TableAdapter>>& dataTables();
const TableAdapter* findDataTable(const QString& name);

} // namespace lcj::fields
