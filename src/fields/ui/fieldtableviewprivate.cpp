#include "fieldtableviewprivate.h"

#include <map>
#include <set>
#include <vector>

namespace lcj::fields {

using Editor = Column::Editor;

namespace {

QString trueFalse(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(u"TRUE", Qt::CaseInsensitive) == 0)
        return QStringLiteral("1");
    if (t.compare(u"FALSE", Qt::CaseInsensitive) == 0)
        return QStringLiteral("0");
    return text;
}

} // namespace

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
    // The message after the cell's place, without the caption it starts with.
    auto named = [&](const Target& t, const Failure& failure) {
        const Column& column = table.columns().at(t.field);
        const QString prefix = column.caption + u'：';
        const QString& text = failure.error();
        return Failure(lead + table.place(t.record, t.field) + u'：' +
                           (text.startsWith(prefix) ? text.mid(prefix.size()) : text),
                       column.key);
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
                if (refused.ok()) {
                    for (Rounded r : found) {
                        r.caption = table.rowName(record) + u' ' + r.caption;
                        rounded.append(r);
                    }
                    continue;
                }
                // The cell the failure is about: the one it names, else the first
                // that is refused alone (the runner undoes all of it anyway).
                for (const Target* t : cells)
                    if (!refused.field().isEmpty() &&
                        refused.field() == table.columns().at(t->field).key)
                        return named(*t, refused);
                for (const Target* t : cells)
                    if (const Failure alone = table.write(
                            record, {{table.columns().at(t->field).key, QJsonValue(t->value)}});
                        !alone.ok())
                        return named(*t, alone);
                return named(*cells.first(), refused);
            }
            return {};
        },
        [&step] { return step; });
    model->invalidate();
    if (failure.ok()) {
        emit q->changed();
        if (!rounded.isEmpty())
            emit q->rounded(roundingsText(rounded));
    }
    return failure;
}

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
    const FieldTableModel::ListCache& list = model->list(field);
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

} // namespace lcj::fields
