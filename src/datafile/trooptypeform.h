#pragma once

#include "common/choice.h"
#include "common/recordfields.h"
#include "common/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>

namespace lcj::data {

// What the troop-type section shows of one 27-byte troop-type record.
struct TroopTypeForm {
    QString movement;   // Text20, byte 0, 0..20
    Choice attackRange; // Combo8, byte 1, shapes 0..15
    QString attack;     // Text21, byte 2
    QString defence;    // Text22, byte 3
    QString spirit;     // Text23, byte 4
    QString burst;      // Text24, byte 5
    QString morale;     // Text25, byte 6
    QString hpGrowth;   // Text26, byte 7
    QString mpGrowth;   // Text27, byte 8
    // Check2_0..Check2_17, bytes 9..26: ticked 1, clear 0. A flag other than
    // 0 or 1 shows greyed, and a greyed box keeps the byte as it was.
    std::array<Qt::CheckState, 18> equipment{};

    static constexpr int shapes = 16;
    static constexpr int maxMovement = 20;

    bool operator==(const TroopTypeForm&) const = default;

    // Every field by its caption, in the order of lcjtool's table: the attack
    // range typed as its shape code, each equipment kind as 1 (can equip) or 0.
    static const FormFields<TroopTypeForm>& fields();

    static TroopTypeForm show(QByteArrayView record);
    // The byte stored for equipment kind `k` (0..17) of `record`: what a greyed box says it
    // keeps.
    static quint8 storedFlag(QByteArrayView record, int k);
    // Movement is checked first; on any invalid field nothing changes.
    Failure apply(QByteArray& record) const;
};

// The picture of attack-range shape `shape` in the picture folder beside the
// editor, or an empty path for a shape that has none.
QString attackRangePicture(const QString& editorFolder, int shape);

} // namespace lcj::data
