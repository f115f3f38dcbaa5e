#include "scenariochanges.h"

#include "fields/scenarioview.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace lcj::changes {

using namespace lcj::scenario;
using namespace lcj::fields;

namespace {

// A value as compact JSON, the way lcjtool prints it.
QString json(const QJsonValue& v) {
    const QByteArray a = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(a.mid(1, a.size() - 2));
}

struct Section {
    Frame frame;
    const char16_t* key;       // the view's key
    const char16_t* diffTitle; // lcjtool diff's title
    const char16_t* title;     // the windows' title of one entry
    const QStringList* keys;   // null: the entry is compared whole (spoils)
};

const Section& sectionOf(Frame frame) {
    static const Section sections[] = {
        {Frame::Ally, u"allies", u"友军", u"友军", &slotKeys()},
        {Frame::Enemy, u"enemies", u"敌军", u"敌军", &slotKeys()},
        {Frame::Army, u"army", u"我军出场", u"我军出场人物", &armyKeys()},
        {Frame::Equipment, u"equipment", u"个人装备", u"个人装备", &equipKeys()},
        {Frame::Spoils, u"spoils", u"战利品", u"战利品", nullptr},
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
            const QString where =
                frame == Frame::Battle
                    ? QStringLiteral("战役")
                    : QStringLiteral("%1 %2").arg(str(sectionOf(frame).title)).arg(entry + 1);
            c.line = QStringLiteral("%1 %2：%3 → %4")
                         .arg(where, fieldLabel(frame, key), shown(key, a), shown(key, b));
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
        static const QString names[3] = {QStringLiteral("第一战利品"), QStringLiteral("第二战利品"),
                                         QStringLiteral("第三战利品")};
        QStringList parts;
        const QJsonArray ia = a.toArray(), ib = b.toArray();
        for (int i = 0; i < 3; ++i)
            if (ia.at(i) != ib.at(i))
                parts << QStringLiteral("%1：%2 → %3")
                             .arg(names[i], shown({}, ia.at(i)), shown({}, ib.at(i)));
        out.append({Change::Kind::Field,
                    Frame::Spoils,
                    entry,
                    {},
                    a,
                    b,
                    QStringLiteral("战利品 %1 %2").arg(entry + 1).arg(parts.join(u'，'))});
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
    if (!listed && a.bytes() != b.bytes())
        cmp.out.append({Change::Kind::Bytes,
                        Frame::Script,
                        -1,
                        {},
                        int(a.bytes().size()),
                        int(b.bytes().size()),
                        QStringLiteral("编辑器不显示的字节不同（文件长度 %1 → %2）")
                            .arg(a.bytes().size())
                            .arg(b.bytes().size())});
    return cmp.out;
}

QString diffLine(const Change& c) {
    const Section& s = sectionOf(c.frame);
    const QString title = str(s.diffTitle);
    switch (c.kind) {
    case Change::Kind::Field:
        if (c.frame == Frame::Battle)
            return QStringLiteral("战役 %1: %2 → %3").arg(c.field, json(c.before), json(c.after));
        if (c.field.isEmpty())
            return QStringLiteral("%1 %2: %3 → %4")
                .arg(title)
                .arg(c.entry)
                .arg(json(c.before), json(c.after));
        return QStringLiteral("%1 %2 %3: %4 → %5")
            .arg(title)
            .arg(c.entry)
            .arg(c.field, json(c.before), json(c.after));
    case Change::Kind::Count:
        return QStringLiteral("%1条数: %2 → %3")
            .arg(title)
            .arg(c.before.toInt())
            .arg(c.after.toInt());
    case Change::Kind::Added:
        return QStringLiteral("%1 %2: 新增 %3").arg(title).arg(c.entry).arg(json(c.after));
    case Change::Kind::Removed:
        return QStringLiteral("%1 %2: 删除 %3").arg(title).arg(c.entry).arg(json(c.before));
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
