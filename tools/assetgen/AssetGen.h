// The game's asset generator: every model, picture and sound the game loads,
// made here from fixed seeds, so every run writes the same bytes. Each
// generator writes its files under a root directory (the game's working
// directory) and returns false, after printing why, when it cannot.
#ifndef TOOLS_ASSETGEN_ASSET_GEN_H
#define TOOLS_ASSETGEN_ASSET_GEN_H

#include <string>
#include <vector>

// Pictures: terrain.tga, sand1.tga, sand2.tga, clouds.bmp and the model skins.
bool WritePictures(const std::string& root);
// Models: skimmer.ms3d, palm.ms3d, box.ms3d.
bool WriteModels(const std::string& root);
// Sounds: crash.wav, gotbox.wav.
bool WriteEffects(const std::string& root);
// Music: techno.mp3.
bool WriteMusic(const std::string& root);
// The desktop icon: vellmora.svg.
bool WriteIcon(const std::string& root);

// File writers shared by the generators. Pixels are rows from the top down,
// three bytes red, green, blue per pixel.
struct Picture {
    int width;
    int height;
    std::vector<unsigned char> rgb;

    Picture(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, 0) {}
    void Set(int x, int y, float r, float g, float b);  // components 0..1, clamped
};

bool WriteTga(const std::string& path, const Picture& picture);
bool WriteBmp(const std::string& path, const Picture& picture);
bool WriteWav(const std::string& path, const std::vector<float>& samples, int rate);
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// Deterministic noise. Hash-based value noise with optional wrap-around
// (period in lattice cells, 0 for none), and fractal sums of it.
class Noise {
public:
    explicit Noise(unsigned seed) : m_Seed(seed) {}
    float Value(float x, float y, int period = 0) const;                  // 0..1
    float Fractal(float x, float y, int octaves, int period = 0) const;   // 0..1
    float Random(unsigned index) const;                                   // 0..1, per index

private:
    float Lattice(int x, int y) const;
    unsigned m_Seed;
};

#endif
