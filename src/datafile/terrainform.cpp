#include "terrainform.h"

#include "common/nametables.h"
#include "common/recordfields.h"

namespace lcj::data {

TerrainForm TerrainForm::show(QByteArrayView record) {
    TerrainForm form;
    for (int k = 0; k < boxes; ++k)
        form.values[k] = showNumber(record, k, FieldKind::ByteHalfEven);
    return form;
}

Failure TerrainForm::apply(QByteArray& record) const {
    QByteArray staged = record;
    for (int k = 0; k < boxes; ++k)
        if (auto failure = storeNumber(staged, k, FieldKind::ByteHalfEven, boxName(k), values[k]);
            !failure.ok())
            return failure;
    record = staged;
    return {};
}

const FormFields<TerrainForm>& TerrainForm::fields() {
    static const FormFields<TerrainForm> all = [] {
        FormFields<TerrainForm> f;
        for (int k = 0; k < boxes; ++k)
            f.push_back(boxField(boxName(k), &TerrainForm::values, k));
        return f;
    }();
    return all;
}

QString TerrainForm::boxName(int k) {
    return QStringLiteral("%1（%2）")
        .arg(names::terrains()[k % terrains],
             k < terrains ? QStringLiteral("地形效果") : QStringLiteral("消耗移动力"));
}

} // namespace lcj::data
