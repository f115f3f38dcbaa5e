#include "regioncommands.h"

#include "common/fileaccess.h"
#include "common/nametables.h"
#include "csv.h"
#include "messages/messagefile.h"
#include "patcher/programfile.h"
#include "savefile/saveform.h"
#include "savefile/savelayout.h"
#include "scenario/rfile.h"
#include "tableadapter.h"

namespace lcj::cli {

namespace {

const QString numberHeader = QStringLiteral("序号");

// Reads cell `header` into `box` when present.
void take(const QHash<QString, QString>& cells, const QString& header, QString& box) {
    const auto it = cells.constFind(header);
    if (it != cells.constEnd())
        box = *it;
}

// ---- save games

using save::CharacterForm;

struct SaveBox {
    const char16_t* header;
    QString CharacterForm::*box;
};
// The boxes in the order of the window's grid; the level and experience boxes
// beside an equipment list are named after it.
const SaveBox saveBoxes[] = {
    {u"形象", &CharacterForm::figure},
    {u"头像", &CharacterForm::portrait},
    {u"攻击", &CharacterForm::attack},
    {u"防御", &CharacterForm::defence},
    {u"精神", &CharacterForm::spirit},
    {u"爆发", &CharacterForm::burst},
    {u"士气", &CharacterForm::morale},
    {u"HP值", &CharacterForm::hp},
    {u"MP值", &CharacterForm::mp},
    {u"武力", &CharacterForm::force},
    {u"统率", &CharacterForm::command},
    {u"智力", &CharacterForm::intelligence},
    {u"敏捷", &CharacterForm::agility},
    {u"运气", &CharacterForm::luck},
    {u"等级", &CharacterForm::level},
    {u"经验", &CharacterForm::experience},
    {u"出阵", &CharacterForm::sorties},
    {u"撤退", &CharacterForm::retreats},
    {u"武具等级", &CharacterForm::weaponLevel},
    {u"武具经验", &CharacterForm::weaponExperience},
    {u"防具等级", &CharacterForm::armourLevel},
    {u"防具经验", &CharacterForm::armourExperience},
};
struct SaveChoice {
    const char16_t* header;
    int CharacterForm::*entry;
};
const SaveChoice saveEquipment[] = {{u"武具", &CharacterForm::weapon},
                                    {u"防具", &CharacterForm::armour},
                                    {u"辅助", &CharacterForm::accessory}};

// An equipment choice as its stored number: an item 0..103, 255 for "无".
QString equipmentText(int entry) {
    return QString::number(entry == CharacterForm::noneEntry ? 255 : entry);
}

Failure chooseEquipment(const QString& header, const QString& cell, int& entry) {
    const auto v = parseChoice(header, cell);
    if (!v)
        return v.error();
    if (*v >= CharacterForm::noneEntry && *v != 255)
        return QStringLiteral("%1：请输入0到103之间的道具序号，或255表示无").arg(header);
    entry = *v == 255 ? CharacterForm::noneEntry : int(*v);
    return std::nullopt;
}

class SaveModel : public RegionModel {
public:
    save::SaveGame game;

    RowTable table(const QString& part) override {
        RowTable t;
        if (part == QStringLiteral("stock")) {
            t.title = QStringLiteral("道具");
            t.labelHeader = QStringLiteral("道具");
            t.headers = {QStringLiteral("数量")};
            t.rows = save::consumableCount;
            t.label = [](int r) { return names::consumables().value(r); };
            t.get = [this](int r) { return QStringList{game.showStock(r)}; };
            t.set = [this](int r, const QHash<QString, QString>& cells) -> Failure {
                save::SaveForm form{game.showLoyalty(), game.showCharacter(0), game.showStock(r)};
                take(cells, QStringLiteral("数量"), form.stock);
                return game.confirm(form, 0, r);
            };
            return t;
        }
        if (part == QStringLiteral("loyalty")) {
            t.title = QStringLiteral("忠奸度");
            t.headers = {QStringLiteral("忠奸度")};
            t.rows = 1;
            t.get = [this](int) { return QStringList{game.showLoyalty()}; };
            t.set = [this](int, const QHash<QString, QString>& cells) -> Failure {
                save::SaveForm form{game.showLoyalty(), game.showCharacter(0), game.showStock(0)};
                take(cells, QStringLiteral("忠奸度"), form.loyalty);
                return game.confirm(form, 0, 0);
            };
            return t;
        }
        t.title = QStringLiteral("人物");
        t.labelHeader = QStringLiteral("人物");
        for (const auto& b : saveBoxes)
            t.headers.append(QString::fromUtf16(b.header));
        for (const auto& c : saveEquipment)
            t.headers.append(QString::fromUtf16(c.header));
        t.headers << QStringLiteral("兵种") << QStringLiteral("强行加入我军");
        t.rows = save::characterCount;
        t.label = [](int r) { return names::characters().value(r); };
        t.get = [this](int r) {
            const CharacterForm f = game.showCharacter(r);
            QStringList out;
            for (const auto& b : saveBoxes)
                out.append(f.*b.box);
            for (const auto& c : saveEquipment)
                out.append(equipmentText(f.*c.entry));
            out << QString::number(f.troopType)
                << (f.joined ? QStringLiteral("1") : QStringLiteral("0"));
            return out;
        };
        t.set = [this](int r, const QHash<QString, QString>& cells) -> Failure {
            save::SaveForm form{game.showLoyalty(), game.showCharacter(r), game.showStock(0)};
            CharacterForm& f = form.character;
            for (const auto& b : saveBoxes)
                take(cells, QString::fromUtf16(b.header), f.*b.box);
            for (const auto& c : saveEquipment) {
                const QString header = QString::fromUtf16(c.header);
                const auto it = cells.constFind(header);
                if (it == cells.constEnd() || *it == equipmentText(f.*c.entry))
                    continue;
                if (auto failure = chooseEquipment(header, *it, f.*c.entry))
                    return failure;
            }
            if (const auto it = cells.constFind(QStringLiteral("兵种"));
                it != cells.constEnd() && *it != QString::number(f.troopType)) {
                const auto v = parseChoice(QStringLiteral("兵种"), *it);
                if (!v)
                    return v.error();
                f.troopType = int(*v);
            }
            if (const auto it = cells.constFind(QStringLiteral("强行加入我军"));
                it != cells.constEnd()) {
                const auto v = parseChoice(QStringLiteral("强行加入我军"), *it, 1);
                if (!v)
                    return v.error();
                f.joined = *v == 1;
            }
            return game.confirm(form, r, 0);
        };
        return t;
    }
    Failure save() override { return game.regions().write(); }
};

// ---- message files

const QStringList* imsgNames(const imsg::Category& c) {
    const QString entry = QString::fromUtf16(c.entry);
    if (entry == QStringLiteral("liezhuan"))
        return &names::characters();
    if (entry == QStringLiteral("wuping"))
        return &names::items();
    if (entry == QStringLiteral("binzhong"))
        return &names::troopTypes();
    if (entry == QStringLiteral("chelue"))
        return &names::strategies();
    return nullptr;
}

class ImsgModel : public RegionModel {
public:
    imsg::MessageFile file;
    // The slotTexts as read, and as the confirmed edits leave them, by category.
    std::array<QList<QByteArray>, imsg::categories.size()> read, slotTexts;

    Failure load(const QString& path) {
        file = imsg::MessageFile(path);
        if (auto failure = file.check())
            return QStringLiteral("文件打开出错\n\n") + *failure;
        for (std::size_t c = 0; c < imsg::categories.size(); ++c) {
            const auto s = file.readSlots(imsg::categories[c]);
            if (!s)
                return QStringLiteral("读取文件出错\n\n") + s.error();
            read[c] = slotTexts[c] = *s;
        }
        return std::nullopt;
    }

    RowTable table(const QString& part) override {
        std::size_t c = 0;
        while (c + 1 < imsg::categories.size() &&
               QString::fromUtf16(imsg::categories[c].entry) != part)
            ++c;
        const imsg::Category& category = imsg::categories[c];
        RowTable t;
        t.title = QString::fromUtf16(category.caption);
        t.headers = {QString::fromUtf16(category.caption)};
        t.rows = category.count;
        if (const QStringList* names = imsgNames(category)) {
            t.labelHeader = QStringLiteral("名称");
            t.label = [names](int r) { return names->value(r); };
        } else if (category.mode == imsg::Mode::Critical) {
            t.labelHeader = QStringLiteral("致命一击台词类型对应值");
            t.label = [](int r) { return imsg::criticalTypeText(r); };
        } else if (category.mode == imsg::Mode::Battle) {
            t.labelHeader = QStringLiteral("战斗");
            t.label = [](int r) { return imsg::battleNumberText(r); };
        }
        t.get = [this, c](int r) { return QStringList{imsg::decodeSlot(slotTexts[c][r])}; };
        t.set = [this, c, header = t.headers[0]](int r,
                                                 const QHash<QString, QString>& cells) -> Failure {
            const auto it = cells.constFind(header);
            if (it == cells.constEnd())
                return std::nullopt;
            const auto slot = imsg::encodeSlot(*it, slotTexts[c][r]);
            if (!slot)
                return QStringLiteral("文本：") + slot.error();
            slotTexts[c][r] = *slot;
            return std::nullopt;
        };
        return t;
    }
    Failure save() override {
        // Each changed slot is written in place, as "确定" writes it; all of
        // them in one replace of the file.
        QList<files::Patch> changed;
        for (std::size_t c = 0; c < imsg::categories.size(); ++c)
            for (int r = 0; r < slotTexts[c].size(); ++r)
                if (slotTexts[c][r] != read[c][r])
                    changed.append({imsg::categories[c].slotOffset(r), slotTexts[c][r]});
        if (changed.isEmpty())
            return std::nullopt;
        if (auto failure = file.writeSlots(changed))
            return QStringLiteral("保存出错\n\n") + *failure;
        read = slotTexts;
        return std::nullopt;
    }
};

// ---- the program file

class ExeModel : public RegionModel {
public:
    exe::ProgramFile file;

    RowTable table(const QString& part) override {
        RowTable t;
        if (part == QStringLiteral("switch")) {
            t.title = QStringLiteral("开关");
            t.headers = {QStringLiteral("敌军小兵自动升级兵种")};
            t.rows = 1;
            t.get = [this](int) {
                return QStringList{file.switchOn() ? QStringLiteral("1") : QStringLiteral("0")};
            };
            t.set = [this, h = t.headers[0]](int, const QHash<QString, QString>& cells) -> Failure {
                const auto it = cells.constFind(h);
                if (it == cells.constEnd())
                    return std::nullopt;
                const auto v = parseChoice(h, *it, 1);
                if (!v)
                    return v.error();
                return file.confirm(0, file.figure(0), *v == 1);
            };
            return t;
        }
        t.title = QStringLiteral("人物");
        t.labelHeader = QStringLiteral("人物");
        t.headers = {QStringLiteral("形象")};
        t.rows = exe::characterCount;
        t.label = [](int r) { return names::characters().value(r); };
        t.get = [this](int r) { return QStringList{QString::number(file.figure(r))}; };
        t.set = [this](int r, const QHash<QString, QString>& cells) -> Failure {
            const auto it = cells.constFind(QStringLiteral("形象"));
            if (it == cells.constEnd() || *it == QString::number(file.figure(r)))
                return std::nullopt;
            const auto v = parseChoice(QStringLiteral("形象"), *it, exe::figureCount - 1);
            if (!v)
                return v.error();
            return file.confirm(r, int(*v), file.switchOn());
        };
        return t;
    }
    Failure save() override { return file.regions().write(); }
};

// ---- a scenario's R file

class RFileModel : public RegionModel {
public:
    scenario::RFile file;
    scenario::RLimitsForm form;

    static QStringList headers() {
        QStringList h{QStringLiteral("本关出场人数")};
        for (int k = 1; k <= 5; ++k)
            h << QStringLiteral("强制出场人员%1").arg(k);
        for (int k = 1; k <= 5; ++k)
            h << QStringLiteral("限制出场人员%1").arg(k);
        return h;
    }
    RowTable table(const QString&) override {
        RowTable t;
        t.title = QStringLiteral("出场人物数");
        t.headers = headers();
        t.rows = 1;
        t.get = [this](int) {
            QStringList out{form.deployCount};
            for (const QString& v : form.forced)
                out << v;
            for (const QString& v : form.restricted)
                out << v;
            return out;
        };
        t.set = [this, h = t.headers](int, const QHash<QString, QString>& cells) -> Failure {
            scenario::RLimitsForm next = form;
            take(cells, h[0], next.deployCount);
            for (int k = 0; k < 5; ++k) {
                take(cells, h[1 + k], next.forced[k]);
                take(cells, h[6 + k], next.restricted[k]);
            }
            // Checked by the form before "R文件保存" writes anything.
            QByteArray record =
                file.rFileBytes().mid(file.rLimitPos(), scenario::RFile::recordSize);
            if (auto failure = next.apply(record))
                return failure;
            form = next;
            return std::nullopt;
        };
        return t;
    }
    Failure save() override { return file.save(form); }
};

const std::vector<std::pair<RegionKind, QStringList>>& partsOf() {
    static const std::vector<std::pair<RegionKind, QStringList>> parts = [] {
        QStringList imsgParts;
        for (const auto& c : imsg::categories)
            imsgParts << QString::fromUtf16(c.entry);
        return std::vector<std::pair<RegionKind, QStringList>>{
            {RegionKind::Save,
             {QStringLiteral("characters"), QStringLiteral("stock"), QStringLiteral("loyalty")}},
            {RegionKind::Imsg, imsgParts},
            {RegionKind::Exe, {QStringLiteral("figures"), QStringLiteral("switch")}},
            {RegionKind::RFile, {QStringLiteral("limits")}}};
    }();
    return parts;
}

} // namespace

QStringList regionParts(RegionKind kind) {
    for (const auto& [k, parts] : partsOf())
        if (k == kind)
            return parts;
    return {};
}

Result<std::unique_ptr<RegionModel>> loadRegionModel(RegionKind kind, const QString& path) {
    using R = Result<std::unique_ptr<RegionModel>>;
    switch (kind) {
    case RegionKind::Save: {
        auto m = std::make_unique<SaveModel>();
        if (auto failure = m->game.regions().read(path))
            return R::failure(QStringLiteral("文件打开出错\n\n") + *failure);
        return R(std::move(m));
    }
    case RegionKind::Imsg: {
        auto m = std::make_unique<ImsgModel>();
        if (auto failure = m->load(path))
            return R::failure(*failure);
        return R(std::move(m));
    }
    case RegionKind::Exe: {
        auto m = std::make_unique<ExeModel>();
        if (auto failure = m->file.regions().read(path))
            return R::failure(QStringLiteral("文件打开出错\n\n") + *failure);
        return R(std::move(m));
    }
    case RegionKind::RFile: {
        auto file = scenario::RFile::read(path);
        if (!file)
            return R::failure(file.error());
        auto m = std::make_unique<RFileModel>();
        m->file = std::move(*file);
        m->form = m->file.show();
        return R(std::move(m));
    }
    }
    return R::failure(QStringLiteral("未知的文件种类"));
}

RowTable regionShape(RegionKind kind, const QString& part) {
    std::unique_ptr<RegionModel> model;
    switch (kind) {
    case RegionKind::Save:
        model = std::make_unique<SaveModel>();
        break;
    case RegionKind::Imsg:
        model = std::make_unique<ImsgModel>();
        break;
    case RegionKind::Exe:
        model = std::make_unique<ExeModel>();
        break;
    case RegionKind::RFile:
        model = std::make_unique<RFileModel>();
        break;
    }
    RowTable t = model->table(part);
    t.label = {};
    t.get = {};
    t.set = {};
    return t;
}

QString exportRows(const RowTable& table) {
    return csv::writeNumbered({table.headers, table.labelHeader, table.rows}, table.get,
                              table.label);
}

Result<RowImportOutcome> importRows(RegionModel& model, const QString& part, const QString& csvText,
                                    bool dryRun) {
    using R = Result<RowImportOutcome>;
    const RowTable table = model.table(part);
    RowImportOutcome outcome;
    const auto rows = csv::readNumbered(csvText, {table.headers, table.labelHeader, table.rows},
                                        outcome.problems);
    if (!rows)
        return R::failure(rows.error());
    for (const csv::NumberedRow& row : *rows) {
        const QStringList shown = table.get(row.number);
        QHash<QString, QString> cells;
        // Only the cells that differ from what the row shows are typed in.
        for (auto cell = row.cells.cbegin(); cell != row.cells.cend(); ++cell)
            if (cell.value() != shown[table.headers.indexOf(cell.key())])
                cells.insert(cell.key(), cell.value());
        if (cells.isEmpty())
            continue;
        if (auto failure = table.set(row.number, cells)) {
            outcome.problems.append(
                QStringLiteral("%1（序号%2）：%3").arg(row.where).arg(row.number).arg(*failure));
            continue;
        }
        if (table.get(row.number) != shown)
            ++outcome.changedRows;
    }
    if (!outcome.problems.isEmpty() || dryRun || outcome.changedRows == 0)
        return outcome;
    if (auto failure = model.save())
        return R::failure(*failure);
    return outcome;
}

Result<QStringList> diffRegions(RegionKind kind, const QString& pathA, const QString& pathB) {
    using R = Result<QStringList>;
    auto a = loadRegionModel(kind, pathA);
    if (!a)
        return R::failure(a.error());
    auto b = loadRegionModel(kind, pathB);
    if (!b)
        return R::failure(b.error());
    QStringList lines;
    for (const QString& part : regionParts(kind)) {
        const RowTable ta = (*a)->table(part), tb = (*b)->table(part);
        for (int r = 0; r < ta.rows; ++r) {
            const QStringList ca = ta.get(r), cb = tb.get(r);
            for (qsizetype c = 0; c < ca.size(); ++c) {
                if (ca[c] == cb[c])
                    continue;
                const QString prefix =
                    ta.rows == 1 ? ta.title : QStringLiteral("%1 %2").arg(ta.title).arg(r);
                const QString field = ta.headers[c] == ta.title ? QString() : u' ' + ta.headers[c];
                lines.append(QStringLiteral("%1%2: %3 → %4").arg(prefix, field, ca[c], cb[c]));
            }
        }
    }
    return lines;
}

} // namespace lcj::cli
