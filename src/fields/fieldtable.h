#pragma once

#include "common/fileaccess.h"
#include "common/recordfields.h"
#include "common/result.h"
#include "filekind.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// Every game file as the windows show it: parts, each a table of rows and
// columns whose cells read as the window's boxes show them and take typed
// values through the window's own checks. A file is opened from its bytes and
// gives its bytes back after the writes; reading and saving files is the
// caller's business.
namespace lcj::fields {

struct Column {
    // How a table edits the cell: a box typed into, a list of entries(), a
    // tick box (cells "1" and "0"), or a name limited to `width` bytes.
    enum class Editor { Box, List, Flag, Name };

    QString key;           // how exports and patches name the column
    QString caption;       // how the window heads the box
    bool text = false;     // text rather than a number
    bool readOnly = false; // shown only, never written
    Editor editor = Editor::Box;
    int width = 0; // a name's field in bytes (GBK); 0 for the other editors
};

// An entry of a list column: its text as the window's list shows it, and the
// cell value it stands for ({"弓兵", "6"}, {"无", "255"}).
struct Entry {
    QString text;
    QString value;
    bool operator==(const Entry&) const = default;
};

// Typed cells by column key: a box's text, or a number; null for "无" where a
// list has no entry chosen.
using Cells = QHash<QString, QJsonValue>;

// A JSON number that is a whole number a cell can hold exactly (within
// ±2^53), or nothing; never converts a number out of qint64's range.
inline std::optional<qint64> wholeNumber(double d) {
    constexpr double limit = 9007199254740992.0;
    if (!(d > -limit && d < limit) || d != double(qint64(d)))
        return {};
    return qint64(d);
}

// A cell's value as the text typed into its box.
QString boxText(const QJsonValue& value);

// One part of a file: a data.e5 section, a save's characters, a message
// category, a scenario's enemies.
class FieldTable {
public:
    virtual ~FieldTable() = default;

    // The part's key: "characters", "liezhuan", "enemies".
    virtual QString part() const = 0;
    // How the windows name the part: "人物", "敌军", "忠奸度".
    virtual QString title() const = 0;
    virtual const QList<Column>& columns() const = 0;
    // The column whose key is `key`, or -1.
    int columnOf(const QString& key) const;
    virtual int rowCount() const = 0;

    // A read-only name column after 序号 (a battle, a troop type), or empty.
    virtual QString labelHeader() const { return {}; }
    virtual QString label(int) const { return {}; }

    // The entries of a list column, in the list's order; empty for the other
    // editors. A cell whose value no entry stands for shows the value itself.
    virtual QList<Entry> entries(int) const { return {}; }

    // A row in the windows' words: "人物 5" (records from 0), "敌军 3" (list
    // slots from 1, as the lists number them), "忠奸度" (a part of one row).
    virtual QString rowName(int row) const = 0;
    // A cell in the windows' words: "人物 5 武力", "敌军 3 横坐标", "忠奸度".
    virtual QString place(int row, int column) const;

    // A cell as the window shows it.
    virtual QString read(int row, int column) const = 0;
    virtual QStringList readRow(int row) const;
    // The bytes row `row` is read from, where they are the row's alone (a data.e5 record);
    // empty where the part does not know them. Two rows of equal bytes read alike.
    virtual QByteArrayView rowBytes(int) const { return {}; }
    // A cell as a typed value: read() as text, or a number or null where the
    // part's exports give one (a scenario's fields).
    virtual QJsonValue value(int row, int column) const { return read(row, column); }

    // Types the cells that differ from what the row shows into its boxes and
    // confirms as the window does. Keys of no column are left alone. On a
    // refusal nothing changes and the message names the field. A cell stored
    // other than typed (an odd 武力) is added to `rounded`, where given.
    virtual Failure write(int row, const Cells& cells, Roundings* rounded = nullptr) = 0;

    // Confirms row `row` as it is shown, nothing typed, as the window's "保存" or
    // "确定" does: the form's own checks run on the stored values even where no
    // cell differs. Gives the refusal, or nothing; a row that passes may be
    // stored in the window's way (a stored 104 becomes 255).
    virtual Failure confirm(int row);

    // "人物：没有“X”这一栏" for the first key of `cells` that is no column.
    Failure checkColumns(const Cells& cells) const;
};

// An opened file: its parts in the order of its windows, and its bytes.
class FieldFile {
public:
    virtual ~FieldFile() = default;

    virtual FileKind kind() const = 0;
    const std::vector<std::unique_ptr<FieldTable>>& tables() const { return tables_; }
    // The part named `part`, or null.
    FieldTable* table(const QString& part) const;
    QStringList parts() const;

    // The file with every write so far.
    virtual QByteArray bytes() const = 0;
    // What the window's save writes in place: the regions it owns, or the
    // slots that changed. Empty when a save writes the whole file.
    virtual QList<files::Patch> savedRegions() const { return {}; }

protected:
    std::vector<std::unique_ptr<FieldTable>> tables_;
};

// Opens `bytes` as a file of `kind`. `name` is the file's name or path, used
// in messages only. Refused, with the window's message, where the window
// would refuse to open the file.
Result<std::unique_ptr<FieldFile>> openFile(FileKind kind, const QString& name,
                                            const QByteArray& bytes);

// A file of `kind` with every value zero, for the names, parts and row counts
// every file of the kind shares (none for a scenario, whose lists vary).
const FieldFile* shapeOf(FileKind kind);

} // namespace lcj::fields
