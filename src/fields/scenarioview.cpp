#include "scenarioview.h"

#include <QHash>
#include <QJsonArray>

namespace lcj::fields {

using namespace lcj::scenario;

const QStringList& battleKeys() {
    static const QStringList keys{QStringLiteral("level_bonus"), QStringLiteral("turns"),
                                  QStringLiteral("victory"), QStringLiteral("defeat")};
    return keys;
}

const QStringList& slotKeys() {
    static const QStringList keys{
        QStringLiteral("character"),   QStringLiteral("name"),     QStringLiteral("mode"),
        QStringLiteral("x"),           QStringLiteral("y"),        QStringLiteral("facing"),
        QStringLiteral("level_bonus"), QStringLiteral("tendency"), QStringLiteral("follow"),
        QStringLiteral("run_x"),       QStringLiteral("run_y")};
    return keys;
}

const QStringList& armyKeys() {
    static const QStringList keys{QStringLiteral("x"), QStringLiteral("y"),
                                  QStringLiteral("facing"), QStringLiteral("mode")};
    return keys;
}

const QStringList& equipKeys() {
    static const QStringList keys{QStringLiteral("character"), QStringLiteral("name"),
                                  QStringLiteral("weapon"), QStringLiteral("armour"),
                                  QStringLiteral("accessory")};
    return keys;
}

QJsonValue boxValue(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? QJsonValue(n) : QJsonValue(text);
}

QString fieldCaption(const QString& section, const QString& key) {
    static const QHash<QString, QString> labels{
        {QStringLiteral("character"), QStringLiteral("人物编号")},
        {QStringLiteral("mode"), QStringLiteral("登场方式")},
        {QStringLiteral("x"), QStringLiteral("横坐标")},
        {QStringLiteral("y"), QStringLiteral("纵坐标")},
        {QStringLiteral("facing"), QStringLiteral("朝向")},
        {QStringLiteral("tendency"), QStringLiteral("行动趋向")},
        {QStringLiteral("follow"), QStringLiteral("跟随武将")},
        {QStringLiteral("run_x"), QStringLiteral("奔向横坐标")},
        {QStringLiteral("run_y"), QStringLiteral("奔向纵坐标")},
        {QStringLiteral("weapon"), QStringLiteral("武具")},
        {QStringLiteral("armour"), QStringLiteral("防具")},
        {QStringLiteral("accessory"), QStringLiteral("辅助装备")},
        {QStringLiteral("turns"), QStringLiteral("回合数")},
        {QStringLiteral("victory"), QStringLiteral("胜利条件武将编号")},
        {QStringLiteral("defeat"), QStringLiteral("失败条件武将编号")},
    };
    if (key == QStringLiteral("level_bonus")) {
        if (section == QStringLiteral("battle"))
            return QStringLiteral("全局敌兵等级加成");
        return section == QStringLiteral("allies") ? QStringLiteral("友军等级加成")
                                                   : QStringLiteral("敌军等级加成");
    }
    return labels.value(key, key);
}

QString sectionTitle(const QString& section) {
    static const std::pair<const char16_t*, const char16_t*> titles[] = {
        {u"battle", u"战役"},       {u"allies", u"友军"},        {u"enemies", u"敌军"},
        {u"army", u"我军出场人物"}, {u"equipment", u"个人装备"}, {u"spoils", u"战利品"},
    };
    for (const auto& [k, title] : titles)
        if (QString::fromUtf16(k) == section)
            return QString::fromUtf16(title);
    return section;
}

QString fieldPlace(const QString& section, int entry, const QString& key) {
    if (section == QStringLiteral("battle"))
        return sectionTitle(section) + u' ' + fieldCaption(section, key);
    if (section == QStringLiteral("army") && entry < 0)
        return QStringLiteral("我军出场人数");
    const QString title = sectionTitle(section);
    if (title == section) // a section this program does not know
        return QStringLiteral("%1 %2 %3").arg(section).arg(entry + 1).arg(key);
    const QString where = QStringLiteral("%1 %2").arg(title).arg(entry + 1);
    return section == QStringLiteral("spoils") ? where : where + u' ' + fieldCaption(section, key);
}

namespace {

QJsonValue modeValue(Appearance a) {
    if (a == Appearance::Initial)
        return 0;
    if (a == Appearance::Story)
        return 1;
    return QJsonValue::Null;
}

QJsonValue itemValue(int item) {
    return item == EquipForm::noneItem ? QJsonValue(QJsonValue::Null) : QJsonValue(item);
}

QJsonValue nameValue(const QStringList* names, int n) {
    if (!names || n < 0 || n >= names->size())
        return QJsonValue::Null;
    return names->at(n);
}

} // namespace

QJsonObject scenarioView(const ScenarioDocument& doc, const QStringList* people) {
    const QStringList& bk = battleKeys();
    const QStringList& sk = slotKeys();
    const QStringList& ak = armyKeys();
    const QStringList& ek = equipKeys();
    QJsonObject out;
    if (doc.hasBattleHeader) {
        const BattleForm b = doc.showBattle();
        out.insert(QStringLiteral("battle"), QJsonObject{{bk[0], boxValue(b.levelBonus)},
                                                         {bk[1], boxValue(b.turns)},
                                                         {bk[2], boxValue(b.victory)},
                                                         {bk[3], boxValue(b.defeat)}});
    } else {
        out.insert(QStringLiteral("battle"), QJsonValue::Null);
    }
    for (const auto& [key, side] : {std::pair{QStringLiteral("allies"), Side::Ally},
                                    std::pair{QStringLiteral("enemies"), Side::Enemy}}) {
        QJsonArray slotViews;
        for (int k = 0; doc.hasBattleHeader && k < ScenarioDocument::slotCount(side); ++k) {
            const SlotForm f = doc.showSlot(side, k);
            const quint16 n = doc.slotCharacter(side, k);
            slotViews.append(QJsonObject{
                {sk[0], boxValue(f.character)},
                {sk[1], n == 0xFFFF ? QJsonValue(QJsonValue::Null) : nameValue(people, n)},
                {sk[2], modeValue(f.appearance)},
                {sk[3], boxValue(f.x)},
                {sk[4], boxValue(f.y)},
                {sk[5], boxValue(f.facing)},
                {sk[6], boxValue(f.levelBonus)},
                {sk[7], boxValue(f.tendency)},
                {sk[8], boxValue(f.follow)},
                {sk[9], boxValue(f.runX)},
                {sk[10], boxValue(f.runY)}});
        }
        out.insert(key, slotViews);
    }
    QJsonArray army;
    for (int k = 0; k < doc.armyEntryCount; ++k) {
        const ArmyEntryForm f = ArmyEntryForm::show(doc.armyEntry(k));
        army.append(QJsonObject{{ak[0], boxValue(f.x)},
                                {ak[1], boxValue(f.y)},
                                {ak[2], boxValue(f.facing)},
                                {ak[3], modeValue(f.appearance)}});
    }
    out.insert(QStringLiteral("army"), army);
    QJsonArray equipment;
    for (int k = 0; doc.equipmentEditable() && k < 100; ++k) {
        const EquipForm f = EquipForm::show(doc.equipEntry(k));
        const quint16 n = doc.equipCharacter(k);
        equipment.append(
            QJsonObject{{ek[0], boxValue(f.character)},
                        {ek[1], n <= 512 ? nameValue(people, n) : QJsonValue(QJsonValue::Null)},
                        {ek[2], itemValue(f.weapon)},
                        {ek[3], itemValue(f.armour)},
                        {ek[4], itemValue(f.accessory)}});
    }
    out.insert(QStringLiteral("equipment"), equipment);
    QJsonArray spoils;
    for (int k = 0; k < doc.spoilsCount(); ++k) {
        const QByteArray instruction = doc.spoilsInstruction(k);
        QJsonArray items;
        for (int i = 0; i < 3; ++i) {
            const int item = spoilsItem(instruction, i);
            items.append(item < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(item));
        }
        spoils.append(items);
    }
    out.insert(QStringLiteral("spoils"), spoils);
    out.insert(QStringLiteral("problems"), QJsonArray::fromStringList(doc.problems));
    return out;
}

} // namespace lcj::fields
