#include "targets.h"

#include "cli/datacommands.h"
#include "common.h"
#include "datafile/datalayout.h"
#include "fields/datatable.h"
#include "samplegen/samplegame.h"

namespace lcj::fuzz {

const QList<Target>& targets() {
    static const QList<Target> all{
        {"datarecords", dataRecords}, {"datafile", dataFile},
        {"savegame", saveGame},       {"messagefile", messageFile},
        {"programfile", programFile}, {"mappicture", mapPicture},
        {"csvimport", csvImport},     {"gbkfields", gbkFields},
        {"scenario", scenarioFile},   {"rfile", rFile},
    };
    return all;
}

namespace {

// The two bytes Input::below() reads to give `n` out of 0..limit-1.
QByteArray number(int n) {
    return QByteArray(1, char(n & 0xFF)) + char(n >> 8);
}

// The bytes Input::bytes(most) reads as `bytes`.
QByteArray counted(const QByteArray& bytes) {
    return number(int(bytes.size())) + bytes;
}

// A damaged-file prefix: sample with a few bytes overwritten (mode 2) or cut short (mode 1).
QList<QByteArray> damages() {
    return {QByteArray("\x02\x00\x00", 3) + QByteArray(8, '\x01'),
            QByteArray("\x03\x01\x00\x01\x03\x00\x00", 7) + counted("\xff\xff\xff") +
                QByteArray(4, '\x07'),
            QByteArray("\x01\x10\x27\x00", 4), QByteArray("\x00", 1) + counted("short file")};
}

} // namespace

QList<QByteArray> seeds(const QString& target) {
    QList<QByteArray> out;
    if (target == QLatin1String("datarecords")) {
        const QByteArray file = sample::dataFile();
        const data::Table tables[] = {data::characters, data::items,   data::shops,
                                      data::troopTypes, data::terrain, data::strategies};
        for (int t = 0; t < 6; ++t)
            for (int r : {0, 1, 7, tables[t].count - 1})
                out.append(char(t) +
                           counted(file.mid(tables[t].recordOffset(r), tables[t].recordSize)) +
                           QByteArray("\x01\x00\x00\x02\x00", 5));
        return out;
    }
    if (target == QLatin1String("datafile") || target == QLatin1String("savegame") ||
        target == QLatin1String("programfile"))
        return damages();
    if (target == QLatin1String("messagefile")) {
        const QByteArray file = sample::messageFile();
        for (qint64 at : {qint64(0), qint64(90000), qint64(140000)})
            for (const QByteArray& d : damages())
                out.append(counted(file.mid(at, 200)) + QByteArray("\x00\x05\x00", 3) + d);
        return out;
    }
    if (target == QLatin1String("mappicture")) {
        out.append(QByteArray("\x00\x10\x00\x10\x00", 5) + sample::mapPicture(3, 2, 1));
        out.append(QByteArray("\x25\x30\x00\x40\x00", 5) + sample::mapPicture(7, 5, 2));
        return out;
    }
    if (target == QLatin1String("csvimport")) {
        const QString path = scratchFile(QStringLiteral("seed.e5"), sample::dataFile());
        for (const auto& table : fields::dataTables()) {
            const auto csv = cli::exportTable(path, *table, cli::Format::Csv);
            if (!csv.ok())
                continue;
            const QStringList lines = csv->split(QStringLiteral("\r\n"));
            // The header and a few records, some with a value changed.
            QString few = lines.mid(0, 4).join(QStringLiteral("\r\n"));
            out.append("\x01" + few.toUtf8());
            few.replace(QStringLiteral(",1"), QStringLiteral(",2"));
            out.append("\x00" + few.toUtf8());
        }
        return out;
    }
    if (target == QLatin1String("gbkfields")) {
        const QByteArray file = sample::dataFile();
        for (int r : {0, 3, 200})
            out.append(number(11) + counted(file.mid(data::characters.recordOffset(r), 12)) +
                       "\x01");
        out.append(number(199) + counted("\xc0\xbc\xb4\xa8\xbc\xc7  ") + "\x00" +
                   QByteArray("岚川记 数据工坊"));
        return out;
    }
    if (target == QLatin1String("scenario")) {
        const QByteArray edits("\x00\x00\x01\x00\x02\x01\x05\x00\x03\x01\x03\x00\x00"
                               "\x05\x02\x00\x00\x03\x00\x01\x01\x04\x00\x00\x02"
                               "\x00\x00\x01\x00\x00\x00\x00",
                               32);
        for (const auto& f : sample::sampleScenarioFiles())
            if (f.name.startsWith(u'S'))
                out.append(edits + f.bytes);
        return out;
    }
    if (target == QLatin1String("rfile")) {
        for (int records : {1, 3})
            out.append(QByteArray("\x02\x00\x00\x07\x00\x00\x00\x00", 8) +
                       sample::rFile(records, quint32(records)));
        return out;
    }
    return out;
}

} // namespace lcj::fuzz
