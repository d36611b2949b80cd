// The scene's objects and its drawing.
#include "terrain/Scene.h"

#include <cstddef>

#include "assets/Texture.h"
#include "scene/SceneObject.h"
#include "terrain/terrain.h"

static const int PATCHES_PER_SIDE = 32;

Scene::Scene()
    : m_Terrain(NULL), m_Player(NULL)
{
    m_Textures.push_back(new Texture("images/sand1.tga"));
    m_Textures.push_back(new Texture("images/sand2.tga"));
    m_Terrain = new Terrain("images/terrain.tga", &m_Textures, PATCHES_PER_SIDE);
}

Scene::~Scene()
{
    delete m_Terrain;
}

void Scene::AddObject(SceneObject* object)
{
    m_Terrain->AddObject(object);
    m_Objects.push_back(object);
}

void Scene::AddUnculledObject(SceneObject* object)
{
    m_UnculledObjects.push_back(object);
    m_Objects.push_back(object);
}

void Scene::Draw(Frustum* frustum)
{
    if (m_Player != NULL) {
        m_Player->Render(frustum);
    }
    m_Terrain->Render(frustum);
    for (SceneObject* object : m_UnculledObjects) {
        if (object->visible) {
            object->Render(frustum);
        }
    }
}
