#include "datatable.h"
#include "fieldfiles.h"

// data.e5: its six sections, a record a row, a box of the section's form a column.
namespace lcj::fields {

namespace {

class DataFieldTable : public FieldTable {
public:
    DataFieldTable(const TableAdapter& adapter, QByteArray& bytes)
        : adapter_(adapter), bytes_(bytes) {
        const QStringList headers = adapter.headers();
        for (qsizetype c = 0; c < headers.size(); ++c)
            columns_.append({headers[c], headers[c], adapter.isText(int(c)), false,
                             adapter.editor(int(c)), adapter.width(int(c))});
    }

    QString part() const override { return adapter_.name(); }
    QString title() const override { return adapter_.title(); }
    const QList<Column>& columns() const override { return columns_; }
    int rowCount() const override { return adapter_.table().count; }
    QList<Entry> entries(int column) const override { return adapter_.entries(column, bytes_); }
    QString labelHeader() const override { return adapter_.labelHeader(); }
    QString label(int row) const override { return adapter_.label(row); }
    QString rowName(int row) const override {
        return QStringLiteral("%1 %2").arg(adapter_.title()).arg(row);
    }
    QString place(int row, int column) const override {
        return rowName(row) + u' ' + columns_.at(column).caption;
    }
    QString read(int row, int column) const override { return readRow(row).value(column); }
    QStringList readRow(int row) const override { return adapter_.exportRecord(record(row)); }
    QByteArrayView rowBytes(int row) const override { return record(row); }

    Failure write(int row, const Cells& cells, Roundings* rounded = nullptr) override {
        QHash<QString, QString> typed;
        for (auto it = cells.cbegin(); it != cells.cend(); ++it)
            typed.insert(it.key(), boxText(it.value()));
        const data::Table& layout = adapter_.table();
        QByteArray changed = record(row).toByteArray();
        if (auto failure = adapter_.importRecord(typed, changed, rounded); !failure.ok())
            return failure;
        bytes_.replace(layout.recordOffset(row), layout.recordSize, changed);
        return {};
    }

    Failure confirm(int row) override {
        const data::Table& layout = adapter_.table();
        QByteArray record = this->record(row).toByteArray();
        if (auto failure = adapter_.confirmRecord(record); !failure.ok())
            return failure;
        bytes_.replace(layout.recordOffset(row), layout.recordSize, record);
        return {};
    }

    const TableAdapter& adapter() const { return adapter_; }

private:
    QByteArrayView record(int row) const {
        const data::Table& layout = adapter_.table();
        return QByteArrayView(bytes_).sliced(layout.recordOffset(row), layout.recordSize);
    }

    const TableAdapter& adapter_;
    QByteArray& bytes_;
    QList<Column> columns_;
};

class DataFieldFile : public FieldFile {
public:
    explicit DataFieldFile(const QByteArray& bytes) : bytes_(bytes) {
        for (const auto& adapter : dataTables())
            tables_.push_back(std::make_unique<DataFieldTable>(*adapter, bytes_));
    }
    FileKind kind() const override { return FileKind::Data; }
    QByteArray bytes() const override { return bytes_; }

private:
    QByteArray bytes_;
};

} // namespace

std::vector<std::unique_ptr<FieldTable>> dataFieldTables(QByteArray& bytes) {
    std::vector<std::unique_ptr<FieldTable>> out;
    if (bytes.size() < data::minimumFileSize)
        return out;
    for (const auto& adapter : dataTables())
        out.push_back(std::make_unique<DataFieldTable>(*adapter, bytes));
    return out;
}

Opened openData(const QByteArray& bytes) {
    if (bytes.size() < data::minimumFileSize)
        return Opened::failure(QStringLiteral("不是完整的Data文件：长度只有%1字节，至少应有%2字节")
                                   .arg(bytes.size())
                                   .arg(data::minimumFileSize));
    return Opened(std::make_unique<DataFieldFile>(bytes));
}

} // namespace lcj::fields
