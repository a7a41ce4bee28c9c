// Encodes I420 pictures as baseline JPEG with libjpeg-turbo, straight from the planes.
#include "jpeg_encoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <glib.h>
#include <jpeglib.h>

namespace virtualcam {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  jmp_buf jump;
};

void OnError(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX];
  cinfo->err->format_message(cinfo, text);
  g_warning("virtual camera: JPEG encoding failed: %s", text);
  longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void OnMessage(j_common_ptr) {}

// Destination that appends into a std::vector kept by the caller.
struct VectorDestination {
  jpeg_destination_mgr base;
  std::vector<uint8_t>* out;
};

constexpr size_t kChunk = 64 * 1024;

void InitDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<VectorDestination*>(cinfo->dest);
  if (d->out->size() < kChunk) d->out->resize(kChunk);
  d->base.next_output_byte = d->out->data();
  d->base.free_in_buffer = d->out->size();
}

boolean GrowDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<VectorDestination*>(cinfo->dest);
  const size_t used = d->out->size();
  d->out->resize(used * 2);
  d->base.next_output_byte = d->out->data() + used;
  d->base.free_in_buffer = d->out->size() - used;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<VectorDestination*>(cinfo->dest);
  d->out->resize(d->out->size() - d->base.free_in_buffer);
}

// libjpeg's state lives here so that longjmp skips no C++ destructors.
bool EncodePlanes(const Canvas& c, int quality, VectorDestination* dest) {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = OnError;
  err.base.output_message = OnMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  cinfo.dest = &dest->base;
  cinfo.image_width = c.width;
  cinfo.image_height = c.height;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_YCbCr;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.raw_data_in = TRUE;
  cinfo.dct_method = JDCT_IFAST;
  cinfo.comp_info[0].h_samp_factor = 2;
  cinfo.comp_info[0].v_samp_factor = 2;
  for (int i = 1; i < 3; ++i) {
    cinfo.comp_info[i].h_samp_factor = 1;
    cinfo.comp_info[i].v_samp_factor = 1;
  }
  jpeg_start_compress(&cinfo, TRUE);

  JSAMPROW yRows[16], uRows[8], vRows[8];
  JSAMPARRAY planes[3] = {yRows, uRows, vRows};
  const int chromaHeight = (c.height + 1) / 2;
  while (cinfo.next_scanline < cinfo.image_height) {
    const int top = static_cast<int>(cinfo.next_scanline);
    for (int i = 0; i < 16; ++i) {
      // Rows past the bottom repeat the last row, as libjpeg's own padding would.
      const int y = std::min(top + i, c.height - 1);
      yRows[i] = c.plane[0] + static_cast<std::ptrdiff_t>(y) * c.stride[0];
    }
    for (int i = 0; i < 8; ++i) {
      const int y = std::min(top / 2 + i, chromaHeight - 1);
      uRows[i] = c.plane[1] + static_cast<std::ptrdiff_t>(y) * c.stride[1];
      vRows[i] = c.plane[2] + static_cast<std::ptrdiff_t>(y) * c.stride[2];
    }
    jpeg_write_raw_data(&cinfo, planes, 16);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

bool JpegEncoder::Encode(const Canvas& c, std::vector<uint8_t>* out) {
  if (c.layout != PixelLayout::kI420) return false;
  VectorDestination dest;
  dest.base.init_destination = InitDestination;
  dest.base.empty_output_buffer = GrowDestination;
  dest.base.term_destination = TermDestination;
  dest.out = out;
  out->resize(out->capacity());
  return EncodePlanes(c, quality_, &dest);
}

}  // namespace virtualcam
