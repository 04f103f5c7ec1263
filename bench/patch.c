/* Yardstick for a patch run: the least a program can do to write a font
 * durably into the three game files of the bench's stand-in game.
 *
 *   patch FOLDER          the names are in upper case, as the table has them
 *   patch --scan FOLDER   the names are in any case: one read of the folder
 *                         finds all four
 */
#include <ctype.h>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#define NAMES 4 /* the font, then the three targets */

static const char* const kNames[NAMES] = {"ZYR2.FNT", "ZYR2.DOS", "ZYR2.EXE",
                                          "BRANVEL.EXE"};
/* The lengths of the stand-in game's files, and where their font lies. */
static const long kLengths[] = {928799, 615936, 616448};
static const long kOffsets[] = {881700, 513588, 514100};

static int same_ignoring_case(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (toupper((unsigned char)*a) != toupper((unsigned char)*b))
      return 0;
  }
  return *a == *b;
}

/* One pass over the folder: each name as the folder spells it. */
static int scan(const char* folder, char found[NAMES][256]) {
  DIR* dir = opendir(folder);
  if (dir == NULL)
    return 0;
  const struct dirent* entry;
  while ((entry = readdir(dir)) != NULL) {
    for (int i = 0; i < NAMES; ++i) {
      if (found[i][0] == '\0' && same_ignoring_case(entry->d_name, kNames[i]))
        snprintf(found[i], 256, "%s", entry->d_name);
    }
  }
  closedir(dir);
  return 1;
}

static int patch(const char* path, const unsigned char* font) {
  const int fd = open(path, O_RDWR | O_CLOEXEC);
  struct stat info;
  if (fd < 0 || fstat(fd, &info) != 0)
    return 0;
  long offset = -1;
  for (int i = 0; i < 3; ++i) {
    if (info.st_size == kLengths[i])
      offset = kOffsets[i];
  }
  const int done = offset >= 0 && pwrite(fd, font, 2048, offset) == 2048 &&
                   fsync(fd) == 0;
  return close(fd) == 0 && done;
}

int main(int argc, char** argv) {
  const int any_case = argc == 3 && strcmp(argv[1], "--scan") == 0;
  const char* folder = argv[argc - 1];
  char names[NAMES][256] = {{0}};
  if (any_case ? !scan(folder, names) : argc != 2)
    return 2;
  char paths[NAMES][4096];
  for (int i = 0; i < NAMES; ++i)
    snprintf(paths[i], sizeof paths[i], "%s/%s", folder,
             any_case ? names[i] : kNames[i]);

  unsigned char font[2049];
  const int fd = open(paths[0], O_RDONLY | O_CLOEXEC);
  if (fd < 0 || read(fd, font, sizeof font) != 2048 || close(fd) != 0)
    return 1;
  for (int i = 1; i < NAMES; ++i) {
    if (!patch(paths[i], font))
      return 1;
  }
  return 0;
}
