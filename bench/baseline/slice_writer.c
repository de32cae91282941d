/* Baseline for the export: reads the whole file, then write()s each slice to a new file
 * BASE_n.amr. The slices start at the offsets listed in OFFSETS (one per line) and each runs to
 * the next start, the last one to the end of the file. With "--sync" every file is flushed at
 * the end, as the export flushes its records. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int WriteAll(int fd, const char *data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written <= 0) return -1;
    data += written;
    size -= (size_t)written;
  }
  return 0;
}

int main(int argc, char **argv) {
  if (argc < 4) return 2;
  const int sync = argc > 4 && strcmp(argv[4], "--sync") == 0;
  const int fd = open(argv[1], O_RDONLY);
  struct stat info;
  if (fd < 0 || fstat(fd, &info) != 0) return 2;
  const size_t size = (size_t)info.st_size;
  char *data = malloc(size ? size : 1);
  for (size_t done = 0; done < size;) {
    const ssize_t got = read(fd, data + done, size - done);
    if (got <= 0) return 2;
    done += (size_t)got;
  }
  FILE *list = fopen(argv[2], "r");
  if (!list) return 2;
  size_t capacity = 1024, count = 0;
  long long *starts = malloc(capacity * sizeof *starts);
  for (long long start; fscanf(list, "%lld", &start) == 1;) {
    if (count == capacity) starts = realloc(starts, (capacity *= 2) * sizeof *starts);
    starts[count++] = start;
  }
  int *files = malloc((count ? count : 1) * sizeof *files);
  for (size_t i = 0; i < count; ++i) {
    const size_t end = i + 1 < count ? (size_t)starts[i + 1] : size;
    char name[4096];
    snprintf(name, sizeof name, "%s_%zu.amr", argv[3], i + 1);
    files[i] = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (files[i] < 0 || WriteAll(files[i], data + starts[i], end - (size_t)starts[i]) != 0)
      return 2;
    if (!sync) close(files[i]);
  }
  if (sync) {
    for (size_t i = 0; i < count; ++i)
      if (fsync(files[i]) != 0 || close(files[i]) != 0) return 2;
  }
  printf("%zu\n", count);
  return 0;
}
