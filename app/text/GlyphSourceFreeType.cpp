// Glyph source on fontconfig (finding the face) and FreeType (rendering it).
#include "app/text/GlyphSource.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

static bool FindFaceFile(const char* pattern, char* outFile, int fileSize, int* outIndex)
{
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (query == NULL) {
        return false;
    }
    FcConfigSubstitute(NULL, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(NULL, query, &result);
    FcPatternDestroy(query);
    if (match == NULL) {
        return false;
    }
    FcChar8* file = NULL;
    bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
    if (found) {
        snprintf(outFile, fileSize, "%s", reinterpret_cast<const char*>(file));
        if (FcPatternGetInteger(match, FC_INDEX, 0, outIndex) != FcResultMatch) {
            *outIndex = 0;
        }
    }
    FcPatternDestroy(match);
    return found;
}

// Copies FreeType's top-down mono bitmap into bottom-up rows padded to 4 bytes.
static void CopyGlyph(const FT_GlyphSlot slot, GlyphBitmap& glyph)
{
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.rowBytes = ((glyph.width + 7) / 8 + 3) / 4 * 4;
    glyph.xOrigin = static_cast<float>(-slot->bitmap_left);
    glyph.yOrigin = static_cast<float>(glyph.height - slot->bitmap_top);
    glyph.advance = static_cast<float>(slot->advance.x >> 6);
    glyph.rows = NULL;
    if (glyph.height == 0 || glyph.width == 0) {
        return;
    }
    glyph.rows = static_cast<unsigned char*>(calloc(static_cast<size_t>(glyph.rowBytes) * glyph.height, 1));
    if (glyph.rows == NULL) {
        glyph.width = glyph.height = 0;
        return;
    }
    int sourceBytes = (glyph.width + 7) / 8;
    for (int row = 0; row < glyph.height; ++row) {
        const unsigned char* source = bitmap.buffer + row * bitmap.pitch;
        memcpy(glyph.rows + (glyph.height - 1 - row) * glyph.rowBytes, source, sourceBytes);
    }
}

bool LoadGlyphBitmaps(const char* pattern, int pixelSize, GlyphBitmap outGlyphs[GLYPH_COUNT],
                      char* outFaceFile, int faceFileSize)
{
    memset(outGlyphs, 0, sizeof(GlyphBitmap) * GLYPH_COUNT);
    outFaceFile[0] = '\0';
    char file[1024];
    int index = 0;
    if (!FindFaceFile(pattern, file, sizeof file, &index)) {
        return false;
    }
    FT_Library library = NULL;
    if (FT_Init_FreeType(&library) != 0) {
        return false;
    }
    FT_Face face = NULL;
    bool loaded = FT_New_Face(library, file, index, &face) == 0 &&
                  FT_Set_Pixel_Sizes(face, 0, pixelSize) == 0;
    if (loaded) {
        for (int i = 0; i < GLYPH_COUNT; ++i) {
            if (FT_Load_Char(face, GLYPH_FIRST + i, FT_LOAD_RENDER | FT_LOAD_MONOCHROME | FT_LOAD_TARGET_MONO) == 0 &&
                face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                CopyGlyph(face->glyph, outGlyphs[i]);
            }
        }
        snprintf(outFaceFile, faceFileSize, "%s", file);
    }
    if (face != NULL) {
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return loaded;
}

void FreeGlyphBitmaps(GlyphBitmap glyphs[GLYPH_COUNT])
{
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        free(glyphs[i].rows);
        glyphs[i].rows = NULL;
    }
}
