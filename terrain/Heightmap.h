// Heightmap: a square grid of 8-bit heights read from one picture, one sample
// per pixel (the first value of the image's pixel query). The terrain uses
// the samples unscaled as world heights. Reads outside the grid give 0.
#ifndef TERRAIN_HEIGHTMAP_H
#define TERRAIN_HEIGHTMAP_H

#include <cstddef>

class Image;

class Heightmap {
public:
    unsigned char* m_Heights;   // owned, side x side samples, row-major
    int m_Side;                 // samples per side: the picture's width
    int m_MaxIndex;             // side - 1
    const char* m_Problem;      // why the picture cannot be a heightmap, or NULL

    // Reads the picture. A picture that cannot be loaded, or is not square,
    // leaves an empty grid (side 0) and says why in m_Problem.
    explicit Heightmap(const char* fileName);
    // The same from a picture already loaded from fileName; with log false
    // nothing is written to the log (for a helper thread), and LogSize then
    // writes what a valid map would have.
    Heightmap(const char* fileName, const Image& image, bool log = true);
    void LogSize(const char* fileName) const;
    virtual ~Heightmap();

    bool IsValid() const { return m_Problem == NULL; }
    // The sample at (column, row) as 0..255; 0 outside the grid.
    float GetHeight(int column, int row) const;
    int GetSize() const { return m_Side; }
    int GetMaxIndex() const { return m_MaxIndex; }

    // Writes every sample to the log, one line each (a diagnostic).
    void Dump() const;

private:
    void Read(const char* fileName, const Image& image, bool log);
    Heightmap(const Heightmap&);
    Heightmap& operator=(const Heightmap&);
};

#endif
