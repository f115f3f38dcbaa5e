#include "fieldfiles.h"
#include "scenario/savebuilder.h"
#include "scenario/scenariodocument.h"
#include "scenarioedits.h"
#include "scenarioview.h"

#include <QJsonArray>
#include <QJsonObject>

// A scenario as its editor's frames show it: the battle-wide values, the
// allies, the enemies, the army, the equipment and the spoils. Every write
// presses the frame's "确定" and builds the file as "保存剧本文件" does.
namespace lcj::fields {

namespace {

class ScenarioFieldFile;

const QString battlePart = QStringLiteral("battle");
const QString spoilsPart = QStringLiteral("spoils");

// A value as its box shows it: "74", "3 17 无"; nothing for no choice.
QString boxShown(const QJsonValue& v) {
    if (v.isDouble())
        return QString::number(qint64(v.toDouble()));
    if (v.isArray()) {
        QStringList items;
        for (const QJsonValue& item : v.toArray())
            items << (item.isNull() ? QStringLiteral("无") : boxShown(item));
        return items.join(u' ');
    }
    return v.toString();
}

class ScenarioTable : public FieldTable {
public:
    ScenarioTable(ScenarioFieldFile& file, QString part, const QStringList& keys);

    QString part() const override { return part_; }
    QString title() const override { return title_; }
    const QList<Column>& columns() const override { return columns_; }
    int rowCount() const override;
    QString rowName(int row) const override {
        if (part_ == battlePart)
            return title_;
        return QStringLiteral("%1 %2").arg(title_).arg(row + 1);
    }
    QString place(int row, int column) const override {
        return fieldPlace(part_, part_ == battlePart ? -1 : row, columns_.at(column).key);
    }
    QJsonValue value(int row, int column) const override;
    QString read(int row, int column) const override { return boxShown(value(row, column)); }
    Failure write(int row, const Cells& cells, Roundings* rounded = nullptr) override;
    Failure confirm(int row) override;

private:
    // The frames' forms name a refused field by its caption; the table names it by its key.
    Failure keyed(const Failure& failure) const;

    ScenarioFieldFile& file_;
    QString part_;
    QString title_;
    QList<Column> columns_;
};

class ScenarioFieldFile : public FieldFile {
public:
    explicit ScenarioFieldFile(const QByteArray& bytes)
        : bytes_(bytes), doc_(scenario::ScenarioDocument::scan(bytes)) {
        view_ = scenarioView(doc_, nullptr);
        tables_.push_back(std::make_unique<ScenarioTable>(*this, battlePart, battleKeys()));
        tables_.push_back(
            std::make_unique<ScenarioTable>(*this, QStringLiteral("allies"), slotKeys()));
        tables_.push_back(
            std::make_unique<ScenarioTable>(*this, QStringLiteral("enemies"), slotKeys()));
        tables_.push_back(
            std::make_unique<ScenarioTable>(*this, QStringLiteral("army"), armyKeys()));
        tables_.push_back(
            std::make_unique<ScenarioTable>(*this, QStringLiteral("equipment"), equipKeys()));
        tables_.push_back(std::make_unique<ScenarioTable>(*this, spoilsPart,
                                                          QStringList{QStringLiteral("items")}));
    }
    FileKind kind() const override { return FileKind::Scenario; }
    QByteArray bytes() const override { return bytes_; }

    const QJsonObject& view() const { return view_; }

    // The frame's "确定" on entry `row` of `part` as it is shown, on a copy of
    // the scenario: the frame's checks on the stored values, nothing kept.
    Failure confirm(const QString& part, int row) const {
        using namespace scenario;
        ScenarioDocument doc = doc_;
        const auto outcome = [](const Result<int>& r) { return r.why(); };
        if (part == battlePart)
            return doc.applyBattle(doc.showBattle());
        if (part == QStringLiteral("allies"))
            return outcome(doc.applySlot(Side::Ally, row, doc.showSlot(Side::Ally, row)));
        if (part == QStringLiteral("enemies"))
            return outcome(doc.applySlot(Side::Enemy, row, doc.showSlot(Side::Enemy, row)));
        if (part == QStringLiteral("army"))
            return doc.applyArmyEntry(row, ArmyEntryForm::show(doc.armyEntry(row)));
        if (part == QStringLiteral("equipment"))
            return outcome(doc.applyEquipEntry(row, EquipForm::show(doc.equipEntry(row))));
        if (part == spoilsPart)
            return doc.applySpoils(row, SpoilsForm::show(doc.spoilsInstruction(row)));
        return {};
    }

    // Presses "确定" for `edits` and builds the file; on a refusal the
    // scenario stays as it was.
    Failure edit(const QJsonObject& edits) {
        int confirmed = 0;
        auto failure = applyScenarioEdits(doc_, edits, confirmed);
        if (failure.ok()) {
            const auto built = scenario::buildSave(doc_);
            if (built.ok()) {
                bytes_ = built->bytes;
                view_ = scenarioView(doc_, nullptr);
                return {};
            }
            failure = QStringLiteral("保存剧本文件出错\n") + built.error();
        }
        doc_ = scenario::ScenarioDocument::scan(bytes_);
        return failure;
    }

private:
    QByteArray bytes_; // as last built
    scenario::ScenarioDocument doc_;
    QJsonObject view_;
};

ScenarioTable::ScenarioTable(ScenarioFieldFile& file, QString part, const QStringList& keys)
    : file_(file), part_(std::move(part)) {
    title_ = sectionTitle(part_);
    for (const QString& key : keys) {
        const bool name = key == QStringLiteral("name"); // shown only
        columns_.append({key, part_ == spoilsPart ? title_ : fieldCaption(part_, key), name, name});
    }
}

int ScenarioTable::rowCount() const {
    const QJsonValue v = file_.view().value(part_);
    if (part_ == battlePart)
        return v.isObject() ? 1 : 0;
    return int(v.toArray().size());
}

QJsonValue ScenarioTable::value(int row, int column) const {
    const QJsonValue v = file_.view().value(part_);
    const QString& key = columns_.at(column).key;
    if (part_ == battlePart)
        return v.toObject().value(key);
    const QJsonValue entry = v.toArray().at(row);
    return part_ == spoilsPart ? entry : entry.toObject().value(key);
}

// No scenario field stores a value other than typed.
Failure ScenarioTable::write(int row, const Cells& cells, Roundings*) {
    QJsonObject fields;
    for (auto it = cells.cbegin(); it != cells.cend(); ++it) {
        const int c = columnOf(it.key());
        if (c >= 0 && !columns_[c].readOnly && it.value() != value(row, c))
            fields.insert(it.key(), it.value());
    }
    if (fields.isEmpty())
        return {};
    if (part_ == battlePart)
        return keyed(file_.edit({{part_, fields}}));
    const QJsonValue entry =
        part_ == spoilsPart ? fields.value(QStringLiteral("items")) : QJsonValue(fields);
    return keyed(file_.edit({{part_, QJsonObject{{QString::number(row), entry}}}}));
}

Failure ScenarioTable::keyed(const Failure& failure) const {
    if (failure.ok() || failure.field().isEmpty())
        return failure;
    for (const Column& c : columns_)
        if (c.caption == failure.field())
            return Failure(failure.error(), c.key);
    return failure;
}

Failure ScenarioTable::confirm(int row) {
    return file_.confirm(part_, row);
}

} // namespace

Opened openScenario(const QByteArray& bytes) {
    return Opened(std::make_unique<ScenarioFieldFile>(bytes));
}

} // namespace lcj::fields
