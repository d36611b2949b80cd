// The scene's objects and its drawing.
#include "terrain/Scene.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstddef>

#include "base/EarlyWork.h"
#include "assets/Texture.h"
#include "scene/Camera.h"
#include "scene/Frustum.h"
#include "scene/SceneObject.h"
#include "terrain/Sky.h"
#include "terrain/terrain.h"

static const char* const HEIGHTMAP_FILE = "images/terrain.tga";
static const int PATCHES_PER_SIDE = 32;

// The terrain built as early work for the next Scene; NULL until then, and
// where the heightmap was refused.
static Terrain* s_EarlyTerrain = NULL;

static void BuildTerrain(void* terrain)
{
    *static_cast<Terrain**>(terrain) = Terrain::BuildAhead(HEIGHTMAP_FILE, PATCHES_PER_SIDE);
}

void Scene::StartBuildingTerrain()
{
    QueueEarlyJob(BuildTerrain, &s_EarlyTerrain);
}

Scene::Scene()
    : m_Terrain(NULL), m_Player(NULL), m_SeeThrough(NULL), m_Sky(NULL)
{
    m_Textures.push_back(new Texture("images/sand1.tga"));
    m_Textures.push_back(new Texture("images/sand2.tga"));
    // Without the job queued, there is nothing to wait for and no terrain.
    WaitForEarlyJob(&s_EarlyTerrain);
    m_Terrain = s_EarlyTerrain;
    s_EarlyTerrain = NULL;
    if (m_Terrain != NULL) {
        m_Terrain->Finish(HEIGHTMAP_FILE, &m_Textures);
    } else {
        // Built here, the terrain says what is wrong with its heightmap.
        m_Terrain = new Terrain(HEIGHTMAP_FILE, &m_Textures, PATCHES_PER_SIDE);
    }
}

Scene::~Scene()
{
    delete m_Sky;
    delete m_Terrain;
}

void Scene::CreateSky()
{
    m_Sky = new Sky();
}

void Scene::DrawFrom(const Camera& camera)
{
    float skyMatrix[16];
    camera.LoadView(skyMatrix);
    Sky::LightTheFrame();
    g_Frustum.Update();
    Draw(&g_Frustum);
    // The sky last, only where nothing was drawn: the same picture as a dome
    // drawn first and covered, without shading the pixels that get covered.
    glPushMatrix();
        glLoadMatrixf(skyMatrix);
        m_Sky->Render(NULL);
    glPopMatrix();
    // Over the sky too, which would otherwise cover it where it writes no depth.
    DrawSeeThrough(&g_Frustum);
}

void Scene::AddObject(SceneObject* object)
{
    m_Terrain->AddObject(object);
    m_Objects.push_back(object);
}

void Scene::RefileObjects()
{
    m_Terrain->ClearObjects();
    for (SceneObject* object : m_Objects) {
        if (std::find(m_UnculledObjects.begin(), m_UnculledObjects.end(), object) == m_UnculledObjects.end()) {
            m_Terrain->AddObject(object);
        }
    }
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

void Scene::DrawSeeThrough(Frustum* frustum)
{
    if (m_SeeThrough != NULL) {
        m_SeeThrough->Render(frustum);
    }
}
