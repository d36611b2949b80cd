// Setting up the level and its per-tick rules.
#include "game/World.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "assets/Model.h"
#include "game/Layout.h"
#include "game/Skimmer.h"
#include "game/Timer.h"
#include "sound/Sound.h"
#include "terrain/Scene.h"
#include "terrain/TerrainGrid.h"
#include "terrain/terrain.h"

static const int PALM_COUNT = 20;
static const int BOX_COUNT = 20;
static const int KIND_PALM = 1;
static const int KIND_BOX = 3;
static const float FLOOR_CLEARANCE = 100.0f;
static const float CEILING = 1500.0f;
static const float CRASH_SPEED = -5.0f;
static const int MESSAGE_SIZE = 200;

float RandomFraction()
{
    // glibc's rand reaches 2^31 - 1; its low 15 bits are as evenly spread.
    return static_cast<float>(rand() % 32768) / 32767.0f;
}

float PlaceAcross(float fraction, float size)
{
    return -size / 2.0f + fraction * size;
}

World::World(Scene* scene, int layout)
    : m_Scene(scene), m_Skimmer(NULL), m_BoxesToCollect(0)
{
    LayoutRandom random(static_cast<unsigned int>(layout));
    Model* palm = new Model("models/palm.ms3d");  // lends its mesh; lives to the end
    Populate(*palm, PALM_COUNT, KIND_PALM, random);
    Model* box = new Model("models/box.ms3d");
    m_BoxesToCollect = BOX_COUNT;
    Populate(*box, m_BoxesToCollect, KIND_BOX, random);
}

World::~World()
{
    FreeMessages();
}

void World::Populate(const Model& templateModel, int count, int kind, LayoutRandom& random)
{
    for (int i = 0; i < count; ++i) {
        Model* copy = new Model(templateModel);
        Place(copy, random);
        m_Scene->AddObject(copy);
        copy->kind = kind;
        m_Objects.push_back(copy);
    }
}

// On the ground at the layout's next two fractions across the land.
void World::Place(SceneObject* object, LayoutRandom& random)
{
    const Terrain* terrain = m_Scene->GetTerrain();
    float size = static_cast<float>(terrain->m_Grid->GetWorldSize());
    float x = PlaceAcross(random.Fraction(), size);
    float z = PlaceAcross(random.Fraction(), size);
    object->SetPosition(x, terrain->m_Grid->GetGroundHeight(x, z), z);
}

void World::PlaceLayout(int layout)
{
    // The objects in the order they were made, each taking the same two
    // numbers as then: the palms, then the boxes.
    LayoutRandom random(static_cast<unsigned int>(layout));
    for (SceneObject* object : m_Objects) {
        Place(object, random);
        object->visible = true;
    }
    m_BoxesToCollect = BOX_COUNT;
    m_Scene->RefileObjects();
}

void World::Update()
{
    FreeMessages();
    KeepInFlyingSpace();
    Collide();
    AddMessage("Boxes to collect: %d", m_BoxesToCollect);
    AddMessage("%.1f FPS", static_cast<double>(Timer::Instance()->UpdateRate()));
}

// Writes the position directly; the craft's own step later this tick
// rebuilds its sphere from the corrected position.
void World::KeepInFlyingSpace()
{
    const Terrain* terrain = m_Scene->GetTerrain();
    Vector3& p = m_Skimmer->m_Position;
    float ground = terrain->m_Grid->GetGroundHeight(p.x, p.z);
    float half = terrain->m_Grid->GetWorldSize() / 2.0f;
    if (p.y - ground < FLOOR_CLEARANCE) {
        p.y = ground + FLOOR_CLEARANCE;
    } else if (p.y > CEILING) {
        p.y = CEILING;
    }
    if (p.x < -half) p.x = -half;
    if (p.x > half) p.x = half;
    if (p.z < -half) p.z = -half;
    if (p.z > half) p.z = half;
}

void World::Collide()
{
    const BoundingSphere& craft = m_Skimmer->GetBoundingSphere();
    for (SceneObject* object : m_Objects) {
        if (!craft.Intersects(object->GetBoundingSphere())) {
            continue;
        }
        if (object->kind != KIND_BOX) {
            // Thrown back; the craft is not moved out of the palm, so while it
            // stays inside, this happens again every tick.
            m_Skimmer->SetSpeed(CRASH_SPEED);
            PlayEffect("crash.wav");
        } else if (object->visible) {
            --m_BoxesToCollect;
            object->visible = false;
            PlayEffect("gotbox.wav");
        }
    }
}

void World::FreeMessages()
{
    for (char* message : m_Messages) {
        free(message);
    }
    m_Messages.clear();
}

void World::AddMessage(const char* format, ...)
{
    char* line = static_cast<char*>(malloc(MESSAGE_SIZE));
    if (line == NULL) {
        return;
    }
    va_list args;
    va_start(args, format);
    vsnprintf(line, MESSAGE_SIZE, format, args);
    va_end(args);
    m_Messages.push_back(line);
}
