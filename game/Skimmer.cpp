// The craft's light, visibility and drag.
#include "game/Skimmer.h"

#include <GL/gl.h>
#include <cmath>

Skimmer::Skimmer(const char* fileName)
    : Model(), m_Shown(0), m_LightOn(true)
{
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat specular[4] = {0.1f, 0.1f, 0.1f, 0.5f};
    const GLfloat atViewer[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat ahead[3] = {0.0f, 0.0f, -1.0f};
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glLightfv(GL_LIGHT1, GL_AMBIENT, white);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT1, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT1, GL_POSITION, atViewer);
    glLightf(GL_LIGHT1, GL_SPOT_CUTOFF, 45.0f);
    glLightf(GL_LIGHT1, GL_SPOT_EXPONENT, 100.0f);
    glLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, ahead);
    Load(fileName);
}

Skimmer::~Skimmer()
{
}

void Skimmer::Render(Frustum* frustum)
{
    if (m_Shown == 1) {
        SceneObject::Render(frustum);
    }
}

void Skimmer::Reset()
{
    SceneObject::Reset();
}

void Skimmer::Update()
{
    SceneObject::Update();
}

void Skimmer::ToggleLight()
{
    m_LightOn = !m_LightOn;
    if (m_LightOn) {
        glEnable(GL_LIGHT1);
    } else {
        glDisable(GL_LIGHT1);
    }
}

void Skimmer::Drag(float factor)
{
    if (std::fabs(m_Speed) > 0.0f) {
        m_Speed = m_Speed - m_Speed * factor;
    }
}
