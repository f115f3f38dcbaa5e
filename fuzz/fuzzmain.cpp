// One libFuzzer executable per target; LCJ_FUZZ_ENTRY names its body.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return lcj::fuzz::LCJ_FUZZ_ENTRY(data, size);
}
