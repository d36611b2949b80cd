// libFuzzer target: any settings file and any change the menu can make;
// the rewritten file reads back as the change and keeps every other line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzInputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!TrySettingsRewrite(data, size)) {
        abort();
    }
    return 0;
}
