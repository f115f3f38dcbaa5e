#pragma once

#include "common/result.h"
#include "scenariodocument.h"

#include <QByteArray>

namespace lcj::scenario {

struct SavedScenario {
    QByteArray bytes;         // the whole file to write
    qint64 insertedCount = 0; // bytes added (negative when the equipment group shrank)
    ScenarioDocument scanned; // `bytes` as a fresh load reads them
};

// Builds the bytes a save writes: the loaded file with its in-place edits, the
// appended army entries inserted at the army block's end, the equipment group
// written in place, grown, shrunk or created, and the length words that cover
// inserted bytes corrected (the army block's, the equipment group's and the
// file header's two at 14 and 18).
//
// A pure function of the document. It refuses, with a message and no bytes,
// what would leave a file the editor cannot read back as meant: a header
// length word leaving 0..65535, or an equipment group created where the bytes
// after the army block would not be recognised as one. The result is scanned
// once more before it is returned (the scan comes with it), and refused unless
// it reads back with the army and equipment counts the save means to write.
Result<SavedScenario> buildSave(const ScenarioDocument& doc);

// The file without the last `count` entries of its army block: the block's
// length word and the file header's two shrink by the bytes taken out, and
// every byte after them moves up. Refused when the army block cannot be read
// or holds fewer entries, or when the result does not read back with the
// same battle header and `count` entries fewer.
Result<QByteArray> removeLastArmyEntries(const QByteArray& bytes, int count);

} // namespace lcj::scenario
