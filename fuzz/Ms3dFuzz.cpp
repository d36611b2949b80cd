// libFuzzer target: arbitrary bytes through the model loader, textures and
// all, with a real OpenGL context (run on Xvfb by tools/fuzz.sh, in a
// directory whose log goes to /dev/null).
#include <SDL/SDL.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzInputs.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || SDL_SetVideoMode(64, 64, 32, SDL_OPENGL) == NULL) {
        fprintf(stderr, "fuzz_ms3d needs an OpenGL window: %s\n", SDL_GetError());
        exit(1);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!TryModel(data, size)) {
        abort();
    }
    return 0;
}
