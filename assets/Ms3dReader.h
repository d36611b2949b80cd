// Parsing the bytes of an MS3D file into a model's four arrays. Every read is
// bounds-checked and every index is checked against its array, so a
// truncated or inconsistent file is refused with a reason instead of being
// read past its end. No OpenGL, no files: the loader does both.
#ifndef ASSETS_MS3D_READER_H
#define ASSETS_MS3D_READER_H

struct ModelArrays;

enum Ms3dResult {
    MS3D_OK,
    MS3D_NOT_MS3D,     // wrong id or a version other than 3 and 4
    MS3D_MALFORMED     // truncated or inconsistent; the reason says where
};

// Fills the model's counts and arrays from data. On anything but MS3D_OK
// the model holds no arrays and outReason (for MS3D_MALFORMED) says why.
Ms3dResult ReadMs3d(const unsigned char* data, unsigned long size, ModelArrays& model,
                    char* outReason, int reasonSize);

// Frees what ReadMs3d allocated and empties the model. The game never calls
// it (loaded geometry lives until the process ends); tools that load many
// files in one process do.
void FreeMs3dArrays(ModelArrays& model);

#endif
