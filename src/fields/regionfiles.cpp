#include "common/nametables.h"
#include "common/recordfields.h"
#include "datafile/datalayout.h"
#include "fieldfiles.h"
#include "messages/messagefile.h"
#include "programfile/programfile.h"
#include "savefile/saveform.h"
#include "savefile/savelayout.h"
#include "scenario/rfile.h"

#include <functional>

// The region editors' files: the save game, the message file, the program
// file and a scenario's R file. Every row is what the window shows after
// selecting it, and every write goes through the window's own "确定" on the
// core model.
namespace lcj::fields {

namespace {

using TypedCells = QHash<QString, QString>;

// A part of a region file as functions over its model.
struct RowShape {
    QString part;
    QString title;       // how the windows name a row: "人物 5 武力"
    QString labelHeader; // a read-only name column after 序号, or empty
    QStringList headers; // the editable columns
    int rows = 0;
    std::function<QString(int)> label;
    std::function<QStringList(int)> get;
    // Applies the cells of row r (through the window's confirm); on a refusal
    // nothing of the row changes. What is stored other than typed goes to the
    // Roundings, where given.
    std::function<Failure(int, const TypedCells&, Roundings*)> set;
    // The window's "确定" on row r as shown, where set() would skip a row
    // whose cells all stay; empty: set() with every cell as shown.
    std::function<Failure(int)> confirm;
};

class RowFieldTable : public FieldTable {
public:
    explicit RowFieldTable(RowShape shape) : shape_(std::move(shape)) {
        for (const QString& h : shape_.headers)
            columns_.append({h, h, false, false});
    }
    QString part() const override { return shape_.part; }
    QString title() const override { return shape_.title; }
    const QList<Column>& columns() const override { return columns_; }
    int rowCount() const override { return shape_.rows; }
    QString labelHeader() const override { return shape_.labelHeader; }
    QString label(int row) const override { return shape_.label ? shape_.label(row) : QString(); }
    QString rowName(int row) const override {
        return shape_.rows == 1 ? shape_.title : QStringLiteral("%1 %2").arg(shape_.title).arg(row);
    }
    QString read(int row, int column) const override { return shape_.get(row).value(column); }
    QStringList readRow(int row) const override { return shape_.get(row); }
    Failure write(int row, const Cells& cells, Roundings* rounded = nullptr) override {
        TypedCells typed;
        for (auto it = cells.cbegin(); it != cells.cend(); ++it)
            if (columnOf(it.key()) >= 0)
                typed.insert(it.key(), boxText(it.value()));
        return shape_.set(row, typed, rounded);
    }
    Failure confirm(int row) override {
        return shape_.confirm ? shape_.confirm(row) : FieldTable::confirm(row);
    }

private:
    RowShape shape_;
    QList<Column> columns_;
};

// Reads cell `header` into `box` when present.
void take(const TypedCells& cells, const QString& header, QString& box) {
    const auto it = cells.constFind(header);
    if (it != cells.constEnd())
        box = *it;
}

// The file with the regions of `set` in place of its own bytes.
QByteArray withRegions(QByteArray bytes, const RegionSet& set) {
    for (std::size_t i = 0; i < set.layout().size(); ++i)
        bytes.replace(set.layout()[i].offset, set.layout()[i].length, set.bytes(i));
    return bytes;
}

// Every region of `set`, as its "保存" writes them.
QList<files::Patch> regionPatches(const RegionSet& set) {
    QList<files::Patch> out;
    for (std::size_t i = 0; i < set.layout().size(); ++i)
        out.append({set.layout()[i].offset, set.bytes(i)});
    return out;
}

// ---- save games

using save::CharacterForm;
using save::SaveForm;

// The stored record of character r.
QByteArrayView characterRecord(const save::SaveGame& game, int r) {
    return QByteArrayView(game.regions().bytes(save::Characters))
        .sliced(qsizetype(r) * save::recordSize, save::recordSize);
}

RowShape saveStock(save::SaveGame& game) {
    RowShape t;
    t.part = QStringLiteral("stock");
    t.title = QStringLiteral("道具");
    t.labelHeader = QStringLiteral("道具");
    t.headers = {fieldCaption(&SaveForm::stock)};
    t.rows = save::consumableCount;
    t.label = [](int r) { return names::consumables().value(r); };
    t.get = [&game](int r) { return QStringList{game.showStock(r)}; };
    t.set = [&game](int r, const TypedCells& cells, Roundings*) -> Failure {
        save::SaveForm form{game.showLoyalty(), game.showCharacter(0), game.showStock(r)};
        take(cells, fieldCaption(&SaveForm::stock), form.stock);
        return game.confirm(form, 0, r);
    };
    return t;
}

RowShape saveLoyalty(save::SaveGame& game) {
    RowShape t;
    t.part = QStringLiteral("loyalty");
    t.title = QStringLiteral("忠奸度");
    t.headers = {fieldCaption(&SaveForm::loyalty)};
    t.rows = 1;
    t.get = [&game](int) { return QStringList{game.showLoyalty()}; };
    t.set = [&game](int, const TypedCells& cells, Roundings*) -> Failure {
        save::SaveForm form{game.showLoyalty(), game.showCharacter(0), game.showStock(0)};
        take(cells, fieldCaption(&SaveForm::loyalty), form.loyalty);
        return game.confirm(form, 0, 0);
    };
    return t;
}

RowShape saveCharacters(save::SaveGame& game) {
    RowShape t;
    t.part = QStringLiteral("characters");
    t.title = QStringLiteral("人物");
    t.labelHeader = QStringLiteral("人物");
    for (const auto& f : CharacterForm::fields())
        t.headers.append(f.caption);
    t.rows = save::characterCount;
    t.label = [](int r) { return names::characters().value(r); };
    t.get = [&game](int r) {
        const CharacterForm form = game.showCharacter(r);
        QStringList out;
        for (const auto& f : CharacterForm::fields())
            out.append(f.show(form, characterRecord(game, r)));
        return out;
    };
    t.set = [&game](int r, const TypedCells& cells, Roundings* rounded) -> Failure {
        SaveForm form{game.showLoyalty(), game.showCharacter(r), game.showStock(0)};
        for (const auto& f : CharacterForm::fields()) {
            const auto it = cells.constFind(f.caption);
            if (it == cells.constEnd() || *it == f.show(form.character, characterRecord(game, r)))
                continue;
            if (auto failure = f.take(form.character, *it); !failure.ok())
                return failure;
        }
        return game.confirm(form, r, 0, rounded);
    };
    return t;
}

class SaveFieldFile : public FieldFile {
public:
    SaveFieldFile(const QByteArray& bytes) : bytes_(bytes) { tables_ = saveTables(game); }
    FileKind kind() const override { return FileKind::Save; }
    QByteArray bytes() const override { return withRegions(bytes_, game.regions()); }
    QList<files::Patch> savedRegions() const override { return regionPatches(game.regions()); }

    save::SaveGame game;

private:
    QByteArray bytes_;
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

RowShape imsgCategory(RegionSet& texts, int c) {
    const imsg::Category& category = imsg::categories[c];
    RowShape t;
    t.part = QString::fromUtf16(category.entry);
    t.title = QString::fromUtf16(category.caption);
    t.headers = {QString::fromUtf16(category.caption)};
    t.rows = category.count;
    if (const QStringList* names = imsgNames(category)) {
        t.labelHeader = QStringLiteral("名称");
        t.label = [names](int r) { return names->value(r); };
    } else if (category.mode == imsg::Mode::Critical) {
        t.labelHeader = imsg::criticalTypeCaption();
        t.label = [](int r) { return imsg::criticalTypeText(r); };
    } else if (category.mode == imsg::Mode::Battle) {
        t.labelHeader = QStringLiteral("战斗");
        t.label = [](int r) { return imsg::battleNumberText(r); };
    }
    t.get = [&texts, c](int r) { return QStringList{imsg::decodeSlot(imsg::slotIn(texts, c, r))}; };
    t.set = [&texts, c, header = t.headers[0]](int r, const TypedCells& cells,
                                               Roundings*) -> Failure {
        const auto it = cells.constFind(header);
        if (it == cells.constEnd())
            return {};
        const auto slot = imsg::encodeSlot(*it, imsg::slotIn(texts, c, r));
        if (!slot.ok())
            return Failure(QStringLiteral("文本：") + slot.error(), header);
        imsg::setSlotIn(texts, c, r, *slot);
        return {};
    };
    return t;
}

class ImsgFieldFile : public FieldFile {
public:
    explicit ImsgFieldFile(const QByteArray& bytes) : bytes_(bytes), slots_(imsg::tableLayout()) {
        for (std::size_t i = 0; i < slots_.layout().size(); ++i)
            slots_.bytes(i) = bytes.mid(slots_.layout()[i].offset, slots_.layout()[i].length);
        tables_ = imsgTables(slots_);
    }
    FileKind kind() const override { return FileKind::Imsg; }
    QByteArray bytes() const override {
        QByteArray out = bytes_;
        for (const files::Patch& p : savedRegions())
            out.replace(p.pos, p.bytes.size(), p.bytes);
        return out;
    }
    // Each changed slot is written in place, as "保存" writes it.
    QList<files::Patch> savedRegions() const override {
        QList<files::Patch> changed;
        for (std::size_t c = 0; c < imsg::categories.size(); ++c)
            for (int r = 0; r < imsg::categories[c].count; ++r) {
                const qint64 at = imsg::categories[c].slotOffset(r);
                const QByteArray slot = imsg::slotIn(slots_, int(c), r);
                if (slot != bytes_.mid(at, imsg::slotSize))
                    changed.append({at, slot});
            }
        return changed;
    }

private:
    QByteArray bytes_;
    // The texts as the confirmed edits leave them, one region per category.
    RegionSet slots_;
};

// ---- the program file

RowShape exeSwitch(exe::ProgramFile& file) {
    RowShape t;
    t.part = QStringLiteral("switch");
    t.title = QStringLiteral("开关");
    t.headers = {exe::switchCaption()};
    t.rows = 1;
    t.get = [&file](int) {
        return QStringList{file.switchOn() ? QStringLiteral("1") : QStringLiteral("0")};
    };
    t.set = [&file](int, const TypedCells& cells, Roundings*) -> Failure {
        const auto it = cells.constFind(exe::switchCaption());
        if (it == cells.constEnd())
            return {};
        const auto on = exe::parseSwitch(*it);
        if (!on.ok())
            return on.error();
        return file.confirm(0, file.figure(0), *on);
    };
    return t;
}

RowShape exeFigures(exe::ProgramFile& file) {
    RowShape t;
    t.part = QStringLiteral("figures");
    t.title = QStringLiteral("人物");
    t.labelHeader = QStringLiteral("人物");
    t.headers = {exe::figureCaption()};
    t.rows = exe::characterCount;
    t.label = [](int r) { return names::characters().value(r); };
    t.get = [&file](int r) { return QStringList{QString::number(file.figure(r))}; };
    t.set = [&file](int r, const TypedCells& cells, Roundings*) -> Failure {
        const auto it = cells.constFind(exe::figureCaption());
        if (it == cells.constEnd() || *it == QString::number(file.figure(r)))
            return {};
        const auto figure = exe::parseFigure(*it);
        if (!figure.ok())
            return figure.error();
        return file.confirm(r, *figure, file.switchOn());
    };
    t.confirm = [&file](int r) { return file.confirm(r, file.figure(r), file.switchOn()); };
    return t;
}

class ExeFieldFile : public FieldFile {
public:
    explicit ExeFieldFile(const QByteArray& bytes) : bytes_(bytes) { tables_ = exeTables(file); }
    FileKind kind() const override { return FileKind::Exe; }
    QByteArray bytes() const override { return withRegions(bytes_, file.regions()); }
    QList<files::Patch> savedRegions() const override { return regionPatches(file.regions()); }

    exe::ProgramFile file;

private:
    QByteArray bytes_;
};

// ---- a scenario's R file

class RFieldFile : public FieldFile {
public:
    RFieldFile(scenario::RFile rFile) : file(std::move(rFile)), form(file.show()) {
        tables_.push_back(std::make_unique<RowFieldTable>(limits()));
    }
    FileKind kind() const override { return FileKind::RFile; }
    // The whole file, as "R文件保存" writes it.
    QByteArray bytes() const override {
        QByteArray bytes = file.rFileBytes();
        QByteArray record = bytes.mid(file.rLimitPos(), scenario::RFile::recordSize);
        if (!form.apply(record).ok())
            return bytes;
        return bytes.replace(file.rLimitPos(), scenario::RFile::recordSize, record);
    }

private:
    RowShape limits() {
        RowShape t;
        t.part = QStringLiteral("limits");
        t.title = QStringLiteral("出场人物数");
        for (const auto& f : scenario::RLimitsForm::fields())
            t.headers.append(f.caption);
        t.rows = 1;
        t.get = [this](int) {
            QStringList out;
            for (const auto& f : scenario::RLimitsForm::fields())
                out << f.show(form, {});
            return out;
        };
        t.set = [this](int, const TypedCells& cells, Roundings*) -> Failure {
            scenario::RLimitsForm next = form;
            for (const auto& f : scenario::RLimitsForm::fields())
                if (const auto it = cells.constFind(f.caption); it != cells.constEnd())
                    if (auto failure = f.take(next, *it); !failure.ok())
                        return failure;
            // Checked by the form before "R文件保存" writes anything.
            QByteArray record =
                file.rFileBytes().mid(file.rLimitPos(), scenario::RFile::recordSize);
            if (auto failure = next.apply(record); !failure.ok())
                return failure;
            form = next;
            return {};
        };
        return t;
    }

    scenario::RFile file;
    scenario::RLimitsForm form;
};

} // namespace

Tables saveTables(save::SaveGame& game) {
    Tables tables;
    tables.push_back(std::make_unique<RowFieldTable>(saveCharacters(game)));
    tables.push_back(std::make_unique<RowFieldTable>(saveStock(game)));
    tables.push_back(std::make_unique<RowFieldTable>(saveLoyalty(game)));
    return tables;
}

Tables imsgTables(RegionSet& texts) {
    Q_ASSERT(texts.layout().size() == imsg::categories.size());
    Tables tables;
    for (int c = 0; c < int(imsg::categories.size()); ++c)
        tables.push_back(std::make_unique<RowFieldTable>(imsgCategory(texts, c)));
    return tables;
}

Tables exeTables(exe::ProgramFile& file) {
    Tables tables;
    tables.push_back(std::make_unique<RowFieldTable>(exeFigures(file)));
    tables.push_back(std::make_unique<RowFieldTable>(exeSwitch(file)));
    return tables;
}

int changedRows(const Tables& now, const Tables& before) {
    int changed = 0;
    for (std::size_t t = 0; t < std::min(now.size(), before.size()); ++t)
        for (int r = 0; r < now[t]->rowCount(); ++r)
            changed += now[t]->readRow(r) != before[t]->readRow(r);
    return changed;
}

Opened openSave(const QString& name, const QByteArray& bytes) {
    auto file = std::make_unique<SaveFieldFile>(bytes);
    if (auto failure = file->game.regions().take(name, bytes); !failure.ok())
        return Opened::failure(QStringLiteral("文件打开出错\n\n") + failure.error());
    return Opened(std::move(file));
}

Opened openImsg(const QByteArray& bytes) {
    if (bytes.size() < imsg::minimumFileSize)
        return Opened::failure(QStringLiteral("文件打开出错\n\n") +
                               QStringLiteral("文件太短：Imsg文件至少有%1字节，这个文件只有%2字节")
                                   .arg(imsg::minimumFileSize)
                                   .arg(bytes.size()));
    return Opened(std::make_unique<ImsgFieldFile>(bytes));
}

Opened openExe(const QString& name, const QByteArray& bytes) {
    auto file = std::make_unique<ExeFieldFile>(bytes);
    if (auto failure = file->file.regions().take(name, bytes); !failure.ok())
        return Opened::failure(QStringLiteral("文件打开出错\n\n") + failure.error());
    return Opened(std::move(file));
}

Opened openRFile(const QString& name, const QByteArray& bytes) {
    auto file = scenario::RFile::fromBytes(name, bytes);
    if (!file.ok())
        return Opened::failure(file.error());
    return Opened(std::make_unique<RFieldFile>(std::move(*file)));
}

QByteArray blankBytes(FileKind kind) {
    switch (kind) {
    case FileKind::Data:
        return QByteArray(data::minimumFileSize, '\0');
    case FileKind::Save:
        return QByteArray(save::characterRegion.end(), '\0');
    case FileKind::Imsg:
        return QByteArray(imsg::minimumFileSize, '\0');
    case FileKind::Exe: {
        const RegionSet set = exe::ProgramFile().regions();
        qint64 end = 0;
        for (const Region& r : set.layout())
            end = std::max(end, r.end());
        return QByteArray(end, '\0');
    }
    case FileKind::RFile: {
        QByteArray bytes(scenario::RFile::recordSize, '\0');
        bytes.replace(0, 5, QByteArray("\x2E\x00\x01\x00\x04", 5));
        return bytes;
    }
    case FileKind::Scenario:
        break;
    }
    return {};
}

} // namespace lcj::fields
