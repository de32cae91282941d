#include "platform/ole/GdiObjects.h"

#include <algorithm>
#include <map>
#include <variant>

namespace kestrave::platform::ole {
namespace {

struct Bitmap {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint32_t> pixels;
};
struct Palette {
  std::vector<std::uint32_t> entries;
};
struct MetaFile {
  std::vector<std::uint8_t> bits;
};
struct EnhMetaFile {
  std::vector<std::uint8_t> bits;
};
using Object = std::variant<Bitmap, Palette, MetaFile, EnhMetaFile>;

struct Table {
  std::map<std::uintptr_t, Object> objects;
  std::uintptr_t next = 0x70000;
};

Table& Objects() {
  static Table table;
  return table;
}

std::uintptr_t Add(Object object) {
  Table& table = Objects();
  const std::uintptr_t handle = table.next;
  table.next += 4;
  table.objects.emplace(handle, std::move(object));
  return handle;
}

template <typename T>
const T* Find(std::uintptr_t handle) {
  const auto found = Objects().objects.find(handle);
  return found == Objects().objects.end() ? nullptr : std::get_if<T>(&found->second);
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

HBITMAP CreateBitmap32(std::int32_t width, std::int32_t height,
                       const std::vector<std::uint32_t>& pixels) {
  if (width <= 0 || height <= 0 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    return 0;
  return Add(Bitmap{width, height, pixels});
}

HBITMAP CopyImage(HBITMAP bitmap) {
  const Bitmap* source = Find<Bitmap>(bitmap);
  return source ? Add(*source) : 0;
}

std::vector<std::uint8_t> BitmapFileImage(HBITMAP bitmap) {
  const Bitmap* source = Find<Bitmap>(bitmap);
  if (!source) return {};
  constexpr std::uint32_t kHeaders = 14 + 40;
  const auto pixelBytes = static_cast<std::uint32_t>(source->pixels.size() * 4);
  std::vector<std::uint8_t> image;
  image.reserve(kHeaders + pixelBytes);
  image.push_back('B');
  image.push_back('M');
  Put32(image, kHeaders + pixelBytes);
  Put32(image, 0);
  Put32(image, kHeaders);
  Put32(image, 40);
  Put32(image, static_cast<std::uint32_t>(source->width));
  Put32(image, static_cast<std::uint32_t>(source->height));
  Put16(image, 1);   // planes
  Put16(image, 32);  // bits per pixel
  Put32(image, 0);   // no compression
  Put32(image, pixelBytes);
  Put32(image, 2835);  // 72 pixels per inch, in pixels per metre
  Put32(image, 2835);
  Put32(image, 0);
  Put32(image, 0);
  for (std::int32_t row = source->height - 1; row >= 0; --row)
    for (std::int32_t col = 0; col < source->width; ++col)
      Put32(image, source->pixels[static_cast<std::size_t>(row) * source->width + col]);
  return image;
}

HPALETTE CreatePalette(const std::vector<std::uint32_t>& entries) {
  return Add(Palette{entries});
}

int PaletteEntryCount(HPALETTE palette) {
  const Palette* source = Find<Palette>(palette);
  return source ? static_cast<int>(source->entries.size()) : 0;
}

int GetPaletteEntries(HPALETTE palette, int start, int count, std::uint32_t* entries) {
  const Palette* source = Find<Palette>(palette);
  if (!source || start < 0 || count <= 0) return 0;
  const int available = std::max(0, static_cast<int>(source->entries.size()) - start);
  const int copied = std::min(count, available);
  std::copy_n(source->entries.begin() + start, copied, entries);
  return copied;
}

HMETAFILE SetMetaFileBitsEx(const std::vector<std::uint8_t>& bits) {
  return Add(MetaFile{bits});
}

std::vector<std::uint8_t> GetMetaFileBitsEx(HMETAFILE metafile) {
  const MetaFile* source = Find<MetaFile>(metafile);
  return source ? source->bits : std::vector<std::uint8_t>{};
}

HENHMETAFILE SetEnhMetaFileBits(const std::vector<std::uint8_t>& bits) {
  return Add(EnhMetaFile{bits});
}

HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE metafile) {
  const EnhMetaFile* source = Find<EnhMetaFile>(metafile);
  return source ? Add(*source) : 0;
}

std::vector<std::uint8_t> GetEnhMetaFileBits(HENHMETAFILE metafile) {
  const EnhMetaFile* source = Find<EnhMetaFile>(metafile);
  return source ? source->bits : std::vector<std::uint8_t>{};
}

bool DeleteObject(std::uintptr_t handle) {
  return Objects().objects.erase(handle) == 1;
}

std::size_t GdiObjectCount() {
  return Objects().objects.size();
}

}  // namespace kestrave::platform::ole
