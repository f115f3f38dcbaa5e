#pragma once

#include "common/choice.h"
#include "common/recordfields.h"
#include "common/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>

namespace lcj::data {

// What the strategy section shows of one 70-byte strategy record.
struct StrategyForm {
    static constexpr int troopTypes = 53;
    static constexpr int targets = 3;
    static constexpr int castingRanges = 16;
    static constexpr int effectAreas = 7;

    QString name;        // Text28, bytes 0..9
    QString type;        // Text29, byte 11
    Choice target;       // Combo9, byte 12
    Choice castingRange; // Combo10, byte 13
    Choice effectArea;   // Combo11, byte 14
    QString mp;          // Text30, byte 15
    QString icon;        // Text31, byte 16
    // msfgrid column 1, row t + 1: byte 17 + t, the level at which troop type t
    // learns the strategy (0: never).
    std::array<QString, troopTypes> levels;

    bool operator==(const StrategyForm&) const = default;

    // Every field by its caption, in the order of lcjtool's table: the lists
    // typed as their stored codes, then each troop type's learning level.
    static const FormFields<StrategyForm>& fields();
    template <class T> static QString fieldCaption(T StrategyForm::*member) {
        return captionOf(fields(), fieldKey(member));
    }

    static StrategyForm show(QByteArrayView record);
    // On any invalid field nothing changes; byte 10 stays as it was.
    Failure apply(QByteArray& record) const;

    // The name of troop type t's learning level in messages.
    static QString levelName(int troopType);
    // What the grid's in-place editor commits for troop type t: the typed
    // number rounded down, as decimal text, or why it cannot be stored.
    static Result<QString> commitLevel(int troopType, const QString& text);
};

} // namespace lcj::data
