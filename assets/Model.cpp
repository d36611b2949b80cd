// Loading MS3D models and drawing them.
#include "assets/Model.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/Logger.h"
#include "assets/Ms3dReader.h"
#include "assets/Texture.h"
#include "base/Extensions.h"

static const int TEXTURE_PATH_SIZE = 200;
static const int FLOATS_PER_CORNER = 8;  // position, normal, texture coordinate
static const unsigned int ARRAY_BUFFER = 0x8892;
static const unsigned int STATIC_DRAW = 0x88E4;

Model::Model(const char* fileName)
    : ModelArrays(), m_FileName(NULL), m_VertexBuffer(0), m_GroupCorners(NULL)
{
    Load(fileName);
}

Model::Model()
    : ModelArrays(), m_FileName(NULL), m_VertexBuffer(0), m_GroupCorners(NULL)
{
}

Model::Model(const Model& source)
    : SceneObject(), ModelArrays(source), m_FileName(source.m_FileName), m_VertexBuffer(source.m_VertexBuffer), m_GroupCorners(source.m_GroupCorners)
{
    m_BoundingSphere.m_Center = source.m_BoundingSphere.m_Center;
    m_BoundingSphere.m_Radius = source.m_BoundingSphere.m_Radius;
}

Model::~Model()
{
    // The arrays are shared with every copy and live until the process ends.
}

bool Model::Load(const char* fileName)
{
    m_FileName = fileName;
    FILE* file = fopen(fileName, "rb");
    if (file == NULL) {
        LogMessage("Could not load %s correctly", fileName);
        return false;
    }
    std::vector<unsigned char> data;
    unsigned char chunk[65536];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) {
        data.insert(data.end(), chunk, chunk + got);
    }
    fclose(file);
    return LoadFromMemory(fileName, data.empty() ? NULL : &data[0], data.size());
}

bool Model::LoadFromMemory(const char* fileName, const unsigned char* data, unsigned long size)
{
    m_FileName = fileName;
    char reason[200];
    switch (ReadMs3d(data, size, *this, reason, sizeof reason)) {
    case MS3D_NOT_MS3D:
        LogMessage("%s is not a valid .ms3d", fileName);
        return false;
    case MS3D_MALFORMED:
        LogMessage("%s %s", fileName, reason);
        return false;
    case MS3D_OK:
        break;
    }
    CreateTextures();
    CreateVertexBuffer();
    ComputeBoundingSphere();
    LogMessage("Model: %s", fileName);
    return true;
}

void TexturePathFor(const char* textureFileName, char* outPath, int pathSize)
{
    const char* baseName = textureFileName;
    for (const char* c = textureFileName; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '/') {
            baseName = c + 1;
        }
    }
    snprintf(outPath, pathSize, "images/%s", baseName);
}

void Model::CreateTextures()
{
    for (int i = 0; i < m_MaterialCount; ++i) {
        ModelMaterial& material = m_Materials[i];
        material.texture = NULL;
        if (material.textureFileName[0] == '\0') {
            continue;
        }
        char path[TEXTURE_PATH_SIZE];
        TexturePathFor(material.textureFileName, path, sizeof path);
        material.texture = new Texture(path);
    }
}

void Model::ComputeBoundingSphere()
{
    Vector3 min(10000.0f, 10000.0f, 10000.0f);
    Vector3 max(-10000.0f, -10000.0f, -10000.0f);
    for (int i = 0; i < m_VertexCount; ++i) {
        const float* p = m_Vertices[i].position;
        float* lows[3] = {&min.x, &min.y, &min.z};
        float* highs[3] = {&max.x, &max.y, &max.z};
        for (int axis = 0; axis < 3; ++axis) {
            if (p[axis] > *highs[axis]) {
                *highs[axis] = p[axis];
            }
            if (p[axis] < *lows[axis]) {
                *lows[axis] = p[axis];
            }
        }
    }
    Vector3 half = (max - min) * 0.5f;
    m_BoundingSphere.m_Center = min + half;
    m_BoundingSphere.m_Radius = half.Magnitude();
    LogMessage("min/max y: %.2f, %.2f", min.y, max.y);
    LogMessage("bounding sphere center: (%.2f, %.2f, %.2f)", m_BoundingSphere.m_Center.x,
               m_BoundingSphere.m_Center.y, m_BoundingSphere.m_Center.z);
    LogMessage("bounding sphere radius: %.2f", m_BoundingSphere.m_Radius);
    LogMessage("***");
}

void Model::CreateVertexBuffer()
{
    if (!BufferObjectsLoaded() || m_GroupCount == 0) {
        return;
    }
    std::vector<float> corners;
    m_GroupCorners = new int[m_GroupCount + 1];
    for (int g = 0; g < m_GroupCount; ++g) {
        const ModelGroup& group = m_Groups[g];
        m_GroupCorners[g] = static_cast<int>(corners.size() / FLOATS_PER_CORNER);
        for (int i = 0; i < group.triangleCount; ++i) {
            const ModelTriangle& triangle = m_Triangles[group.triangleIndices[i]];
            for (int k = 0; k < 3; ++k) {
                const float* position = m_Vertices[triangle.vertexIndices[k]].position;
                corners.insert(corners.end(), position, position + 3);
                corners.insert(corners.end(), triangle.vertexNormals[k], triangle.vertexNormals[k] + 3);
                corners.push_back(triangle.s[k]);
                corners.push_back(triangle.t[k]);
            }
        }
    }
    m_GroupCorners[m_GroupCount] = static_cast<int>(corners.size() / FLOATS_PER_CORNER);
    GenBuffers(1, &m_VertexBuffer);
    BindBuffer(ARRAY_BUFFER, m_VertexBuffer);
    BufferData(ARRAY_BUFFER, static_cast<long>(corners.size() * sizeof(float)), corners.data(), STATIC_DRAW);
    BindBuffer(ARRAY_BUFFER, 0);
}

void Model::ReleaseVertexBuffer()
{
    if (m_VertexBuffer != 0) {
        DeleteBuffers(1, &m_VertexBuffer);
    }
    delete[] m_GroupCorners;
    m_VertexBuffer = 0;
    m_GroupCorners = NULL;
}

void Model::ApplyMaterial(const ModelGroup& group) const
{
    if (group.materialIndex == -1) {
        return;
    }
    const ModelMaterial& material = m_Materials[group.materialIndex];
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material.ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SHININESS, &material.shininess);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, material.emissive);
    if (material.texture != NULL) {
        material.texture->Bind();
    }
}

void Model::DrawGeometry()
{
    if (m_VertexBuffer == 0) {
        DrawImmediately();
        return;
    }
    const GLsizei stride = FLOATS_PER_CORNER * sizeof(float);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    ClientActiveTexture(GL_TEXTURE0);
    BindBuffer(ARRAY_BUFFER, m_VertexBuffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(0));
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(6 * sizeof(float)));
    for (int g = 0; g < m_GroupCount; ++g) {
        ApplyMaterial(m_Groups[g]);
        glDrawArrays(GL_TRIANGLES, m_GroupCorners[g], m_GroupCorners[g + 1] - m_GroupCorners[g]);
    }
    BindBuffer(ARRAY_BUFFER, 0);
    glPopClientAttrib();
}

void Model::DrawImmediately()
{
    glPushMatrix();
    for (int g = 0; g < m_GroupCount; ++g) {
        const ModelGroup& group = m_Groups[g];
        ApplyMaterial(group);
        glBegin(GL_TRIANGLES);
            for (int i = 0; i < group.triangleCount; ++i) {
                const ModelTriangle& triangle = m_Triangles[group.triangleIndices[i]];
                for (int k = 0; k < 3; ++k) {
                    glNormal3fv(triangle.vertexNormals[k]);
                    glTexCoord2f(triangle.s[k], triangle.t[k]);
                    glVertex3fv(m_Vertices[triangle.vertexIndices[k]].position);
                }
            }
        glEnd();
    }
    glPopMatrix();
}
