// The video window on Qt: a child of the frame's client area that draws the renderer's
// newest frame. Frames arrive on the streaming thread; one at the window's size is held as
// it is (no copy), any other is scaled there to the largest size of its shape that the
// window holds (smoothly when enlarged) into a reused image. Painting runs on the
// user-interface thread, blits and fills the bars around.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media.h"

namespace platform {

class QtVideoWindow : public QWidget, public media::VideoSurface {
 public:
  explicit QtVideoWindow(QWidget* parent);
  ~QtVideoWindow() override;

  // Streaming thread. The renderer must be detached (SetOwner(nullptr) or gone) before
  // this window is destroyed.
  void Present(const media::VideoFrame& frame) override;
  // User-interface thread.
  void Place(int left, int top, int width, int height) override;
  void Show(bool visible) override;
  void Clear() override;
  void Flash() override;
  bool Flashing() const { return m_flashTimer.isActive(); }

  // Frames handed over by the renderer, and frames painted.
  uint64_t PresentedFrames() const { return m_presented.load(); }
  uint64_t PaintedFrames() const { return m_painted.load(); }

  // The largest w x h of the frame's aspect ratio inside the area; 0 x 0 when either is empty.
  static void FitPicture(int frameWidth, int frameHeight, int areaWidth, int areaHeight, int& width,
                         int& height);
  // Where a picture of that shape sits in the area: centred, bars around it.
  static QRect PictureRect(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintFlash(QPainter& painter);

  // A frame at the window's size is the renderer's own buffer, held by its keeper; any
  // other is scaled into an image of the window's.
  struct Picture {
    QImage image;
    std::shared_ptr<const void> keeper;
  };
  // Scales (or copies) the frame into the image, which has the picture's size.
  void CopyScaled(const media::VideoFrame& frame, QImage& image);

  // Three pictures: the streaming thread fills `write`, the newest complete frame waits in
  // `ready`, paint draws `front`. Only the indices change hands, under the lock.
  std::mutex m_mutex;
  std::array<Picture, 3> m_pictures;
  int m_write = 0;
  int m_ready = 1;
  int m_front = 2;
  bool m_fresh = false;
  bool m_cleared = false;  // black until a frame comes after Clear
  // The snapshot flash fades out over its time, repainted by the timer.
  QTimer m_flashTimer;
  QElapsedTimer m_flashClock;
  // The window's size as the streaming thread scales to it.
  std::atomic<int> m_targetWidth{0};
  std::atomic<int> m_targetHeight{0};
  // Source byte offset of each destination column; the streaming thread's own.
  std::vector<int> m_columns;
  int m_columnsFrom = 0;
  std::atomic<bool> m_updatePosted{false};
  std::atomic<uint64_t> m_presented{0};
  std::atomic<uint64_t> m_painted{0};
};

}  // namespace platform
