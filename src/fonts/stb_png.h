/* The three calls the program makes of the stb PNG code, which stb_png.c
 * compiles privately so that nothing else of it reaches the program. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/* The pixels of a PNG image in memory, four channels each (red, green,
 * blue, alpha) of 16 bits, 8-bit ones widened, to be given back to PngFree;
 * NULL when it cannot be read. */
unsigned short* PngLoad16(const unsigned char* png, int size, int* width,
                          int* height);
void PngFree(void* pixels);

/* Writes an image of 8-bit channels (1 grey, 3 red, green and blue) as PNG
 * through the callback; 0 on failure. */
int PngWrite(void (*write)(void* context, void* data, int size), void* context,
             int width, int height, int channels, const unsigned char* pixels);

#ifdef __cplusplus
}
#endif
