// Sphere tests and the sphere's debug drawing.
#include "scene/BoundingSphere.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstddef>

bool BoundingSphere::Intersects(const BoundingSphere& other) const
{
    float distance = (other.m_Center - m_Center).Magnitude();
    return distance <= m_Radius + other.m_Radius;
}

void BoundingSphere::Draw() const
{
    GLUquadric* quadric = gluNewQuadric();
    if (quadric == NULL) {
        return;
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glColor3f(0.0f, 1.0f, 0.0f);
    glPushMatrix();
        glTranslatef(m_Center.x, m_Center.y, m_Center.z);
        gluSphere(quadric, m_Radius, 20, 20);
    glPopMatrix();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor3f(1.0f, 1.0f, 1.0f);
    gluDeleteQuadric(quadric);
}
