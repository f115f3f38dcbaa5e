#include "commandoutput.h"

#include "console.h"

#include <cerrno>

namespace lcj::cli {

void Output::print(std::FILE* to, const QString& text) {
    errno = 0;
    if (!console::write(to, text) && !failed_) {
        failed_ = to;
        failure_ = errno;
    }
}

} // namespace lcj::cli
