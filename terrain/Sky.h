// Sky: a cloud-textured dome of radius 6000 around the eye, turning slowly
// (2 degrees a second) about the vertical through a point 1000 below the eye.
// Drawn first each frame with depth test, lighting and fog off, so everything
// after it covers it; it leaves lighting and fog ON and texturing off, which
// is where the frame's lighting and fog are switched on.
#ifndef TERRAIN_SKY_H
#define TERRAIN_SKY_H

#include "scene/SceneObject.h"
#include "terrain/terrain.h"

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

private:
    Sky(const Sky&);
    Sky& operator=(const Sky&);
};

#endif
