#pragma once

#include "common/recordfields.h"
#include "common/regionset.h"
#include "common/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lcj::save {

// What the Record window shows of one 32-byte character record of a save game.
struct CharacterForm {
    QString figure;            // Text1, byte 0
    QString portrait;          // Text2, byte 2
    QString attack;            // Text3, byte 4
    QString defence;           // Text4, byte 5
    QString spirit;            // Text5, byte 6
    QString burst;             // Text6, byte 7
    QString morale;            // Text7, byte 8
    QString force;             // Text8, byte 9, shown doubled
    QString command;           // Text9, byte 10, shown doubled
    QString intelligence;      // Text10, byte 11, shown doubled
    QString agility;           // Text11, byte 12, shown doubled
    QString luck;              // Text12, byte 13, shown doubled
    QString hp;                // Text13, word at 14
    QString mp;                // Text14, byte 16
    QString level;             // Text15, byte 18
    QString experience;        // Text16, byte 19
    QString weaponLevel;       // Text19, byte 21
    QString weaponExperience;  // Text20, byte 22
    QString armourLevel;       // Text21, byte 24
    QString armourExperience;  // Text22, byte 25
    QString sorties;           // Text17, byte 30
    QString retreats;          // Text18, byte 31
    int troopType = 0;         // List2: the stored troop type (0..52 are its entries)
    int weapon = noneEntry;    // Combo1: 0..103 an item, 104 "无"
    int armour = noneEntry;    // Combo2
    int accessory = noneEntry; // Combo3
    bool joined = false;       // Check1 "强行加入我军": ticked when byte 3 is 0

    static constexpr int noneEntry = 104; // "无" at the end of the equipment lists

    bool operator==(const CharacterForm&) const = default;

    static CharacterForm show(QByteArrayView record);
    // Stores the form into the record; on any invalid field nothing changes.
    // A value stored other than typed (an odd 武力 is stored even) is added to
    // `rounded`, where given, once the record is stored.
    Failure apply(QByteArray& record, Roundings* rounded = nullptr) const;

    // Every field by its caption, in the order of the window's grid and of
    // lcjtool's table. Equipment is typed as the stored number (255 for "无"),
    // the tick box as 1 or 0.
    static const FormFields<CharacterForm>& fields();
};

// What "确定" takes from the window besides the character: the loyalty box
// and the count of the selected consumable.
struct SaveForm {
    QString loyalty; // Text24
    CharacterForm character;
    QString stock; // Text23

    bool operator==(const SaveForm&) const = default;

    // The loyalty and count boxes by caption.
    static const FormFields<SaveForm>& fields();
};

// The in-memory copies of a save game's three regions.
class SaveGame {
public:
    SaveGame();

    RegionSet& regions() { return regions_; }
    const RegionSet& regions() const { return regions_; }
    bool loaded() const { return regions_.loaded(); }

    QString showLoyalty() const;
    CharacterForm showCharacter(int character) const;
    QString showStock(int consumable) const;

    // "确定": the loyalty, the character and the consumable all change, or,
    // on any invalid field, none of them.
    // What the character stores other than typed is added to `rounded`.
    Failure confirm(const SaveForm& form, int character, int consumable,
                    Roundings* rounded = nullptr);

private:
    RegionSet regions_;
};

} // namespace lcj::save
