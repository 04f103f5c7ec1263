/* The calls the program makes of the stb image code, which stb_image.c
 * compiles privately so that nothing else of it reaches the program. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/* The width and height of a PNG, BMP or GIF image in memory, from its
 * header alone; 0 when it cannot tell. */
int ImageSize(const unsigned char* image, int size, int* width, int* height);

/* The pixels of an image in memory, in the channels it has (1 grey, 2 grey
 * and alpha, 3 red, green and blue, 4 with alpha), of 16 bits (8-bit ones
 * widened) or of 8, to be given back to ImageFree; NULL when it cannot be
 * read. A GIF gives its first frame. */
unsigned short* ImageLoad16(const unsigned char* image, int size, int* width,
                            int* height, int* channels);
unsigned char* ImageLoad8(const unsigned char* image, int size, int* width,
                          int* height, int* channels);
void ImageFree(void* pixels);

/* Inflates raw deflate data into a buffer of out_size bytes: the number
 * of bytes made, -1 when the data is damaged, -2 when it makes more than
 * out_size; consumed tells how many input bytes it took. The page's
 * inflate, where zlib is not. */
int ImageInflateRaw(unsigned char* out, int out_size, const unsigned char* in,
                    int in_size, int* consumed);
unsigned ImageCrc32(const unsigned char* bytes, int size);

/* Writes an image of 8-bit channels (1 grey, 3 red, green and blue) as PNG
 * through the callback; 0 on failure. */
int PngWrite(void (*write)(void* context, void* data, int size), void* context,
             int width, int height, int channels, const unsigned char* pixels);

#ifdef __cplusplus
}
#endif
