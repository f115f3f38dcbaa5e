#include "console.h"

namespace lcj::cli::console {

bool write(std::FILE* to, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const bool written =
        std::fwrite(bytes.constData(), 1, bytes.size(), to) == std::size_t(bytes.size());
    return std::fflush(to) == 0 && written && !std::ferror(to);
}

} // namespace lcj::cli::console
