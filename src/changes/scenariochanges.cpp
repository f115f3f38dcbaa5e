#include "scenariochanges.h"

#include "compare.h"
#include "fields/scenarioview.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

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

Frame frameOf(const QString& part) {
    for (Frame frame : {Frame::Ally, Frame::Enemy, Frame::Army, Frame::Equipment, Frame::Spoils})
        if (str(sectionOf(frame).key) == part)
            return frame;
    return Frame::Battle;
}

// A row of a scenario's table as the view holds it: an object of the
// fields, or a spoils entry's items.
QJsonValue rowValue(const fields::FieldTable& table, int row) {
    if (table.part() == QStringLiteral("spoils"))
        return table.value(row, 0);
    QJsonObject entry;
    for (qsizetype c = 0; c < table.columns().size(); ++c)
        entry.insert(table.columns()[c].key, table.value(row, int(c)));
    return entry;
}

QJsonValue personValue(const QStringList* people, const QJsonValue& n) {
    const QString name = personName(people, n);
    return name.isEmpty() ? QJsonValue() : QJsonValue(name);
}

// One list of the scenario compared: its count, its fields, its entries added
// or removed whole, and the equipment slots the file gains or loses.
void compareList(Comparer& cmp, const fields::FieldTable& ta, const fields::FieldTable& tb,
                 int storedA, int storedB, const QStringList* people) {
    const Frame frame = frameOf(tb.part());
    const int common = std::min(ta.rowCount(), tb.rowCount());
    int storedDone = 0; // rows whose equipment slot change is already listed
    QSet<int> stored;
    const auto storedUpTo = [&](int end) {
        if (frame != Frame::Equipment)
            return;
        for (; storedDone < end; ++storedDone) {
            const int k = storedDone;
            if ((k < storedA) == (k < storedB))
                continue;
            // A slot that the saved file gains or loses is one line, not five.
            const bool added = k < storedB;
            stored.insert(k);
            cmp.out.append({Change::Kind::Stored,
                            frame,
                            k,
                            {},
                            !added,
                            added,
                            QStringLiteral("个人装备 %1 %2")
                                .arg(k + 1)
                                .arg(added ? QStringLiteral("追加") : QStringLiteral("已删除"))});
        }
    };
    int whole = -1; // the last entry added or removed whole
    for (const FieldChange& fc : compare(ta, tb)) {
        if (fc.row < 0) {
            cmp.out.append({Change::Kind::Count, frame, -1, {}, fc.before, fc.after, {}});
        } else if (fc.added() || fc.removed()) {
            storedUpTo(common);
            if (fc.row == whole)
                continue;
            whole = fc.row;
            const bool removed = fc.removed();
            const QJsonValue entry = rowValue(removed ? ta : tb, fc.row);
            cmp.out.append({removed ? Change::Kind::Removed : Change::Kind::Added,
                            frame,
                            fc.row,
                            {},
                            removed ? entry : QJsonValue(),
                            removed ? QJsonValue() : entry,
                            QStringLiteral("%1 %2 %3")
                                .arg(str(sectionOf(frame).title))
                                .arg(fc.row + 1)
                                .arg(removed ? QStringLiteral("已删除") : QStringLiteral("追加"))});
        } else if (frame == Frame::Spoils) {
            cmp.spoils(fc.row, fc.before, fc.after);
        } else {
            storedUpTo(fc.row + 1);
            const bool listed = !stored.contains(fc.row);
            cmp.field(frame, fc.row, fc.column, fc.before, fc.after, listed);
            // The name the number gives is a field of the view too.
            if (people && fc.column == QStringLiteral("character")) {
                const QJsonValue na = personValue(people, fc.before),
                                 nb = personValue(people, fc.after);
                if (na != nb)
                    cmp.field(frame, fc.row, QStringLiteral("name"), na, nb, listed);
            }
        }
    }
    storedUpTo(common);
}

} // namespace

QList<Change> compareScenarios(const ScenarioDocument& a, const ScenarioDocument& b,
                               const QStringList* people) {
    // Opening a scenario's tables never fails: a file the editor cannot read
    // has empty lists.
    const auto fa = fields::openFile(fields::FileKind::Scenario, {}, a.bytes());
    const auto fb = fields::openFile(fields::FileKind::Scenario, {}, b.bytes());
    Comparer cmp(people);
    const int storedA = storedEquipment(a), storedB = storedEquipment(b);
    for (const auto& tb : (*fb)->tables()) {
        const fields::FieldTable& ta = *(*fa)->table(tb->part());
        if (frameOf(tb->part()) != Frame::Battle) {
            compareList(cmp, ta, *tb, storedA, storedB, people);
        } else if (ta.rowCount() == tb->rowCount()) {
            for (const FieldChange& fc : compare(ta, *tb))
                cmp.field(Frame::Battle, -1, fc.column, fc.before, fc.after, true);
        } else {
            const bool added = tb->rowCount() > 0;
            cmp.out.append(
                {Change::Kind::Header,
                 Frame::Battle,
                 -1,
                 {},
                 !added,
                 added,
                 added ? QStringLiteral("战役头 追加") : QStringLiteral("战役头 已删除")});
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
