// Skimmer: the player's hover craft, a model that is drawn only while shown
// (it is hidden in the cockpit view), carries a spotlight along the line of
// sight (light 1, switched with 'l') and slows by drag. Its motion is the
// scene object's; the world's rules keep it above the ground.
#ifndef GAME_SKIMMER_H
#define GAME_SKIMMER_H

#include "assets/Model.h"

class Skimmer : public Model {
public:
    int m_Shown;       // drawn only while exactly 1; starts at 0
    bool m_LightOn;    // light 1; starts on

    // Sets up light 1 (a spot at the viewer pointing along the line of sight;
    // the model-view matrix must still be the identity), then loads the model.
    explicit Skimmer(const char* fileName);
    ~Skimmer() override;

    void Render(Frustum* frustum) override;
    void Reset() override;
    void Update() override;

    void SetShown(int shown) { m_Shown = shown; }
    // Flips the light and switches light 1 with it.
    void ToggleLight();
    // Takes factor of the speed away; a speed of exactly 0 is left alone.
    void Drag(float factor);
};

#endif
