#include "console.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <algorithm>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace lcj::cli::console {

namespace {

// The console behind the stream, or null when it goes to a pipe or a file.
HANDLE consoleOf(std::FILE* to) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(to)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return nullptr;
    return handle;
}

} // namespace

bool write(std::FILE* to, const QString& text) {
    std::fflush(to);
    if (HANDLE console = consoleOf(to)) {
        const auto* wide = reinterpret_cast<const char16_t*>(text.utf16());
        qsizetype left = text.size();
        while (left > 0) {
            DWORD written = 0;
            const auto chunk = DWORD(chunkLength(wide, left, 8192));
            if (!WriteConsoleW(console, wide, chunk, &written, nullptr) || written == 0 ||
                written > chunk)
                return false;
            wide += written;
            left -= written;
        }
        return true;
    }
    // The same bytes as on every other system: no CR added before each LF, so
    // an export piped to a file is what -o FILE writes.
    _setmode(_fileno(to), _O_BINARY);
    const QByteArray bytes = text.toUtf8();
    const bool written =
        std::fwrite(bytes.constData(), 1, bytes.size(), to) == std::size_t(bytes.size());
    return std::fflush(to) == 0 && written && !std::ferror(to);
}

} // namespace lcj::cli::console
