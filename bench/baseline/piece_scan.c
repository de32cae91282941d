/* Floor for the scan: reads the file a MiB at a time and counts every occurrence of the AMR
 * magic and of the record marker in any letter case, as a careful C program would: both texts
 * begin with a byte that has no case, so memchr finds the candidates and the rest is compared
 * without case. The last bytes of a piece are kept for the next, so no text is missed at the
 * seams. */
#include <ctype.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kPiece = 1 << 20, kCarry = 11 };

static int SameFolded(const unsigned char *data, const char *text, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (tolower(data[i]) != tolower((unsigned char)text[i])) return 0;
  return 1;
}

static long Count(const unsigned char *data, size_t size, size_t limit, int first,
                  const char *text, size_t length) {
  long count = 0;
  for (const unsigned char *at = data; (at = memchr(at, first, size - (size_t)(at - data)));) {
    if ((size_t)(at - data) >= limit) break;
    if ((size_t)(data + size - at) >= length && SameFolded(at, text, length)) ++count;
    ++at;
  }
  return count;
}

int main(int argc, char **argv) {
  if (argc != 2) return 2;
  const int fd = open(argv[1], O_RDONLY);
  if (fd < 0) return 2;
  unsigned char *buffer = malloc(kPiece + kCarry);
  const char marker[] = "\x06\x1F\x22" "audio/amr";
  long magics = 0, markers = 0;
  size_t kept = 0;
  for (;;) {
    const ssize_t got = read(fd, buffer + kept, kPiece);
    if (got < 0) return 2;
    const size_t held = kept + (size_t)got;
    const size_t limit = got == 0 ? held : held - (held < kCarry ? held : kCarry);
    magics += Count(buffer, held, limit, '#', "#!AMR", 5);
    markers += Count(buffer, held, limit, 6, marker, sizeof marker - 1);
    if (got == 0) break;
    kept = held - limit;
    memmove(buffer, buffer + limit, kept);
  }
  printf("%ld %ld\n", magics, markers);
  return 0;
}
