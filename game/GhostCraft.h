// GhostCraft: the craft of the layout's best round, flying beside the
// player's. It shares the player's model and is drawn see-through, after
// everything else: blended over the scene and writing no depth, so the world
// shows through it. Nothing collides with it or is collected by it.
#ifndef GAME_GHOST_CRAFT_H
#define GAME_GHOST_CRAFT_H

#include "assets/Model.h"

struct GhostPose;

// How much of the craft's own colour a ghost's pixel takes.
static const float GHOST_OPACITY = 0.4f;

class GhostCraft : public Model {
public:
    // Shares the craft's geometry and materials; starts hidden.
    explicit GhostCraft(const Model& craft);

    // Stands at pose and is shown; NULL hides it.
    void Follow(const GhostPose* pose);

    // Drawn only while visible and not wholly outside the frustum.
    void Render(Frustum* frustum) override;
};

#endif
