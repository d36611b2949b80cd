// Sky: a cloud-textured dome of radius 6000 around the eye, turning slowly
// (2 degrees a second) about the vertical through a point 1000 below the eye.
// Drawn last in the world's pass, at the far plane and only where the depth
// buffer is still as cleared, with lighting and fog off, so it shows exactly
// where nothing else was drawn and costs nothing where something was. Before
// the world is drawn, LightTheFrame switches the frame's lighting and fog on;
// the sky leaves them on, texturing off and the depth test as it found it.
#ifndef TERRAIN_SKY_H
#define TERRAIN_SKY_H

#include "scene/SceneObject.h"
#include "terrain/TerrainGrid.h"

class Texture;

class Sky : public SceneObject {
public:
    Texture* m_Texture;        // owned: "images/clouds.bmp"
    Vertex* m_Vertices;        // owned, in drawing order (one triangle strip)
    int m_VertexCount;

    Sky();
    ~Sky() override;

    // Fills the dome: rings of phi from the pole (+z in the dome's own frame)
    // down to the rim at 90 degrees, segments of theta all round; four points
    // per ring segment, then the texture seam repaired. Angles in degrees.
    void BuildDome(float radius, float thetaStep, float phiStep, float horizontalTile, float verticalTile);

    void DrawGeometry() override;

    // The state the world's drawing starts from: lighting, fog, culling and
    // the depth test on, texturing off.
    static void LightTheFrame();

private:
    Sky(const Sky&);
    Sky& operator=(const Sky&);
};

#endif
