/* The PNG reader and writer of the stb single-file libraries, compiled here
 * alone, with PNG alone enabled and no file access of their own. Their
 * functions are static to this file, so that what the program does not call
 * (the other image formats) is left out of it. */
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_THREAD_LOCALS
#define STBI_MAX_DIMENSIONS 16384
#include <stb_image.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include "fonts/stb_png.h"

unsigned short* PngLoad16(const unsigned char* png, int size, int* width,
                          int* height) {
  int channels = 0;
  return stbi_load_16_from_memory(png, size, width, height, &channels, 4);
}

void PngFree(void* pixels) {
  stbi_image_free(pixels);
}

int PngWrite(void (*write)(void* context, void* data, int size), void* context,
             int width, int height, int channels, const unsigned char* pixels) {
  return stbi_write_png_to_func(write, context, width, height, channels,
                                pixels, width * channels);
}
