/* The emulated camera's pictures: colour bars with the frame number in a strip of cells. */
#include "uvc_frames.h"

#include <stdio.h> /* before jpeglib.h, which needs FILE */

#include <jpeglib.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

/* 75% colour bars, left to right, as RGB. */
static const uint8_t kBars[8][3] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                    {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {0, 0, 0}};

static int Clamp(double v) { return v < 0 ? 0 : v > 255 ? 255 : (int)(v + 0.5); }

/* BT.601 limited range, the encoding uvcvideo's YUYV cameras send. */
static void RgbToYuv601(const uint8_t rgb[3], uint8_t yuv[3]) {
  const double r = rgb[0], g = rgb[1], b = rgb[2];
  yuv[0] = (uint8_t)Clamp(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255);
  yuv[1] = (uint8_t)Clamp(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255);
  yuv[2] = (uint8_t)Clamp(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255);
}

/* The RGB colour of pixel x, y of a frame w x h numbered counter. */
static const uint8_t* PixelColour(int x, int y, int w, uint32_t counter) {
  static const uint8_t white[3] = {255, 255, 255}, black[3] = {0, 0, 0};
  if (y < UVC_COUNTER_ROWS) {
    const int bit = x * UVC_COUNTER_BITS / w;
    return (counter >> (UVC_COUNTER_BITS - 1 - bit)) & 1 ? white : black;
  }
  return kBars[x * 8 / w];
}

/* Rows [y0, y1) of a YUYV frame. */
static void DrawYuyvRows(uint8_t* out, int w, int y0, int y1, uint32_t counter) {
  for (int y = y0; y < y1; ++y) {
    uint8_t* row = out + (size_t)y * w * 2;
    for (int x = 0; x < w; x += 2) {
      uint8_t a[3], b[3];
      RgbToYuv601(PixelColour(x, y, w, counter), a);
      RgbToYuv601(PixelColour(x + 1, y, w, counter), b);
      row[x * 2] = a[0];
      row[x * 2 + 1] = (uint8_t)((a[1] + b[1]) / 2);
      row[x * 2 + 2] = b[0];
      row[x * 2 + 3] = (uint8_t)((a[2] + b[2]) / 2);
    }
  }
}

/* A baseline JPEG of rows [y0, y1) (4:2:2, one restart interval per row of blocks, as
 * camera encoders make them). Returns the size; *out is malloc'd. */
static size_t EncodeRows(int w, int y0, int y1, uint32_t counter, uint8_t** out) {
  struct jpeg_compress_struct c;
  struct jpeg_error_mgr err;
  unsigned long size = 0;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  *out = NULL;
  jpeg_mem_dest(&c, out, &size);
  c.image_width = (JDIMENSION)w;
  c.image_height = (JDIMENSION)(y1 - y0);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 85, TRUE);
  c.comp_info[0].h_samp_factor = 2;
  c.comp_info[0].v_samp_factor = 1;
  c.restart_in_rows = 1;
  c.dct_method = JDCT_ISLOW;
  jpeg_start_compress(&c, TRUE);
  uint8_t* row = malloc((size_t)w * 3);
  for (int y = y0; y < y1; ++y) {
    for (int x = 0; x < w; ++x) memcpy(row + x * 3, PixelColour(x, y, w, counter), 3);
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&c, rows, 1);
  }
  free(row);
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  return size;
}

/* The offset just past the SOS segment's header. */
static size_t ScanDataStart(const uint8_t* j, size_t n) {
  for (size_t i = 2; i + 4 <= n;) {
    if (j[i] != 0xFF) return 0;
    const uint8_t marker = j[i + 1];
    const size_t len = (size_t)j[i + 2] << 8 | j[i + 3];
    if (marker == 0xDA) return i + 2 + len;
    i += 2 + len;
  }
  return 0;
}

/* The offset of the restart marker RSTn (n counted from 0 over the whole scan) after start. */
static size_t RestartMarker(const uint8_t* j, size_t n, size_t start, int index) {
  int seen = 0;
  for (size_t i = start; i + 1 < n; ++i) {
    if (j[i] == 0xFF && j[i + 1] >= 0xD0 && j[i + 1] <= 0xD7) {
      if (seen++ == index) return i;
    }
  }
  return 0;
}

int uvc_frames_init(struct uvc_frames* f, uint32_t fourcc, int w, int h) {
  memset(f, 0, sizeof *f);
  f->fourcc = fourcc;
  f->width = w;
  f->height = h;
  if (fourcc == UVC_FOURCC_YUYV) {
    f->still = malloc((size_t)w * h * 2);
    if (!f->still) return -1;
    DrawYuyvRows(f->still, w, UVC_COUNTER_ROWS, h, 0);
    f->still_size = (size_t)w * h * 2;
    return 0;
  }
  /* MJPG: the bars are encoded once; each frame encodes only its counter strip, whose two
   * rows of blocks replace the first two restart intervals of the whole picture. */
  f->still_size = EncodeRows(w, 0, h, 0, &f->still);
  f->scan_start = ScanDataStart(f->still, f->still_size);
  f->tail_start = RestartMarker(f->still, f->still_size, f->scan_start, UVC_COUNTER_ROWS / 8 - 1);
  return f->scan_start && f->tail_start ? 0 : -1;
}

void uvc_frames_free(struct uvc_frames* f) {
  free(f->still);
  f->still = NULL;
}

size_t uvc_frames_draw(const struct uvc_frames* f, uint32_t counter, uint8_t* out, size_t cap) {
  if (f->fourcc == UVC_FOURCC_YUYV) {
    if (cap < f->still_size) return 0;
    memcpy(out, f->still, f->still_size);
    DrawYuyvRows(out, f->width, 0, UVC_COUNTER_ROWS, counter);
    return f->still_size;
  }
  uint8_t* strip = NULL;
  const size_t n = EncodeRows(f->width, 0, UVC_COUNTER_ROWS, counter, &strip);
  const size_t strip_start = ScanDataStart(strip, n);
  /* The strip's scan ends in EOI (2 bytes); the picture's tail starts at the restart
   * marker that follows the strip's rows. */
  const size_t head = f->scan_start, body = n - 2 - strip_start,
               tail = f->still_size - f->tail_start;
  size_t total = 0;
  if (strip_start && head + body + tail <= cap) {
    memcpy(out, f->still, head);
    memcpy(out + head, strip + strip_start, body);
    memcpy(out + head + body, f->still + f->tail_start, tail);
    total = head + body + tail;
  }
  free(strip);
  return total;
}
