#include "scenariocommands.h"

#include "changes/jsontext.h"
#include "changes/scenariochanges.h"
#include "common/fileaccess.h"
#include "common/writelock.h"
#include "datafile/datafile.h"
#include "fields/scenarioedits.h"
#include "fields/scenarioview.h"
#include "scenario/savebuilder.h"
#include "scenario/scenariodocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace lcj::cli {

using namespace lcj::scenario;

namespace {

const QStringList& battleKeys = fields::battleKeys();
const QStringList& slotKeys = fields::slotKeys();
const QStringList& armyKeys = fields::armyKeys();
const QStringList& equipKeys = fields::equipKeys();

QJsonObject view(const ScenarioDocument& doc, const QStringList* people) {
    return fields::scenarioView(doc, people);
}

void appendObject(QString& out, const QJsonObject& o, const QStringList& keys) {
    out += u'{';
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (i > 0)
            out += QLatin1StringView(", ");
        changes::json::appendMember(out, keys[i], o.value(keys[i]));
    }
    out += u'}';
}

void appendArray(QString& out, const QJsonArray& a, const QStringList& keys) {
    if (a.isEmpty()) {
        out += QLatin1StringView("[]");
        return;
    }
    out += QLatin1StringView("[\n");
    for (qsizetype i = 0; i < a.size(); ++i) {
        out += QLatin1StringView(i > 0 ? ",\n    " : "    ");
        if (keys.isEmpty())
            changes::json::appendValue(out, a[i]);
        else
            appendObject(out, a[i].toObject(), keys);
    }
    out += QLatin1StringView("\n  ]");
}

// Written by hand so that the keys keep the order the editor shows them in; appended to one
// text, as a folder of scenarios shows thousands of values.
QString viewText(const QJsonObject& v) {
    QString out;
    out.reserve(16384);
    out += QLatin1StringView("{\n  \"battle\": ");
    const QJsonValue battle = v.value(QLatin1StringView("battle"));
    if (battle.isObject())
        appendObject(out, battle.toObject(), battleKeys);
    else
        out += QLatin1StringView("null");
    static const QStringList plain; // values, not objects
    const struct {
        const char* name;
        const QStringList& keys;
    } arrays[] = {{"allies", slotKeys},     {"enemies", slotKeys}, {"army", armyKeys},
                  {"equipment", equipKeys}, {"spoils", plain},     {"problems", plain}};
    for (const auto& [name, keys] : arrays) {
        out += QLatin1StringView(",\n  \"");
        out += QLatin1StringView(name);
        out += QLatin1StringView("\": ");
        appendArray(out, v.value(QLatin1StringView(name)).toArray(), keys);
    }
    out += QLatin1StringView("\n}\n");
    return out;
}

Result<ScenarioDocument> load(const QString& path) {
    auto bytes = files::readWhole(path);
    if (!bytes.ok())
        return Result<ScenarioDocument>::failure(QStringLiteral("读取剧本文件出错\n") +
                                                 bytes.error());
    return ScenarioDocument::scan(std::move(*bytes));
}

} // namespace

Result<QStringList> readPeople(const QString& dataPath) {
    const auto names = data::DataFile(dataPath).readNames(data::characters);
    if (!names.ok())
        return Result<QStringList>::failure(QStringLiteral("文件打开出错\n") + names.error());
    return names;
}

Result<QString> showScenario(const QString& path, const QStringList* people) {
    const auto doc = load(path);
    if (!doc.ok())
        return Result<QString>::failure(doc.error());
    return viewText(view(*doc, people));
}

Result<QString> showScenario(const QString& path, const QString& dataPath) {
    if (dataPath.isEmpty())
        return showScenario(path, nullptr);
    const auto people = readPeople(dataPath);
    if (!people.ok())
        return Result<QString>::failure(people.error());
    return showScenario(path, &*people);
}

Result<QJsonObject> parseEdits(const QByteArray& editsJson) {
    using R = Result<QJsonObject>;
    QJsonParseError error;
    const QJsonDocument edits = QJsonDocument::fromJson(editsJson, &error);
    if (error.error != QJsonParseError::NoError || !edits.isObject())
        return R::failure(QStringLiteral("修改文件不是一个JSON对象：%1（位置%2）")
                              .arg(error.errorString())
                              .arg(error.offset));
    // QJsonDocument keeps one of two equal keys and drops the other edit unseen.
    if (const auto twice = changes::json::firstDuplicateKey(QString::fromUtf8(editsJson)))
        return R::failure(
            QStringLiteral("修改文件中“%1”出现了不止一次%2\n没有写入任何内容。")
                .arg(twice->key, twice->path.isEmpty()
                                     ? QString()
                                     : QStringLiteral("（在“%1”中）").arg(twice->path.join(u'/'))));
    return edits.object();
}

Result<PreparedEdit> prepareEdit(const QString& path, const QJsonObject& edits) {
    using R = Result<PreparedEdit>;
    auto doc = load(path);
    if (!doc.ok())
        return R::failure(doc.error());
    PreparedEdit prepared;
    prepared.problems = doc->problems();
    if (auto failure = fields::applyScenarioEdits(*doc, edits, prepared.confirmed); !failure.ok())
        return R::failure(failure.error() + QStringLiteral("\n没有写入任何内容。"));
    // "保存剧本文件": build the whole file; it is written by saveEdit.
    auto built = buildSave(*doc);
    if (!built.ok())
        return R::failure(QStringLiteral("保存剧本文件出错\n") + built.error());
    prepared.bytes = std::move(built->bytes);
    return prepared;
}

Result<bool> saveEdit(const PreparedEdit& prepared, const QString& target) {
    using R = Result<bool>;
    const auto existing = files::readWhole(target);
    if (existing.ok() && *existing == prepared.bytes)
        return false;
    if (auto failure = files::writeWhole(target, prepared.bytes); !failure.ok())
        return R::failure(QStringLiteral("保存剧本文件出错\n") + failure.error());
    const auto reread = files::readWholeAgain(target, prepared.bytes);
    if (!reread.ok() || *reread != prepared.bytes)
        return R::failure(QStringLiteral("保存剧本文件出错\n文件已写入，但读回时出错：") +
                          (reread.ok() ? QStringLiteral("内容与写入的不同") : reread.error()));
    return true;
}

Result<ScenarioEditOutcome> editScenario(const QString& path, const QByteArray& editsJson,
                                         const QString& outPath) {
    using R = Result<ScenarioEditOutcome>;
    const auto edits = parseEdits(editsJson);
    if (!edits.ok())
        return R::failure(edits.error());
    // Read, edited and written under the lock of the file it goes to.
    const QString target = outPath.isEmpty() ? path : outPath;
    const auto lock = files::WriteLock::take(target);
    if (!lock.ok())
        return R::failure(lock.error());
    const auto prepared = prepareEdit(path, *edits);
    if (!prepared.ok())
        return R::failure(prepared.error());
    ScenarioEditOutcome outcome{prepared->confirmed, prepared->problems, false};
    const auto written = saveEdit(*prepared, target);
    if (!written.ok())
        return R::failure(written.error());
    outcome.written = *written;
    return outcome;
}

Result<QStringList> diffScenario(const QString& pathA, const QString& pathB) {
    using R = Result<QStringList>;
    const auto a = load(pathA);
    if (!a.ok())
        return R::failure(a.error());
    const auto b = load(pathB);
    if (!b.ok())
        return R::failure(b.error());
    QStringList lines;
    for (const changes::Change& change : changes::compareScenarios(*a, *b))
        if (const QString line = changes::diffLine(change); !line.isEmpty())
            lines.append(line);
    return lines;
}

} // namespace lcj::cli
