// Heightmap pictures made by a test: a grey BMP whose every pixel is a
// height, from a function of its place.
#ifndef TESTS_SUPPORT_HEIGHTMAPS_H
#define TESTS_SUPPORT_HEIGHTMAPS_H

// Saves a grey 24-bit BMP of width x height whose height at (x, y) is given.
void SaveHeights(const char* path, int width, int height, int (*heightAt)(int x, int y));

inline int Flat(int, int) { return 50; }
// A distinct height per grid point, to tell neighbours apart: 0..255.
inline int Ramp(int x, int y) { return (x * 7 + y * 3) % 256; }

#endif
