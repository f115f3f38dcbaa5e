#include "compare.h"

#include <QJsonArray>
#include <QSet>

namespace lcj::changes {

namespace {

// Where a list's count is named: the army's is 我军出场人数 as the frame
// heads it, any other list's "敌军条数".
QString countPlace(const fields::FieldTable& table) {
    if (table.part() == QStringLiteral("army"))
        return QStringLiteral("我军出场人数");
    return table.title() + QStringLiteral("条数");
}

void wholeRow(const fields::FieldTable& table, int row, bool added, QList<FieldChange>& out) {
    for (qsizetype c = 0; c < table.columns().size(); ++c) {
        const QJsonValue v = table.value(row, int(c));
        out.append({table.part(), row, table.columns()[c].key, table.place(row, int(c)),
                    added ? QJsonValue(QJsonValue::Undefined) : v,
                    added ? v : QJsonValue(QJsonValue::Undefined)});
    }
}

} // namespace

QList<FieldChange> compare(const fields::FieldTable& a, const fields::FieldTable& b) {
    QList<FieldChange> out;
    const int rowsA = a.rowCount(), rowsB = b.rowCount();
    if (rowsA != rowsB)
        out.append({b.part(), -1, countColumn, countPlace(b), rowsA, rowsB});
    const int common = std::min(rowsA, rowsB);
    // The two copies of a part have the same columns. A row is read whole
    // (a record's form is shown once), and only the cells that read
    // differently are taken as values.
    for (int r = 0; r < common; ++r) {
        if (const QByteArrayView bytes = a.rowBytes(r); !bytes.empty() && bytes == b.rowBytes(r))
            continue;
        const QStringList ra = a.readRow(r), rb = b.readRow(r);
        if (ra == rb)
            continue;
        for (qsizetype c = 0; c < rb.size(); ++c)
            if (ra.value(c) != rb[c])
                out.append({b.part(), r, b.columns()[c].key, b.place(r, int(c)), a.value(r, int(c)),
                            b.value(r, int(c))});
    }
    for (int r = common; r < rowsB; ++r)
        wholeRow(b, r, true, out);
    for (int r = common; r < rowsA; ++r)
        wholeRow(a, r, false, out);
    return out;
}

QList<FieldChange> compare(const fields::FieldFile& a, const fields::FieldFile& b) {
    QList<FieldChange> out;
    for (const auto& tb : b.tables()) {
        if (const fields::FieldTable* ta = a.table(tb->part())) {
            out << compare(*ta, *tb);
            continue;
        }
        for (int r = 0; r < tb->rowCount(); ++r)
            wholeRow(*tb, r, true, out);
    }
    for (const auto& ta : a.tables())
        if (!b.table(ta->part()))
            for (int r = 0; r < ta->rowCount(); ++r)
                wholeRow(*ta, r, false, out);
    return out;
}

QString fieldKey(const QString& part, int row, const QString& column) {
    return part + u'\x1f' + QString::number(row) + u'\x1f' + column;
}

QString FieldChange::key() const {
    return fieldKey(part, row, column);
}

QString shownValue(const QJsonValue& v, const QString& emptyText) {
    if (v.isNull() || v.isUndefined())
        return QStringLiteral("无");
    if (v.isDouble())
        return QString::number(qint64(v.toDouble()));
    if (v.isArray()) {
        QStringList items;
        for (const QJsonValue& item : v.toArray())
            items << shownValue(item, emptyText);
        return items.join(u' ');
    }
    const QString text = v.toString();
    return text.isEmpty() ? emptyText : text;
}

QString diffLine(const FieldChange& change) {
    return QStringLiteral("%1: %2 → %3")
        .arg(change.where, shownValue(change.before), shownValue(change.after));
}

QString stepText(fields::FileKind kind, const QByteArray& before, const QByteArray& after) {
    auto a = fields::openFile(kind, QString(), before);
    auto b = fields::openFile(kind, QString(), after);
    if (!a.ok() || !b.ok())
        return {};
    const QList<FieldChange> found = compare(**a, **b);
    if (found.isEmpty())
        return {};
    const FieldChange& first = found.front();
    if (found.size() == 1) {
        const QString action = QStringLiteral("修改 ") + first.where;
        return QStringLiteral("%1 %2 → %3\n%1")
            .arg(action, shownValue(first.before), shownValue(first.after));
    }
    QSet<QPair<QString, int>> rows;
    for (const FieldChange& change : found)
        rows.insert({change.part, change.row});
    if (rows.size() == 1) {
        const fields::FieldTable* table = (*b)->table(first.part);
        const QString row = table && first.row >= 0 ? table->rowName(first.row) : first.where;
        return QStringLiteral("修改 %1 的 %2 栏").arg(row).arg(found.size());
    }
    return QStringLiteral("修改 %1 行 %2 栏").arg(rows.size()).arg(found.size());
}

} // namespace lcj::changes
