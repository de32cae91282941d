#include "view/QtClipboard.h"

#include <functional>
#include <memory>
#include <optional>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPointer>

#include "hexeditor/transfer/TransferFormats.h"
#include "platform/CodePages.h"
#include "platform/Guard.h"
#include "platform/ole/GdiObjects.h"
#include "platform/ole/GlobalMemory.h"
#include "platform/ole/Medium.h"
#include "platform/ole/StaticDataObject.h"
#include "view/ClipboardMime.h"
#include "view/LocalFiles.h"

namespace kestrave::view {

namespace ole = platform::ole;

namespace {

constexpr std::uint32_t kRussianLocale = 0x0419;

QByteArray Rendered(ole::IDataObject& data, ole::TClipFormat format) {
  ole::FORMATETC descriptor;
  descriptor.cfFormat = format;
  ole::STGMEDIUM medium;
  if (data.GetData(descriptor, medium) != ole::S_OK) return {};
  const std::uint8_t* block = ole::GlobalLock(medium.handle);
  QByteArray bytes(reinterpret_cast<const char*>(block),
                   static_cast<qsizetype>(ole::GlobalSize(medium.handle)));
  if (block) ole::GlobalUnlock(medium.handle);
  ole::ReleaseStgMedium(medium);
  return bytes;
}

std::vector<std::uint8_t> Terminated(const std::string& text, int zeros) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.insert(bytes.end(), static_cast<std::size_t>(zeros), 0);
  return bytes;
}

// Bytes fetched from the other program when a format is asked for, not before: listing the
// formats (for the format dialog) then costs nothing, however large the data. The fetch answers
// nothing when the data has gone meanwhile (another program took the clipboard).
using Fetch = std::function<std::optional<std::vector<std::uint8_t>>()>;

void OfferLazily(ole::TStaticDataObject& data, ole::TClipFormat format, Fetch fetch) {
  ole::FORMATETC descriptor;
  descriptor.cfFormat = format;
  data.AddRenderer(descriptor, [fetch = std::move(fetch)](ole::STGMEDIUM& medium) {
    auto bytes = fetch();
    if (!bytes) return ole::E_FAIL;
    // Shown as it is, not copied again.
    const auto kept = std::make_shared<const std::vector<std::uint8_t>>(std::move(*bytes));
    medium.handle = ole::GlobalFromShared(kept, kept->data(), kept->size());
    if (!medium.handle) return ole::E_OUTOFMEMORY;
    medium.tymed = ole::TYMED_HGLOBAL;
    return ole::S_OK;
  });
}

// The other program's text, fetched anew for each form asked for and let go once that form is
// made: text of hundreds of megabytes is twice as large as UTF-16, and keeping it beside the
// form taken would triple what a paste holds.
class LazyText {
 public:
  explicit LazyText(QPointer<QMimeData> source) : source_(std::move(source)) {}
  std::optional<QString> Fetch() const {
    if (!source_) return std::nullopt;
    return source_->text();
  }

 private:
  QPointer<QMimeData> source_;
};

void OfferText(ole::TStaticDataObject& data, const QPointer<QMimeData>& source) {
  const auto text = std::make_shared<LazyText>(source);
  const auto inCodePage = [text](const platform::CodePage& (*codePage)()) -> Fetch {
    return [text, codePage]() -> std::optional<std::vector<std::uint8_t>> {
      const std::optional<QString> units = text->Fetch();
      if (!units) return std::nullopt;
      std::vector<std::uint8_t> bytes(static_cast<std::size_t>(units->size()) + 1, 0);
      platform::Utf16ToCodePage(
          codePage(),
          std::u16string_view(reinterpret_cast<const char16_t*>(units->utf16()),
                              static_cast<std::size_t>(units->size())),
          bytes.data());
      return bytes;
    };
  };
  OfferLazily(data, ole::CF_TEXT, inCodePage(&platform::AnsiCodePage));
  OfferLazily(data, ole::CF_UNICODETEXT, [text]() -> std::optional<std::vector<std::uint8_t>> {
    const std::optional<QString> units = text->Fetch();
    if (!units) return std::nullopt;
    std::vector<std::uint8_t> utf16;
    utf16.reserve(2 * static_cast<std::size_t>(units->size()) + 2);
    for (const QChar unit : *units) {
      utf16.push_back(static_cast<std::uint8_t>(unit.unicode() & 0xFF));
      utf16.push_back(static_cast<std::uint8_t>(unit.unicode() >> 8));
    }
    utf16.insert(utf16.end(), {0, 0});
    return utf16;
  });
  OfferLazily(data, ole::CF_OEMTEXT, inCodePage(&platform::OemCodePage));
  data.AddBytes(ole::CF_LOCALE, {kRussianLocale & 0xFF, kRussianLocale >> 8, 0, 0});
}

// The names as bytes: a file whose name is not UTF-8 (CP1251, say) is still found.
void OfferFiles(ole::TStaticDataObject& data, const QMimeData& mime) {
  const std::vector<std::string> files = LocalFilesOf(mime);
  if (files.empty()) return;
  const ole::HGLOBAL drop = ole::MakeDropFiles(files);
  const std::uint8_t* block = ole::GlobalLock(drop);
  data.AddBytes(ole::CF_HDROP, std::vector<std::uint8_t>(block, block + ole::GlobalSize(drop)));
  ole::GlobalUnlock(drop);
  ole::GlobalFree(drop);
}

void OfferImage(ole::TStaticDataObject& data, const QImage& picture) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(image.width()) * image.height());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      pixels.push_back(image.pixel(x, y) & 0x00FFFFFF);
  const std::int32_t width = image.width();
  const std::int32_t height = image.height();
  const ole::HBITMAP source = ole::CreateBitmap32(width, height, pixels);
  std::vector<std::uint8_t> file = ole::BitmapFileImage(source);
  ole::DeleteObject(source);
  if (file.size() <= 14) return;
  data.AddBytes(ole::CF_DIB, std::vector<std::uint8_t>(file.begin() + 14, file.end()));
  ole::FORMATETC bitmap;
  bitmap.cfFormat = ole::CF_BITMAP;
  bitmap.tymed = ole::TYMED_GDI;
  data.AddRenderer(bitmap, [width, height, pixels](ole::STGMEDIUM& medium) {
    medium.handle = ole::CreateBitmap32(width, height, pixels);
    medium.tymed = ole::TYMED_GDI;
    return medium.handle ? ole::S_OK : ole::E_OUTOFMEMORY;
  });
}

}  // namespace

HexMimeData::HexMimeData(ole::IDataObject* data) : data_(data) {
  ole::IEnumFORMATETC* raw = nullptr;
  if (data->EnumFormatEtc(ole::DATADIR_GET, &raw) != ole::S_OK || !raw) return;
  ole::ComPtr<ole::IEnumFORMATETC> formats(raw);
  raw->Release();
  ole::FORMATETC format;
  while (formats->Next(1, &format, nullptr) == ole::S_OK)
    mimeTypes_ << MimeTypeOf(format.cfFormat);
}

QStringList HexMimeData::formats() const {
  return mimeTypes_;
}

bool HexMimeData::hasFormat(const QString& mimeType) const {
  return mimeTypes_.contains(mimeType) || (mimeType.startsWith(QLatin1String("text/plain")) &&
                                           mimeTypes_.contains(QStringLiteral("text/plain")));
}

// Qt asks at any moment, for another program or a drop: an error (memory running out for a large
// block, say) ends only this answer, which then has no data, and is shown once the asking is over.
QVariant HexMimeData::retrieveData(const QString& mimeType, QMetaType) const {
  QVariant answer;
  platform::RunGuarded([&] { answer = RenderedAs(mimeType); });
  return answer;
}

QVariant HexMimeData::RenderedAs(const QString& mimeType) const {
  if (mimeType.startsWith(QLatin1String("text/plain"))) {
    QByteArray text = Rendered(*data_.Get(), ole::CF_TEXT);
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0) text.truncate(zero);
    return QString::fromStdU16String(platform::AnsiToUtf16(text.toStdString()));
  }
  const ole::TClipFormat format = FormatOfMimeType(mimeType);
  return format ? QVariant(Rendered(*data_.Get(), format)) : QVariant();
}

ole::ComPtr<ole::IDataObject> ForeignDataObject(const QMimeData& mime) {
  auto* data = new ole::TStaticDataObject;
  ole::ComPtr<ole::IDataObject> result(data);
  // The clipboard owns the data and may drop it at any moment: each fetch looks first.
  const QPointer<QMimeData> source(const_cast<QMimeData*>(&mime));
  const auto bytesOf = [source](const QString& type, int zeros) -> Fetch {
    return [source, type, zeros]() -> std::optional<std::vector<std::uint8_t>> {
      if (!source) return std::nullopt;
      const QByteArray bytes = source->data(type);
      std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
      copy.insert(copy.end(), static_cast<std::size_t>(zeros), 0);
      return copy;
    };
  };
  for (const QString& type : mime.formats()) {
    const ole::TClipFormat format = FormatOfMimeType(type);
    if (format) OfferLazily(*data, format, bytesOf(type, 0));
  }
  if (mime.hasText() && !mime.hasFormat(MimeTypeOf(hex::TransferFormats().Private)))
    OfferText(*data, source);
  if (mime.hasUrls()) OfferFiles(*data, mime);
  if (mime.hasImage()) OfferImage(*data, qvariant_cast<QImage>(mime.imageData()));
  if (mime.hasHtml())
    OfferLazily(*data, hex::TransferFormats().Html,
                [source]() -> std::optional<std::vector<std::uint8_t>> {
                  if (!source) return std::nullopt;
                  return Terminated(source->html().toStdString(), 1);
                });
  if (mime.hasFormat(QStringLiteral("text/rtf")))
    OfferLazily(*data, hex::TransferFormats().RichText, bytesOf(QStringLiteral("text/rtf"), 1));
  return result;
}

ole::HResult QtClipboard::SetClipboard(ole::IDataObject* data) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!data) {
    clipboard->clear();
    ours_.clear();
    return ole::S_OK;
  }
  auto* mime = new HexMimeData(data);
  clipboard->setMimeData(mime);
  ours_ = mime;
  return ole::S_OK;
}

ole::HResult QtClipboard::GetClipboard(ole::ComPtr<ole::IDataObject>& data) {
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (const auto* hex = dynamic_cast<const HexMimeData*>(mime)) {
    data = hex->DataObject();
  } else if (mime) {
    data = ForeignDataObject(*mime);
  } else {
    data = ole::ComPtr<ole::IDataObject>(new ole::TStaticDataObject);
  }
  return ole::S_OK;
}

ole::HResult QtClipboard::IsCurrentClipboard(ole::IDataObject* data) {
  const bool current = ours_ && QGuiApplication::clipboard()->mimeData() == ours_.data() &&
                       ours_->DataObject() == data;
  return current ? ole::S_OK : ole::S_FALSE;
}

// Everything rendered now, so the content no longer needs the data object.
ole::HResult QtClipboard::FlushClipboard() {
  if (!ours_ || QGuiApplication::clipboard()->mimeData() != ours_.data()) return ole::S_OK;
  auto* rendered = new QMimeData;
  for (const QString& type : ours_->formats())
    rendered->setData(type, ours_->data(type));
  rendered->setText(ours_->text());
  QGuiApplication::clipboard()->setMimeData(rendered);
  ours_.clear();
  return ole::S_OK;
}

bool QtClipboard::EmptyClipboard() {
  QGuiApplication::clipboard()->clear();
  ours_.clear();
  return true;
}

}  // namespace kestrave::view
