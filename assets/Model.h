// Model: a scene object holding the meshes of one MS3D file, exactly as read:
// vertices, triangles, groups and materials. Copies share the arrays (the
// world copies one palm and one box for every placed palm and box), and
// nothing frees loaded geometry or textures before the process ends.
// Drawing goes group by group, each with its material, from one buffer
// object made at load and shared by the copies; where the context has no
// buffer objects, vertex by vertex in immediate mode.
#ifndef ASSETS_MODEL_H
#define ASSETS_MODEL_H

#include "assets/ModelData.h"
#include "scene/SceneObject.h"

class Model : public SceneObject, public ModelArrays {
public:
    const char* m_FileName;           // the caller's text, not copied
    // The triangles of each group in turn, three corners each as position,
    // normal and texture coordinate, in a buffer object shared by the copies;
    // 0: drawn vertex by vertex.
    unsigned int m_VertexBuffer;
    int* m_GroupCorners;              // with a buffer: group g's corners are [g] up to [g + 1]

    // Loads the file; a failed load leaves an empty model that draws nothing.
    explicit Model(const char* fileName);
    // An empty model, loaded later through Load.
    Model();
    // Shares the source's geometry, textures and bounding sphere; position and
    // orientation start fresh.
    Model(const Model& source);
    ~Model() override;

    // Reads an MS3D file, creates a texture per material that names one
    // ("images/" + the name's base name), sets the bounding sphere from the
    // vertices' box and logs the figures. Needs a current OpenGL context.
    // Returns false, with one log line and an empty model, when the file
    // cannot be opened or is not a well-formed MS3D file.
    bool Load(const char* fileName);
    // The same, from the file's bytes already in memory.
    bool LoadFromMemory(const char* fileName, const unsigned char* data, unsigned long size);

    // Draws every group with its material and texture, in array order.
    void DrawGeometry() override;
    // The same, vertex by vertex, whether or not there is a buffer.
    void DrawImmediately();
    // Frees the buffer object: for code that frees a model's arrays too.
    void ReleaseVertexBuffer();

private:
    void CreateTextures();
    // The buffer object of the triangles, where the context has them.
    void CreateVertexBuffer();
    void ApplyMaterial(const ModelGroup& group) const;
    void ComputeBoundingSphere();

    Model& operator=(const Model&);
};

// The texture path for a material's texture file name: "images/" followed by
// the part after the last '\' or '/'.
void TexturePathFor(const char* textureFileName, char* outPath, int pathSize);

#endif
