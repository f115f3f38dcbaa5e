#include "gbkbackend.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace lcj::gbk::backend {

namespace {

// One converter per thread, stateless, so each call stands on its own.
QStringDecoder& decoder() {
    thread_local QStringDecoder d("GBK", QStringConverter::Flag::Stateless);
    return d;
}

} // namespace

bool ready() {
    return decoder().isValid();
}

QString decode(QByteArrayView bytes) {
    QStringDecoder& d = decoder();
    QString text = d.decode(bytes);
    d.resetState();
    return text;
}

QByteArray encode(QStringView text, bool* failed) {
    // A fresh encoder each time: its error flag outlives a reset.
    QStringEncoder e("GBK", QStringConverter::Flag::Stateless);
    const QByteArray out = e.encode(text);
    *failed = !e.isValid() || e.hasError();
    return out;
}

} // namespace lcj::gbk::backend
