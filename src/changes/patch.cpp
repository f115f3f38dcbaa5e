#include "patch.h"

#include "common/fileaccess.h"
#include "common/writejournal.h"
#include "common/writelock.h"
#include "compare.h"
#include "fields/fieldtable.h"
#include "jsontext.h"
#include "scenario/scenariodocument.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

namespace lcj::changes::patch {

namespace {} // namespace

namespace {

// A change's old value; a 登场方式 without one shows as the window shows it.
QString shownBefore(const FieldChange& ch) {
    if (ch.before.isNull() && ch.column == QStringLiteral("mode"))
        return QStringLiteral("未选");
    return shown(ch.before);
}

} // namespace

// ---- the patch file

QByteArray toJson(const Patch& patch) {
    using json::member;
    QStringList out;
    out << QStringLiteral("{");
    out << QStringLiteral("  ") + member(QStringLiteral("format"), QStringLiteral("lcjpatch")) +
               u',';
    out << QStringLiteral("  ") + member(QStringLiteral("version"), formatVersion) + u',';
    out << QStringLiteral("  ") + member(QStringLiteral("name"), patch.name) + u',';
    out << QStringLiteral("  ") + member(QStringLiteral("author"), patch.author) + u',';
    out << QStringLiteral("  ") + member(QStringLiteral("note"), patch.note) + u',';
    out << QStringLiteral("  \"files\": [");
    for (qsizetype f = 0; f < patch.files.size(); ++f) {
        const FilePatch& file = patch.files[f];
        out << QStringLiteral("    {");
        out << QStringLiteral("      ") + member(QStringLiteral("file"), file.file) + u',';
        out << QStringLiteral("      ") + member(QStringLiteral("kind"), kindName(file.kind)) +
                   u',';
        out << QStringLiteral("      ") + member(QStringLiteral("size"), file.size) + u',';
        out << QStringLiteral("      ") + member(QStringLiteral("sha256"), file.sha256) + u',';
        if (file.changes.isEmpty()) {
            out << QStringLiteral("      \"changes\": []");
        } else {
            out << QStringLiteral("      \"changes\": [");
            for (qsizetype c = 0; c < file.changes.size(); ++c) {
                const FieldChange& ch = file.changes[c];
                const QStringList members{member(QStringLiteral("where"), ch.where),
                                          member(QStringLiteral("part"), ch.part),
                                          member(QStringLiteral("row"), ch.row),
                                          member(QStringLiteral("column"), ch.column),
                                          member(QStringLiteral("old"), ch.before),
                                          member(QStringLiteral("new"), ch.after)};
                out << QStringLiteral("        {") + members.join(QStringLiteral(", ")) + u'}' +
                           (c + 1 < file.changes.size() ? QStringLiteral(",") : QString());
            }
            out << QStringLiteral("      ]");
        }
        out << QStringLiteral("    }") +
                   (f + 1 < patch.files.size() ? QStringLiteral(",") : QString());
    }
    out << QStringLiteral("  ]");
    out << QStringLiteral("}");
    return (out.join(u'\n') + u'\n').toUtf8();
}

namespace {

// A member that must be text when it is there: a number or anything else in
// its place is named, not read as empty text.
Result<QString> textMember(const QJsonObject& o, const QString& key, const QString& where) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isString())
        return v.toString();
    return Result<QString>::failure(
        QStringLiteral("%1“%2”应是一段文字，而不是 %3").arg(where, key, json::value(v)));
}

// A change's row: a whole number from -1 up (-1 for a part without rows).
Result<int> rowMember(const QJsonObject& o, const QString& where) {
    using R = Result<int>;
    const QJsonValue v = o.value(QStringLiteral("row"));
    const QString shownRow = json::value(v);
    if (!v.isDouble())
        return R::failure(QStringLiteral("%1row 应是一个整数，而不是 %2").arg(where, shownRow));
    const auto whole = json::wholeNumber(v.toDouble());
    if (!whole)
        return R::failure(QStringLiteral("%1row %2 不是整数").arg(where, shownRow));
    if (*whole < -1)
        return R::failure(
            QStringLiteral("%1row %2 是负数（只有没有序号的部分用 -1）").arg(where, shownRow));
    if (*whole >= rowLimit)
        return R::failure(QStringLiteral("%1row %2 太大").arg(where, shownRow));
    return int(*whole);
}

} // namespace

namespace {

// The patch's version as its text writes it, when it can be found: 1e308
// stays 1e308, not the number it reads as.
std::optional<QString> writtenVersion(const QByteArray& text) {
    // Strings are stepped over whole, so a "version" inside one is not taken.
    static const QRegularExpression version(QStringLiteral(
        R"re(^[^"]*(?:"(?:[^"\\]|\\.)*"[^"]*)*?"version"\s*:\s*("(?:[^"\\]|\\.)*"|[^,}\s]+))re"));
    const auto m = version.match(QString::fromUtf8(text));
    return m.hasMatch() ? std::optional(m.captured(1)) : std::nullopt;
}

// The patch file's top object, checked to be a patch of the version this
// program reads; or what is wrong with it.
Result<QJsonObject> patchObject(const QByteArray& text) {
    using R = Result<QJsonObject>;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return R::failure(
            QStringLiteral("%1（位置%2）").arg(error.errorString()).arg(error.offset));
    // QJsonDocument keeps one of two equal keys and drops the other unseen.
    if (const auto twice = json::firstDuplicateKey(QString::fromUtf8(text)))
        return R::failure(
            QStringLiteral("“%1”出现了不止一次%2")
                .arg(twice->key, twice->path.isEmpty()
                                     ? QString()
                                     : QStringLiteral("（在“%1”中）").arg(twice->path.join(u'/'))));
    const QJsonObject o = doc.object();
    if (!doc.isObject() ||
        o.value(QStringLiteral("format")) != QJsonValue(QStringLiteral("lcjpatch")))
        return R::failure(
            QStringLiteral("不是岚川记数据工坊的补丁（缺少 \"format\": \"lcjpatch\"）"));
    const QJsonValue version = o.value(QStringLiteral("version"));
    if (version.isUndefined())
        return R::failure(QStringLiteral("缺少版本号"));
    const auto whole = version.isDouble() ? json::wholeNumber(version.toDouble()) : std::nullopt;
    if (!whole || *whole < 0 || *whole > 1000000)
        return R::failure(QStringLiteral("版本号 %1 不是一个整数版本")
                              .arg(writtenVersion(text).value_or(json::value(version))));
    if (*whole != formatVersion)
        return R::failure(
            QStringLiteral("补丁的版本是%1，这个程序只认识版本%2").arg(*whole).arg(formatVersion));
    return o;
}

// The patch's name, author and note into `patch`.
Failure readHeading(const QJsonObject& o, Patch& patch) {
    for (auto [key, field] : {std::pair{QStringLiteral("name"), &patch.name},
                              std::pair{QStringLiteral("author"), &patch.author},
                              std::pair{QStringLiteral("note"), &patch.note}}) {
        const QJsonValue v = o.value(key);
        if (!v.isUndefined() && !v.isString())
            return QStringLiteral("“%1”应是一段文字").arg(key);
        *field = v.toString();
    }
    return {};
}

// A file entry's name, kind, size and hash, without its changes. `names` holds
// the files read before it (lower case): one file twice is refused.
Result<FilePatch> readFileHeading(const QJsonValue& fv, QSet<QString>& names) {
    using R = Result<FilePatch>;
    const QJsonObject fo = fv.toObject();
    FilePatch file;
    for (const auto& [key, field] : {std::pair{QStringLiteral("file"), &file.file},
                                     std::pair{QStringLiteral("sha256"), &file.sha256}}) {
        const auto t = textMember(fo, key, QString());
        if (!t.ok())
            return R::failure(t.error());
        *field = *t;
    }
    const auto kindText = textMember(fo, QStringLiteral("kind"), file.file + u'：');
    if (!kindText.ok())
        return R::failure(kindText.error());
    const auto kind = kindFromName(*kindText);
    if (!fv.isObject() || file.file.isEmpty() || file.file.contains(u'/') ||
        file.file.contains(u'\\') || file.file.contains(u':') || file.file.startsWith(u'.'))
        return R::failure(QStringLiteral("文件名“%1”不是游戏文件夹里的文件名").arg(file.file));
    if (!kind || kindOfName(file.file) != kind)
        return R::failure(QStringLiteral("%1：文件种类不对").arg(file.file));
    if (names.contains(file.file.toLower()))
        return R::failure(QStringLiteral("%1：出现了两次").arg(file.file));
    names.insert(file.file.toLower());
    file.kind = *kind;
    file.size = qint64(fo.value(QStringLiteral("size")).toDouble(-1));
    if (!fo.value(QStringLiteral("changes")).isArray())
        return R::failure(QStringLiteral("%1：缺少修改列表“changes”").arg(file.file));
    return file;
}

// The `n`th change (from 0) of `file`, its field named by its part, row and
// column.
Result<FieldChange> readChange(const QJsonValue& cv, const FilePatch& file, qsizetype n) {
    using R = Result<FieldChange>;
    const QJsonObject co = cv.toObject();
    const QString where = QStringLiteral("%1 第%2条修改：").arg(file.file).arg(n + 1);
    FieldChange ch;
    for (const auto& [key, field] : {std::pair{QStringLiteral("part"), &ch.part},
                                     std::pair{QStringLiteral("column"), &ch.column},
                                     std::pair{QStringLiteral("where"), &ch.where}}) {
        const auto t = textMember(co, key, where);
        if (!t.ok())
            return R::failure(t.error());
        *field = *t;
    }
    ch.before = co.value(QStringLiteral("old"));
    ch.after = co.value(QStringLiteral("new"));
    if (!cv.isObject() || ch.part.isEmpty() || ch.column.isEmpty() ||
        !co.contains(QStringLiteral("row")) || ch.before.isUndefined() || ch.after.isUndefined())
        return R::failure(
            QStringLiteral("%1：一条修改缺少 part、row、column、old 或 new").arg(file.file));
    // Every field of the other files shows text, and is compared as text.
    if (file.kind != FileKind::Scenario)
        for (const auto& [key, v] : {std::pair{QStringLiteral("old"), ch.before},
                                     std::pair{QStringLiteral("new"), ch.after}})
            if (!v.isString())
                return R::failure(
                    QStringLiteral("%1%2 应是一段文字（窗口里的值都是文字），而不是 %3")
                        .arg(where, key, json::value(v)));
    const auto row = rowMember(co, where);
    if (!row.ok())
        return R::failure(row.error());
    ch.row = *row;
    // The field is named by its part, row and column, which are what the
    // apply changes; a label that names another field is refused.
    const auto placed = place(file.kind, ch.part, ch.row, ch.column);
    if (!placed.ok())
        return R::failure(where + placed.error());
    if (const Failure unknown =
            unknownField(file.kind, ch.part, ch.row, ch.column, ch.before, ch.after);
        !unknown.ok())
        return R::failure(where + unknown.error());
    if (!ch.where.isEmpty() && ch.where != *placed)
        return R::failure(
            QStringLiteral("%1标为“%2”，但它改的是“%3”").arg(where, ch.where, *placed));
    ch.where = *placed;
    return ch;
}

// A file entry whole: its heading, then its changes, no field twice.
Result<FilePatch> readFilePatch(const QJsonValue& fv, QSet<QString>& names) {
    using R = Result<FilePatch>;
    auto file = readFileHeading(fv, names);
    if (!file.ok())
        return file;
    QSet<QString> keys;
    const QJsonArray changes = fv.toObject().value(QStringLiteral("changes")).toArray();
    for (qsizetype n = 0; n < changes.size(); ++n) {
        const auto ch = readChange(changes[n], *file, n);
        if (!ch.ok())
            return R::failure(ch.error());
        if (keys.contains(ch->key()))
            return R::failure(QStringLiteral("%1：%2 出现了两次").arg(file->file, ch->where));
        keys.insert(ch->key());
        file->changes.append(*ch);
    }
    return file;
}

} // namespace

Result<Patch> fromJson(const QByteArray& text) {
    using R = Result<Patch>;
    const auto bad = [](const QString& why) {
        return R::failure(QStringLiteral("补丁文件有误：%1").arg(why));
    };
    const auto o = patchObject(text);
    if (!o.ok())
        return bad(o.error());
    Patch patch;
    if (const Failure wrong = readHeading(*o, patch); !wrong.ok())
        return bad(wrong.error());
    if (!o->value(QStringLiteral("files")).isArray())
        return bad(QStringLiteral("缺少文件列表“files”"));
    QSet<QString> names;
    for (const QJsonValue& fv : o->value(QStringLiteral("files")).toArray()) {
        const auto file = readFilePatch(fv, names);
        if (!file.ok())
            return bad(file.error());
        patch.files.append(*file);
    }
    return patch;
}

Result<Patch> readPatchFile(const QString& path) {
    const auto bytes = files::readWhole(path, files::SizeLimit::UserText);
    if (!bytes.ok())
        return Result<Patch>::failure(bytes.error());
    return fromJson(*bytes);
}

// ---- make

namespace {

// The changes a revert could not undo on the modded file, each named with
// the form's reason (a 登场方式 once chosen cannot go back to 未选).
QStringList irreversible(FileKind kind, const QString& fileName, const QByteArray& modded,
                         const QList<FieldChange>& changes) {
    QSet<QString> counted; // the lists whose entries the patch appends
    for (const FieldChange& ch : changes)
        if (ch.row < 0 && ch.column == countColumn)
            counted.insert(ch.part);
    QList<Cell> back;
    QList<const FieldChange*> of;
    for (const FieldChange& ch : changes)
        if (!(ch.before.isNull() && counted.contains(ch.part))) { // goes with its entry
            back.append({ch.part, ch.row, ch.column, ch.where, ch.before});
            of.append(&ch);
        }
    const auto whole = writeCells(kind, fileName, modded, back);
    if (whole.ok())
        return {};
    QStringList out;
    for (qsizetype k = 0; k < back.size(); ++k) {
        const auto one = writeCells(kind, fileName, modded, {back[k]});
        if (!one.ok())
            out << QStringLiteral("%1 %2：%3 → %4 撤销补丁时改不回来（%5）")
                       .arg(fileName, back[k].where, shownBefore(*of[k]), shown(of[k]->after),
                            one.error());
    }
    if (out.isEmpty())
        out << QStringLiteral("%1：补丁不能撤销：%2").arg(fileName, whole.error());
    return out;
}

} // namespace

Result<FilePatch> makeFilePatch(FileKind kind, const QString& fileName, const QByteArray& original,
                                const QByteArray& modded, QStringList& warnings) {
    using R = Result<FilePatch>;
    const auto a = fields::openFile(kind, fileName, original);
    if (!a.ok())
        return R::failure(QStringLiteral("%1（原版）：%2").arg(fileName, a.error()));
    const auto b = fields::openFile(kind, fileName, modded);
    if (!b.ok())
        return R::failure(QStringLiteral("%1（修改版）：%2").arg(fileName, b.error()));
    FilePatch file{fileName, kind, original.size(), files::sha256Hex(original), {}};
    const bool scenario = kind == FileKind::Scenario;
    const QString army = QStringLiteral("army");
    // The army's length is a field of a scenario whose army the editor reads;
    // the other lists have a fixed length, or none without a battle header.
    const bool countA =
        scenario && scenario::ScenarioDocument::scan(original).scan().armyBlockReadable;
    const bool countB =
        scenario && scenario::ScenarioDocument::scan(modded).scan().armyBlockReadable;
    const QString countWhere = scenario ? *place(kind, army, -1, countColumn) : QString();
    if (countB && !countA)
        warnings
            << QStringLiteral("%1 %2：只有修改版有这一栏，没有收入补丁").arg(fileName, countWhere);
    QStringList gone;
    if (countA && !countB)
        gone << countWhere;
    for (FieldChange ch : compare(**a, **b)) {
        const fields::FieldTable* table = (ch.removed() ? **a : **b).table(ch.part);
        const int column = table->columnOf(ch.column);
        if (column >= 0 && table->columns()[column].readOnly)
            continue; // shown only, never written
        if (ch.row < 0 && (ch.part != army || !countA || !countB))
            continue;
        if (scenario && ch.part == QStringLiteral("battle"))
            ch.row = -1; // the battle-wide values are no list
        if (ch.removed()) {
            gone << ch.where;
        } else if (ch.added() && (ch.part != army || ch.row < 0)) {
            // Only army entries can be appended in the editor.
            warnings << QStringLiteral("%1 %2：只有修改版有这一栏，没有收入补丁")
                            .arg(fileName, ch.where);
        } else {
            file.changes.append({ch.part, ch.row, ch.column, ch.where,
                                 ch.added() ? QJsonValue(QJsonValue::Null) : ch.before, ch.after});
        }
    }
    for (const QString& where : gone)
        warnings << QStringLiteral("%1 %2：修改版没有这一栏，补丁不能删除它，没有收入补丁")
                        .arg(fileName, where);
    // What the patch does to the original must give the modded file; bytes no
    // window shows cannot travel in a patch.
    QList<Cell> values;
    for (const FieldChange& ch : file.changes)
        values.append({ch.part, ch.row, ch.column, ch.where, ch.after});
    const auto rebuilt = writeCells(kind, fileName, original, values);
    if (!rebuilt.ok())
        warnings << QStringLiteral("%1：补丁用在原版上时被拒绝：%2").arg(fileName, rebuilt.error());
    else if (*rebuilt != modded)
        warnings << QStringLiteral("%1：还有编辑器不显示的字节不同，补丁不包含它们").arg(fileName);
    warnings << irreversible(kind, fileName, modded, file.changes);
    return file;
}

Result<Patch> makePatch(const QString& original, const QString& modded, QStringList& warnings) {
    using R = Result<Patch>;
    const QFileInfo oi(original), mi(modded);
    QList<std::pair<QString, QString>> pairs; // original path, modded path
    if (oi.isDir() && mi.isDir()) {
        // The backups the editors keep beside a file are no part of a mod.
        const auto listing = [](const QString& folder) {
            QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
            names.removeIf([](const QString& n) {
                return n.endsWith(QStringLiteral(".bak"), Qt::CaseInsensitive);
            });
            return names;
        };
        const QStringList names = listing(original);
        for (const QString& name : names) {
            const QString other = fields::fileIn(modded, name);
            if (other.isEmpty()) {
                if (kindOfName(name))
                    warnings << QStringLiteral("%1：修改版的文件夹里没有这个文件").arg(name);
                continue;
            }
            pairs.append({QDir(original).filePath(name), other});
        }
        for (const QString& name : listing(modded))
            if (fields::fileIn(original, name).isEmpty())
                warnings
                    << QStringLiteral("%1：只有修改版的文件夹有这个文件，没有收入补丁").arg(name);
    } else if (oi.isFile() && mi.isFile()) {
        if (kindOfName(oi.fileName()) != kindOfName(mi.fileName()) || !kindOfName(oi.fileName()))
            return R::failure(
                QStringLiteral("“%1”和“%2”不是同一种游戏文件").arg(oi.fileName(), mi.fileName()));
        pairs.append({original, modded});
    } else {
        return R::failure(QStringLiteral("请给出两个游戏文件夹，或同一种的两个游戏文件"));
    }
    Patch patch;
    for (const auto& [pathA, pathB] : pairs) {
        const QString name = QFileInfo(pathA).fileName();
        const auto a = files::readWhole(pathA);
        if (!a.ok())
            return R::failure(a.error());
        const auto b = files::readWhole(pathB);
        if (!b.ok())
            return R::failure(b.error());
        if (*a == *b)
            continue;
        const auto kind = kindOfName(name);
        if (!kind) {
            warnings << QStringLiteral("%1：不是编辑器认识的文件，没有收入补丁").arg(name);
            continue;
        }
        auto file = makeFilePatch(*kind, name, *a, *b, warnings);
        if (!file.ok())
            return R::failure(file.error());
        if (!file->changes.isEmpty())
            patch.files.append(*file);
    }
    return patch;
}

QStringList describe(const Patch& patch) {
    QStringList lines;
    if (!patch.name.isEmpty())
        lines << QStringLiteral("补丁：%1").arg(patch.name);
    if (!patch.author.isEmpty())
        lines << QStringLiteral("作者：%1").arg(patch.author);
    if (!patch.note.isEmpty())
        lines << QStringLiteral("说明：%1").arg(patch.note);
    for (const FilePatch& file : patch.files) {
        lines << QStringLiteral("%1（%2处修改）").arg(file.file).arg(file.changes.size());
        // The entries a list's new length adds; a field without a value
        // elsewhere (a 登场方式 not chosen) is no appended entry.
        QHash<QString, int> appendedFrom;
        for (const FieldChange& ch : file.changes)
            if (ch.row < 0 && ch.column == countColumn)
                appendedFrom.insert(ch.part, ch.before.toInt(0));
        for (const FieldChange& ch : file.changes) {
            const bool appended = ch.before.isNull() && !ch.after.isNull() &&
                                  ch.row >= appendedFrom.value(ch.part, rowLimit);
            lines << QStringLiteral("  %1：%2 → %3")
                         .arg(ch.where, appended ? QStringLiteral("（追加）") : shownBefore(ch),
                              shown(ch.after));
        }
    }
    return lines;
}

// ---- apply and revert

namespace {

struct Planned {
    FileOutcome outcome;
    QString name;
};

// The values a file shows now, by field key.
using Values = QHash<QString, QJsonValue>;

// Sorts a file's changes, as `settle` says, into the fields to set, the ones
// that already hold the patch's value, the ones kept and the conflicts.
class ChangeSorter {
public:
    ChangeSorter(const FilePatch& file, const Values& current, Settle settle, FileOutcome& outcome,
                 QStringList& conflicts)
        : file_(file), current_(current), settle_(settle), outcome_(outcome),
          conflicts_(conflicts) {}

    // A list's count first: the fields of the entries it appends follow it.
    Failure sort(const QList<FieldChange>& changes) {
        for (int pass = 0; pass < 2; ++pass)
            for (const FieldChange& ch : changes) {
                const bool isCount = ch.row < 0 && ch.column == countColumn;
                if ((pass == 0) != isCount)
                    continue;
                const auto it = current_.constFind(ch.key());
                const Failure refused =
                    it == current_.constEnd() ? missing(ch) : present(ch, *it, isCount);
                if (!refused.ok())
                    return refused;
            }
        return {};
    }

    QList<Cell> takes;

private:
    void conflict(const FieldChange& ch, const QString& now) {
        conflicts_ << QStringLiteral("%1 %2：补丁要求 %3 → %4，%5")
                          .arg(file_.file, ch.where, shown(ch.before), shown(ch.after), now);
    }

    void take(const FieldChange& ch) {
        takes.append({ch.part, ch.row, ch.column, ch.where, ch.after});
    }

    // A field the file does not show.
    Failure missing(const FieldChange& ch) {
        const QString missing = QStringLiteral("但文件里没有这一栏");
        if (ch.before.isNull() && countTaken_.contains(ch.part))
            take(ch);
        else if (ch.after.isNull()) // a field the patch takes out, and it is not there
            ++outcome_.already;
        else if (settle_ == Settle::KeepMine)
            ++outcome_.kept;
        else if (settle_ == Settle::Refuse)
            conflict(ch, missing);
        else // the patch's value has nowhere to go: never report that as done
            return QStringLiteral("%1 %2：%3，无法采用补丁的值").arg(file_.file, ch.where, missing);
        return {};
    }

    // A list is cut only by the patch's own entries: the ones past them were
    // added by the player, and stay. Those entries named, or empty.
    QString playersEntries(const FieldChange& ch, int now) const {
        const int own = std::max(ch.before.toInt(0), ch.after.toInt(0));
        QStringList entries;
        for (int k = own; ch.after.toInt(0) < now && k < now; ++k) {
            const auto entry = place(file_.kind, ch.part, k, QString());
            entries << (entry.ok() ? entry->trimmed() : QString::number(k));
        }
        if (entries.isEmpty())
            return {};
        return QStringLiteral("%1 不是这个补丁追加的，补丁不会删除它们").arg(entries.join(u'、'));
    }

    // A field the file shows, holding `now`.
    Failure present(const FieldChange& ch, const QJsonValue& now, bool isCount) {
        if (now == ch.after) {
            ++outcome_.already;
            return {};
        }
        const QString players = isCount ? playersEntries(ch, now.toInt(0)) : QString();
        const bool matches = now == ch.before;
        if (!matches && settle_ == Settle::KeepMine) {
            ++outcome_.kept;
            if (isCount)
                countKept_.insert(ch.part);
            return {};
        }
        if (!matches && settle_ == Settle::Refuse) {
            conflict(ch, QStringLiteral("现在是 ") + shown(now) +
                             (players.isEmpty() ? QString() : u'；' + players));
            return {};
        }
        if (!players.isEmpty())
            return QStringLiteral("%1 %2").arg(file_.file, players);
        // The fields of entries a revert would take out go with them, and
        // stay with them when the list keeps its length.
        const bool leaves = ch.after.isNull() && !ch.before.isNull();
        if (leaves && countTaken_.contains(ch.part))
            return {};
        if (leaves && countKept_.contains(ch.part)) {
            ++outcome_.kept;
            return {};
        }
        take(ch);
        if (isCount)
            countTaken_.insert(ch.part);
        return {};
    }

    const FilePatch& file_;
    const Values& current_;
    Settle settle_;
    FileOutcome& outcome_;
    QStringList& conflicts_;
    QSet<QString> countTaken_, countKept_;
};

// The fields `file` (named `name` on disk) shows in `bytes`, by key.
Result<Values> currentValues(const FilePatch& file, const QString& name, const QByteArray& bytes) {
    const auto cells = readCells(file.kind, name, bytes);
    if (!cells.ok())
        return Result<Values>::failure(QStringLiteral("%1：%2").arg(file.file, cells.error()));
    Values current;
    for (const Cell& c : *cells)
        current.insert(c.key(), c.value);
    return current;
}

// Reads `built` back as the windows would show it: every taken field holds its
// new value, and nothing else moved.
Failure checkBuilt(const FilePatch& file, const QString& name, const QByteArray& built,
                   const Values& current, const QList<Cell>& takes) {
    const auto check = readCells(file.kind, name, built);
    if (!check.ok())
        return QStringLiteral("%1：写好的文件读不回来：%2").arg(file.file, check.error());
    Values wanted = current;
    for (const Cell& t : takes)
        wanted.insert(t.key(), t.value);
    for (const Cell& c : *check) {
        const auto it = wanted.constFind(c.key());
        if (it != wanted.constEnd() && *it != c.value)
            return QStringLiteral("%1 %2：写入后显示为 %3，应是 %4")
                .arg(file.file, c.where, shown(c.value), shown(*it));
    }
    return {};
}

Result<Planned> planFile(const FilePatch& file, const QString& path, bool reverse, Settle settle,
                         QStringList& conflicts) {
    using R = Result<Planned>;
    Planned plan;
    plan.name = file.file;
    plan.outcome.path = path;
    const auto bytes = files::readWhole(path);
    if (!bytes.ok())
        return R::failure(bytes.error());
    plan.outcome.before = *bytes;
    plan.outcome.original = bytes->size() == file.size && files::sha256Hex(*bytes) == file.sha256;
    const QString name = QFileInfo(path).fileName();
    const auto current = currentValues(file, name, *bytes);
    if (!current.ok())
        return R::failure(current.error());

    QList<FieldChange> changes = file.changes;
    if (reverse)
        for (FieldChange& ch : changes)
            std::swap(ch.before, ch.after);
    ChangeSorter sorter(file, *current, settle, plan.outcome, conflicts);
    if (const Failure refused = sorter.sort(changes); !refused.ok())
        return R::failure(refused.error());
    plan.outcome.taken = int(sorter.takes.size());
    if (!conflicts.isEmpty() && settle == Settle::Refuse)
        return plan;
    const auto built = writeCells(file.kind, name, *bytes, sorter.takes);
    if (!built.ok())
        return R::failure(QStringLiteral("%1 %2").arg(file.file, built.error()));
    plan.outcome.after = *built;
    if (const Failure wrong = checkBuilt(file, name, *built, *current, sorter.takes); !wrong.ok())
        return R::failure(wrong.error());
    return plan;
}

} // namespace

Result<ApplyOutcome> applyPatch(const Patch& patch, const QString& game, bool reverse,
                                Settle settle, bool dryRun) {
    using R = Result<ApplyOutcome>;
    const QFileInfo gi(game);
    if (!gi.exists())
        return R::failure(QStringLiteral("找不到“%1”").arg(game));
    if (!gi.isDir() && patch.files.size() != 1)
        return R::failure(
            QStringLiteral("补丁涉及%1个文件，请给出游戏文件夹").arg(patch.files.size()));
    QStringList paths;
    for (const FilePatch& file : patch.files) {
        const QString path = gi.isDir() ? fields::fileIn(game, file.file) : game;
        if (path.isEmpty())
            return R::failure(QStringLiteral("游戏文件夹里没有 %1").arg(file.file));
        if (!gi.isDir() && kindOfName(gi.fileName()) != file.kind)
            return R::failure(
                QStringLiteral("“%1”不是补丁要改的那种文件（%2）").arg(gi.fileName(), file.file));
        paths.append(path);
    }
    // Every file is locked before the first is read and stays locked until the
    // last is written: no other save of ours comes between the check and the write.
    const auto lock = files::WriteLock::take(dryRun ? QStringList{} : paths);
    if (!lock.ok())
        return R::failure(lock.error());
    ApplyOutcome outcome;
    for (qsizetype i = 0; i < patch.files.size(); ++i) {
        const FilePatch& file = patch.files[i];
        const QString& path = paths[i];
        auto plan = planFile(file, path, reverse, settle, outcome.conflicts);
        if (!plan.ok())
            return R::failure(plan.error() + QStringLiteral("\n没有写入任何文件。"));
        outcome.files.append(plan->outcome);
    }
    if ((!outcome.conflicts.isEmpty() && settle == Settle::Refuse) || dryRun)
        return outcome;

    // Every file is built; none may have changed on disk since it was read.
    for (const FileOutcome& f : outcome.files) {
        if (f.after == f.before)
            continue;
        const auto now = files::readWhole(f.path);
        if (!now.ok() || *now != f.before)
            return R::failure(QStringLiteral("“%1”在读取之后被别的程序改过了，没有写入任何文件。")
                                  .arg(QFileInfo(f.path).fileName()));
    }
    // All of them or none, also when the program stops half-way.
    QList<files::JournalFile> written;
    for (const FileOutcome& f : outcome.files)
        if (f.after != f.before)
            written.append({f.path, f.before, f.after});
    if (auto failure = files::WriteJournal::write(written, QStringLiteral("补丁前")); !failure.ok())
        return R::failure(failure.error());
    outcome.written = !written.isEmpty();
    return outcome;
}

} // namespace lcj::changes::patch
