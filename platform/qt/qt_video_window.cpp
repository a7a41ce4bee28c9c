// QtVideoWindow: frames in on the streaming thread, painted on the user-interface thread.
#include "platform/qt/qt_video_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <cstring>
#include <utility>

namespace platform {
namespace {

// Posted to the window when a new frame waits; at most one is in the queue.
const QEvent::Type kFrameReady = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

QtVideoWindow::QtVideoWindow(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  hide();
}

QtVideoWindow::~QtVideoWindow() = default;

void QtVideoWindow::Present(const media::VideoFrame& frame) {
  if (!frame.data || frame.width <= 0 || frame.height <= 0 || frame.stride < frame.width * 4)
    return;
  QImage& image = m_images[m_write];  // only this thread touches the write image
  if (image.width() != frame.width || image.height() != frame.height)
    image = QImage(frame.width, frame.height, QImage::Format_RGB32);
  const size_t row = static_cast<size_t>(frame.width) * 4;
  const qsizetype pitch = image.bytesPerLine();
  uchar* dst = image.bits();
  const uint8_t* src = frame.data;
  if (pitch == frame.stride) {
    std::memcpy(dst, src, static_cast<size_t>(pitch) * frame.height);
  } else {
    for (int y = 0; y < frame.height; ++y, dst += pitch, src += frame.stride)
      std::memcpy(dst, src, row);
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::swap(m_write, m_ready);
    m_fresh = true;
  }
  ++m_presented;
  if (!m_updatePosted.exchange(true))
    QCoreApplication::postEvent(this, new QEvent(kFrameReady), Qt::HighEventPriority);
}

void QtVideoWindow::Place(int left, int top, int width, int height) {
  setGeometry(left, top, width, height);
}

void QtVideoWindow::Show(bool visible) { setVisible(visible); }

bool QtVideoWindow::event(QEvent* event) {
  if (event->type() == kFrameReady) {
    m_updatePosted = false;
    update();
    return true;
  }
  return QWidget::event(event);
}

void QtVideoWindow::paintEvent(QPaintEvent*) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_fresh) {
      std::swap(m_front, m_ready);
      m_fresh = false;
    }
  }
  QPainter painter(this);
  const QImage& image = m_images[m_front];
  if (image.isNull()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  // The renderer stretches the picture over its whole window.
  painter.drawImage(rect(), image);
  ++m_painted;
}

}  // namespace platform
