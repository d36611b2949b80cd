// Camera: follows one target (the player's craft) and turns it into the view
// transform each frame, in the cockpit view (from the craft's own position and
// orientation) or the outside view (from 500 above and 500 behind along world
// +z, trailing one tick). What the view shows is the scene's to draw.
#ifndef SCENE_CAMERA_H
#define SCENE_CAMERA_H

#include "scene/SceneObject.h"

class Camera : public SceneObject {
public:
    SceneObject* m_Target;     // not owned; none until SetTarget
    Vector3 m_LagPosition;     // outside view: the position before the latest Update
    bool m_CockpitView;        // the game starts in the cockpit view

    // Sets the viewport and the 60-degree perspective projection (near 4,
    // far 8000) for a window of width x height pixels.
    Camera(int width, int height);

    void SetTarget(SceneObject* target);
    void SetCockpitView();
    void SetOutsideView();

    // Copies the target's orientation, forward and position; in the outside
    // view the previous position becomes the lag position first.
    void Update() override;

    // Loads the view transform into the model-view matrix, and gives the
    // sky's: in the cockpit view the view's rotation alone, so the dome
    // stays round the eye; in the outside view the whole view.
    void LoadView(float outSkyMatrix[16]) const;

private:
    Camera(const Camera&);
    Camera& operator=(const Camera&);
};

#endif
