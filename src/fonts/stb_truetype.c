/* The TrueType reader and rasterizer of the stb single-file libraries,
 * compiled here alone. It trusts the font it is given: truetype.cpp checks
 * every table, offset and glyph it will follow before it is called. */
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>
