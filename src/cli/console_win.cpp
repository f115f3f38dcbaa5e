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

void write(std::FILE* to, const QString& text) {
    std::fflush(to);
    if (HANDLE console = consoleOf(to)) {
        const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
        qsizetype left = text.size();
        while (left > 0) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<qsizetype>(left, 8192));
            if (!WriteConsoleW(console, wide, chunk, &written, nullptr) || written == 0)
                return;
            wide += written;
            left -= written;
        }
        return;
    }
    // The same bytes as on every other system: no CR added before each LF, so
    // an export piped to a file is what -o FILE writes.
    _setmode(_fileno(to), _O_BINARY);
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, bytes.size(), to);
    std::fflush(to);
}

} // namespace lcj::cli::console
