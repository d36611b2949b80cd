// The landscape's heightmap, the ground and sky textures, and model skins.
#include <cmath>

#include "AssetGen.h"

static const float TAU = 6.2831853f;

// 257 x 257 grey heights: broad hills and valleys, wind-blown dunes on the
// lower ground, and a gentle rise towards the edges so the land feels bounded.
static Picture Heightmap()
{
    const int side = 257;
    Noise hills(11);
    Noise dunes(23);
    Picture picture(side, side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            float u = x / 256.0f;
            float v = y / 256.0f;
            float broad = hills.Fractal(u * 4.0f, v * 4.0f, 5);
            // Dune crests run across the wind, bent by low-frequency noise.
            float bend = dunes.Fractal(u * 3.0f, v * 3.0f, 3) * 6.0f;
            float crest = 0.5f + 0.5f * std::sin((u * 0.8f + v * 0.6f) * 38.0f + bend);
            crest = crest * crest;
            float lowland = 1.0f - std::fmin(1.0f, broad * 1.6f);
            float du = u - 0.5f;
            float dv = v - 0.5f;
            float rim = std::fmax(0.0f, std::sqrt(du * du + dv * dv) - 0.35f) * 2.5f;
            float height = 20.0f + 190.0f * (broad - 0.25f) * 1.3f + 28.0f * crest * lowland + 80.0f * rim;
            float grey = height / 255.0f;
            picture.Set(x, y, grey, grey, grey);
        }
    }
    return picture;
}

// Base sand: warm, softly mottled, tiling seamlessly.
static Picture Sand()
{
    const int size = 256;
    Noise noise(37);
    Picture picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float mottle = noise.Fractal(x / 32.0f, y / 32.0f, 4, 8);
            float grain = noise.Value(static_cast<float>(x), static_cast<float>(y), 256);
            float shade = 0.78f + 0.22f * mottle + 0.06f * (grain - 0.5f);
            picture.Set(x, y, 0.93f * shade, 0.80f * shade, 0.56f * shade);
        }
    }
    return picture;
}

// Detail texture: grey centred on mid-grey, since the terrain doubles it, so
// it brightens and darkens the base equally; soft grain with no direction,
// since it repeats 128 times across the land. Tiles seamlessly.
static Picture SandDetail()
{
    const int size = 256;
    Noise noise(41);
    Picture picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float clumps = noise.Fractal(x / 32.0f, y / 32.0f, 3, 8) - 0.5f;
            float grain = noise.Fractal(x / 2.0f, y / 2.0f, 2, 128) - 0.5f;
            float grey = 0.5f + 0.10f * clumps + 0.12f * grain;
            picture.Set(x, y, grey, grey, grey);
        }
    }
    return picture;
}

// A sky of clouds, seamless from left to right: deep blue at the top, paler
// towards the horizon, with soft fractal clouds.
static Picture Clouds()
{
    const int width = 512;
    const int height = 256;
    Noise noise(53);
    Picture picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float v = y / static_cast<float>(height - 1);
            float cloud = noise.Fractal(x / 64.0f, y / 32.0f, 5, 8);
            cloud = std::fmax(0.0f, cloud - 0.45f) * 2.6f;
            cloud = std::fmin(1.0f, cloud);
            float r = 0.30f + 0.35f * v;
            float g = 0.50f + 0.30f * v;
            float b = 0.85f + 0.12f * v;
            float white = 0.92f + 0.08f * noise.Value(x / 8.0f, y / 8.0f, 64);
            picture.Set(x, y, r + (white - r) * cloud, g + (white - g) * cloud, b + (white - b) * cloud);
        }
    }
    return picture;
}

// The skimmer's hull: brushed blue-silver panels, seams and a racing stripe.
static Picture CraftSkin()
{
    const int size = 128;
    Noise noise(61);
    Picture picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float brushed = 0.9f + 0.1f * noise.Value(x / 2.0f, y / 24.0f);
            bool seam = (x % 32) == 0 || (y % 42) == 0;
            bool stripe = std::abs(x - size / 2) < 8;
            float r = 0.55f, g = 0.62f, b = 0.75f;
            if (stripe) {
                r = 0.95f; g = 0.45f; b = 0.10f;
            }
            float shade = brushed * (seam ? 0.55f : 1.0f);
            picture.Set(x, y, r * shade, g * shade, b * shade);
        }
    }
    return picture;
}

// Palm bark: brown rings of old leaf bases running round the trunk.
static Picture PalmBark()
{
    const int size = 64;
    Noise noise(67);
    Picture picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float ring = 0.5f + 0.5f * std::sin(y * TAU / 16.0f + 0.6f * std::sin(x * TAU / size));
            float fibre = noise.Value(x / 1.5f, y / 6.0f, 42);
            float shade = 0.55f + 0.3f * ring + 0.15f * fibre;
            picture.Set(x, y, 0.52f * shade, 0.36f * shade, 0.20f * shade);
        }
    }
    return picture;
}

// Palm leaf: green with a pale midrib and darker leaflet lines.
static Picture PalmLeaf()
{
    const int size = 64;
    Picture picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float across = std::fabs(x - size / 2.0f) / (size / 2.0f);
            bool rib = across < 0.06f;
            float leaflet = 0.8f + 0.2f * std::sin((y + across * 18.0f) * TAU / 6.0f);
            float r = rib ? 0.65f : 0.18f * leaflet;
            float g = rib ? 0.75f : (0.55f - 0.15f * across) * leaflet;
            float b = rib ? 0.35f : 0.12f * leaflet;
            picture.Set(x, y, r, g, b);
        }
    }
    return picture;
}

// A wooden crate: planks with grain, a darker frame and a diagonal brace.
static Picture Crate()
{
    const int size = 128;
    Noise noise(71);
    Picture picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float grain = 0.85f + 0.15f * noise.Value(x / 24.0f, y / 1.5f + (y / 32) * 13.0f);
            bool gap = (y % 32) < 2;
            bool frame = x < 12 || x >= size - 12 || y < 12 || y >= size - 12;
            bool brace = std::abs(x - y) < 9;
            float shade = grain * (gap ? 0.45f : 1.0f) * ((frame || brace) ? 0.72f : 1.0f);
            bool nail = frame && ((x % 58) - 6) * ((x % 58) - 6) + ((y % 58) - 6) * ((y % 58) - 6) < 5;
            if (nail) {
                picture.Set(x, y, 0.3f, 0.3f, 0.32f);
            } else {
                picture.Set(x, y, 0.72f * shade, 0.52f * shade, 0.28f * shade);
            }
        }
    }
    return picture;
}

bool WritePictures(const std::string& root)
{
    const std::string images = root + "/images/";
    return WriteTga(images + "terrain.tga", Heightmap()) && WriteTga(images + "sand1.tga", Sand()) &&
           WriteTga(images + "sand2.tga", SandDetail()) && WriteBmp(images + "clouds.bmp", Clouds()) &&
           WriteBmp(images + "craft.bmp", CraftSkin()) && WriteTga(images + "palmbark.tga", PalmBark()) &&
           WriteTga(images + "palmleaf.tga", PalmLeaf()) && WriteBmp(images + "crate.bmp", Crate());
}
