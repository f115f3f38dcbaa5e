#include "console.h"

namespace lcj::cli::console {

void write(std::FILE* to, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, bytes.size(), to);
    std::fflush(to);
}

} // namespace lcj::cli::console
