#include "app/hex/ByteValuesDock.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace kestrave::app {
namespace {

constexpr int kBytesLookedAt = 8;

// The type names of ReadByteValues that are words; "int16" or "UTF-8" read the same in every
// language.
[[maybe_unused]] constexpr const char* kWordedTypeNames[] = {
    QT_TRANSLATE_NOOP("ByteValues", "Unix time (32-bit)"),
    QT_TRANSLATE_NOOP("ByteValues", "Unix time (64-bit)"),
    QT_TRANSLATE_NOOP("ByteValues", "DOS date/time"),
    QT_TRANSLATE_NOOP("ByteValues", "binary"),
};

QString TypeName(const std::string& name) {
  return QCoreApplication::translate("ByteValues", name.c_str());
}

}  // namespace

ByteValuesDock::ByteValuesDock(hex::THexEditorEx& editor, IHexDialogs& dialogs,
                               std::function<void(const std::function<void()>&)> run,
                               QWidget* parent)
    : QDockWidget(tr("Byte Values"), parent),
      editor_(editor),
      dialogs_(dialogs),
      run_(std::move(run)),
      table_(new QTableWidget(this)),
      bigEndian_(new QCheckBox(tr("Big endian"), this)) {
  setObjectName(QStringLiteral("byteValues"));
  auto* content = new QWidget(this);
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(2, 2, 2, 2);
  table_->setColumnCount(2);
  table_->setHorizontalHeaderLabels({tr("Type"), tr("Value")});
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  for (const ByteValue& value : ReadByteValues({}, false)) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    auto* name = new QTableWidgetItem(TypeName(value.Name));
    name->setFlags(Qt::ItemIsEnabled);
    table_->setItem(row, 0, name);
    table_->setItem(row, 1, new QTableWidgetItem);
    rows_.push_back(value.Type);
  }
  table_->resizeColumnToContents(0);
  layout->addWidget(table_);
  layout->addWidget(bigEndian_);
  setWidget(content);
  connect(bigEndian_, &QCheckBox::toggled, this, [this] { Refresh(); });
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!refreshing_ && item->column() == 1) Commit(item->row());
  });
  Refresh();
}

void ByteValuesDock::showEvent(QShowEvent* event) {
  QDockWidget::showEvent(event);
  Refresh();
}

int ByteValuesDock::Position() const {
  return editor_.SelectionCount() > 0 ? editor_.SelectionLow() : editor_.CursorPosition();
}

int ByteValuesDock::RowOf(ValueType type) const {
  return static_cast<int>(std::find(rows_.begin(), rows_.end(), type) - rows_.begin());
}

void ByteValuesDock::Refresh() {
  const int position = Position();
  const int available = std::clamp(editor_.DataSize() - position, 0, kBytesLookedAt);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(available));
  if (available > 0) editor_.ReadBlock(bytes.data(), position, available);
  // A read-only view is not edited from here either.
  table_->setEditTriggers(editor_.ReadOnlyView() ? QAbstractItemView::NoEditTriggers
                                                 : QAbstractItemView::DoubleClicked |
                                                       QAbstractItemView::EditKeyPressed |
                                                       QAbstractItemView::AnyKeyPressed);
  refreshing_ = true;
  const std::vector<ByteValue> values = ReadByteValues(bytes, bigEndian_->isChecked());
  for (std::size_t i = 0; i < values.size(); ++i)
    table_->item(static_cast<int>(i), 1)->setText(QString::fromStdString(values[i].Text));
  refreshing_ = false;
}

QString ByteValuesDock::ShownValue(ValueType type) const {
  return table_->item(RowOf(type), 1)->text();
}

void ByteValuesDock::EditValue(ValueType type, const QString& text) {
  table_->item(RowOf(type), 1)->setText(text);
}

void ByteValuesDock::SetBigEndian(bool value) {
  bigEndian_->setChecked(value);
}

void ByteValuesDock::Commit(int row) {
  const ValueType type = rows_[static_cast<std::size_t>(row)];
  const QString name = table_->item(row, 0)->text();
  const QString typed = table_->item(row, 1)->text().trimmed();
  const auto bytes = EncodeValue(type, typed.toStdString(), bigEndian_->isChecked());
  const int position = Position();
  if (!bytes) {
    dialogs_.ShowError(tr("\"%1\" is not a value of type %2.").arg(typed, name).toStdString());
  } else if (editor_.DataSize() - position < static_cast<int>(bytes->size())) {
    dialogs_.ShowError(tr("A %1 value needs %2 bytes; the data has %3 from the caret on.")
                           .arg(name)
                           .arg(bytes->size())
                           .arg(std::max(editor_.DataSize() - position, 0))
                           .toStdString());
  } else {
    run_([&] {
      const auto count = static_cast<int>(bytes->size());
      editor_.Replace(bytes->data(), position, count, count, tr("Edit %1").arg(name).toStdString(),
                      false);
    });
  }
  Refresh();
}

}  // namespace kestrave::app
