// The game's icon: a hover craft over a dune under an evening sky, as SVG.
#include <string>
#include <vector>

#include "AssetGen.h"

bool WriteIcon(const std::string& root)
{
    const std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n"
        "  <defs>\n"
        "    <linearGradient id=\"sky\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
        "      <stop offset=\"0\" stop-color=\"#3b6fd8\"/><stop offset=\"1\" stop-color=\"#a9c8f2\"/>\n"
        "    </linearGradient>\n"
        "  </defs>\n"
        "  <rect x=\"2\" y=\"2\" width=\"60\" height=\"60\" rx=\"10\" fill=\"url(#sky)\"/>\n"
        "  <path d=\"M2 44 Q18 34 34 42 T62 40 V52 Q62 62 52 62 H12 Q2 62 2 52 Z\" fill=\"#d9b46c\"/>\n"
        "  <path d=\"M2 50 Q22 44 40 50 T62 48 V52 Q62 62 52 62 H12 Q2 62 2 52 Z\" fill=\"#b8904a\"/>\n"
        "  <path d=\"M12 33 L32 20 L52 33 Z\" fill=\"#8ea1bf\" stroke=\"#2b3a55\" stroke-width=\"1.5\"/>\n"
        "  <rect x=\"30\" y=\"20\" width=\"4\" height=\"13\" fill=\"#f07a1a\"/>\n"
        "  <rect x=\"10\" y=\"32\" width=\"44\" height=\"4\" rx=\"2\" fill=\"#2b3a55\"/>\n"
        "  <ellipse cx=\"32\" cy=\"40\" rx=\"18\" ry=\"2\" fill=\"#000\" opacity=\"0.25\"/>\n"
        "</svg>\n";
    return WriteBytes(root + "/vellmora.svg", std::vector<unsigned char>(svg.begin(), svg.end()));
}
