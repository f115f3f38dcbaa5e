#pragma once

#include "common/diskstamp.h"
#include "common/fileaccess.h"
#include "common/regionset.h"
#include "common/result.h"
#include "imsglayout.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace lcj::imsg {

// The text of a slot: its bytes up to the first zero, decoded as GBK, trimmed;
// each 0D 0A line break becomes one "\n", as a text box shows it.
QString decodeSlot(QByteArrayView slot);

// The bytes a slot needs for `text`: trimmed, each line break as two bytes.
int slotBytes(const QString& text);

// The 200 bytes of a slot holding `text`: trimmed, line breaks stored as 0D 0A,
// encoded as GBK and padded with zero bytes. A text longer than 200 bytes is
// refused, never cut. When the text is the one `shown` holds, `shown` comes back
// unchanged, so a slot saved as it was keeps every byte. A character that GBK
// cannot encode is refused.
Result<QByteArray> encodeSlot(const QString& text, QByteArrayView shown = {});

// The caption over Label3: what the critical-hit lines are numbered by.
QString criticalTypeCaption();

// Label3 for row `row` of the critical-hit lines: "特定人物台词" for rows
// 0..20, then the type value row ÷ 3 − 7 that names each group of three lines.
QString criticalTypeText(int row);

// Label4 for row `row` of the battle introductions.
QString battleNumberText(int row);

// The seven tables as regions of a region set, in the order of `categories`:
// how the editor holds the file's texts in memory.
std::vector<Region> tableLayout();
// Slot `row` of category `c` in a region set of tableLayout().
QByteArray slotIn(const RegionSet& tables, int c, int row);
// The same without a copy, valid while `tables` holds its bytes.
QByteArrayView slotView(const RegionSet& tables, int c, int row);
void setSlotIn(RegionSet& tables, int c, int row, const QByteArray& slot);
// Puts `slot` in the whole file `file` as slot `row` of category `c`; a file too short to
// hold it keeps its bytes.
void placeSlot(QByteArray& file, int c, int row, const QByteArray& slot);

// What a save of the texts writes: every slot of `texts` that differs from `onDisk`,
// counted in `changed`, and first slot `row` of category `c` (c < 0: none) even when it
// does not differ.
struct SlotPatches {
    QList<files::Patch> patches;
    int changed = 0;
};
SlotPatches slotPatches(const RegionSet& texts, const RegionSet& onDisk, int c = -1, int row = -1);

// Reads and writes slots of one Imsg.e5. Each call opens the file, does its
// one thing and closes it again.
class MessageFile {
public:
    explicit MessageFile(QString path = {}) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // Whether the file can be read and reaches the end of every table.
    Failure check() const;

    Result<QByteArray> readSlot(const Category& category, int index) const;
    // Every slot of the category, in order.
    Result<QList<QByteArray>> readSlots(const Category& category) const;
    // Writes exactly one slot of 200 bytes in place and renews the stamp.
    Failure writeSlot(qint64 offset, const QByteArray& slot);
    // Writes several slots in place, in one replace of the file: all of them
    // or, on any failure, none.
    Failure writeSlots(const QList<files::Patch>& patches);

    // The file as the editor opened it or last wrote it, so that a save over
    // another program's change is the user's choice.
    const DiskStamp& stamp() const { return stamp_; }
    // Keeps the stamp of the bytes the editor read: no second read, and no
    // change between a read and a stamp passed over.
    void keepStamp(const DiskStamp& stamp) { stamp_ = stamp; }

private:
    QString path_;
    DiskStamp stamp_;
};

} // namespace lcj::imsg
