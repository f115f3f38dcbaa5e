#include "scenariochanges.h"

#include "fields/scenarioview.h"

#include <QJsonArray>
#include <QJsonObject>

namespace lcj::changes {

using namespace lcj::scenario;
using namespace lcj::fields;

namespace {

struct Section {
    Frame frame;
    const char16_t* key;     // the view's key
    const char16_t* title;   // the windows' title of one entry
    const QStringList* keys; // null: the entry is compared whole (spoils)
};

const Section& sectionOf(Frame frame) {
    static const Section sections[] = {
        {Frame::Ally, u"allies", u"友军", &slotKeys()},
        {Frame::Enemy, u"enemies", u"敌军", &slotKeys()},
        {Frame::Army, u"army", u"我军出场人物", &armyKeys()},
        {Frame::Equipment, u"equipment", u"个人装备", &equipKeys()},
        {Frame::Spoils, u"spoils", u"战利品", nullptr},
    };
    for (const Section& s : sections)
        if (s.frame == frame)
            return s;
    return sections[0];
}

QString str(const char16_t* s) {
    return QString::fromUtf16(s);
}

// The label of a field in its frame.
QString fieldLabel(Frame frame, const QString& key) {
    return fields::fieldCaption(
        frame == Frame::Battle ? QStringLiteral("battle") : str(sectionOf(frame).key), key);
}

// A value as the frame shows it.
QString shown(const QString& key, const QJsonValue& v) {
    if (key == QStringLiteral("mode")) {
        if (v == QJsonValue(0))
            return QStringLiteral("初始登场");
        if (v == QJsonValue(1))
            return QStringLiteral("剧情控制");
        return QStringLiteral("未选");
    }
    if (v.isNull())
        return QStringLiteral("无");
    if (v.isDouble())
        return QString::number(qint64(v.toDouble()));
    return v.toString();
}

const QString spoilsNames[3] = {QStringLiteral("第一战利品"), QStringLiteral("第二战利品"),
                                QStringLiteral("第三战利品")};

// Where an entry lies in the lists, numbered from 1 as they number it: "敌军 3".
QString entryPlace(Frame frame, int entry) {
    return QStringLiteral("%1 %2").arg(str(sectionOf(frame).title)).arg(entry + 1);
}

// A field change in the windows' words, `colon` between the field and its
// values: "敌军 3 横坐标：12 → 21", "战利品 2 第三战利品：5 → 无".
QString fieldText(const Change& c, const QString& colon) {
    if (c.frame == Frame::Spoils) {
        QStringList parts;
        const QJsonArray ia = c.before.toArray(), ib = c.after.toArray();
        for (int i = 0; i < 3; ++i)
            if (ia.at(i) != ib.at(i))
                parts << spoilsNames[i] + colon +
                             QStringLiteral("%1 → %2").arg(shown({}, ia.at(i)),
                                                           shown({}, ib.at(i)));
        return entryPlace(c.frame, c.entry) + u' ' + parts.join(u'，');
    }
    const QString where =
        c.frame == Frame::Battle ? QStringLiteral("战役") : entryPlace(c.frame, c.entry);
    return QStringLiteral("%1 %2").arg(where, fieldLabel(c.frame, c.field)) + colon +
           QStringLiteral("%1 → %2").arg(shown(c.field, c.before), shown(c.field, c.after));
}

// A whole entry in the windows' words: "横坐标 0，纵坐标 0，朝向 0，登场方式 初始登场".
QString entryText(Frame frame, const QJsonValue& entry) {
    QStringList parts;
    if (entry.isArray()) {
        const QJsonArray items = entry.toArray();
        for (int i = 0; i < 3; ++i)
            parts << spoilsNames[i] + u' ' + shown({}, items.at(i));
    } else if (const QStringList* keys = sectionOf(frame).keys) {
        const QJsonObject fields = entry.toObject();
        for (const QString& key : *keys)
            if (key != QStringLiteral("name") && fields.contains(key))
                parts << fieldLabel(frame, key) + u' ' + shown(key, fields.value(key));
    }
    return parts.join(u'，');
}

QString personName(const QStringList* people, const QJsonValue& n) {
    if (!people || !n.isDouble())
        return {};
    const int k = n.toInt(-1);
    return k >= 0 && k < people->size() ? people->at(k) : QString();
}

class Comparer {
public:
    Comparer(const QStringList* people) : people_(people) {}
    QList<Change> out;

    void field(Frame frame, int entry, const QString& key, const QJsonValue& a, const QJsonValue& b,
               bool listed) {
        Change c{Change::Kind::Field, frame, entry, key, a, b, {}};
        if (listed && key != QStringLiteral("name")) {
            c.line = fieldText(c, QStringLiteral("："));
            const QString na = personName(people_, a), nb = personName(people_, b);
            if (key == QStringLiteral("character") && (!na.isEmpty() || !nb.isEmpty()))
                c.line += QStringLiteral("（%1 → %2）")
                              .arg(na.isEmpty() ? QStringLiteral("无") : na,
                                   nb.isEmpty() ? QStringLiteral("无") : nb);
        }
        out.append(c);
    }

    void objects(Frame frame, int entry, const QJsonObject& a, const QJsonObject& b,
                 const QStringList& keys, bool listed) {
        for (const QString& key : keys)
            if (a.value(key) != b.value(key))
                field(frame, entry, key, a.value(key), b.value(key), listed);
    }

    void spoils(int entry, const QJsonValue& a, const QJsonValue& b) {
        Change c{Change::Kind::Field, Frame::Spoils, entry, {}, a, b, {}};
        c.line = fieldText(c, QStringLiteral("："));
        out.append(c);
    }

private:
    const QStringList* people_;
};

// Equipment entries the file holds (or will hold once saved).
int storedEquipment(const ScenarioDocument& doc) {
    return doc.equipmentEditable() ? doc.newEquipCount() : 0;
}

} // namespace

QList<Change> compareScenarios(const ScenarioDocument& a, const ScenarioDocument& b,
                               const QStringList* people) {
    const QJsonObject va = scenarioView(a, people), vb = scenarioView(b, people);
    Comparer cmp(people);

    const QJsonValue ba = va.value(QStringLiteral("battle")),
                     bb = vb.value(QStringLiteral("battle"));
    if (ba.isObject() && bb.isObject())
        cmp.objects(Frame::Battle, -1, ba.toObject(), bb.toObject(), battleKeys(), true);
    else if (ba != bb)
        cmp.out.append(
            {Change::Kind::Header,
             Frame::Battle,
             -1,
             {},
             ba.isObject(),
             bb.isObject(),
             bb.isObject() ? QStringLiteral("战役头 追加") : QStringLiteral("战役头 已删除")});

    const int storedA = storedEquipment(a), storedB = storedEquipment(b);
    for (Frame frame : {Frame::Ally, Frame::Enemy, Frame::Army, Frame::Equipment, Frame::Spoils}) {
        const Section& s = sectionOf(frame);
        const QJsonArray la = va.value(str(s.key)).toArray(), lb = vb.value(str(s.key)).toArray();
        if (la.size() != lb.size())
            cmp.out.append(
                {Change::Kind::Count, frame, -1, {}, int(la.size()), int(lb.size()), {}});
        const qsizetype common = std::min(la.size(), lb.size());
        for (qsizetype k = 0; k < common; ++k) {
            const int entry = int(k);
            bool listed = true;
            if (frame == Frame::Equipment && (k < storedA) != (k < storedB)) {
                // A slot that the saved file gains or loses is one line, not five.
                const bool added = k < storedB;
                cmp.out.append(
                    {Change::Kind::Stored,
                     frame,
                     entry,
                     {},
                     !added,
                     added,
                     QStringLiteral("个人装备 %1 %2")
                         .arg(k + 1)
                         .arg(added ? QStringLiteral("追加") : QStringLiteral("已删除"))});
                listed = false;
            }
            if (s.keys)
                cmp.objects(frame, entry, la[k].toObject(), lb[k].toObject(), *s.keys, listed);
            else if (la[k] != lb[k])
                cmp.spoils(entry, la[k], lb[k]);
        }
        for (qsizetype k = common; k < std::max(la.size(), lb.size()); ++k) {
            const bool removed = k < la.size();
            cmp.out.append({removed ? Change::Kind::Removed : Change::Kind::Added,
                            frame,
                            int(k),
                            {},
                            removed ? la[k] : QJsonValue(),
                            removed ? QJsonValue() : lb[k],
                            QStringLiteral("%1 %2 %3")
                                .arg(str(s.title))
                                .arg(k + 1)
                                .arg(removed ? QStringLiteral("已删除") : QStringLiteral("追加"))});
        }
    }

    // Script bytes no frame shows still count as a difference.
    const bool listed = std::any_of(cmp.out.cbegin(), cmp.out.cend(),
                                    [](const Change& c) { return !diffLine(c).isEmpty(); });
    if (!listed && a.scenarioBytes != b.scenarioBytes)
        cmp.out.append({Change::Kind::Bytes,
                        Frame::Script,
                        -1,
                        {},
                        int(a.scenarioBytes.size()),
                        int(b.scenarioBytes.size()),
                        QStringLiteral("编辑器不显示的字节不同（文件长度 %1 → %2）")
                            .arg(a.scenarioBytes.size())
                            .arg(b.scenarioBytes.size())});
    return cmp.out;
}

QString diffLine(const Change& c) {
    const QString colon = QStringLiteral(": ");
    switch (c.kind) {
    case Change::Kind::Field:
        return c.field == QStringLiteral("name") ? QString() : fieldText(c, colon);
    case Change::Kind::Count:
        return (c.frame == Frame::Army ? fieldPlace(QStringLiteral("army"), -1, {})
                                       : str(sectionOf(c.frame).title) + QStringLiteral("条数")) +
               colon + QStringLiteral("%1 → %2").arg(c.before.toInt()).arg(c.after.toInt());
    case Change::Kind::Added:
        return entryPlace(c.frame, c.entry) + colon + QStringLiteral("新增 ") +
               entryText(c.frame, c.after);
    case Change::Kind::Removed:
        return entryPlace(c.frame, c.entry) + colon + QStringLiteral("删除 ") +
               entryText(c.frame, c.before);
    case Change::Kind::Header:
        return QStringLiteral("战役头: %1 → %2")
            .arg(c.before.toBool() ? QStringLiteral("有") : QStringLiteral("无"),
                 c.after.toBool() ? QStringLiteral("有") : QStringLiteral("无"));
    case Change::Kind::Bytes:
        return c.line;
    case Change::Kind::Stored:
        break;
    }
    return {};
}

QStringList windowLines(const QList<Change>& changes) {
    QStringList lines;
    for (const Change& c : changes)
        if (!c.line.isEmpty())
            lines << c.line;
    return lines;
}

} // namespace lcj::changes
