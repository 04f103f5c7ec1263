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

#include <string.h>

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

int ImageInflateRaw(unsigned char* out, int out_size, const unsigned char* in,
                    int in_size, int* consumed) {
  stbi__zbuf z;
  z.zbuffer = (stbi_uc*)in;
  z.zbuffer_end = (stbi_uc*)in + in_size;
  if (!stbi__do_zlib(&z, (char*)out, out_size, 0, 0))
    return strcmp(stbi__g_failure_reason, "output buffer limit") == 0 ? -2
                                                                       : -1;
  /* Whole bytes read ahead into the bit buffer were not the data's. */
  *consumed = (int)(z.zbuffer - (stbi_uc*)in) - z.num_bits / 8;
  return (int)(z.zout - z.zout_start);
}

unsigned ImageCrc32(const unsigned char* bytes, int size) {
  return stbiw__crc32((unsigned char*)bytes, size);
}

void ImageFree(void* pixels) {
  stbi_image_free(pixels);
}

int PngWrite(void (*write)(void* context, void* data, int size), void* context,
             int width, int height, int channels, const unsigned char* pixels) {
  return stbi_write_png_to_func(write, context, width, height, channels,
                                pixels, width * channels);
}
