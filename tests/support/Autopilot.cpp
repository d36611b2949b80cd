#include "tests/support/Autopilot.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <cmath>

#include "app/Game.h"
#include "game/Skimmer.h"
#include "game/World.h"

static const float DEGREES = 57.29578f;

Autopilot::Autopilot(Game& game)
    : m_Game(game), m_Forward(false), m_Brake(false), m_Boost(false),
      m_RollLeft(false), m_RollRight(false)
{
}

Autopilot::~Autopilot()
{
}

void PushKeyEvent(int keySymbol, bool pressed)
{
    SDL_Event event = {};
    event.type = pressed ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = pressed ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = static_cast<SDLKey>(keySymbol);
    SDL_PushEvent(&event);
}

void Autopilot::SetKey(int symbol, bool& held, bool pressed)
{
    if (held != pressed) {
        held = pressed;
        PushKeyEvent(symbol, pressed);
    }
}

void Autopilot::ReleaseKeys()
{
    SetKey('w', m_Forward, false);
    SetKey('s', m_Brake, false);
    SetKey(KEY_TAB, m_Boost, false);
    SetKey('q', m_RollLeft, false);
    SetKey('e', m_RollRight, false);
}

static float Wrap(float degrees)
{
    while (degrees > 180.0f) degrees -= 360.0f;
    while (degrees < -180.0f) degrees += 360.0f;
    return degrees;
}

void Autopilot::Steer(const Vector3& target)
{
    const Skimmer& craft = *m_Game.m_Skimmer;
    Vector3 forward = craft.m_Orientation * Vector3(0.0f, 0.0f, -1.0f);
    Vector3 right = craft.m_Orientation * Vector3(1.0f, 0.0f, 0.0f);
    Vector3 to = target - craft.m_Position;
    float distance = std::sqrt(to.x * to.x + to.z * to.z);

    // Headings as yaw angles: forward (-sin h, 0, -cos h).
    float wanted = std::atan2(-to.x, -to.z) * DEGREES;
    float current = std::atan2(-forward.x, -forward.z) * DEGREES;
    float error = Wrap(wanted - current);
    int dx = static_cast<int>(std::lround(std::max(-8.0f, std::min(8.0f, -error))));
    // Nose a little down, so the floor rule keeps the craft skimming; more
    // when it is high above the target (coming down off a hill).
    float above = craft.m_Position.y - (target.y + 100.0f);
    float wantedPitch = -4.0f - std::max(0.0f, std::min(30.0f, above * 40.0f / std::max(distance, 100.0f)));
    float pitch = std::asin(std::max(-1.0f, std::min(1.0f, forward.y))) * DEGREES;
    int dy = static_cast<int>(std::lround(std::max(-5.0f, std::min(5.0f, wantedPitch - pitch))));
    if (dx != 0 || dy != 0) {
        m_Mouse.MoveBy(dx, dy);
    }
    // Wings level: 'e' lowers the right wing, 'q' the left.
    SetKey('e', m_RollRight, right.y > 0.03f);
    SetKey('q', m_RollLeft, right.y < -0.03f);

    float wantedSpeed = std::max(4.0f, std::min(20.0f, distance / 40.0f));
    bool aligned = std::fabs(error) < 25.0f;
    SetKey('w', m_Forward, aligned && craft.m_Speed < wantedSpeed - 0.5f);
    SetKey('s', m_Brake, !m_Forward && craft.m_Speed > wantedSpeed + 2.0f);
    // Long straight legs: burn the whole charge, then let it refill.
    bool boost = distance > 3000.0f && std::fabs(error) < 5.0f &&
                 (m_Boost ? m_Game.m_Round.m_AfterburnerCharge >= 3 : m_Game.m_Round.m_AfterburnerCharge == 100);
    SetKey(KEY_TAB, m_Boost, boost);
}

SceneObject* Autopilot::NearestBox() const
{
    SceneObject* nearest = NULL;
    float best = 1e30f;
    const Vector3& from = m_Game.m_Skimmer->m_Position;
    for (SceneObject* object : m_Game.m_World->m_Objects) {
        if (object->kind != 3 || !object->visible) {
            continue;
        }
        Vector3 to = object->m_Position - from;
        float distance = std::sqrt(to.x * to.x + to.z * to.z);
        if (distance < best) {
            best = distance;
            nearest = object;
        }
    }
    return nearest;
}

int Autopilot::CollectAllBoxes(int frameBudget)
{
    int frames = 0;
    for (SceneObject* box = NearestBox(); box != NULL && frames < frameBudget; box = NearestBox()) {
        Steer(box->m_Position);
        m_Game.RunFrame();
        ++frames;
    }
    ReleaseKeys();
    return frames;
}
