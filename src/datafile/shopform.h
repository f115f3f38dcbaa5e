#pragma once

#include "common/recordfields.h"
#include "common/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace lcj::data {

// What the shop section shows of one 36-byte shop block: the items each of
// the battle's two shops sells. Item numbers 0..86 are the equipment shop's
// entries, 87..103 the item shop's; a slot holding any other number (an item
// of the other shop, or no item at all) is kept as a number of its own.
struct ShopForm {
    QList<int> equipmentShop; // List5: the items in slots 3..18
    QList<int> itemShop;      // List6: the items in slots 19..34

    static constexpr int slotCount = 16;
    static constexpr int firstItemShopItem = 87;
    static constexpr int itemCount = 104;

    bool operator==(const ShopForm&) const = default;

    // Both shops by caption, each typed as item numbers separated by blanks ("3 17 40").
    static const FormFields<ShopForm>& fields();
    template <class T> static QString fieldCaption(T ShopForm::*member) {
        return captionOf(fields(), fieldKey(member));
    }

    static ShopForm show(QByteArrayView block);
    // shopsave: each shop's items sorted by number, packed to the front of its
    // slots and padded with 255. More than 16 in either shop is refused with
    // nothing changed; bytes 0..2 and 35 stay as they were.
    Failure apply(QByteArray& block) const;
};

} // namespace lcj::data
