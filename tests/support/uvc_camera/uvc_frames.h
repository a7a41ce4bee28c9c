/* The emulated camera's pictures: 75% colour bars below a strip that shows the frame number
 * as UVC_COUNTER_BITS cells across the width, most significant first, white for a one. */
#pragma once

#include <stddef.h>
#include <stdint.h>

#define UVC_FOURCC_YUYV 0x56595559u /* 'YUYV' */
#define UVC_FOURCC_MJPG 0x47504a4du /* 'MJPG' */
#define UVC_COUNTER_ROWS 16
#define UVC_COUNTER_BITS 32

struct uvc_frames {
  uint32_t fourcc;
  int width, height;
  uint8_t* still; /* the picture without its counter: YUYV bytes or a whole JPEG */
  size_t still_size;
  size_t scan_start, tail_start; /* MJPG: where the counter strip's data is spliced in */
};

int uvc_frames_init(struct uvc_frames* f, uint32_t fourcc, int width, int height);
void uvc_frames_free(struct uvc_frames* f);
/* Writes frame number counter into out; the bytes used, 0 when cap is too small. */
size_t uvc_frames_draw(const struct uvc_frames* f, uint32_t counter, uint8_t* out, size_t cap);
