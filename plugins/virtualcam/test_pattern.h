// Draws the virtual camera's picture (colour bars, a moving ball, a frame counter)
// straight into a frame in any of the camera's raw pixel layouts.
#pragma once

#include <cstdint>

namespace virtualcam {

enum class PixelLayout { kYUY2, kUYVY, kI420, kBGR, kBGRx };

// A frame in memory: plane 0 only for the packed layouts, Y, U, V for I420.
struct Canvas {
  PixelLayout layout = PixelLayout::kI420;
  int width = 0;
  int height = 0;
  uint8_t* plane[3] = {nullptr, nullptr, nullptr};
  int stride[3] = {0, 0, 0};
  bool fullRange = false;  // YUV at 0..255 as JPEG expects, instead of video's 16..235
};

struct Rgb {
  uint8_t r, g, b;
};

// Clipped to the canvas; packed 4:2:2 layouts widen the rectangle to whole pixel pairs.
void FillRect(const Canvas& canvas, int x, int y, int w, int h, Rgb colour);

// Copies pixels between two canvases of the same layout and size (strides may differ).
void CopyCanvas(const Canvas& from, const Canvas& to);

// The still part of the picture: eight colour bars.
void DrawBackground(const Canvas& canvas);

// The moving part: a ball whose place follows the frame number, and the number itself.
void DrawFrameMarks(const Canvas& canvas, uint64_t frameNumber);

// Where DrawFrameMarks puts the ball's centre for a frame (tests check the motion).
void BallCentre(int width, int height, uint64_t frameNumber, int* x, int* y);

}  // namespace virtualcam
