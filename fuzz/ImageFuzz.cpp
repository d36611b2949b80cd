// libFuzzer target: arbitrary picture bytes through what the game does with
// a picture before OpenGL sees it: the decoding, the conversion to the
// texture's blue-green-red rows and the heightmap's sampling. No window is
// needed. The first byte picks the type the loader guesses from the file
// name: TGA (which has no signature) or BMP.
#include <SDL/SDL.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzInputs.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (SDL_Init(0) < 0) {
        fprintf(stderr, "fuzz_image: %s\n", SDL_GetError());
        exit(1);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!TryPicture(data, size)) {
        abort();
    }
    return 0;
}
