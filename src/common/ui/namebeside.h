#pragma once

#include "common/numbernames.h"

#include <QLabel>
#include <functional>

class QLineEdit;

namespace lcj {

// A label beside a number box that names what the typed number stands for,
// kept up to date as the user types: a character, an item, a troop type.
// It is named after its box ("Text9" gets "Text9Name").
class NameBeside : public QLabel {
    Q_OBJECT
public:
    using Names = std::function<QStringList()>;

    // `names` gives the names numbered from 0 at the moment they are shown.
    NameBeside(QLineEdit* box, Names names, qint64 noneFrom = names::noneWord);

    // Shows the name again, after the names themselves changed.
    void refresh();
    // Every name label inside `window`.
    static void refreshAll(QWidget* window);

private:
    QLineEdit* box_;
    Names names_;
    qint64 noneFrom_;
};

} // namespace lcj
