// The game's three models, built from simple solids and written as MS3D
// files (version 4). Coordinates: y up, the craft's nose towards -z, each
// model's origin where the world puts it (on the ground for palm and box).
// Faces wind counter-clockwise seen from outside, as the game culls backs.
#include <cmath>
#include <cstring>

#include "AssetGen.h"

namespace {

const float TAU = 6.2831853f;

struct V3 {
    float x, y, z;
};

V3 Sub(V3 a, V3 b) { return V3{a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 CrossV(V3 a, V3 b) { return V3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V3 Unit(V3 v)
{
    float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return length > 0.0f ? V3{v.x / length, v.y / length, v.z / length} : V3{0.0f, 1.0f, 0.0f};
}

struct Corner {
    V3 position;
    float s, t;
};

struct Material {
    const char* name;
    float ambient[4], diffuse[4], specular[4], emissive[4];
    float shininess;
    const char* texture;
};

class Mesh {
public:
    // Starts a group drawn with the material (index into the materials).
    void BeginGroup(const char* name, int material)
    {
        m_Groups.push_back(Group{name, material, {}});
    }
    void AddMaterial(const Material& material) { m_Materials.push_back(material); }

    // One flat-shaded triangle, counter-clockwise seen from its front.
    void Triangle(const Corner& a, const Corner& b, const Corner& c)
    {
        V3 normal = Unit(CrossV(Sub(b.position, a.position), Sub(c.position, a.position)));
        Tri tri;
        const Corner* corners[3] = {&a, &b, &c};
        for (int k = 0; k < 3; ++k) {
            tri.index[k] = static_cast<unsigned short>(m_Vertices.size());
            m_Vertices.push_back(corners[k]->position);
            tri.normal[k] = normal;
            tri.s[k] = corners[k]->s;
            tri.t[k] = corners[k]->t;
        }
        tri.group = static_cast<unsigned char>(m_Groups.size() - 1);
        m_Groups.back().triangles.push_back(static_cast<unsigned short>(m_Triangles.size()));
        m_Triangles.push_back(tri);
    }
    // A quad a-b-c-d, counter-clockwise seen from its front.
    void Quad(const Corner& a, const Corner& b, const Corner& c, const Corner& d)
    {
        Triangle(a, b, c);
        Triangle(a, c, d);
    }
    void DoubleQuad(const Corner& a, const Corner& b, const Corner& c, const Corner& d)
    {
        Quad(a, b, c, d);
        Quad(a, d, c, b);
    }

    std::vector<unsigned char> Ms3d() const;

private:
    struct Tri {
        unsigned short index[3];
        V3 normal[3];
        float s[3], t[3];
        unsigned char group;
    };
    struct Group {
        const char* name;
        int material;
        std::vector<unsigned short> triangles;
    };
    std::vector<V3> m_Vertices;
    std::vector<Tri> m_Triangles;
    std::vector<Group> m_Groups;
    std::vector<Material> m_Materials;
};

class Out {
public:
    std::vector<unsigned char> bytes;
    void U8(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); }
    void U16(unsigned v) { U8(v & 0xFF); U8((v >> 8) & 0xFF); }
    void S32(int v) { unsigned u = static_cast<unsigned>(v); U16(u & 0xFFFF); U16(u >> 16); }
    void F(float v) { int bits; memcpy(&bits, &v, 4); S32(bits); }
    void Text(const char* text, size_t field)
    {
        size_t length = strlen(text);
        for (size_t i = 0; i < field; ++i) {
            U8(i < length ? static_cast<unsigned char>(text[i]) : 0);
        }
    }
};

std::vector<unsigned char> Mesh::Ms3d() const
{
    Out out;
    out.Text("MS3D000000", 10);
    out.S32(4);
    out.U16(static_cast<unsigned>(m_Vertices.size()));
    for (const V3& v : m_Vertices) {
        out.U8(0);
        out.F(v.x); out.F(v.y); out.F(v.z);
        out.U8(0xFF);  // bone id -1
        out.U8(1);
    }
    out.U16(static_cast<unsigned>(m_Triangles.size()));
    for (const Tri& t : m_Triangles) {
        out.U16(0);
        for (int k = 0; k < 3; ++k) out.U16(t.index[k]);
        for (int k = 0; k < 3; ++k) { out.F(t.normal[k].x); out.F(t.normal[k].y); out.F(t.normal[k].z); }
        for (int k = 0; k < 3; ++k) out.F(t.s[k]);
        for (int k = 0; k < 3; ++k) out.F(t.t[k]);
        out.U8(1);
        out.U8(t.group);
    }
    out.U16(static_cast<unsigned>(m_Groups.size()));
    for (const Group& g : m_Groups) {
        out.U8(0);
        out.Text(g.name, 32);
        out.U16(static_cast<unsigned>(g.triangles.size()));
        for (unsigned short index : g.triangles) out.U16(index);
        out.U8(static_cast<unsigned>(static_cast<signed char>(g.material)) & 0xFF);
    }
    out.U16(static_cast<unsigned>(m_Materials.size()));
    for (const Material& m : m_Materials) {
        out.Text(m.name, 32);
        for (float v : m.ambient) out.F(v);
        for (float v : m.diffuse) out.F(v);
        for (float v : m.specular) out.F(v);
        for (float v : m.emissive) out.F(v);
        out.F(m.shininess);
        out.F(1.0f);  // transparency: opaque
        out.U8(0);
        out.Text(m.texture, 128);
        out.Text("", 128);
    }
    // Animation: 24 frames per second, at frame 0 of 1, and no joints.
    out.F(24.0f);
    out.F(0.0f);
    out.S32(1);
    out.U16(0);
    return out.bytes;
}

Corner C(float x, float y, float z, float s, float t) { return Corner{V3{x, y, z}, s, t}; }

// A closed box from lo to hi, each face mapped to the whole texture.
void Box(Mesh& mesh, V3 lo, V3 hi)
{
    float x0 = lo.x, y0 = lo.y, z0 = lo.z, x1 = hi.x, y1 = hi.y, z1 = hi.z;
    mesh.Quad(C(x0, y0, z1, 0, 1), C(x1, y0, z1, 1, 1), C(x1, y1, z1, 1, 0), C(x0, y1, z1, 0, 0));  // +z
    mesh.Quad(C(x1, y0, z0, 0, 1), C(x0, y0, z0, 1, 1), C(x0, y1, z0, 1, 0), C(x1, y1, z0, 0, 0));  // -z
    mesh.Quad(C(x1, y0, z1, 0, 1), C(x1, y0, z0, 1, 1), C(x1, y1, z0, 1, 0), C(x1, y1, z1, 0, 0));  // +x
    mesh.Quad(C(x0, y0, z0, 0, 1), C(x0, y0, z1, 1, 1), C(x0, y1, z1, 1, 0), C(x0, y1, z0, 0, 0));  // -x
    mesh.Quad(C(x0, y1, z1, 0, 1), C(x1, y1, z1, 1, 1), C(x1, y1, z0, 1, 0), C(x0, y1, z0, 0, 0));  // +y
    mesh.Quad(C(x0, y0, z0, 0, 1), C(x1, y0, z0, 1, 1), C(x1, y0, z1, 1, 0), C(x0, y0, z1, 0, 0));  // -y
}

Material MakeMaterial(const char* name, float r, float g, float b, float glow, float shine, const char* texture)
{
    Material m = {name, {r * 0.5f, g * 0.5f, b * 0.5f, 1.0f}, {r, g, b, 1.0f}, {0.4f, 0.4f, 0.4f, 1.0f},
                  {r * glow, g * glow, b * glow, 1.0f}, shine, texture};
    return m;
}

// The skimmer: a low wedge hull on two pontoons, a canopy, a tail fin and
// glowing thrusters; about 80 long, 52 wide and 20 high.
std::vector<unsigned char> Skimmer()
{
    Mesh mesh;
    mesh.AddMaterial(MakeMaterial("thruster", 1.0f, 0.5f, 0.1f, 0.9f, 10.0f, ""));
    mesh.AddMaterial(MakeMaterial("hull", 1.0f, 1.0f, 1.0f, 0.0f, 60.0f, ".\\skins\\craft.bmp"));
    mesh.AddMaterial(MakeMaterial("canopy", 0.2f, 0.35f, 0.55f, 0.1f, 120.0f, ""));

    // Drawn first, untextured, while texturing is still off after the sky.
    mesh.BeginGroup("thrusters", 0);
    Box(mesh, V3{-22, 1, 36}, V3{-12, 7, 40});
    Box(mesh, V3{12, 1, 36}, V3{22, 7, 40});

    mesh.BeginGroup("hull", 1);
    // The wedge: nose at -40, flaring back to the full width at z 10.
    const float nose = -40.0f, mid = 10.0f, tail = 36.0f;
    Corner n0 = C(0, 2, nose, 0.5f, 0), n1 = C(0, 5, nose, 0.5f, 0);
    Corner ml0 = C(-16, 0, mid, 0, 0.6f), mr0 = C(16, 0, mid, 1, 0.6f);
    Corner ml1 = C(-14, 10, mid, 0.1f, 0.6f), mr1 = C(14, 10, mid, 0.9f, 0.6f);
    Corner tl0 = C(-16, 0, tail, 0, 1), tr0 = C(16, 0, tail, 1, 1);
    Corner tl1 = C(-14, 10, tail, 0.1f, 1), tr1 = C(14, 10, tail, 0.9f, 1);
    mesh.Triangle(n1, ml1, mr1);                 // top of the nose
    mesh.Triangle(n0, mr0, ml0);                 // belly of the nose
    mesh.Quad(n0, ml0, ml1, n1);                 // left cheek
    mesh.Quad(n0, n1, mr1, mr0);                 // right cheek
    mesh.Quad(ml1, tl1, tr1, mr1);               // deck
    mesh.Quad(ml0, mr0, tr0, tl0);               // belly
    mesh.Quad(ml0, tl0, tl1, ml1);               // left side
    mesh.Quad(mr0, mr1, tr1, tr0);               // right side
    mesh.Quad(tl0, tr0, tr1, tl1);               // stern
    // Pontoons and the fin.
    Box(mesh, V3{-26, -6, -22}, V3{-16, 4, 38});
    Box(mesh, V3{16, -6, -22}, V3{26, 4, 38});
    mesh.Quad(C(-1, 10, 20, 0, 1), C(-1, 10, 36, 1, 1), C(-1, 20, 36, 1, 0), C(-1, 20, 32, 0, 0));
    mesh.Quad(C(1, 10, 36, 0, 1), C(1, 10, 20, 1, 1), C(1, 20, 32, 1, 0), C(1, 20, 36, 0, 0));

    mesh.BeginGroup("canopy", 2);
    Corner cf = C(0, 10, -18, 0.5f, 0), cl = C(-8, 10, 6, 0, 1), cr = C(8, 10, 6, 1, 1), ct = C(0, 16, 4, 0.5f, 0.8f);
    mesh.Triangle(cf, cl, ct);
    mesh.Triangle(cf, ct, cr);
    mesh.Triangle(cl, cr, ct);
    return mesh.Ms3d();
}

// A palm: a curved, tapering trunk about 220 high and a crown of eight
// drooping fronds reaching about 110 out.
std::vector<unsigned char> Palm()
{
    Mesh mesh;
    mesh.AddMaterial(MakeMaterial("bark", 0.9f, 0.85f, 0.8f, 0.0f, 5.0f, "textures/palmbark.tga"));
    mesh.AddMaterial(MakeMaterial("leaf", 0.8f, 1.0f, 0.8f, 0.0f, 20.0f, "palmleaf.tga"));

    mesh.BeginGroup("trunk", 0);
    const int sides = 8, segments = 6;
    const float height = 220.0f;
    auto ring = [&](int segment, int side) {
        float f = segment / static_cast<float>(segments);
        float radius = 11.0f - 5.0f * f;
        float lean = 18.0f * f * f;  // the trunk bends gently
        float angle = side * TAU / sides;
        return C(lean + radius * std::cos(angle), height * f, -radius * std::sin(angle),
                 side / static_cast<float>(sides), f * 4.0f);
    };
    for (int segment = 0; segment < segments; ++segment) {
        for (int side = 0; side < sides; ++side) {
            mesh.Quad(ring(segment, side), ring(segment, side + 1), ring(segment + 1, side + 1),
                      ring(segment + 1, side));
        }
    }

    mesh.BeginGroup("fronds", 1);
    const float topX = 18.0f, topY = height;
    const int fronds = 8, steps = 5;
    for (int f = 0; f < fronds; ++f) {
        float angle = f * TAU / fronds + 0.3f;
        float dx = std::cos(angle), dz = -std::sin(angle);
        float sideX = -dz, sideZ = dx;
        for (int k = 0; k < steps; ++k) {
            float a = k / static_cast<float>(steps), b = (k + 1) / static_cast<float>(steps);
            auto point = [&](float u, float across) {
                float reach = 110.0f * u;
                float rise = 30.0f * u - 75.0f * u * u;  // up, then drooping
                float halfWidth = 14.0f * (1.0f - u) + 2.0f;
                return C(topX + dx * reach + sideX * halfWidth * across, topY + rise,
                         dz * reach + sideZ * halfWidth * across, 0.5f + 0.5f * across, u);
            };
            mesh.DoubleQuad(point(a, -1), point(b, -1), point(b, 1), point(a, 1));
        }
    }
    return mesh.Ms3d();
}

// A wooden crate, 60 on a side, standing on its origin.
std::vector<unsigned char> Crate()
{
    Mesh mesh;
    mesh.AddMaterial(MakeMaterial("wood", 1.0f, 1.0f, 1.0f, 0.15f, 8.0f, "crate.bmp"));
    mesh.BeginGroup("crate", 0);
    Box(mesh, V3{-30, 0, -30}, V3{30, 60, 30});
    return mesh.Ms3d();
}

}  // namespace

bool WriteModels(const std::string& root)
{
    const std::string models = root + "/models/";
    return WriteBytes(models + "skimmer.ms3d", Skimmer()) && WriteBytes(models + "palm.ms3d", Palm()) &&
           WriteBytes(models + "box.ms3d", Crate());
}
