#include "scenarioedits.h"

#include "fieldtable.h"
#include "scenarioview.h"

#include <QJsonArray>
#include <algorithm>

namespace lcj::fields {

using namespace lcj::scenario;

namespace {

const QStringList& battleKeys = fields::battleKeys();
const QStringList& slotKeys = fields::slotKeys();
const QStringList& armyKeys = fields::armyKeys();
const QStringList& equipKeys = fields::equipKeys();

// ---- edits: each value is typed into its box as the user would type it

Result<QString> typed(const QString& where, const QJsonValue& v) {
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (const auto whole = wholeNumber(d))
            return QString::number(*whole);
    }
    if (v.isString())
        return v.toString();
    return Result<QString>::failure(QStringLiteral("%1：应是一个整数或一段文字").arg(where));
}

// Reads `key` of `edit` into `box` when present.
Failure typeInto(const QJsonObject& edit, const QString& key, const QString& where, QString& box) {
    if (!edit.contains(key))
        return {};
    const auto text = typed(where + u' ' + key, edit.value(key));
    if (!text.ok())
        return text.error();
    box = *text;
    return {};
}

// The option buttons: 0 ticks 初始登场, 1 剧情控制. Neither can be cleared
// once ticked, so null only stands for what is already shown.
Failure chooseMode(const QJsonObject& edit, const QString& where, Appearance& appearance) {
    const QString key = QStringLiteral("mode");
    if (!edit.contains(key))
        return {};
    const QJsonValue v = edit.value(key);
    if (v.isNull()) {
        if (appearance == Appearance::Initial || appearance == Appearance::Story)
            return QStringLiteral(
                       "%1 mode：选中的登场方式不能取消，只能改选0（初始登场）或1（剧情控制）")
                .arg(where);
        return {};
    }
    if (v == QJsonValue(0))
        appearance = Appearance::Initial;
    else if (v == QJsonValue(1))
        appearance = Appearance::Story;
    else
        return QStringLiteral("%1 mode：应是0（初始登场）、1（剧情控制）或null").arg(where);
    return {};
}

Failure checkKeys(const QJsonObject& edit, const QStringList& allowed, const QString& where) {
    for (const QString& key : edit.keys())
        if (!allowed.contains(key))
            return QStringLiteral("%1：未知的字段“%2”（可用: %3）")
                .arg(where, key, allowed.join(QStringLiteral(", ")));
    return {};
}

// The numbered entries of a section: {"3": {...}} in slot order.
Result<QList<std::pair<int, QJsonValue>>> entries(const QJsonValue& section, const QString& where) {
    using R = Result<QList<std::pair<int, QJsonValue>>>;
    if (!section.isObject())
        return R::failure(
            QStringLiteral("%1：应是以序号为键的对象，例如 {\"3\": {...}}").arg(where));
    QList<std::pair<int, QJsonValue>> out;
    const QJsonObject o = section.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
        bool ok = false;
        const int k = it.key().toInt(&ok);
        if (!ok || k < 0)
            return R::failure(QStringLiteral("%1：“%2”不是序号").arg(where, it.key()));
        out.append({k, it.value()});
    }
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return out;
}

Failure needObject(const QJsonValue& v, const QString& where) {
    if (!v.isObject())
        return QStringLiteral("%1：应是一个对象").arg(where);
    return {};
}

// An equipment list: the item number, null for "无"; a stored code past the
// list can only be kept.
Failure chooseItem(const QJsonObject& edit, const QString& key, const QString& where, int& item) {
    if (!edit.contains(key))
        return {};
    const QJsonValue v = edit.value(key);
    if (v.isNull()) {
        item = EquipForm::noneItem;
        return {};
    }
    const int n = v.isDouble() && v.toDouble() == double(v.toInt()) ? v.toInt() : -2;
    if (n == item || (n >= 0 && n <= 103)) {
        item = n;
        return {};
    }
    return QStringLiteral("%1 %2：请选择0到103之间的物品，或null表示无").arg(where, key);
}

Failure applyEdits(ScenarioDocument& doc, const QJsonObject& edits, int& confirmed) {
    const QStringList top{QStringLiteral("battle"),   QStringLiteral("allies"),
                          QStringLiteral("enemies"),  QStringLiteral("append_army"),
                          QStringLiteral("army"),     QStringLiteral("spoils"),
                          QStringLiteral("equipment")};
    if (auto f = checkKeys(edits, top, QStringLiteral("修改文件")); !f.ok())
        return f;

    if (edits.contains(QStringLiteral("battle"))) {
        const QString where = QStringLiteral("battle");
        const QJsonValue v = edits.value(where);
        if (auto f = needObject(v, where); !f.ok())
            return f;
        if (!doc.scan().hasBattleHeader)
            return QStringLiteral("battle：剧本中没有战役头，不能修改战役全局变量");
        const QJsonObject e = v.toObject();
        if (auto f = checkKeys(e, battleKeys, where); !f.ok())
            return f;
        BattleForm form = doc.showBattle();
        form.scrollValue = 0; // "确定" reads the four boxes only
        for (auto [key, box] :
             {std::pair{battleKeys[0], &form.levelBonus}, std::pair{battleKeys[1], &form.turns},
              std::pair{battleKeys[2], &form.victory}, std::pair{battleKeys[3], &form.defeat}})
            if (auto f = typeInto(e, key, where, *box); !f.ok())
                return f;
        if (auto f = doc.applyBattle(form); !f.ok())
            return Failure(where + QStringLiteral("：") + f.error(), f.field());
        ++confirmed;
    }

    QStringList slotEditKeys = slotKeys;
    slotEditKeys.removeAll(QStringLiteral("name")); // shown only; ignored on input
    for (const auto& [section, side] : {std::pair{QStringLiteral("allies"), Side::Ally},
                                        std::pair{QStringLiteral("enemies"), Side::Enemy}}) {
        if (!edits.contains(section))
            continue;
        const auto list = entries(edits.value(section), section);
        if (!list.ok())
            return list.error();
        for (const auto& [k, v] : *list) {
            const QString where = QStringLiteral("%1 %2").arg(section).arg(k);
            if (auto f = needObject(v, where); !f.ok())
                return f;
            QJsonObject e = v.toObject();
            e.remove(QStringLiteral("name"));
            if (auto f = checkKeys(e, slotEditKeys, where); !f.ok())
                return f;
            if (!doc.scan().hasBattleHeader || k >= ScenarioDocument::slotCount(side))
                return where + QStringLiteral("：") +
                       QStringLiteral("请先在列表中选择一个出场位置");
            SlotForm form = doc.showSlot(side, k);
            for (auto [key, box] :
                 {std::pair{slotKeys[0], &form.character}, std::pair{slotKeys[3], &form.x},
                  std::pair{slotKeys[4], &form.y}, std::pair{slotKeys[5], &form.facing},
                  std::pair{slotKeys[6], &form.levelBonus}, std::pair{slotKeys[7], &form.tendency},
                  std::pair{slotKeys[8], &form.follow}, std::pair{slotKeys[9], &form.runX},
                  std::pair{slotKeys[10], &form.runY}})
                if (auto f = typeInto(e, key, where, *box); !f.ok())
                    return f;
            if (auto f = chooseMode(e, where, form.appearance); !f.ok())
                return f;
            const auto result = doc.applySlot(side, k, form);
            if (!result.ok())
                return Failure(where + QStringLiteral("：") + result.error(), result.field());
            ++confirmed;
        }
    }

    if (edits.contains(QStringLiteral("append_army"))) {
        const QJsonValue v = edits.value(QStringLiteral("append_army"));
        const int n = v.toInt(-1);
        if (!v.isDouble() || n < 0 || v.toDouble() != double(n))
            return QStringLiteral("append_army：应是要追加的出场人数（0或正整数）");
        for (int i = 0; i < n; ++i) {
            if (!doc.appendArmyEntry())
                return QStringLiteral("append_army：我军出场人数已达15人，不能再追加");
            ++confirmed;
        }
    }

    if (edits.contains(QStringLiteral("army"))) {
        const auto list = entries(edits.value(QStringLiteral("army")), QStringLiteral("army"));
        if (!list.ok())
            return list.error();
        for (const auto& [k, v] : *list) {
            const QString where = QStringLiteral("army %1").arg(k);
            if (auto f = needObject(v, where); !f.ok())
                return f;
            const QJsonObject e = v.toObject();
            if (auto f = checkKeys(e, armyKeys, where); !f.ok())
                return f;
            if (k >= doc.armyEntryCount())
                return where + QStringLiteral("：请先在列表中选择一个出场人物");
            ArmyEntryForm form = ArmyEntryForm::show(doc.armyEntry(k));
            for (auto [key, box] :
                 {std::pair{armyKeys[0], &form.x}, std::pair{armyKeys[1], &form.y},
                  std::pair{armyKeys[2], &form.facing}})
                if (auto f = typeInto(e, key, where, *box); !f.ok())
                    return f;
            if (auto f = chooseMode(e, where, form.appearance); !f.ok())
                return f;
            if (auto f = doc.applyArmyEntry(k, form); !f.ok())
                return Failure(where + QStringLiteral("：") + f.error(), f.field());
            ++confirmed;
        }
    }

    if (edits.contains(QStringLiteral("spoils"))) {
        const auto list = entries(edits.value(QStringLiteral("spoils")), QStringLiteral("spoils"));
        if (!list.ok())
            return list.error();
        for (const auto& [k, v] : *list) {
            const QString where = QStringLiteral("spoils %1").arg(k);
            if (!v.isArray() || v.toArray().size() != 3)
                return where + QStringLiteral("：应是三个物品序号的数组，null表示无");
            if (k >= doc.spoilsCount())
                return where + QStringLiteral("：请先在列表中选择一条战利品");
            const QByteArray instruction = doc.spoilsInstruction(k);
            SpoilsForm form = SpoilsForm::show(instruction);
            const QJsonArray items = v.toArray();
            for (int i = 0; i < 3; ++i) {
                if (items[i].isNull()) {
                    // Any number above 104 means none; one already there is kept.
                    if (spoilsItem(instruction, i) >= 0)
                        form.items[i] = QStringLiteral("255");
                    continue;
                }
                const auto text = typed(QStringLiteral("%1 [%2]").arg(where).arg(i), items[i]);
                if (!text.ok())
                    return text.error();
                form.items[i] = *text;
            }
            if (auto f = doc.applySpoils(k, form); !f.ok())
                return Failure(where + QStringLiteral("：") + f.error(), f.field());
            ++confirmed;
        }
    }

    if (edits.contains(QStringLiteral("equipment"))) {
        const auto list =
            entries(edits.value(QStringLiteral("equipment")), QStringLiteral("equipment"));
        if (!list.ok())
            return list.error();
        QStringList editKeys = equipKeys;
        editKeys.removeAll(QStringLiteral("name"));
        for (const auto& [k, v] : *list) {
            const QString where = QStringLiteral("equipment %1").arg(k);
            if (auto f = needObject(v, where); !f.ok())
                return f;
            QJsonObject e = v.toObject();
            e.remove(QStringLiteral("name"));
            if (auto f = checkKeys(e, editKeys, where); !f.ok())
                return f;
            if (!doc.equipmentEditable())
                return where + QStringLiteral("：个人装备数据无法识别，不能修改");
            if (k >= 100)
                return where + QStringLiteral("：请先在列表中选择一个人物");
            EquipForm form = EquipForm::show(doc.equipEntry(k));
            if (auto f = typeInto(e, equipKeys[0], where, form.character); !f.ok())
                return f;
            for (auto [key, item] :
                 {std::pair{equipKeys[2], &form.weapon}, std::pair{equipKeys[3], &form.armour},
                  std::pair{equipKeys[4], &form.accessory}})
                if (auto f = chooseItem(e, key, where, *item); !f.ok())
                    return f;
            const auto result = doc.applyEquipEntry(k, form);
            if (!result.ok())
                return Failure(where + QStringLiteral("：") + result.error(), result.field());
            ++confirmed;
        }
    }
    return {};
}

} // namespace

Failure applyScenarioEdits(ScenarioDocument& doc, const QJsonObject& edits, int& confirmed) {
    return applyEdits(doc, edits, confirmed);
}

} // namespace lcj::fields
