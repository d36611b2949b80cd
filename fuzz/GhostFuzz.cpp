// libFuzzer target: arbitrary bytes as a ghost file, then what the
// game would write of them read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzInputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!TryGhost(data, size)) {
        abort();
    }
    return 0;
}
