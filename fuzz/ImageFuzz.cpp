// libFuzzer target: arbitrary picture files through the image loader, the
// texture upload (with its conversions) and the heightmap reader, with a real
// OpenGL context (run on Xvfb by tools/fuzz.sh). The first byte picks the
// file type the loader guesses from the name: TGA (which has no signature)
// or BMP.
#include <SDL/SDL.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "assets/Texture.h"
#include "terrain/Heightmap.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || SDL_SetVideoMode(64, 64, 32, SDL_OPENGL) == NULL) {
        fprintf(stderr, "fuzz_image needs an OpenGL window: %s\n", SDL_GetError());
        exit(1);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    const char* path = (data[0] & 1) ? "fuzz.tga" : "fuzz.bmp";
    FILE* file = fopen(path, "wb");
    if (file == NULL) {
        return 0;
    }
    fwrite(data + 1, 1, size - 1, file);
    fclose(file);
    Texture* texture = new Texture(path);
    delete texture;
    Heightmap* heightmap = new Heightmap(path);
    delete heightmap;
    return 0;
}
