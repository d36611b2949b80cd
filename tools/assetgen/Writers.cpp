// Picture, sound and byte writers, and the noise behind the pictures.
#include "AssetGen.h"

#include <cmath>
#include <cstdio>

static float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

void Picture::Set(int x, int y, float r, float g, float b)
{
    size_t i = (static_cast<size_t>(y) * width + x) * 3;
    rgb[i] = static_cast<unsigned char>(Clamp01(r) * 255.0f + 0.5f);
    rgb[i + 1] = static_cast<unsigned char>(Clamp01(g) * 255.0f + 0.5f);
    rgb[i + 2] = static_cast<unsigned char>(Clamp01(b) * 255.0f + 0.5f);
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == NULL) {
        perror(path.c_str());
        return false;
    }
    bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = fclose(file) == 0 && written;
    if (!written) {
        fprintf(stderr, "%s: write failed\n", path.c_str());
    }
    return written;
}

static void Put16(std::vector<unsigned char>& out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

static void Put32(std::vector<unsigned char>& out, unsigned value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// Uncompressed true-colour TGA, origin at the top left, pixels blue-green-red.
bool WriteTga(const std::string& path, const Picture& picture)
{
    std::vector<unsigned char> out;
    const unsigned char header[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    out.insert(out.end(), header, header + 12);
    Put16(out, picture.width);
    Put16(out, picture.height);
    out.push_back(24);
    out.push_back(0x20);  // top-left origin: rows from the top down
    for (size_t i = 0; i < picture.rgb.size(); i += 3) {
        out.push_back(picture.rgb[i + 2]);
        out.push_back(picture.rgb[i + 1]);
        out.push_back(picture.rgb[i]);
    }
    return WriteBytes(path, out);
}

// 24-bit BMP: rows from the bottom up, each padded to 4 bytes.
bool WriteBmp(const std::string& path, const Picture& picture)
{
    unsigned rowBytes = (picture.width * 3 + 3) / 4 * 4;
    unsigned imageBytes = rowBytes * picture.height;
    std::vector<unsigned char> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, picture.width);
    Put32(out, picture.height);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, imageBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            size_t i = (static_cast<size_t>(y) * picture.width + x) * 3;
            out.push_back(picture.rgb[i + 2]);
            out.push_back(picture.rgb[i + 1]);
            out.push_back(picture.rgb[i]);
        }
        for (unsigned pad = picture.width * 3; pad < rowBytes; ++pad) {
            out.push_back(0);
        }
    }
    return WriteBytes(path, out);
}

// 16-bit mono PCM WAV.
bool WriteWav(const std::string& path, const std::vector<float>& samples, int rate)
{
    unsigned dataBytes = static_cast<unsigned>(samples.size() * 2);
    std::vector<unsigned char> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put32(out, 36 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, rate);
    Put32(out, rate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, dataBytes);
    for (float sample : samples) {
        int value = static_cast<int>(std::lround(Clamp01(sample * 0.5f + 0.5f) * 65535.0f)) - 32768;
        Put16(out, static_cast<unsigned>(value) & 0xFFFF);
    }
    return WriteBytes(path, out);
}

float Noise::Lattice(int x, int y) const
{
    unsigned h = m_Seed * 0x9E3779B9u ^ static_cast<unsigned>(x) * 0x85EBCA6Bu ^ static_cast<unsigned>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float Noise::Random(unsigned index) const
{
    return Lattice(static_cast<int>(index), 7919);
}

static int Wrap(int value, int period)
{
    if (period <= 0) {
        return value;
    }
    int wrapped = value % period;
    return wrapped < 0 ? wrapped + period : wrapped;
}

float Noise::Value(float x, float y, int period) const
{
    int x0 = static_cast<int>(std::floor(x));
    int y0 = static_cast<int>(std::floor(y));
    float fx = x - x0;
    float fy = y - y0;
    float sx = fx * fx * (3.0f - 2.0f * fx);
    float sy = fy * fy * (3.0f - 2.0f * fy);
    float a = Lattice(Wrap(x0, period), Wrap(y0, period));
    float b = Lattice(Wrap(x0 + 1, period), Wrap(y0, period));
    float c = Lattice(Wrap(x0, period), Wrap(y0 + 1, period));
    float d = Lattice(Wrap(x0 + 1, period), Wrap(y0 + 1, period));
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float Noise::Fractal(float x, float y, int octaves, int period) const
{
    float sum = 0.0f;
    float amplitude = 0.5f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Value(x, y, period);
        total += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        amplitude *= 0.5f;
    }
    return sum / total;
}
