#include "fuzz/FuzzInputs.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/SettingsFile.h"
#include "assets/Image.h"
#include "assets/Model.h"
#include "assets/Ms3dReader.h"
#include "assets/Texture.h"
#include "game/Ghost.h"
#include "game/Records.h"
#include "terrain/Heightmap.h"

static const int MAX_SAMPLED_SIDE = 257;

// What the upload relies on: width x height pixels of 3 bytes in rows padded
// to 4 bytes. Reading the last byte lets AddressSanitizer see that it is there.
static bool IsUploadable(const TexturePixels& pixels)
{
    if (pixels.m_Width < 1 || pixels.m_Height < 1 || pixels.m_Pixels == NULL) {
        return false;
    }
    size_t pitch = (static_cast<size_t>(pixels.m_Width) * 3 + 3) / 4 * 4;
    size_t last = pitch * (pixels.m_Height - 1) + static_cast<size_t>(pixels.m_Width) * 3 - 1;
    volatile unsigned char byte = pixels.m_Pixels[last];
    (void)byte;
    return true;
}

bool TryPicture(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return true;
    }
    const char* name = (data[0] & 1) ? "fuzz.tga" : "fuzz.bmp";
    Image image(name, data + 1, size - 1);
    TexturePixels* pixels = new TexturePixels(image, name);
    bool uploadable = IsUploadable(*pixels);
    delete pixels;
    // Sampling costs the same for every pixel, so large pictures add time
    // but nothing new: the game's own heightmap is 257 x 257.
    if (image.GetWidth() > MAX_SAMPLED_SIDE || image.GetHeight() > MAX_SAMPLED_SIDE) {
        return uploadable;
    }
    Heightmap heightmap(name, image);
    bool sampled = !heightmap.IsValid() ||
                   (heightmap.m_Side == image.GetWidth() && heightmap.GetHeight(0, heightmap.GetMaxIndex()) >= 0.0f);
    return uploadable && sampled;
}

bool TryModel(const uint8_t* data, size_t size)
{
    Model model;
    bool loaded = model.LoadFromMemory("fuzz.ms3d", data, size);
    // A failed load leaves nothing to draw; a model that loaded is drawn,
    // so every index it holds is followed.
    bool empty = model.m_VertexCount == 0 && model.m_TriangleCount == 0 && model.m_GroupCount == 0 &&
                 model.m_MaterialCount == 0;
    model.DrawGeometry();
    for (int i = 0; i < model.m_MaterialCount; ++i) {
        delete model.m_Materials[i].texture;
    }
    model.ReleaseVertexBuffer();
    FreeMs3dArrays(model);
    return loaded || empty;
}

bool TryRecords(const uint8_t* data, size_t size)
{
    std::vector<Record> records;
    std::vector<std::string> problems;
    ParseRecords(std::string(reinterpret_cast<const char*>(data), size), records, problems);
    PruneRecords(records);
    std::vector<Record> again;
    std::vector<std::string> none;
    return ParseRecords(FormatRecords(records), again, none) && none.empty() && again == records;
}

bool TryGhost(const uint8_t* data, size_t size)
{
    Ghost ghost;
    std::string problem;
    if (!ParseGhost(std::string(reinterpret_cast<const char*>(data), size), ghost, problem)) {
        return ghost.m_Poses.empty() && !problem.empty();
    }
    // Written back, it reads again as the same flight: the positions to the
    // bit, the orientations as the rotations they were made (unit length).
    Ghost again;
    if (!ParseGhost(FormatGhost(ghost), again, problem) || again.m_Layout != ghost.m_Layout ||
        again.m_Rules != ghost.m_Rules || again.m_Poses.size() != ghost.m_Poses.size()) {
        return false;
    }
    for (size_t i = 0; i < ghost.m_Poses.size(); ++i) {
        const GhostPose& a = ghost.m_Poses[i];
        const GhostPose& b = again.m_Poses[i];
        float dot = a.m_Orientation.x * b.m_Orientation.x + a.m_Orientation.y * b.m_Orientation.y +
                    a.m_Orientation.z * b.m_Orientation.z + a.m_Orientation.w * b.m_Orientation.w;
        if (memcmp(&a.m_Position, &b.m_Position, sizeof a.m_Position) != 0 || std::fabs(dot - 1.0f) > 1e-5f) {
            return false;
        }
    }
    return true;
}

// A line kept: the same bytes, or a last line without an end that gained
// one when a line was added after it.
static bool Kept(const std::string& before, const std::string& after)
{
    return after == before ||
           (before.back() != '\n' && (after == before + "\n" || after == before + "\r\n"));
}

// One change as the menu could make it: a value in the setting's range, a
// key swapped with the action that had it.
static void Change(Settings& s, int setting, uint8_t value)
{
    switch (setting) {
    case SETTING_FULLSCREEN: s.m_Fullscreen = static_cast<Settings::FullscreenChoice>(value % 3); break;
    case SETTING_MOUSE_SENSITIVITY: s.m_Mouse.m_DegreesPerCount = 0.05f + value * (9.95f / 255.0f); break;
    case SETTING_INVERT_MOUSE: s.m_Mouse.m_Inverted = value & 1; break;
    case SETTING_MUSIC_VOLUME: s.m_MusicVolume = value % 101; break;
    case SETTING_EFFECTS_VOLUME: s.m_EffectsVolume = value % 101; break;
    case SETTING_KEYS: s.m_KeysByPosition = value & 1; break;
    case SETTING_PAUSE_WHEN_UNFOCUSED: s.m_PauseWhenUnfocused = value & 1; break;
    case SETTING_LAYOUT: s.m_Layout = value == 0 ? 0 : value * 391 % 99999 + 1; break;
    case SETTING_GHOST: s.m_Ghost = value & 1; break;
    default: {
        int* keys = s.m_Keys.m_Keys;
        int action = setting - SETTING_ACTION_FIRST;
        int key = value < 128 ? 'a' + value % 26 : 282 + value % 12;  // letters, F1 to F12
        for (int other = 0; other < ACTION_COUNT; ++other) {
            if (keys[other] == key) {
                keys[other] = keys[action];
            }
        }
        keys[action] = key;
        break;
    }
    }
}

bool TrySettingsRewrite(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return true;
    }
    size_t changes = data[0] % 8;
    if (size < 1 + 2 * changes) {
        return true;
    }
    std::string text(reinterpret_cast<const char*>(data) + 1 + 2 * changes, size - 1 - 2 * changes);
    std::vector<std::string> problems;
    std::vector<int> settingOfLine;
    const Settings from = ParseSettingsLines(text, "", problems, settingOfLine);
    Settings to = from;
    std::vector<bool> changed(SETTING_COUNT, false);
    for (size_t i = 0; i < changes; ++i) {
        int setting = data[1 + 2 * i] % SETTING_COUNT;
        Change(to, setting, data[2 + 2 * i]);
    }
    for (int setting = 0; setting < SETTING_COUNT; ++setting) {
        changed[setting] = SettingValue(from, setting) != SettingValue(to, setting);
    }
    const std::string rewritten = RewriteSettings(text, from, to);
    const Settings read = ParseSettings(rewritten, "", problems);
    if (SettingsDiffer(read, to)) {
        return false;
    }
    const std::vector<std::string> before = SettingsLines(text);
    const std::vector<std::string> after = SettingsLines(rewritten);
    if (after.size() < before.size()) {
        return false;
    }
    for (size_t i = 0; i < before.size(); ++i) {
        if (!Kept(before[i], after[i]) && !(settingOfLine[i] >= 0 && changed[settingOfLine[i]])) {
            return false;
        }
    }
    return true;
}
