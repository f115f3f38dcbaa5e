#pragma once

#include <QString>
#include <QStringList>

namespace lcj::cli {

// Takes `--name VALUE` out of args; VALUE stays empty when the option is
// absent. False when VALUE is missing.
inline bool takeOption(QStringList& args, const QStringList& names, QString& value) {
    for (const QString& name : names) {
        const qsizetype i = args.indexOf(name);
        if (i < 0)
            continue;
        if (i + 1 >= args.size())
            return false;
        value = args[i + 1];
        args.remove(i, 2);
    }
    return true;
}

} // namespace lcj::cli
