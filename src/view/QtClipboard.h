#pragma once

#include <QMimeData>
#include <QPointer>

#include "platform/ole/Clipboard.h"

namespace kestrave::view {

// Offers a data object's formats to every program on the desktop; each is rendered only when
// a reader asks for it.
class HexMimeData : public QMimeData {
 public:
  explicit HexMimeData(platform::ole::IDataObject* data);

  platform::ole::IDataObject* DataObject() const { return data_.Get(); }
  QStringList formats() const override;
  bool hasFormat(const QString& mimeType) const override;

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

 private:
  QVariant RenderedAs(const QString& mimeType) const;

  platform::ole::ComPtr<platform::ole::IDataObject> data_;
  QStringList mimeTypes_;
};

// The desktop's clipboard behind the clipboard interface. Our copies go out as HexMimeData;
// what other programs put there comes back as a data object that offers what Windows would
// offer for it: 8-bit text in both code pages, UTF-16 text and a locale for text, a file list
// for local file URLs, DIB and bitmap for images, HTML and RTF under their registered names.
class QtClipboard : public platform::ole::IClipboard {
 public:
  platform::ole::HResult SetClipboard(platform::ole::IDataObject* data) override;
  platform::ole::HResult GetClipboard(
      platform::ole::ComPtr<platform::ole::IDataObject>& data) override;
  platform::ole::HResult IsCurrentClipboard(platform::ole::IDataObject* data) override;
  platform::ole::HResult FlushClipboard() override;
  bool EmptyClipboard() override;

 private:
  QPointer<HexMimeData> ours_;
};

// The data object another program's clipboard content stands for.
platform::ole::ComPtr<platform::ole::IDataObject> ForeignDataObject(const QMimeData& mime);

}  // namespace kestrave::view
