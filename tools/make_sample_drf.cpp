// Writes a generated ".drf" container: make-sample-drf OUTPUT [RECORDS [FRAMES [SEED]]]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SampleContainer.h"

int main(int argc, char** argv) {
  constexpr char kUsage[] = "usage: make-sample-drf OUTPUT [RECORDS [FRAMES [SEED]]]\n";
  const std::string first = argc > 1 ? argv[1] : "";
  if (first == "--help" || first == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  // An option is never taken for the output's name ("./-x" names such a file).
  if (argc < 2 || argc > 5 || first.empty() || first.front() == '-') {
    std::fputs(kUsage, stderr);
    return 2;
  }
  kestrave::tools::SampleShape shape;
  if (argc > 2) shape.Records = std::atoi(argv[2]);
  if (argc > 3) shape.FramesPerRecord = std::atoi(argv[3]);
  if (argc > 4) shape.Seed = static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10));
  if (shape.Records < 0 || shape.Records > 65535 || shape.FramesPerRecord < 0) {
    std::fprintf(stderr, "make-sample-drf: records must be 0..65535 and frames not negative\n");
    return 2;
  }
  const auto bytes = kestrave::tools::BuildSampleContainer(shape);
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
      std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 2;
  }
  std::printf("%s: %d records, %zu bytes\n", argv[1], shape.Records, bytes.size());
  return 0;
}
