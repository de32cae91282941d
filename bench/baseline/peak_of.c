/* Runs a command and writes its peak resident memory in KiB to the file named first:
 * peak_of FILE COMMAND [ARGS...]. The command starts from this small program, not from the
 * benchmark itself, so its high-water mark is its own and not the benchmark's. */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv) {
  if (argc < 3) return 2;
  const pid_t child = fork();
  if (child == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return 2;
  FILE *out = fopen(argv[1], "w");
  if (!out) return 2;
  fprintf(out, "%ld\n", usage.ru_maxrss);
  fclose(out);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
