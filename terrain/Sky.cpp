// Building and drawing the sky dome.
#include "terrain/Sky.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <cmath>

#include "assets/Texture.h"

static const float DEGREES_TO_RADIANS = 0.017453292f;
static const float TWO_PI = 6.2831855f;
static const float SKY_PI = 3.1415927f;

Sky::Sky()
    : m_Texture(NULL), m_Vertices(NULL), m_VertexCount(0)
{
    m_Texture = new Texture("images/clouds.bmp");
    BuildDome(6000.0f, 5.0f, 5.0f, 1.0f, 1.0f);
}

Sky::~Sky()
{
    delete[] m_Vertices;
    delete m_Texture;
}

static Vertex DomePoint(float radius, float phiDegrees, float thetaDegrees, float hTile, float vTile)
{
    float phi = phiDegrees * DEGREES_TO_RADIANS;
    float theta = thetaDegrees * DEGREES_TO_RADIANS;
    Vertex vertex(radius * std::sin(phi) * std::cos(theta), radius * std::sin(phi) * std::sin(theta),
                  radius * std::cos(phi));
    Vector3 d = vertex.m_Position * (1.0f / vertex.m_Position.Magnitude());
    vertex.m_U = std::atan2(d.x, d.z) / TWO_PI * hTile + 0.5f;
    vertex.m_V = std::asin(d.y) / SKY_PI * vTile + 0.5f;
    return vertex;
}

// Where a triangle's texture coordinates jump across the picture's seam,
// lift the low ones by a whole repeat so the triangle does not smear the
// picture backwards.
static void RepairSeam(float& a, float& b, float& c, float threshold)
{
    float* pairs[6][2] = {{&a, &b}, {&b, &a}, {&a, &c}, {&c, &a}, {&b, &c}, {&c, &b}};
    for (auto& pair : pairs) {
        if (*pair[0] - *pair[1] > threshold) {
            *pair[1] += 1.0f;
        }
    }
}

void Sky::BuildDome(float radius, float thetaStep, float phiStep, float horizontalTile, float verticalTile)
{
    delete[] m_Vertices;
    m_VertexCount = static_cast<int>((360.0f / thetaStep) * (90.0f / phiStep) * 4.0f);
    m_Vertices = new Vertex[m_VertexCount];
    int n = 0;
    int phiIncrement = static_cast<int>(phiStep);
    int thetaIncrement = static_cast<int>(thetaStep);
    for (int phi = 0; phi <= 90.0f - phiStep && n < m_VertexCount; phi += phiIncrement) {
        for (int theta = 0; theta <= 360.0f - thetaStep && n + 4 <= m_VertexCount; theta += thetaIncrement) {
            float p = static_cast<float>(phi);
            float t = static_cast<float>(theta);
            m_Vertices[n++] = DomePoint(radius, p, t, horizontalTile, verticalTile);
            m_Vertices[n++] = DomePoint(radius, p + phiStep, t, horizontalTile, verticalTile);
            m_Vertices[n++] = DomePoint(radius, p, t + thetaStep, horizontalTile, verticalTile);
            if (p > -90.0f && p < 90.0f) {
                m_Vertices[n++] = DomePoint(radius, p + phiStep, t + thetaStep, horizontalTile, verticalTile);
            }
        }
    }
    for (int i = 0; i < m_VertexCount - 3; ++i) {
        RepairSeam(m_Vertices[i].m_U, m_Vertices[i + 1].m_U, m_Vertices[i + 2].m_U, 0.9f);
        RepairSeam(m_Vertices[i].m_V, m_Vertices[i + 1].m_V, m_Vertices[i + 2].m_V, 0.8f);
    }
}

void Sky::LightTheFrame()
{
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_FOG);
}

void Sky::DrawGeometry()
{
    m_Texture->Bind();
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    // At the far plane, drawn only where the depth buffer is still as
    // cleared, and leaving it so.
    glDepthRange(1.0, 1.0);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glPushMatrix();
        glTranslatef(0.0f, -1000.0f, 0.0f);
        glRotatef(static_cast<float>(SDL_GetTicks()) / 500.0f, 0.0f, 1.0f, 0.0f);
        glRotatef(270.0f, 1.0f, 0.0f, 0.0f);  // the dome's +z pole to +y
        glBegin(GL_TRIANGLE_STRIP);
            for (int i = 0; i < m_VertexCount; ++i) {
                glTexCoord2f(m_Vertices[i].m_U, m_Vertices[i].m_V);
                glVertex3f(m_Vertices[i].m_Position.x, m_Vertices[i].m_Position.y, m_Vertices[i].m_Position.z);
            }
        glEnd();
    glPopMatrix();
    // Back to the normal depth range and test.
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDepthRange(0.0, 1.0);
    LightTheFrame();
}
