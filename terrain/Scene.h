// Scene: ties the terrain to the game. It owns the terrain and its two
// ground textures and the sky, remembers the player's craft, files the
// world's palms and boxes in the terrain's quadtree, and draws the world as
// a camera sees it: craft, ground and objects, the sky, the see-through.
#ifndef TERRAIN_SCENE_H
#define TERRAIN_SCENE_H

#include <vector>

class Camera;
class Frustum;
class SceneObject;
class Sky;
class Terrain;
class Texture;

class Scene {
public:
    std::vector<SceneObject*> m_Objects;          // not owned, every object added
    std::vector<SceneObject*> m_UnculledObjects;  // not owned, drawn without culling
    Terrain* m_Terrain;                           // owned
    SceneObject* m_Player;                        // not owned
    SceneObject* m_SeeThrough;                    // not owned: drawn last, blended over everything
    Sky* m_Sky;                                   // owned, from CreateSky; none before
    std::vector<Texture*> m_Textures;             // the ground's base and detail; live to the end

    // Loads "images/sand1.tga" and "images/sand2.tga" and builds the terrain
    // from "images/terrain.tga" with 32 patches a side, or takes the one built
    // early. Needs the OpenGL context.
    Scene();
    // Queues the terrain's building as early work (see EarlyWork.h) for the
    // next Scene to take. Optional: without it, Scene builds it itself.
    static void StartBuildingTerrain();
    ~Scene();

    // Makes the sky (its texture loaded and logged then). Needs the OpenGL
    // context.
    void CreateSky();
    void SetPlayer(SceneObject* player) { m_Player = player; }
    void SetSeeThrough(SceneObject* object) { m_SeeThrough = object; }
    Terrain* GetTerrain() const { return m_Terrain; }
    // Files the object in the quadtree and keeps it.
    void AddObject(SceneObject* object);
    // Files every culled object in the quadtree again, where it now stands
    // (a new layout moved them).
    void RefileObjects();
    // Keeps the object for drawing every frame, without culling.
    void AddUnculledObject(SceneObject* object);
    // Draws the 3D world as camera sees it: loads its view transform,
    // refreshes the shared frustum, draws the scene with it, then the sky
    // where nothing else is, then the see-through object over all.
    void DrawFrom(const Camera& camera);
    // The player, then the terrain and its visible objects, then the unculled.
    void Draw(Frustum* frustum);
    // The see-through object, once the scene and the sky are drawn.
    void DrawSeeThrough(Frustum* frustum);

private:
    Scene(const Scene&);
    Scene& operator=(const Scene&);
};

#endif
