// Reading heights from a picture.
#include "terrain/Heightmap.h"

#include <cstddef>

#include "base/Logger.h"
#include "assets/Image.h"

Heightmap::Heightmap(const char* fileName)
    : m_Heights(NULL), m_Side(0), m_MaxIndex(-1), m_Problem(NULL)
{
    Image* image = new Image(fileName);
    Read(fileName, *image, true);
    delete image;
}

Heightmap::Heightmap(const char* fileName, const Image& image, bool log)
    : m_Heights(NULL), m_Side(0), m_MaxIndex(-1), m_Problem(NULL)
{
    Read(fileName, image, log);
}

void Heightmap::Read(const char* fileName, const Image& image, bool log)
{
    if (!image.IsLoaded()) {
        m_Problem = "the picture could not be loaded";
        return;
    }
    if (image.GetWidth() != image.GetHeight()) {
        m_Problem = "the picture is not square";
        if (log) {
            LogMessage("Heightmap %s is %d x %d: %s", fileName, image.GetWidth(), image.GetHeight(), m_Problem);
        }
        return;
    }
    m_Side = image.GetWidth();
    if (log) {
        LogSize(fileName);
    }
    m_MaxIndex = m_Side - 1;
    m_Heights = new unsigned char[static_cast<size_t>(m_Side) * m_Side];
    for (int row = 0; row < m_Side; ++row) {
        for (int column = 0; column < m_Side; ++column) {
            int value = static_cast<int>(image.GetPixel(column, row).x);
            m_Heights[static_cast<size_t>(row) * m_Side + column] = static_cast<unsigned char>(value & 0xFF);
        }
    }
}

void Heightmap::LogSize(const char* fileName) const
{
    LogMessage("Heightmap generation; heightmap pixelcount: %d", m_Side);
    LogMessage("Heightmap filename: %s", fileName);
}

Heightmap::~Heightmap()
{
    delete[] m_Heights;
}

float Heightmap::GetHeight(int column, int row) const
{
    if (column < 0 || row < 0 || column >= m_Side || row >= m_Side) {
        return 0.0f;
    }
    return m_Heights[static_cast<size_t>(row) * m_Side + column];
}

void Heightmap::Dump() const
{
    for (int row = 0; row < m_Side; ++row) {
        for (int column = 0; column < m_Side; ++column) {
            LogMessage("Heightmap: %d, %d, %d\n", column, row, static_cast<int>(GetHeight(column, row)));
        }
    }
}
