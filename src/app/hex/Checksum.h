#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace kestrave::app {

// The checksums kestrave-hex computes of a selection, each by a well-kept library: CRC-32 by
// zlib, the others by Qt's cryptographic hashes.
enum class ChecksumKind { Crc32, Md5, Sha1, Sha256 };
const char* ChecksumName(ChecksumKind kind);

// Takes the bytes in pieces, so a long selection can show its progress and be stopped.
class Checksum {
 public:
  explicit Checksum(ChecksumKind kind);
  ~Checksum();
  Checksum(const Checksum&) = delete;
  Checksum& operator=(const Checksum&) = delete;

  void Add(std::span<const std::uint8_t> bytes);
  // Lower-case hex digits (CRC-32: eight of them).
  std::string HexDigits() const;

 private:
  struct State;
  ChecksumKind kind_;
  std::unique_ptr<State> state_;
};

}  // namespace kestrave::app
