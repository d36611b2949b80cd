// Builds the bytes of an MS3D file in a test, record by record.
#ifndef TESTS_SUPPORT_MS3D_BUILDER_H
#define TESTS_SUPPORT_MS3D_BUILDER_H

#include <cstring>
#include <string>
#include <vector>

class Ms3dBuilder {
public:
    std::vector<unsigned char> bytes;

    Ms3dBuilder& Header(int version = 4, const char* id = "MS3D000000")
    {
        Raw(id, 10);
        return S32(version);
    }
    Ms3dBuilder& U8(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); return *this; }
    Ms3dBuilder& U16(unsigned v) { U8(v & 0xFF); return U8((v >> 8) & 0xFF); }
    Ms3dBuilder& S32(int v)
    {
        unsigned u = static_cast<unsigned>(v);
        U16(u & 0xFFFF);
        return U16(u >> 16);
    }
    Ms3dBuilder& F(float v)
    {
        int bits = 0;
        memcpy(&bits, &v, 4);
        return S32(bits);
    }
    Ms3dBuilder& Raw(const char* data, size_t size)
    {
        bytes.insert(bytes.end(), data, data + size);
        return *this;
    }
    Ms3dBuilder& Text(const std::string& text, size_t field)
    {
        for (size_t i = 0; i < field; ++i) {
            U8(i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
        }
        return *this;
    }
    Ms3dBuilder& Vertex(float x, float y, float z) { U8(0); F(x); F(y); F(z); U8(0xFF); return U8(1); }
    Ms3dBuilder& Triangle(unsigned a, unsigned b, unsigned c, float s0 = 0, float t0 = 0)
    {
        U16(0); U16(a); U16(b); U16(c);
        for (int i = 0; i < 9; ++i) F(i % 3 == 1 ? 1.0f : 0.0f);  // normals (0, 1, 0)
        F(s0); F(0.5f); F(1.0f);
        F(t0); F(0.5f); F(1.0f);
        U8(1);
        return U8(0);
    }
    Ms3dBuilder& Group(const std::vector<unsigned>& triangles, int material, const char* name = "group")
    {
        U8(0);
        Text(name, 32);
        U16(static_cast<unsigned>(triangles.size()));
        for (unsigned t : triangles) U16(t);
        return U8(static_cast<unsigned>(material) & 0xFF);
    }
    Ms3dBuilder& Material(const std::string& texture, const char* name = "material")
    {
        Text(name, 32);
        for (int i = 0; i < 16; ++i) F(0.5f);
        F(10.0f);
        F(1.0f);
        U8(0);
        Text(texture, 128);
        return Text("", 128);
    }
};

#endif
