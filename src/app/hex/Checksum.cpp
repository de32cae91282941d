#include "app/hex/Checksum.h"

#include <zlib.h>

#include <QCryptographicHash>
#include <cstdio>
#include <limits>

namespace kestrave::app {

struct Checksum::State {
  explicit State(QCryptographicHash::Algorithm algorithm) : Hash(algorithm) {}
  QCryptographicHash Hash;
  uLong Crc = crc32(0L, Z_NULL, 0);
};

namespace {

QCryptographicHash::Algorithm AlgorithmOf(ChecksumKind kind) {
  switch (kind) {
    case ChecksumKind::Md5:
      return QCryptographicHash::Md5;
    case ChecksumKind::Sha1:
      return QCryptographicHash::Sha1;
    default:
      return QCryptographicHash::Sha256;
  }
}

}  // namespace

const char* ChecksumName(ChecksumKind kind) {
  switch (kind) {
    case ChecksumKind::Crc32:
      return "CRC-32";
    case ChecksumKind::Md5:
      return "MD5";
    case ChecksumKind::Sha1:
      return "SHA-1";
    case ChecksumKind::Sha256:
      return "SHA-256";
  }
  return "";
}

Checksum::Checksum(ChecksumKind kind)
    : kind_(kind), state_(std::make_unique<State>(AlgorithmOf(kind))) {}

Checksum::~Checksum() = default;

void Checksum::Add(std::span<const std::uint8_t> bytes) {
  if (kind_ != ChecksumKind::Crc32) {
    state_->Hash.addData(QByteArrayView(reinterpret_cast<const char*>(bytes.data()),
                                        static_cast<qsizetype>(bytes.size())));
    return;
  }
  // zlib counts a piece in a uInt.
  constexpr std::size_t kLargest = std::numeric_limits<uInt>::max();
  while (!bytes.empty()) {
    const std::size_t piece = std::min(bytes.size(), kLargest);
    state_->Crc = crc32(state_->Crc, bytes.data(), static_cast<uInt>(piece));
    bytes = bytes.subspan(piece);
  }
}

std::string Checksum::HexDigits() const {
  if (kind_ == ChecksumKind::Crc32) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08lx", static_cast<unsigned long>(state_->Crc));
    return digits;
  }
  return state_->Hash.result().toHex().toStdString();
}

}  // namespace kestrave::app
