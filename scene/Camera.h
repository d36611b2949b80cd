// Camera: follows one target (the player's craft) and turns it into the view
// transform each frame, in the cockpit view (from the craft's own position and
// orientation) or the outside view (from 500 above and 500 behind along world
// +z, trailing one tick). It owns the sky; Apply draws the scene, then the sky.
#ifndef SCENE_CAMERA_H
#define SCENE_CAMERA_H

#include "scene/SceneObject.h"

class Scene;
class Sky;

class Camera : public SceneObject {
public:
    Sky* m_Sky;                // created here, kept for the whole run
    Scene* m_Scene;            // not owned; drawn by Apply
    SceneObject* m_Target;     // not owned; none until SetTarget
    Vector3 m_LagPosition;     // outside view: the position before the latest Update
    bool m_CockpitView;        // the game starts in the cockpit view

    // Sets the viewport and the 60-degree perspective projection (near 4,
    // far 8000) for a window of width x height pixels, and creates the sky.
    Camera(int width, int height, Scene* scene);
    ~Camera() override;

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
    // Draws the 3D world: loads the view transform, refreshes the shared
    // frustum, draws the scene with it, then the sky where nothing else is.
    void Apply();

private:
    Camera(const Camera&);
    Camera& operator=(const Camera&);
};

#endif
