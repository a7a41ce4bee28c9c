// QtVideoWindow: frames in on the streaming thread, painted on the user-interface thread.
#include "platform/qt/qt_video_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cstring>
#include <utility>

namespace platform {
namespace {

// Posted to the window when a new frame waits; at most one is in the queue.
const QEvent::Type kFrameReady = static_cast<QEvent::Type>(QEvent::registerEventType());

// The snapshot flash: white over the picture, fading out.
constexpr int kFlashMs = 250;
constexpr int kFlashFrameMs = 16;
constexpr double kFlashOpacity = 0.85;

}  // namespace

QtVideoWindow::QtVideoWindow(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  m_flashTimer.setInterval(kFlashFrameMs);
  connect(&m_flashTimer, &QTimer::timeout, this, [this] {
    if (m_flashClock.elapsed() >= kFlashMs) m_flashTimer.stop();
    update();
  });
  hide();
}

QtVideoWindow::~QtVideoWindow() = default;

void QtVideoWindow::Present(const media::VideoFrame& frame) {
  if (!frame.data || frame.width <= 0 || frame.height <= 0 || frame.stride < frame.width * 4)
    return;
  int width = 0;
  int height = 0;
  FitPicture(frame.width, frame.height, m_targetWidth.load(), m_targetHeight.load(), width, height);
  if (width <= 0 || height <= 0) return;   // nowhere to draw
  Picture& picture = m_pictures[m_write];  // only this thread touches the write picture
  QImage& image = picture.image;
  const bool atOwnSize = width == frame.width && height == frame.height;
  if (atOwnSize && frame.keeper && frame.stride % 4 == 0 &&
      reinterpret_cast<uintptr_t>(frame.data) % 4 == 0) {
    // The frame is painted where it lies: held by its keeper, not copied.
    image = QImage(frame.data, width, height, frame.stride, QImage::Format_RGB32);
    picture.keeper = frame.keeper;
  } else {
    if (picture.keeper || image.width() != width || image.height() != height) {
      image = QImage(width, height, QImage::Format_RGB32);  // lets go of a held frame first
      picture.keeper.reset();
    }
    CopyScaled(frame, image);
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::swap(m_write, m_ready);
    m_fresh = true;
    m_cleared = false;
  }
  ++m_presented;
  if (!m_updatePosted.exchange(true))
    QCoreApplication::postEvent(this, new QEvent(kFrameReady), Qt::HighEventPriority);
}

void QtVideoWindow::CopyScaled(const media::VideoFrame& frame, QImage& image) {
  const int width = image.width();
  const int height = image.height();
  const qsizetype pitch = image.bytesPerLine();
  uchar* dst = image.bits();
  if (width == frame.width && height == frame.height) {
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
      std::memcpy(dst + pitch * y, frame.data + static_cast<size_t>(frame.stride) * y, row);
  } else if (width > frame.width || height > frame.height) {
    // Enlarged smoothly (bilinear); the nearest pixel would show the output's pixels as blocks.
    const QImage source(frame.data, frame.width, frame.height, frame.stride, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRect(0, 0, width, height), source);
  } else {
    // Reduced to the window by the nearest pixel, as the copy is made.
    if (static_cast<int>(m_columns.size()) != width || m_columnsFrom != frame.width) {
      m_columns.resize(static_cast<size_t>(width));
      for (int x = 0; x < width; ++x)
        m_columns[static_cast<size_t>(x)] =
            static_cast<int>((static_cast<int64_t>(2 * x + 1) * frame.width) / (2 * width)) * 4;
      m_columnsFrom = frame.width;
    }
    for (int y = 0; y < height; ++y) {
      const int sy =
          static_cast<int>((static_cast<int64_t>(2 * y + 1) * frame.height) / (2 * height));
      const uint8_t* src = frame.data + static_cast<size_t>(frame.stride) * sy;
      auto* out = reinterpret_cast<uint32_t*>(dst + pitch * y);
      for (int x = 0; x < width; ++x)
        std::memcpy(out + x, src + m_columns[static_cast<size_t>(x)], 4);
    }
  }
}

void QtVideoWindow::Place(int left, int top, int width, int height) {
  setGeometry(left, top, width, height);
  m_targetWidth = width;
  m_targetHeight = height;
}

void QtVideoWindow::Show(bool visible) { setVisible(visible); }

void QtVideoWindow::Clear() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cleared = true;
    m_fresh = false;
  }
  update();
}

void QtVideoWindow::Flash() {
  m_flashClock.start();
  m_flashTimer.start();
  update();
}

bool QtVideoWindow::event(QEvent* event) {
  if (event->type() == kFrameReady) {
    m_updatePosted = false;
    // Painted now rather than through another posted update request: one trip through
    // the event loop per frame, not two.
    if (isVisible()) repaint();
    return true;
  }
  return QWidget::event(event);
}

void QtVideoWindow::paintEvent(QPaintEvent*) {
  bool cleared;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_fresh) {
      std::swap(m_front, m_ready);
      m_fresh = false;
    }
    cleared = m_cleared;
  }
  QPainter painter(this);
  const QImage& image = m_pictures[m_front].image;
  if (image.isNull() || cleared) {
    painter.fillRect(rect(), Qt::black);
    PaintFlash(painter);
    return;
  }
  // Frames come at the picture's size inside the window; one made before a resize is
  // scaled until the next arrives. Bars fill what the picture leaves.
  const QRect area = PictureRect(image.width(), image.height(), width(), height());
  const QRegion bars = QRegion(rect()).subtracted(QRegion(area));
  for (const QRect& r : bars) painter.fillRect(r, Qt::black);
  if (image.size() == area.size())
    painter.drawImage(area.topLeft(), image);
  else
    painter.drawImage(area, image);
  PaintFlash(painter);
  ++m_painted;
}

void QtVideoWindow::PaintFlash(QPainter& painter) {
  if (!m_flashTimer.isActive()) return;
  const double left = 1.0 - static_cast<double>(m_flashClock.elapsed()) / kFlashMs;
  if (left <= 0.0) return;
  painter.setOpacity(kFlashOpacity * left);
  painter.fillRect(rect(), Qt::white);
  painter.setOpacity(1.0);
}

void QtVideoWindow::FitPicture(int frameWidth, int frameHeight, int areaWidth, int areaHeight,
                               int& width, int& height) {
  width = 0;
  height = 0;
  if (frameWidth <= 0 || frameHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) return;
  // The widest picture of the frame's shape that the area holds, rounded to the nearest pixel.
  const int64_t byWidth = (static_cast<int64_t>(areaWidth) * frameHeight * 2 + frameWidth) /
                          (2 * static_cast<int64_t>(frameWidth));
  if (byWidth <= areaHeight) {
    width = areaWidth;
    height = static_cast<int>(std::max<int64_t>(1, byWidth));
  } else {
    height = areaHeight;
    width = static_cast<int>(
        std::max<int64_t>(1, (static_cast<int64_t>(areaHeight) * frameWidth * 2 + frameHeight) /
                                 (2 * static_cast<int64_t>(frameHeight))));
  }
}

QRect QtVideoWindow::PictureRect(int pictureWidth, int pictureHeight, int areaWidth,
                                 int areaHeight) {
  int w = 0;
  int h = 0;
  FitPicture(pictureWidth, pictureHeight, areaWidth, areaHeight, w, h);
  return QRect((areaWidth - w) / 2, (areaHeight - h) / 2, w, h);
}

}  // namespace platform
