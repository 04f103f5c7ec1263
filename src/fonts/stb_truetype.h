/* The calls the program makes of the stb TrueType code, which
 * stb_truetype.c compiles privately so that nothing else of it reaches the
 * program. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TrueTypeFont TrueTypeFont;

/* A font of TrueType outlines in memory, which must outlive it; NULL when
 * it cannot be read. Closed by TrueTypeClose. */
TrueTypeFont* TrueTypeOpen(const unsigned char* data);
void TrueTypeClose(TrueTypeFont* font);

/* The glyph of a Unicode character; 0 for none. */
int TrueTypeGlyphIndex(const TrueTypeFont* font, int character);

/* Gives every coordinate of the glyph's outline, control points too, in
 * font units, y upwards. */
void TrueTypeCoordinates(const TrueTypeFont* font, int glyph,
                         void (*visit)(void* context, int x, int y),
                         void* context);

/* Draws the glyph scaled, its baseline top pixels below the bitmap's top
 * row and its origin at the left: each pixel's coverage, 0 to 255. */
void TrueTypeDraw(const TrueTypeFont* font, int glyph, float scale, int top,
                  unsigned char* coverage, int width, int height);

#ifdef __cplusplus
}
#endif
