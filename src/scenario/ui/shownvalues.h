#pragma once

#include <QStringList>
#include <utility>

namespace lcj::scenario {

// What a part's controls showed for the entry shown, so that typing not yet
// confirmed can be told apart.
class ShownValues {
public:
    void take(int row, QStringList values) {
        row_ = row;
        values_ = std::move(values);
    }
    // True when `row` is the entry shown and `values` differ from what was shown.
    bool edited(int row, const QStringList& values) const {
        return row >= 0 && row == row_ && values != values_;
    }

private:
    int row_ = -1;
    QStringList values_;
};

} // namespace lcj::scenario
