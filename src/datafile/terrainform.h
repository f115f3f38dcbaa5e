#pragma once

#include "common/recordfields.h"
#include "common/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>

namespace lcj::data {

// What the terrain section shows of one 60-byte terrain record: box k
// (Text19_k) shows byte k. Boxes 0..29 hold the troop class's terrain effect on
// each terrain, boxes 30..59 its movement cost there (255: cannot enter).
struct TerrainForm {
    static constexpr int terrains = 30;
    static constexpr int boxes = 2 * terrains;

    std::array<QString, boxes> values;

    bool operator==(const TerrainForm&) const = default;

    // Every box, captioned by boxName().
    static const FormFields<TerrainForm>& fields();
    template <class T> static QString fieldCaption(T TerrainForm::*member) {
        return captionOf(fields(), fieldKey(member));
    }

    static TerrainForm show(QByteArrayView record);
    // Each value is taken to the nearest whole number, halves to the even
    // neighbour. On any invalid box nothing changes.
    Failure apply(QByteArray& record) const;

    // The name of box k in messages, as "浅滩（消耗移动力）".
    static QString boxName(int k);
};

} // namespace lcj::data
