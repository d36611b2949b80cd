// MS3D parsing: little-endian, packed records, sections back to back.
// Header (id "MS3D000000", version 3 or 4), then the vertices, triangles,
// groups and materials, each a 16-bit count and its records; whatever
// follows (animation, joints) is not read.
#include "assets/Ms3dReader.h"

#include <cstdio>
#include <cstring>

#include "assets/ModelData.h"

namespace {

class ByteReader {
public:
    ByteReader(const unsigned char* data, unsigned long size) : m_Data(data), m_Size(size), m_Offset(0) {}

    bool Bytes(void* out, unsigned long count)
    {
        if (count > m_Size - m_Offset) {
            return false;
        }
        memcpy(out, m_Data + m_Offset, count);
        m_Offset += count;
        return true;
    }
    bool U8(unsigned char& out) { return Bytes(&out, 1); }
    bool S8(signed char& out) { return Bytes(&out, 1); }
    bool U16(unsigned short& out)
    {
        unsigned char b[2];
        if (!Bytes(b, 2)) return false;
        out = static_cast<unsigned short>(b[0] | (b[1] << 8));
        return true;
    }
    bool S32(int& out)
    {
        unsigned char b[4];
        if (!Bytes(b, 4)) return false;
        out = static_cast<int>(static_cast<unsigned>(b[0]) | (static_cast<unsigned>(b[1]) << 8) |
                               (static_cast<unsigned>(b[2]) << 16) | (static_cast<unsigned>(b[3]) << 24));
        return true;
    }
    bool Float(float& out)
    {
        int bits = 0;
        if (!S32(bits)) return false;
        memcpy(&out, &bits, 4);
        return true;
    }
    bool Floats(float* out, int count)
    {
        for (int i = 0; i < count; ++i) {
            if (!Float(out[i])) return false;
        }
        return true;
    }
    unsigned long Offset() const { return m_Offset; }
    unsigned long Remaining() const { return m_Size - m_Offset; }

private:
    const unsigned char* m_Data;
    unsigned long m_Size;
    unsigned long m_Offset;
};

bool ReadVertex(ByteReader& in, ModelVertex& v)
{
    return in.U8(v.flags) && in.Floats(v.position, 3) && in.S8(v.boneId) && in.U8(v.referenceCount);
}

bool ReadTriangle(ByteReader& in, ModelTriangle& t)
{
    return in.U16(t.flags) && in.U16(t.vertexIndices[0]) && in.U16(t.vertexIndices[1]) &&
           in.U16(t.vertexIndices[2]) && in.Floats(&t.vertexNormals[0][0], 9) && in.Floats(t.s, 3) &&
           in.Floats(t.t, 3) && in.U8(t.smoothingGroup) && in.U8(t.groupIndex);
}

bool ReadGroup(ByteReader& in, ModelGroup& g)
{
    g.triangleIndices = NULL;
    if (!in.U8(g.flags) || !in.Bytes(g.name, sizeof g.name) || !in.U16(g.triangleCount)) {
        return false;
    }
    // Check the indices are there before allocating for them.
    if (in.Remaining() < 2ul * g.triangleCount) {
        return false;
    }
    g.triangleIndices = new unsigned short[g.triangleCount];
    for (int i = 0; i < g.triangleCount; ++i) {
        in.U16(g.triangleIndices[i]);
    }
    return in.S8(g.materialIndex);
}

bool ReadMaterial(ByteReader& in, ModelMaterial& m)
{
    m.texture = NULL;
    return in.Bytes(m.name, sizeof m.name) && in.Floats(m.ambient, 4) && in.Floats(m.diffuse, 4) &&
           in.Floats(m.specular, 4) && in.Floats(m.emissive, 4) && in.Float(m.shininess) &&
           in.Float(m.transparency) && in.U8(m.mode) && in.Bytes(m.textureFileName, sizeof m.textureFileName) &&
           in.Bytes(m.alphaMapFileName, sizeof m.alphaMapFileName);
}

void FreeArraysOf(ModelArrays& model)
{
    for (int i = 0; model.m_Groups != NULL && i < model.m_GroupCount; ++i) {
        delete[] model.m_Groups[i].triangleIndices;
    }
    delete[] model.m_Vertices;
    delete[] model.m_Triangles;
    delete[] model.m_Groups;
    delete[] model.m_Materials;
    model.m_VertexCount = model.m_TriangleCount = model.m_GroupCount = model.m_MaterialCount = 0;
    model.m_Vertices = NULL;
    model.m_Triangles = NULL;
    model.m_Groups = NULL;
    model.m_Materials = NULL;
}

// Reads a 16-bit count and that many records; a count whose records cannot
// all fit in the rest of the file is refused before anything is allocated.
template <typename Record, typename ReadFn>
bool ReadSection(ByteReader& in, unsigned long minRecordSize, unsigned short& outCount, Record*& outArray,
                 ReadFn read, const char* what, char* reason, int reasonSize)
{
    unsigned long start = in.Offset();
    if (!in.U16(outCount)) {
        snprintf(reason, reasonSize, "is truncated at byte %lu (%s count)", start, what);
        return false;
    }
    if (in.Remaining() < minRecordSize * outCount) {
        snprintf(reason, reasonSize, "is truncated: %u %s need more than the %lu bytes left at byte %lu",
                 outCount, what, in.Remaining(), in.Offset());
        outCount = 0;
        return false;
    }
    outArray = new Record[outCount]();
    for (int i = 0; i < outCount; ++i) {
        unsigned long recordStart = in.Offset();
        if (!read(in, outArray[i])) {
            snprintf(reason, reasonSize, "is truncated at byte %lu (%s %d)", recordStart, what, i);
            outCount = static_cast<unsigned short>(i + 1);  // the partial record is freed too
            return false;
        }
    }
    return true;
}

bool CheckIndices(const ModelArrays& model, char* reason, int reasonSize)
{
    for (int i = 0; i < model.m_TriangleCount; ++i) {
        for (int k = 0; k < 3; ++k) {
            if (model.m_Triangles[i].vertexIndices[k] >= model.m_VertexCount) {
                snprintf(reason, reasonSize, "has triangle %d naming vertex %u of %u", i,
                         model.m_Triangles[i].vertexIndices[k], model.m_VertexCount);
                return false;
            }
        }
    }
    for (int i = 0; i < model.m_GroupCount; ++i) {
        const ModelGroup& group = model.m_Groups[i];
        for (int k = 0; k < group.triangleCount; ++k) {
            if (group.triangleIndices[k] >= model.m_TriangleCount) {
                snprintf(reason, reasonSize, "has group %d naming triangle %u of %u", i, group.triangleIndices[k],
                         model.m_TriangleCount);
                return false;
            }
        }
        if (group.materialIndex < -1 || group.materialIndex >= model.m_MaterialCount) {
            snprintf(reason, reasonSize, "has group %d naming material %d of %u", i, group.materialIndex,
                     model.m_MaterialCount);
            return false;
        }
    }
    for (int i = 0; i < model.m_MaterialCount; ++i) {
        const ModelMaterial& material = model.m_Materials[i];
        if (memchr(material.textureFileName, '\0', sizeof material.textureFileName) == NULL) {
            snprintf(reason, reasonSize, "has material %d whose texture name is not terminated", i);
            return false;
        }
    }
    return true;
}

}  // namespace

Ms3dResult ReadMs3d(const unsigned char* data, unsigned long size, ModelArrays& model, char* outReason, int reasonSize)
{
    static const unsigned long VERTEX_SIZE = 15;
    static const unsigned long TRIANGLE_SIZE = 70;
    static const unsigned long GROUP_MIN_SIZE = 36;
    static const unsigned long MATERIAL_SIZE = 361;
    outReason[0] = '\0';
    ByteReader in(data, size);
    char id[10];
    int version = 0;
    if (!in.Bytes(id, sizeof id) || memcmp(id, "MS3D000000", sizeof id) != 0 || !in.S32(version) ||
        (version != 3 && version != 4)) {
        return MS3D_NOT_MS3D;
    }
    bool read = ReadSection(in, VERTEX_SIZE, model.m_VertexCount, model.m_Vertices, ReadVertex, "vertices",
                            outReason, reasonSize) &&
                ReadSection(in, TRIANGLE_SIZE, model.m_TriangleCount, model.m_Triangles, ReadTriangle,
                            "triangles", outReason, reasonSize) &&
                ReadSection(in, GROUP_MIN_SIZE, model.m_GroupCount, model.m_Groups, ReadGroup, "groups", outReason,
                            reasonSize) &&
                ReadSection(in, MATERIAL_SIZE, model.m_MaterialCount, model.m_Materials, ReadMaterial,
                            "materials", outReason, reasonSize) &&
                CheckIndices(model, outReason, reasonSize);
    if (!read) {
        FreeArraysOf(model);
        return MS3D_MALFORMED;
    }
    return MS3D_OK;
}

void FreeMs3dArrays(ModelArrays& model)
{
    FreeArraysOf(model);
}
