#include "patch.h"

#include "common/fileaccess.h"
#include "common/writelock.h"
#include "jsontext.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace lcj::cli::patch {

namespace {

QString sha256(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// The file named `name` in `folder`, found without regard to case as the game's
// own files are; empty when there is none.
QString findInFolder(const QString& folder, const QString& name) {
    const QDir dir(folder);
    if (dir.exists(name))
        return dir.filePath(name);
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

} // namespace

QString shown(const QJsonValue& v) {
    if (v.isNull() || v.isUndefined())
        return QStringLiteral("无");
    if (v.isDouble())
        return QString::number(qint64(v.toDouble()));
    if (v.isArray()) {
        QStringList parts;
        for (const QJsonValue& item : v.toArray())
            parts << shown(item);
        return parts.join(u' ');
    }
    const QString text = v.toString();
    return text.isEmpty() ? QStringLiteral("（空）") : text;
}

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

Result<Patch> fromJson(const QByteArray& text) {
    using R = Result<Patch>;
    const auto bad = [](const QString& why) {
        return R::failure(QStringLiteral("补丁文件有误：%1").arg(why));
    };
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return bad(QStringLiteral("%1（位置%2）").arg(error.errorString()).arg(error.offset));
    const QJsonObject o = doc.object();
    if (!doc.isObject() ||
        o.value(QStringLiteral("format")) != QJsonValue(QStringLiteral("lcjpatch")))
        return bad(QStringLiteral("不是岚川记数据工坊的补丁（缺少 \"format\": \"lcjpatch\"）"));
    const QJsonValue version = o.value(QStringLiteral("version"));
    if (!version.isDouble())
        return bad(QStringLiteral("缺少版本号"));
    if (version.toInt() != formatVersion)
        return bad(QStringLiteral("补丁的版本是%1，这个程序只认识版本%2")
                       .arg(version.toInt())
                       .arg(formatVersion));
    Patch patch;
    for (auto [key, field] : {std::pair{QStringLiteral("name"), &patch.name},
                              std::pair{QStringLiteral("author"), &patch.author},
                              std::pair{QStringLiteral("note"), &patch.note}}) {
        const QJsonValue v = o.value(key);
        if (!v.isUndefined() && !v.isString())
            return bad(QStringLiteral("“%1”应是一段文字").arg(key));
        *field = v.toString();
    }
    if (!o.value(QStringLiteral("files")).isArray())
        return bad(QStringLiteral("缺少文件列表“files”"));
    QSet<QString> names;
    for (const QJsonValue& fv : o.value(QStringLiteral("files")).toArray()) {
        const QJsonObject fo = fv.toObject();
        FilePatch file;
        file.file = fo.value(QStringLiteral("file")).toString();
        const auto kind = kindFromName(fo.value(QStringLiteral("kind")).toString());
        if (!fv.isObject() || file.file.isEmpty() || file.file.contains(u'/') ||
            file.file.contains(u'\\') || file.file.contains(u':') || file.file.startsWith(u'.'))
            return bad(QStringLiteral("文件名“%1”不是游戏文件夹里的文件名").arg(file.file));
        if (!kind || kindOfName(file.file) != kind)
            return bad(QStringLiteral("%1：文件种类不对").arg(file.file));
        if (names.contains(file.file.toLower()))
            return bad(QStringLiteral("%1：出现了两次").arg(file.file));
        names.insert(file.file.toLower());
        file.kind = *kind;
        file.size = qint64(fo.value(QStringLiteral("size")).toDouble(-1));
        file.sha256 = fo.value(QStringLiteral("sha256")).toString();
        if (!fo.value(QStringLiteral("changes")).isArray())
            return bad(QStringLiteral("%1：缺少修改列表“changes”").arg(file.file));
        QSet<QString> keys;
        for (const QJsonValue& cv : fo.value(QStringLiteral("changes")).toArray()) {
            const QJsonObject co = cv.toObject();
            FieldChange ch;
            ch.part = co.value(QStringLiteral("part")).toString();
            const QJsonValue row = co.value(QStringLiteral("row"));
            ch.row = row.toInt(-2);
            ch.column = co.value(QStringLiteral("column")).toString();
            ch.where = co.value(QStringLiteral("where")).toString();
            ch.before = co.value(QStringLiteral("old"));
            ch.after = co.value(QStringLiteral("new"));
            if (!cv.isObject() || ch.part.isEmpty() || ch.column.isEmpty() || ch.row < -1 ||
                ch.before.isUndefined() || ch.after.isUndefined())
                return bad(QStringLiteral("%1：一条修改缺少 part、row、column、old 或 new")
                               .arg(file.file));
            if (ch.where.isEmpty())
                ch.where = QStringLiteral("%1 %2 %3").arg(ch.part).arg(ch.row).arg(ch.column);
            if (keys.contains(ch.key()))
                return bad(QStringLiteral("%1：%2 出现了两次").arg(file.file, ch.where));
            keys.insert(ch.key());
            file.changes.append(ch);
        }
        patch.files.append(file);
    }
    return patch;
}

Result<Patch> readPatchFile(const QString& path) {
    const auto bytes = files::readWhole(path);
    if (!bytes)
        return Result<Patch>::failure(bytes.error());
    return fromJson(*bytes);
}

// ---- make

Result<FilePatch> makeFilePatch(FileKind kind, const QString& fileName, const QByteArray& original,
                                const QByteArray& modded, QStringList& warnings) {
    using R = Result<FilePatch>;
    const auto a = readCells(kind, fileName, original);
    if (!a)
        return R::failure(QStringLiteral("%1（原版）：%2").arg(fileName, a.error()));
    const auto b = readCells(kind, fileName, modded);
    if (!b)
        return R::failure(QStringLiteral("%1（修改版）：%2").arg(fileName, b.error()));
    FilePatch file{fileName, kind, original.size(), sha256(original), {}};
    QHash<QString, const Cell*> before;
    for (const Cell& c : *a)
        before.insert(c.key(), &c);
    QSet<QString> seen;
    for (const Cell& c : *b) {
        seen.insert(c.key());
        const auto it = before.constFind(c.key());
        if (it == before.constEnd()) {
            // Only army entries can be appended in the editor.
            if (c.part != QStringLiteral("army") || c.row < 0) {
                warnings << QStringLiteral("%1 %2：只有修改版有这一栏，没有收入补丁")
                                .arg(fileName, c.where);
                continue;
            }
            file.changes.append({c.part, c.row, c.column, c.where, QJsonValue::Null, c.value});
        } else if ((*it)->value != c.value) {
            file.changes.append({c.part, c.row, c.column, c.where, (*it)->value, c.value});
        }
    }
    for (const Cell& c : *a)
        if (!seen.contains(c.key()))
            warnings << QStringLiteral("%1 %2：修改版没有这一栏，补丁不能删除它，没有收入补丁")
                            .arg(fileName, c.where);
    // What the patch does to the original must give the modded file; bytes no
    // window shows cannot travel in a patch.
    QList<Cell> values;
    for (const FieldChange& ch : file.changes)
        values.append({ch.part, ch.row, ch.column, ch.where, ch.after});
    const auto rebuilt = writeCells(kind, fileName, original, values);
    if (!rebuilt)
        warnings << QStringLiteral("%1：补丁用在原版上时被拒绝：%2").arg(fileName, rebuilt.error());
    else if (*rebuilt != modded)
        warnings << QStringLiteral("%1：还有编辑器不显示的字节不同，补丁不包含它们").arg(fileName);
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
            const QString other = findInFolder(modded, name);
            if (other.isEmpty()) {
                if (kindOfName(name))
                    warnings << QStringLiteral("%1：修改版的文件夹里没有这个文件").arg(name);
                continue;
            }
            pairs.append({QDir(original).filePath(name), other});
        }
        for (const QString& name : listing(modded))
            if (findInFolder(original, name).isEmpty())
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
        if (!a)
            return R::failure(a.error());
        const auto b = files::readWhole(pathB);
        if (!b)
            return R::failure(b.error());
        if (*a == *b)
            continue;
        const auto kind = kindOfName(name);
        if (!kind) {
            warnings << QStringLiteral("%1：不是编辑器认识的文件，没有收入补丁").arg(name);
            continue;
        }
        auto file = makeFilePatch(*kind, name, *a, *b, warnings);
        if (!file)
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
        for (const FieldChange& ch : file.changes)
            lines << QStringLiteral("  %1：%2 → %3")
                         .arg(ch.where,
                              ch.before.isNull() && !ch.after.isNull() ? QStringLiteral("（追加）")
                                                                       : shown(ch.before),
                              shown(ch.after));
    }
    return lines;
}

// ---- apply and revert

namespace {

struct Planned {
    FileOutcome outcome;
    QString name;
};

Result<Planned> planFile(const FilePatch& file, const QString& path, bool reverse, Settle settle,
                         QStringList& conflicts) {
    using R = Result<Planned>;
    Planned plan;
    plan.name = file.file;
    plan.outcome.path = path;
    const auto bytes = files::readWhole(path);
    if (!bytes)
        return R::failure(bytes.error());
    plan.outcome.before = *bytes;
    plan.outcome.original = bytes->size() == file.size && sha256(*bytes) == file.sha256;
    const QString name = QFileInfo(path).fileName();
    const auto cells = readCells(file.kind, name, *bytes);
    if (!cells)
        return R::failure(QStringLiteral("%1：%2").arg(file.file, cells.error()));
    QHash<QString, QJsonValue> current;
    for (const Cell& c : *cells)
        current.insert(c.key(), c.value);

    QList<FieldChange> changes = file.changes;
    if (reverse)
        for (FieldChange& ch : changes)
            std::swap(ch.before, ch.after);

    QList<Cell> takes;
    // A list's count first: the fields of the entries it appends follow it.
    QSet<QString> countTaken;
    const auto conflict = [&](const FieldChange& ch, const QString& now) {
        conflicts << QStringLiteral("%1 %2：补丁要求 %3 → %4，%5")
                         .arg(file.file, ch.where, shown(ch.before), shown(ch.after), now);
    };
    const QString missing = QStringLiteral("但文件里没有这一栏");
    for (int pass = 0; pass < 2; ++pass) {
        for (const FieldChange& ch : changes) {
            const bool isCount = ch.row < 0 && ch.column == countColumn;
            if ((pass == 0) != isCount)
                continue;
            const auto it = current.constFind(ch.key());
            if (it == current.constEnd()) {
                if (ch.before.isNull() && countTaken.contains(ch.part))
                    takes.append({ch.part, ch.row, ch.column, ch.where, ch.after});
                else if (settle == Settle::KeepMine)
                    ++plan.outcome.kept;
                else if (settle == Settle::Refuse)
                    conflict(ch, missing);
                else // the patch's value has nowhere to go: never report that as done
                    return R::failure(QStringLiteral("%1 %2：%3，无法采用补丁的值")
                                          .arg(file.file, ch.where, missing));
                continue;
            }
            if (*it == ch.after) {
                ++plan.outcome.already;
                continue;
            }
            const bool matches = *it == ch.before;
            if (!matches && settle == Settle::KeepMine) {
                ++plan.outcome.kept;
                continue;
            }
            if (!matches && settle == Settle::Refuse) {
                conflict(ch, QStringLiteral("现在是 ") + shown(*it));
                continue;
            }
            // The fields of entries a revert would take out go with them.
            if (ch.after.isNull() && !ch.before.isNull() && countTaken.contains(ch.part))
                continue;
            takes.append({ch.part, ch.row, ch.column, ch.where, ch.after});
            if (isCount)
                countTaken.insert(ch.part);
        }
    }
    plan.outcome.taken = int(takes.size());
    if (!conflicts.isEmpty() && settle == Settle::Refuse)
        return plan;
    const auto built = writeCells(file.kind, name, *bytes, takes);
    if (!built)
        return R::failure(QStringLiteral("%1 %2").arg(file.file, built.error()));
    plan.outcome.after = *built;
    // Read the new file back as the windows would show it: every taken field
    // holds its new value, and nothing else moved.
    const auto check = readCells(file.kind, name, *built);
    if (!check)
        return R::failure(
            QStringLiteral("%1：写好的文件读不回来：%2").arg(file.file, check.error()));
    QHash<QString, QJsonValue> wanted = current;
    for (const Cell& t : takes)
        wanted.insert(t.key(), t.value);
    for (const Cell& c : *check) {
        const auto it = wanted.constFind(c.key());
        if (it != wanted.constEnd() && *it != c.value)
            return R::failure(QStringLiteral("%1 %2：写入后显示为 %3，应是 %4")
                                  .arg(file.file, c.where, shown(c.value), shown(*it)));
    }
    return plan;
}

} // namespace

namespace {

// Puts a file written by a patch back as it was, trying twice; the failure of
// the last try, or nothing.
Failure putBack(const QString& path, const QByteArray& before) {
    if (!files::writeWhole(path, before))
        return std::nullopt;
    return files::writeWhole(path, before);
}

// Keeps `bytes`, a file's contents before the patch, in a new file beside it
// (NAME.补丁前-TIME), for a file that could not be put back: its .bak may be
// older than other edits or a game update. The new file's path, or empty.
QString keepBeside(const QString& path, const QByteArray& bytes) {
    const QString stem = path + QStringLiteral(".补丁前-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n < 100; ++n) {
        const QString kept = n == 1 ? stem : stem + QStringLiteral("-%1").arg(n);
        if (QFileInfo::exists(kept) || QFileInfo(kept).isSymLink())
            continue;
        if (files::writeWhole(kept, bytes))
            return {};
        return kept;
    }
    return {};
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
        const QString path = gi.isDir() ? findInFolder(game, file.file) : game;
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
    if (!lock)
        return R::failure(lock.error());
    ApplyOutcome outcome;
    for (qsizetype i = 0; i < patch.files.size(); ++i) {
        const FilePatch& file = patch.files[i];
        const QString& path = paths[i];
        auto plan = planFile(file, path, reverse, settle, outcome.conflicts);
        if (!plan)
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
        if (!now || *now != f.before)
            return R::failure(QStringLiteral("“%1”在读取之后被别的程序改过了，没有写入任何文件。")
                                  .arg(QFileInfo(f.path).fileName()));
    }
    QList<const FileOutcome*> written;
    for (const FileOutcome& f : outcome.files) {
        if (f.after == f.before)
            continue;
        if (auto failure = files::writeWhole(f.path, f.after)) {
            QStringList restored, lost;
            for (const FileOutcome* w : written) {
                if (!putBack(w->path, w->before)) {
                    restored << QFileInfo(w->path).fileName();
                    continue;
                }
                const QString kept = keepBeside(w->path, w->before);
                lost << (kept.isEmpty()
                             ? QStringLiteral("%1 无法恢复，补丁前的内容也没能另存；旁边的 "
                                              ".bak 是第一次写入它之前的样子，可能比其他修改或"
                                              "游戏更新更旧")
                                   .arg(QFileInfo(w->path).fileName())
                             : QStringLiteral("%1 无法恢复，补丁前的内容已另存为“%2”")
                                   .arg(QFileInfo(w->path).fileName(),
                                        QDir::toNativeSeparators(kept)));
            }
            QString message =
                QStringLiteral("写入“%1”出错：%2").arg(QFileInfo(f.path).fileName(), *failure);
            if (!restored.isEmpty())
                message += QStringLiteral("\n已写入的 %1 已恢复原样。").arg(restored.join(u'、'));
            for (const QString& l : lost)
                message += u'\n' + l + u'。';
            if (restored.isEmpty() && lost.isEmpty())
                message += QStringLiteral("\n没有写入任何文件。");
            return R::failure(message);
        }
        written.append(&f);
    }
    outcome.written = !written.isEmpty();
    return outcome;
}

} // namespace lcj::cli::patch
