// A model's geometry as an MS3D file holds it: vertices, triangles, groups
// and materials, in four arrays with their counts. Plain data, read by the
// MS3D reader and drawn by Model.
#ifndef ASSETS_MODEL_DATA_H
#define ASSETS_MODEL_DATA_H

class Texture;

struct ModelVertex {
    unsigned char flags;
    unsigned char referenceCount;
    signed char boneId;
    float position[3];
};

struct ModelTriangle {
    unsigned short flags;
    unsigned short vertexIndices[3];
    float vertexNormals[3][3];   // one normal per corner
    float s[3];                  // first texture coordinate per corner
    float t[3];                  // second texture coordinate per corner
    unsigned char smoothingGroup;
    unsigned char groupIndex;
};

struct ModelGroup {
    unsigned char flags;
    char name[32];
    unsigned short triangleCount;
    unsigned short* triangleIndices;  // triangleCount indices into the triangles
    signed char materialIndex;        // -1: no material
};

struct ModelMaterial {
    char name[32];
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float emissive[4];
    float shininess;
    float transparency;
    unsigned char mode;
    Texture* texture;                 // NULL when the material names no texture file
    char textureFileName[128];
    char alphaMapFileName[128];
};

struct ModelArrays {
    unsigned short m_VertexCount;
    ModelVertex* m_Vertices;
    unsigned short m_TriangleCount;
    ModelTriangle* m_Triangles;
    unsigned short m_GroupCount;
    ModelGroup* m_Groups;
    unsigned short m_MaterialCount;
    ModelMaterial* m_Materials;
};

#endif
