/* The TrueType reader and rasterizer of the stb single-file libraries,
 * compiled here alone, its functions static to this file so that what the
 * program does not call is left out. It trusts the font it is given:
 * truetype.cpp checks every table, offset and glyph it will follow before
 * these are called. */
#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb_truetype.h>

#include <stdlib.h>

#include "fonts/stb_truetype.h"

struct TrueTypeFont {
  stbtt_fontinfo info;
};

TrueTypeFont* TrueTypeOpen(const unsigned char* data) {
  TrueTypeFont* font = (TrueTypeFont*)calloc(1, sizeof(TrueTypeFont));
  if (font != NULL && stbtt_InitFont(&font->info, data, 0) == 0) {
    free(font);
    return NULL;
  }
  return font;
}

void TrueTypeClose(TrueTypeFont* font) {
  free(font);
}

int TrueTypeGlyphIndex(const TrueTypeFont* font, int character) {
  return stbtt_FindGlyphIndex(&font->info, character);
}

void TrueTypeCoordinates(const TrueTypeFont* font, int glyph,
                         void (*visit)(void* context, int x, int y),
                         void* context) {
  stbtt_vertex* vertices = NULL;
  const int count = stbtt_GetGlyphShape(&font->info, glyph, &vertices);
  for (int i = 0; i < count; ++i) {
    visit(context, vertices[i].x, vertices[i].y);
    if (vertices[i].type == STBTT_vcurve || vertices[i].type == STBTT_vcubic)
      visit(context, vertices[i].cx, vertices[i].cy);
  }
  stbtt_FreeShape(&font->info, vertices);
}

void TrueTypeDraw(const TrueTypeFont* font, int glyph, float scale, int top,
                  unsigned char* coverage, int width, int height) {
  stbtt_vertex* vertices = NULL;
  const int count = stbtt_GetGlyphShape(&font->info, glyph, &vertices);
  stbtt__bitmap bitmap;
  bitmap.w = width;
  bitmap.h = height;
  bitmap.stride = width;
  bitmap.pixels = coverage;
  if (count > 0)
    stbtt_Rasterize(&bitmap, 0.35f, vertices, count, scale, scale, 0, 0, 0,
                    -top, 1, NULL);
  stbtt_FreeShape(&font->info, vertices);
}
