// World: the level. Twenty palms to avoid and twenty boxes to collect,
// copies of two template models scattered over the terrain by a numbered
// layout (see Layout.h); each tick its rules keep the craft in the flying space (at
// least 100 above the ground, at most 1500 high, inside the land's square),
// crash it against palms, collect boxes, and leave two overlay lines.
#ifndef GAME_WORLD_H
#define GAME_WORLD_H

#include <vector>

class LayoutRandom;
class Model;
class Scene;
class SceneObject;
class Skimmer;

class World {
public:
    Scene* m_Scene;                        // not owned
    std::vector<SceneObject*> m_Objects;   // the 20 palms, then the 20 boxes; not owned
    Skimmer* m_Skimmer;                    // not owned; set by SetSkimmer
    int m_BoxesToCollect;                  // 20, down to 0
    std::vector<char*> m_Messages;         // the last tick's overlay lines (malloc'd, owned)

    // Places the palms and boxes of the layout on the ground of the scene's
    // terrain and files them in the scene; the same layout places the same
    // level.
    World(Scene* scene, int layout);
    virtual ~World();

    void SetSkimmer(Skimmer* skimmer) { m_Skimmer = skimmer; }

    // Moves the same palms and boxes to where the layout places them, every
    // box shown and to be collected again, and files them in the scene's
    // quadtree anew. Nothing is loaded or allocated.
    void PlaceLayout(int layout);

    // One tick of the rules. Frees the previous tick's lines, drawn or not,
    // and leaves "Boxes to collect: %d" and "%.1f FPS" (the drawn frames'
    // rate, counted by the main loop) for the frames until the next tick.
    void Update();

private:
    void Populate(const Model& templateModel, int count, int kind, LayoutRandom& random);
    void Place(SceneObject* object, LayoutRandom& random);
    void KeepInFlyingSpace();
    void Collide();
    void FreeMessages();
    void AddMessage(const char* format, ...) __attribute__((format(printf, 2, 3)));

    World(const World&);
    World& operator=(const World&);
};

// A random fraction from the C library's rand, from 0 to 1, both ends
// included: an integer from 0 to 32767 divided by 32767.
float RandomFraction();

// The coordinate a fraction stands for across a side of size world units
// centred on the origin: -size / 2 at 0, +size / 2 at 1.
float PlaceAcross(float fraction, float size);

#endif
