/* Floor for the export: copies each slice of the file to a new file BASE_n.amr without ever
 * holding the file whole, with pread/write a MiB at a time, or with "--copy-range" by
 * copy_file_range, where the bytes do not pass through the program. The slices start at the
 * offsets listed in OFFSETS (one per line) and each runs to the next start, the last one to the
 * end of the file. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

enum { kPiece = 1 << 20 };

static int CopyByReads(int in, int out, off_t at, off_t end, char *buffer) {
  while (at < end) {
    const size_t want = (size_t)(end - at < kPiece ? end - at : kPiece);
    const ssize_t got = pread(in, buffer, want, at);
    if (got <= 0) return -1;
    for (ssize_t done = 0; done < got;) {
      const ssize_t wrote = write(out, buffer + done, (size_t)(got - done));
      if (wrote <= 0) return -1;
      done += wrote;
    }
    at += got;
  }
  return 0;
}

static int CopyByRange(int in, int out, off_t at, off_t end) {
  while (at < end) {
    const ssize_t copied = copy_file_range(in, &at, out, NULL, (size_t)(end - at), 0);
    if (copied <= 0) return -1;
  }
  return 0;
}

int main(int argc, char **argv) {
  if (argc < 4) return 2;
  const int range = argc > 4 && strcmp(argv[4], "--copy-range") == 0;
  const int in = open(argv[1], O_RDONLY);
  struct stat info;
  if (in < 0 || fstat(in, &info) != 0) return 2;
  FILE *list = fopen(argv[2], "r");
  if (!list) return 2;
  size_t capacity = 1024, count = 0;
  long long *starts = malloc(capacity * sizeof *starts);
  for (long long start; fscanf(list, "%lld", &start) == 1;) {
    if (count == capacity) starts = realloc(starts, (capacity *= 2) * sizeof *starts);
    starts[count++] = start;
  }
  char *buffer = malloc(kPiece);
  for (size_t i = 0; i < count; ++i) {
    const off_t end = i + 1 < count ? (off_t)starts[i + 1] : info.st_size;
    char name[4096];
    snprintf(name, sizeof name, "%s_%zu.amr", argv[3], i + 1);
    const int out = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) return 2;
    const int failed = range ? CopyByRange(in, out, (off_t)starts[i], end)
                             : CopyByReads(in, out, (off_t)starts[i], end, buffer);
    if (failed || close(out) != 0) return 2;
  }
  printf("%zu\n", count);
  return 0;
}
