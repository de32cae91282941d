#include "app/hex/HexPrintPreview.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QCache>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/Guard.h"

namespace kestrave::app {

// The pages one under another on a grey ground, each drawn when it comes into sight. The
// position is kept in 64 bits: the pages of a large file are taller together than a scroll bar
// counts, so the bar counts in steps of several pixels then.
class HexPreviewPages : public QAbstractScrollArea {
 public:
  using Render = std::function<QImage(int page, const QSize& size)>;

  HexPreviewPages(QWidget* parent, int pages, QSizeF paper, double actualSize, Render render)
      : QAbstractScrollArea(parent),
        pages_(pages),
        paper_(paper),
        actualSize_(actualSize),
        render_(std::move(render)) {
    cache_.setMaxCost(kCacheKiB);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
  }

  std::function<void()> OnMoved;

  enum class Fit { Width, Page, None };

  int CurrentPage() const {
    if (shown_ > 0 && top_ == shownTop_) return shown_;
    // The page that fills most of the view's upper half.
    const qint64 at = top_ + std::min<qint64>(viewport()->height(), Stride()) / 2;
    return static_cast<int>(std::clamp<qint64>(at / Stride() + 1, 1, pages_));
  }

  void ShowPage(int page) {
    page = std::clamp(page, 1, pages_);
    SetTop(PageTop(page) - kGap);  // the first page as the preview opens
    shown_ = page;
    shownTop_ = top_;
  }

  void SetFit(Fit fit) {
    fit_ = fit;
    Rescale();
  }

  void Zoom(double factor) {
    fit_ = Fit::None;
    SetScale(std::clamp(scale_ * factor, actualSize_ / 10, actualSize_ * 4));
  }

  // The zoom against the paper's own size on this screen.
  double Zoom() const { return scale_ / actualSize_; }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    const QSize size = PageSize();
    const int x = size.width() + 2 * kGap <= viewport()->width()
                      ? (viewport()->width() - size.width()) / 2
                      : kGap - horizontalScrollBar()->value();
    for (qint64 i = std::max<qint64>((top_ - kGap) / Stride(), 0); i < pages_; ++i) {
      const qint64 y = PageTop(static_cast<int>(i) + 1) - top_;
      if (y >= viewport()->height()) break;
      const QRect rect(QPoint(x, static_cast<int>(y)), size);
      if (!rect.intersects(event->rect())) continue;
      painter.drawImage(rect.topLeft(), Page(static_cast<int>(i) + 1, size));
      painter.setPen(palette().color(QPalette::Shadow));
      painter.drawRect(rect.adjusted(-1, -1, 0, 0));
    }
  }

  void resizeEvent(QResizeEvent* event) override {
    QAbstractScrollArea::resizeEvent(event);
    Rescale();
  }

  void scrollContentsBy(int, int) override {
    // A bar moved by the user; a position set here is already in top_.
    if (verticalScrollBar()->value() != static_cast<int>(top_ / unit_))
      top_ = std::int64_t{verticalScrollBar()->value()} * unit_;
    viewport()->update();
    if (OnMoved) OnMoved();
  }

 private:
  static constexpr int kGap = 12;
  static constexpr int kCacheKiB = 96 * 1024;

  QSize PageSize() const {
    return QSize(std::max(static_cast<int>(std::lround(paper_.width() * scale_)), 1),
                 std::max(static_cast<int>(std::lround(paper_.height() * scale_)), 1));
  }
  qint64 Stride() const { return PageSize().height() + kGap; }
  qint64 PageTop(int page) const { return kGap + (page - 1) * Stride(); }
  qint64 MaxTop() const {
    return std::max<qint64>(kGap + pages_ * Stride() - viewport()->height(), 0);
  }

  void SetTop(qint64 top) {
    top_ = std::clamp<qint64>(top, 0, MaxTop());
    verticalScrollBar()->setValue(static_cast<int>(top_ / unit_));
    viewport()->update();
    if (OnMoved) OnMoved();
  }

  void Rescale() {
    if (fit_ == Fit::None) return;
    const double width = (viewport()->width() - 2.0 * kGap) / paper_.width();
    const double height = (viewport()->height() - 2.0 * kGap) / paper_.height();
    SetScale(std::max(fit_ == Fit::Width ? width : std::min(width, height), actualSize_ / 10));
  }

  // Keeps the page in front, and where in it the view was.
  void SetScale(double scale) {
    const bool opening = scale_ == 0;
    const int page = CurrentPage();
    const double within = static_cast<double>(top_ - PageTop(page)) / Stride();
    const bool shown = shown_ == page && top_ == shownTop_;
    if (scale != scale_) cache_.clear();
    scale_ = scale;
    const qint64 total = kGap + pages_ * Stride();
    unit_ = std::max<qint64>(1, total / (1 << 30) + 1);
    verticalScrollBar()->setRange(0, static_cast<int>(MaxTop() / unit_));
    verticalScrollBar()->setPageStep(std::max(static_cast<int>(viewport()->height() / unit_), 1));
    verticalScrollBar()->setSingleStep(std::max(static_cast<int>(40 / unit_), 1));
    const int width = PageSize().width() + 2 * kGap;
    horizontalScrollBar()->setRange(0, std::max(width - viewport()->width(), 0));
    horizontalScrollBar()->setPageStep(viewport()->width());
    if (opening) {
      SetTop(0);
    } else if (shown) {
      ShowPage(page);
    } else {
      SetTop(PageTop(page) + static_cast<qint64>(std::llround(within * Stride())));
    }
  }

  // Drawn in the screen's own pixels, so that a page stays sharp on a screen of high density.
  QImage Page(int page, const QSize& size) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size) * ratio).toSize();
    if (const QImage* kept = cache_.object(page); kept && kept->size() == pixels) return *kept;
    QImage image = render_(page, pixels);
    image.setDevicePixelRatio(ratio);
    cache_.insert(page, new QImage(image), static_cast<int>(image.sizeInBytes() / 1024));
    return image;
  }

  int pages_;
  QSizeF paper_;
  double actualSize_;
  Render render_;
  Fit fit_ = Fit::Width;
  double scale_ = 0;
  qint64 top_ = 0;
  qint64 unit_ = 1;
  // The page asked for last, while the view stays where that put it.
  int shown_ = 0;
  qint64 shownTop_ = -1;
  QCache<int, QImage> cache_;
};

HexPrintPreview::HexPrintPreview(QWidget* parent, hex::THexEditorEx& editor, const QString& name)
    : QDialog(parent),
      editor_(editor),
      name_(name),
      pages_(editor, printer_, PrintChoiceOf(editor, name)) {
  setWindowTitle(tr("Print Preview"));
  printer_.setDocName(name);

  // A screen pixel per device pixel of the printer, at the paper's own size.
  const QScreen* screen = parent ? parent->screen() : this->screen();
  const double actualSize = screen->logicalDotsPerInchX() / std::max(pages_.Resolution(), 1);
  view_ =
      new HexPreviewPages(this, pages_.PageCount(), pages_.PaperRect().size(), actualSize,
                          [this](int page, const QSize& size) { return PageImage(page, size); });
  view_->setObjectName(QStringLiteral("pages"));

  auto* bar = new QToolBar(this);
  const auto add = [this, bar](const QString& text, const QList<QKeySequence>& keys,
                               const std::function<void()>& act) {
    QAction* action = bar->addAction(text, this, act);
    action->setShortcuts(keys);
    return action;
  };
  add(tr("First"), {Qt::Key_Home, Qt::CTRL | Qt::Key_Home}, [this] { ShowPage(1); });
  add(tr("Previous"), {Qt::Key_PageUp}, [this] { ShowPage(CurrentPage() - 1); });
  pageField_ = new QSpinBox(bar);
  pageField_->setObjectName(QStringLiteral("page"));
  pageField_->setRange(1, PageCount());
  pageField_->setKeyboardTracking(false);
  pageField_->setAccessibleName(tr("Page"));
  bar->addWidget(pageField_);
  bar->addWidget(new QLabel(tr("of %1").arg(PageCount()), bar));
  add(tr("Next"), {Qt::Key_PageDown}, [this] { ShowPage(CurrentPage() + 1); });
  add(tr("Last"), {Qt::Key_End, Qt::CTRL | Qt::Key_End}, [this] { ShowPage(PageCount()); });
  bar->addSeparator();
  add(tr("Fit Width"), {}, [this] { view_->SetFit(HexPreviewPages::Fit::Width); });
  add(tr("Fit Page"), {}, [this] { view_->SetFit(HexPreviewPages::Fit::Page); });
  add(tr("Zoom In"), QKeySequence::keyBindings(QKeySequence::ZoomIn),
      [this] { view_->Zoom(1.25); });
  add(tr("Zoom Out"), QKeySequence::keyBindings(QKeySequence::ZoomOut),
      [this] { view_->Zoom(0.8); });
  zoomLabel_ = new QLabel(bar);
  bar->addWidget(zoomLabel_);
  bar->addSeparator();
  // An error while printing (the file cannot be read) is shown, and the preview stays.
  add(tr("Print..."), QKeySequence::keyBindings(QKeySequence::Print), [this] {
    platform::RunGuarded([this] {
      if (PrintFile(this, editor_, name_)) accept();
    });
  });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(view_, 1);

  QObject::connect(pageField_, &QSpinBox::valueChanged, this, [this](int page) {
    if (page != CurrentPage()) ShowPage(page);
  });
  view_->OnMoved = [this] { ShowPosition(); };

  // Tall enough for a page at a readable size, within the screen.
  const QRect room = screen->availableGeometry();
  const int height = room.height() * 9 / 10;
  resize(std::min(height * 5 / 6, room.width() * 9 / 10), height);
  ShowPosition();
  view_->setFocus();
}

HexPrintPreview::~HexPrintPreview() = default;

int HexPrintPreview::CurrentPage() const {
  return view_->CurrentPage();
}

void HexPrintPreview::ShowPage(int page) {
  view_->ShowPage(page);
}

void HexPrintPreview::ShowPosition() {
  const QSignalBlocker quiet(pageField_);
  pageField_->setValue(CurrentPage());
  zoomLabel_->setText(tr("%1%").arg(std::lround(view_->Zoom() * 100)));
}

QImage HexPrintPreview::PageImage(int page, const QSize& size) const {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  // Of the printer's resolution, so that the print font takes as many of its pixels here as on
  // paper and the rows fall as they print.
  const int dotsPerMeter = static_cast<int>(std::lround(pages_.Resolution() / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  const QRectF paper = pages_.PaperRect();
  painter.scale(size.width() / paper.width(), size.height() / paper.height());
  painter.translate(pages_.PageRect().topLeft() - paper.topLeft());
  std::string error;
  platform::RunGuarded([&] { pages_.Paint(painter, page); },
                       [&error](const std::string& message) { error = message; });
  if (!error.empty()) {
    // A page that cannot be read says why where its rows would be.
    painter.resetTransform();
    painter.fillRect(image.rect(), Qt::white);
    painter.setPen(Qt::darkRed);
    painter.drawText(image.rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                     QString::fromStdString(error));
  }
  return image;
}

}  // namespace kestrave::app
