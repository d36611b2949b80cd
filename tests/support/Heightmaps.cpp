// Writing heightmap pictures for tests.
#include "tests/support/Heightmaps.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

void SaveHeights(const char* path, int width, int height, int (*heightAt)(int x, int y))
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    ASSERT_TRUE(surface != NULL);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = static_cast<unsigned char*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width; ++x) {
            unsigned char value = static_cast<unsigned char>(heightAt(x, y));
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = value;
        }
    }
    ASSERT_EQ(SDL_SaveBMP(surface, path), 0);
    SDL_FreeSurface(surface);
}
