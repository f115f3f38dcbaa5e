#include "shopform.h"

#include "common/bytes.h"

#include <QStringList>

#include <algorithm>

namespace lcj::data {

namespace {

constexpr int equipmentSlots = 3;
constexpr int itemSlots = 19;
constexpr quint8 empty = 255;

QList<int> readSlots(QByteArrayView block, int first) {
    QList<int> items;
    for (int s = first; s < first + ShopForm::slotCount; ++s) {
        const int item = byteAt(block, s);
        if (item != empty && !items.contains(item))
            items.append(item);
    }
    return items;
}

Failure packSlots(QByteArray& block, int first, QList<int> items) {
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    for (int item : items)
        if (item < 0 || item >= empty)
            return Failure(QStringLiteral("商店：道具编号%1无效").arg(item),
                           QStringLiteral("商店"));
    for (int s = 0; s < ShopForm::slotCount; ++s)
        setByte(block, first + s, s < items.size() ? static_cast<quint8>(items[s]) : empty);
    return {};
}

FormField<ShopForm> shopField(const QString& caption, QList<int> ShopForm::*shop) {
    return {caption,
            [shop](const ShopForm& f, QByteArrayView) {
                QStringList numbers;
                for (int item : f.*shop)
                    numbers.append(QString::number(item));
                return numbers.join(u' ');
            },
            [shop, caption](ShopForm& f, const QString& text) -> Failure {
                QList<int> items;
                for (const QString& part : text.split(u' ', Qt::SkipEmptyParts)) {
                    const auto item = parseChoice(caption, part, empty - 1);
                    if (!item.ok())
                        return item.why();
                    items.append(int(*item));
                }
                f.*shop = items;
                return {};
            },
            true, fieldKey(shop)};
}

} // namespace

const FormFields<ShopForm>& ShopForm::fields() {
    static const FormFields<ShopForm> all{
        shopField(QStringLiteral("装备店(最多16种)"), &ShopForm::equipmentShop),
        shopField(QStringLiteral("道具店(最多16种)"), &ShopForm::itemShop),
    };
    return all;
}

ShopForm ShopForm::show(QByteArrayView block) {
    return {readSlots(block, equipmentSlots), readSlots(block, itemSlots)};
}

Failure ShopForm::apply(QByteArray& block) const {
    if (equipmentShop.size() > slotCount || itemShop.size() > slotCount)
        return QStringLiteral("每关商店所卖物品的最大数为16！");
    QByteArray staged = block;
    if (auto failure = packSlots(staged, equipmentSlots, equipmentShop); !failure.ok())
        return failure;
    if (auto failure = packSlots(staged, itemSlots, itemShop); !failure.ok())
        return failure;
    block = staged;
    return {};
}

} // namespace lcj::data
