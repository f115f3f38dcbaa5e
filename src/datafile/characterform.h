#pragma once

#include "common/recordfields.h"
#include "common/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lcj::data {

// What the character section shows of one 32-byte character record.
struct CharacterForm {
    QString name;         // Text1
    QString portrait;     // Text2, byte 13
    QString figure;       // Text3, byte 15
    QString force;        // Text4, byte 18, shown doubled
    QString command;      // Text5, byte 19, shown doubled
    QString intelligence; // Text6, byte 20, shown doubled
    QString agility;      // Text7, byte 21, shown doubled
    QString luck;         // Text8, byte 22, shown doubled
    QString hp;           // Text9, word at 23
    QString mp;           // Text10, byte 25
    QString level;        // Text11, byte 27
    QString experience;   // Text12, byte 28
    QString criticalLine; // Text33, byte 16
    int troopType = 0;    // List2: the stored troop type (0..52 are its entries)
    int weapon = 104;     // Combo1: 0..103 an item, 104 "无"
    int armour = 104;     // Combo2
    int auxiliary = 104;  // Combo3
    Qt::CheckState forcedJoin = Qt::Unchecked; // Check1: ticked when byte 17 is 0

    static constexpr int noneEntry = 104; // "无" at the end of the equipment lists

    bool operator==(const CharacterForm&) const = default;

    static CharacterForm show(QByteArrayView record);
    // Stores the form into the record; on any invalid field nothing changes.
    // A value stored other than typed (an odd 武力 is stored even) is added to
    // `rounded`, where given, once the record is stored.
    Failure apply(QByteArray& record, Roundings* rounded = nullptr) const;

    // Every field by its caption, in the order of lcjtool's table. Equipment is
    // typed as the stored number (255 for "无"), the tick box as 1 or 0.
    static const FormFields<CharacterForm>& fields();
};

} // namespace lcj::data
