/* The image readers (PNG, BMP and GIF) and the PNG writer of the stb
 * single-file libraries, compiled here alone, with no file access of their
 * own. Their functions are static to this file, so that what the program
 * does not call (the other image formats) is left out of it. */
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
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

#include "fonts/stb_image.h"

int ImageSize(const unsigned char* image, int size, int* width, int* height) {
  int channels = 0;
  return stbi_info_from_memory(image, size, width, height, &channels);
}

unsigned short* ImageLoad16(const unsigned char* image, int size, int* width,
                            int* height, int* channels) {
  return stbi_load_16_from_memory(image, size, width, height, channels, 0);
}

unsigned char* ImageLoad8(const unsigned char* image, int size, int* width,
                          int* height, int* channels) {
  return stbi_load_from_memory(image, size, width, height, channels, 0);
}

void ImageFree(void* pixels) {
  stbi_image_free(pixels);
}

int PngWrite(void (*write)(void* context, void* data, int size), void* context,
             int width, int height, int channels, const unsigned char* pixels) {
  return stbi_write_png_to_func(write, context, width, height, channels,
                                pixels, width * channels);
}
