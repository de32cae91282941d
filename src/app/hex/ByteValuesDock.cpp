#include "app/hex/ByteValuesDock.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
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

// The widest values of their types, which the panel is made wide enough for at first.
constexpr const char* kWidestValues[] = {"-9223372036854775808", "-2.2250738585072014e-308",
                                         "1970-01-01 00:00:00 UTC", "00000000 00000000"};

// The room a cell gives its text: the style's margins at both sides, and a pixel to spare.
int TextRoom(const QStyleOptionViewItem& option) {
  const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, option.widget) + 1;
  return option.rect.width() - 2 * margin - 1;
}

QString Elided(const QString& text, const QFontMetrics& metrics, int room) {
  return QString::fromStdString(
      ElidedValue(text.toStdString(), room, [&metrics](const std::string& shown) {
        return metrics.horizontalAdvance(QString::fromStdString(shown));
      }));
}

// Values too wide for their column lose their middle, never their end: an exponent or an
// integer's last digits cut off would read as another value.
class ValueDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = Elided(option->text, option->fontMetrics, TextRoom(*option));
  }
};

// The panel's first width shows the widest values whole.
class PanelContent : public QWidget {
 public:
  PanelContent(QWidget* parent, QTableWidget*& table) : QWidget(parent), table_(table) {}
  QSize sizeHint() const override {
    QSize hint = QWidget::sizeHint();
    if (!table_) return hint;
    const QFontMetrics metrics(table_->font());
    int widest = 0;
    for (const char* value : kWidestValues)
      widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(value)));
    const int width = table_->columnWidth(0) + widest + 4 * metrics.averageCharWidth() +
                      table_->verticalScrollBar()->sizeHint().width() + 2 * table_->frameWidth();
    hint.setWidth(std::max(hint.width(), width));
    return hint;
  }

 private:
  QTableWidget*& table_;
};

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
  auto* content = new PanelContent(this, table_);
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(2, 2, 2, 2);
  table_->setColumnCount(2);
  table_->setHorizontalHeaderLabels({tr("Type"), tr("Value")});
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setItemDelegateForColumn(1, new ValueDelegate(table_));
  auto* copy = new QAction(tr("Copy Value"), table_);
  connect(copy, &QAction::triggered, this, [this] { CopyValue(); });
  table_->addAction(copy);
  table_->setContextMenuPolicy(Qt::ActionsContextMenu);
  table_->installEventFilter(this);
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
  for (std::size_t i = 0; i < values.size(); ++i) {
    QTableWidgetItem* item = table_->item(static_cast<int>(i), 1);
    item->setText(QString::fromStdString(values[i].Text));
    item->setToolTip(item->text());
  }
  refreshing_ = false;
}

QString ByteValuesDock::ShownValue(ValueType type) const {
  return table_->item(RowOf(type), 1)->text();
}

QString ByteValuesDock::DrawnValue(ValueType type) const {
  const QModelIndex index = table_->model()->index(RowOf(type), 1);
  QStyleOptionViewItem option;
  option.initFrom(table_->viewport());
  option.widget = table_;
  option.rect = table_->visualRect(index);
  option.fontMetrics = QFontMetrics(table_->font());
  return Elided(ShownValue(type), option.fontMetrics, TextRoom(option));
}

// Ctrl+C in the table (not in a value being typed, which has keys of its own) copies its value,
// before the window's Edit > Copy would take the key.
bool ByteValuesDock::eventFilter(QObject* watched, QEvent* event) {
  if (watched == table_ &&
      (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    event->accept();
    if (event->type() == QEvent::KeyPress) CopyValue();
    return true;
  }
  return QDockWidget::eventFilter(watched, event);
}

void ByteValuesDock::CopyValue() {
  const int row = std::max(table_->currentRow(), 0);
  QGuiApplication::clipboard()->setText(table_->item(row, 1)->text());
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
