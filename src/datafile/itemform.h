#pragma once

#include "common/choice.h"
#include "common/recordfields.h"
#include "common/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lcj::data {

// The three categories of item, decided by the kind byte (offset 17).
enum class ItemCategory {
    Equipment,  // 0..17: weapon or armour of that equipment kind
    Auxiliary,  // 18..62: auxiliary equipment with special effect kind − 18
    Consumable, // 63..255: consumable with effect kind − 63
};

ItemCategory itemCategory(quint8 kind);

// What the item section shows of one 25-byte item record. Only the controls
// that the category uses are filled; the window leaves the others as they were.
struct ItemForm {
    ItemCategory category = ItemCategory::Equipment;
    QString caption;         // Label17
    QString name;            // Text13, bytes 0..15
    QString price;           // Text14, byte 19
    QString icon;            // Text15, byte 20
    QString ability;         // Text16, equipment byte 21
    QString effectValue;     // Text17, equipment byte 22, otherwise byte 21
    QString growth;          // Text18, equipment byte 23
    Choice equipmentKind;    // Combo4, equipment byte 17
    Choice effect;           // Combo5, equipment byte 18 or auxiliary byte 17
    Choice consumableEffect; // Combo6, consumable byte 17
    Choice suitableClass;    // Combo7, auxiliary byte 23

    static constexpr int noEffectEntry = 45;       // "无" at the end of Combo5
    static constexpr int firstEffectCode = 18;     // Combo5's entry p is code p + 18
    static constexpr int firstConsumableCode = 63; // Combo6's entry p is code p + 63
    static constexpr int allClassesEntry = 27;     // "所有兵种" at the end of Combo7

    bool operator==(const ItemForm&) const = default;

    static ItemForm show(QByteArrayView record);
    // Stores the fields the record's category uses, by the kind byte as read:
    // an item never moves to another category. On any invalid field nothing changes.
    Failure apply(QByteArray& record) const;

    // Every field by its caption, in the order of lcjtool's table. A list is
    // typed as its stored code; a field the item's category does not use shows
    // empty and refuses any text.
    static const FormFields<ItemForm>& fields();
};

} // namespace lcj::data
