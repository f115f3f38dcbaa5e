#include "fieldtable.h"

#include "fieldfiles.h"

namespace lcj::fields {

QString boxText(const QJsonValue& v) {
    if (v.isDouble())
        return QString::number(qint64(v.toDouble()));
    return v.toString();
}

int FieldTable::columnOf(const QString& key) const {
    const QList<Column>& cs = columns();
    for (qsizetype c = 0; c < cs.size(); ++c)
        if (cs[c].key == key)
            return int(c);
    return -1;
}

QString FieldTable::place(int row, int column) const {
    const QString caption = columns().at(column).caption;
    const QString name = rowName(row);
    return caption == title() ? name : name + u' ' + caption;
}

QStringList FieldTable::readRow(int row) const {
    QStringList out;
    for (qsizetype c = 0; c < columns().size(); ++c)
        out.append(read(row, int(c)));
    return out;
}

Failure FieldTable::confirm(int row) {
    Cells cells;
    for (qsizetype c = 0; c < columns().size(); ++c)
        if (!columns()[c].readOnly)
            cells.insert(columns()[c].key, value(row, int(c)));
    return write(row, cells);
}

Failure FieldTable::checkColumns(const Cells& cells) const {
    for (auto it = cells.cbegin(); it != cells.cend(); ++it)
        if (columnOf(it.key()) < 0)
            return QStringLiteral("%1：没有“%2”这一栏").arg(title(), it.key());
    return {};
}

FieldTable* FieldFile::table(const QString& part) const {
    for (const auto& t : tables_)
        if (t->part() == part)
            return t.get();
    return nullptr;
}

QStringList FieldFile::parts() const {
    QStringList out;
    for (const auto& t : tables_)
        out.append(t->part());
    return out;
}

Result<std::unique_ptr<FieldFile>> openFile(FileKind kind, const QString& name,
                                            const QByteArray& bytes) {
    switch (kind) {
    case FileKind::Data:
        return openData(bytes);
    case FileKind::Save:
        return openSave(name, bytes);
    case FileKind::Imsg:
        return openImsg(bytes);
    case FileKind::Exe:
        return openExe(name, bytes);
    case FileKind::RFile:
        return openRFile(name, bytes);
    case FileKind::Scenario:
        return openScenario(bytes);
    }
    return Result<std::unique_ptr<FieldFile>>::failure(QStringLiteral("未知的文件种类"));
}

const FieldFile* shapeOf(FileKind kind) {
    static const auto shapes = [] {
        std::vector<std::pair<FileKind, std::unique_ptr<FieldFile>>> v;
        for (FileKind k :
             {FileKind::Data, FileKind::Save, FileKind::Imsg, FileKind::Exe, FileKind::RFile}) {
            auto file = openFile(k, QString(), blankBytes(k));
            if (file.ok())
                v.emplace_back(k, std::move(*file));
        }
        return v;
    }();
    for (const auto& [k, file] : shapes)
        if (k == kind)
            return file.get();
    return nullptr;
}

} // namespace lcj::fields
