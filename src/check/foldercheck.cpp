#include "foldercheck.h"

#include "common/fileaccess.h"
#include "common/gbk.h"
#include "common/writejournal.h"
#include "fields/fieldtable.h"
#include "messages/imsglayout.h"
#include "savefile/savelayout.h"
#include "scenario/scenariodocument.h"
#include "scenario/scenarioforms.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

namespace lcj::check {

using fields::FieldFile;
using fields::FieldTable;
using fields::FileKind;

namespace {

enum class Target { Character, Item, TroopType };

// A column of a part that holds a number of a data.e5 table, and the value
// that stands for none there.
struct Reference {
    FileKind kind;
    const char16_t* part;
    const char16_t* column; // the column's key; nullptr: every column but the first
    Target target;
    qint64 none;
};

constexpr qint64 noNone = -1;
constexpr qint64 noneWord = 0xFFFF;
constexpr qint64 noneByte = 255;

const Reference references[] = {
    {FileKind::Data, u"characters", u"兵种", Target::TroopType, noNone},
    {FileKind::Data, u"characters", u"武具", Target::Item, noneByte},
    {FileKind::Data, u"characters", u"防具", Target::Item, noneByte},
    {FileKind::Data, u"characters", u"辅助", Target::Item, noneByte},
    {FileKind::Data, u"shops", u"装备店(最多16种)", Target::Item, noneByte},
    {FileKind::Data, u"shops", u"道具店(最多16种)", Target::Item, noneByte},
    {FileKind::Save, u"characters", u"兵种", Target::TroopType, noNone},
    {FileKind::Scenario, u"battle", u"victory", Target::Character, noneWord},
    {FileKind::Scenario, u"battle", u"defeat", Target::Character, noneWord},
    {FileKind::Scenario, u"allies", u"character", Target::Character, noneWord},
    {FileKind::Scenario, u"enemies", u"character", Target::Character, noneWord},
    {FileKind::Scenario, u"equipment", u"character", Target::Character, noneWord},
    {FileKind::Scenario, u"equipment", u"weapon", Target::Item, noNone},
    {FileKind::Scenario, u"equipment", u"armour", Target::Item, noNone},
    {FileKind::Scenario, u"equipment", u"accessory", Target::Item, noNone},
    {FileKind::Scenario, u"spoils", u"items", Target::Item, noNone},
    {FileKind::RFile, u"limits", nullptr, Target::Character, noneWord},
};

// A reference the window shows through its list, so that the cell hides the
// stored byte ("无" for any item past the list): read from the file's bytes,
// record `row` at first + row * stride.
struct StoredReference {
    FileKind kind;
    const char16_t* part;
    const char16_t* column;
    qint64 first;
    int stride;
    int offset;
    Target target;
    qint64 none;
};

const StoredReference storedReferences[] = {
    {FileKind::Save, u"characters", u"武具", save::characterRegion.offset, save::recordSize,
     save::weaponOffset, Target::Item, noneByte},
    {FileKind::Save, u"characters", u"防具", save::characterRegion.offset, save::recordSize,
     save::armourOffset, Target::Item, noneByte},
    {FileKind::Save, u"characters", u"辅助", save::characterRegion.offset, save::recordSize,
     save::accessoryOffset, Target::Item, noneByte},
};

// The general a slot follows counts only while its action tendency is 03 跟随.
constexpr int followTendency = 3;

// The numbers a cell holds: a number, the numbers of a text ("3 12 40"), or
// those of a list ([7, null, 104]); none for null.
QList<qint64> numbersIn(const QJsonValue& v) {
    QList<qint64> out;
    if (v.isDouble()) {
        if (auto n = fields::wholeNumber(v.toDouble()))
            out.append(*n);
    } else if (v.isString()) {
        for (const QString& part : v.toString().split(u' ', Qt::SkipEmptyParts)) {
            bool ok = false;
            const qint64 n = part.toLongLong(&ok);
            if (ok)
                out.append(n);
        }
    } else if (v.isArray()) {
        for (const QJsonValue& item : v.toArray())
            out.append(numbersIn(item));
    }
    return out;
}

QString pastTable(Target target, qint64 n, const TableCounts& counts) {
    switch (target) {
    case Target::Character:
        return QStringLiteral("人物编号%1超出了data.e5的人物表（共%2人，编号0到%3）")
            .arg(n)
            .arg(counts.characters)
            .arg(counts.characters - 1);
    case Target::Item:
        return QStringLiteral("道具编号%1超出了data.e5的道具表（共%2件，编号0到%3）")
            .arg(n)
            .arg(counts.items)
            .arg(counts.items - 1);
    case Target::TroopType:
        return QStringLiteral("兵种编号%1超出了data.e5的兵种表（共%2种，编号0到%3）")
            .arg(n)
            .arg(counts.troopTypes)
            .arg(counts.troopTypes - 1);
    }
    return {};
}

int countOf(Target target, const TableCounts& counts) {
    switch (target) {
    case Target::Character:
        return counts.characters;
    case Target::Item:
        return counts.items;
    case Target::TroopType:
        return counts.troopTypes;
    }
    return 0;
}

// The bytes as the user can compare them with a hex editor: "E1 B0 FF".
QString hexBytes(QByteArrayView bytes) {
    return QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper());
}

// A text field's bytes up to its first zero byte.
QByteArrayView textBytes(QByteArrayView field) {
    const qsizetype end = field.indexOf('\0');
    return end < 0 ? field : field.first(end);
}

QString notGbk(QByteArrayView text) {
    return QStringLiteral("文字不是有效的GBK编码（字节 %1）").arg(hexBytes(text));
}

// Why an editor could not open a file, in one line: the editor's own message
// without the heading of its message box.
QString unreadable(const QString& message) {
    QStringList lines = message.split(u'\n', Qt::SkipEmptyParts);
    if (lines.size() > 1 && lines.first() == QStringLiteral("文件打开出错"))
        lines.removeFirst();
    return QStringLiteral("编辑器无法读取这个文件：") + lines.join(u' ');
}

class FileCheck {
public:
    FileCheck(FileKind kind, const QString& name, const QByteArray& bytes,
              const TableCounts& counts)
        : kind_(kind), name_(name), bytes_(bytes), counts_(counts) {}

    QList<Problem> run() {
        auto opened = fields::openFile(kind_, name_, bytes_);
        if (!opened.ok()) {
            wholeFile(unreadable(opened.error()));
            return out_;
        }
        if (kind_ == FileKind::Scenario) {
            const auto doc = scenario::ScenarioDocument::scan(bytes_);
            if (const QString nothing = doc.nothingToEdit(); !nothing.isEmpty())
                wholeFile(unreadable(nothing));
            for (const QString& problem : doc.problems())
                wholeFile(QStringLiteral("剧本中有内容无法识别，编辑器按原样保留、不作修改：") +
                          problem);
        }
        FieldFile& file = **opened;
        for (std::size_t p = 0; p < file.tables().size(); ++p) {
            FieldTable& table = *file.tables()[p];
            for (int r = 0; r < table.rowCount(); ++r) {
                checkText(int(p), table, r);
                checkReferences(int(p), table, r);
                // Last: a row that passes may be stored in the window's way.
                if (auto refused = table.confirm(r); !refused.ok())
                    add(int(p), r, table.rowName(r),
                        QStringLiteral("编辑器保存时会拒绝：") + refused.error());
            }
        }
        return out_;
    }

private:
    void wholeFile(const QString& message) { out_.append({name_, {}, -1, -1, {}, message}); }
    void add(int part, int row, const QString& place, const QString& message) {
        out_.append({name_, {}, part, row, place, message});
    }

    // The names of data.e5 and the texts of Imsg.e5, in their stored bytes.
    void checkText(int part, const FieldTable& table, int row) {
        if (kind_ == FileKind::Data) {
            const data::Table* layout = dataLayout(table.part());
            const int column = nameColumn(table);
            if (!layout || column < 0)
                return;
            const QByteArrayView field = textBytes(
                QByteArrayView(bytes_).sliced(layout->recordOffset(row), layout->nameWidth));
            if (!gbk::decodeStrict(field))
                add(part, row, table.place(row, column), notGbk(field));
        } else if (kind_ == FileKind::Imsg && part < int(imsg::categories.size())) {
            const QByteArrayView slot = textBytes(QByteArrayView(bytes_).sliced(
                imsg::categories[std::size_t(part)].slotOffset(row), imsg::slotSize));
            if (!gbk::decodeStrict(slot))
                add(part, row, table.place(row, 0), notGbk(slot));
        }
    }

    static const data::Table* dataLayout(const QString& part) {
        if (part == QStringLiteral("characters"))
            return &data::characters;
        if (part == QStringLiteral("items"))
            return &data::items;
        if (part == QStringLiteral("strategies"))
            return &data::strategies;
        return nullptr;
    }

    static int nameColumn(const FieldTable& table) {
        for (qsizetype c = 0; c < table.columns().size(); ++c)
            if (table.columns()[c].editor == fields::Column::Editor::Name)
                return int(c);
        return -1;
    }

    void checkReferences(int part, const FieldTable& table, int row) {
        for (const Reference& ref : references) {
            if (ref.kind != kind_ || table.part() != QString::fromUtf16(ref.part))
                continue;
            if (ref.column) {
                const int c = table.columnOf(QString::fromUtf16(ref.column));
                if (c >= 0)
                    checkCell(part, table, row, c, ref.target, ref.none);
            } else {
                for (int c = 1; c < int(table.columns().size()); ++c)
                    checkCell(part, table, row, c, ref.target, ref.none);
            }
        }
        for (const StoredReference& ref : storedReferences) {
            if (ref.kind != kind_ || table.part() != QString::fromUtf16(ref.part))
                continue;
            const qint64 at = ref.first + qint64(row) * ref.stride + ref.offset;
            const int c = table.columnOf(QString::fromUtf16(ref.column));
            if (c < 0 || at >= bytes_.size())
                continue;
            const qint64 n = quint8(bytes_[at]);
            if (n != ref.none && n >= countOf(ref.target, counts_))
                add(part, row, table.place(row, c), pastTable(ref.target, n, counts_));
        }
        if (kind_ == FileKind::Scenario && (table.part() == QStringLiteral("allies") ||
                                            table.part() == QStringLiteral("enemies"))) {
            const int tendency = table.columnOf(QStringLiteral("tendency"));
            const int follow = table.columnOf(QStringLiteral("follow"));
            const int character = table.columnOf(QStringLiteral("character"));
            if (tendency >= 0 && follow >= 0 && character >= 0 &&
                numbersIn(table.value(row, character)) != QList<qint64>{noneWord} &&
                numbersIn(table.value(row, tendency)) == QList<qint64>{followTendency})
                checkCell(part, table, row, follow, Target::Character, noneWord);
        }
    }

    void checkCell(int part, const FieldTable& table, int row, int column, Target target,
                   qint64 none) {
        for (qint64 n : numbersIn(table.value(row, column)))
            if (n != none && (n < 0 || n >= countOf(target, counts_)))
                add(part, row, table.place(row, column), pastTable(target, n, counts_));
    }

    FileKind kind_;
    QString name_;
    QByteArray bytes_;
    TableCounts counts_;
    QList<Problem> out_;
};

} // namespace

QString Problem::line() const {
    if (place.isEmpty())
        return file + QStringLiteral(": ") + message;
    return file + QStringLiteral(": ") + place + QStringLiteral("：") + message;
}

TableCounts countsOf(const QByteArray& dataBytes) {
    TableCounts counts;
    auto opened = fields::openFile(FileKind::Data, QString(), dataBytes);
    if (!opened.ok())
        return counts;
    if (const FieldTable* t = (*opened)->table(QStringLiteral("characters")))
        counts.characters = t->rowCount();
    if (const FieldTable* t = (*opened)->table(QStringLiteral("items")))
        counts.items = t->rowCount();
    if (const FieldTable* t = (*opened)->table(QStringLiteral("troops")))
        counts.troopTypes = t->rowCount();
    return counts;
}

QList<Problem> checkFile(FileKind kind, const QString& name, const QByteArray& bytes,
                         const TableCounts& counts) {
    return FileCheck(kind, name, bytes, counts).run();
}

QStringList gameFilesIn(const QString& folder) {
    QStringList out;
    for (const QString& name :
         QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase))
        if (fields::kindOfName(name))
            out.append(name);
    return out;
}

Result<QList<Problem>> checkFolder(const QString& folder) {
    using Checked = Result<QList<Problem>>;
    const QFileInfo info(folder);
    const QString shown = QDir::toNativeSeparators(folder);
    if (!info.exists())
        return Checked::failure(QStringLiteral("“%1”不存在").arg(shown));
    if (!info.isDir())
        return Checked::failure(QStringLiteral("“%1”不是文件夹").arg(shown));
    const QStringList names = gameFilesIn(folder);
    if (names.isEmpty())
        return Checked::failure(
            QStringLiteral("“%1”中没有游戏文件（data.e5、S_??.eex、Sv??d.e5s、Imsg.e5 等）")
                .arg(shown));
    const QDir dir(folder);
    QList<std::pair<QString, Result<QByteArray>>> files;
    TableCounts counts;
    for (const QString& name : names) {
        files.append({name, files::readWhole(dir.filePath(name))});
        if (fields::kindOfName(name) == FileKind::Data && files.last().second.ok())
            counts = countsOf(*files.last().second);
    }
    QList<Problem> out;
    // A write a program stopped half-way through leaves the folder neither
    // old nor new until the next writer settles it.
    for (const QString& line : files::WriteJournal::unfinished(folder))
        out.append({QString::fromUtf16(files::workshopName), {}, -1, -1, {}, line});
    for (const auto& [name, bytes] : files) {
        QList<Problem> found;
        if (!bytes.ok())
            found.append({name, {}, -1, -1, {}, unreadable(bytes.error())});
        else
            found = checkFile(*fields::kindOfName(name), name, *bytes, counts);
        for (Problem& p : found) {
            p.path = dir.filePath(name);
            out.append(p);
        }
    }
    return out;
}

} // namespace lcj::check
