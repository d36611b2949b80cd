// What the fuzz targets do with one input, shared with the unit tests that
// replay the seeds and every finding. Each returns false when the game's
// own expectations do not hold (memory errors are AddressSanitizer's).
#ifndef FUZZ_FUZZ_INPUTS_H
#define FUZZ_FUZZ_INPUTS_H

#include <cstddef>
#include <cstdint>

// The first byte picks the type the loader guesses from the file name (odd:
// TGA, even: BMP); the rest is the picture. Decodes it, prepares the
// texture's rows and samples it as a heightmap; needs no window.
bool TryPicture(const uint8_t* data, size_t size);

// Loads the bytes as a model, its materials' textures included, and frees
// it. Needs a current OpenGL context.
bool TryModel(const uint8_t* data, size_t size);

// Reads the bytes as a records file, then what the game would write of it:
// that must read back whole to the same best times.
bool TryRecords(const uint8_t* data, size_t size);

// Reads the bytes as a ghost file; a ghost taken must be written back to
// the same bytes.
bool TryGhost(const uint8_t* data, size_t size);

// The first byte says how many changes (0 to 7), each of the next pairs
// of bytes a setting and its new value; the rest is a settings file. The
// rewrite must read back as the file's settings with the changes, and keep
// every line that set no changed setting.
bool TrySettingsRewrite(const uint8_t* data, size_t size);

#endif
