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
// The ghost never covers the view: it fades out as it nears the eye, gone
// within this many of its bounding radii (about a craft's length) and whole
// from this many (a few lengths).
static const float GHOST_GONE_WITHIN = 2.0f;
static const float GHOST_WHOLE_FROM = 6.0f;

class GhostCraft : public Model {
public:
    // Shares the craft's geometry and materials; starts hidden.
    explicit GhostCraft(const Model& craft);

    // Stands at pose and is shown; NULL hides it.
    void Follow(const GhostPose* pose);

    // Drawn only while visible, not wholly outside the frustum and not
    // within GHOST_GONE_WITHIN radii of the eye; nearer than
    // GHOST_WHOLE_FROM radii, fainter the nearer.
    void Render(Frustum* frustum) override;

    // The share of GHOST_OPACITY a ghost of radius takes at distance from
    // the eye: 0 within GHOST_GONE_WITHIN radii, 1 from GHOST_WHOLE_FROM,
    // rising smoothly between.
    static float Nearness(float distance, float radius);

private:
    // How far the ghost's place is from the eye of the view being drawn.
    float EyeDistance() const;
};

#endif
