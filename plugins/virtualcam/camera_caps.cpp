// The caps a virtual camera offers, and the pixel layout that a negotiated caps means.
#include "camera_caps.h"

#include <cstring>

namespace virtualcam {
namespace {

// A configured fourcc -> GStreamer raw format (nullptr: image/jpeg).
const char* RawFormatName(const std::string& fourcc) {
  if (fourcc == "YUY2") return "YUY2";
  if (fourcc == "UYVY") return "UYVY";
  if (fourcc == "I420") return "I420";
  if (fourcc == "RGB24") return "BGR";  // bytes in B, G, R order, as the original stores them
  if (fourcc == "RGB32") return "BGRx";
  return nullptr;
}

GstStructure* FormatStructure(const Format& f, bool anyRate) {
  const char* raw = RawFormatName(f.fourcc);
  GstStructure* s = gst_structure_new(raw ? "video/x-raw" : "image/jpeg", "width", G_TYPE_INT,
                                      f.width, "height", G_TYPE_INT, f.height, "pixel-aspect-ratio",
                                      GST_TYPE_FRACTION, 1, 1, nullptr);
  if (raw) gst_structure_set(s, "format", G_TYPE_STRING, raw, nullptr);
  // The pattern's YUV is drawn with BT.601 in limited range at every size; without saying
  // so, a reader takes BT.709 for HD sizes.
  if (raw && f.fourcc != "RGB24" && f.fourcc != "RGB32")
    gst_structure_set(s, "colorimetry", G_TYPE_STRING, "bt601", nullptr);
  if (anyRate) {
    gst_structure_set(s, "framerate", GST_TYPE_FRACTION_RANGE, 1, 1, 60, 1, nullptr);
  } else {
    gst_structure_set(s, "framerate", GST_TYPE_FRACTION, f.fps, 1, nullptr);
  }
  return s;
}

bool Matches(const Format& f, const GstStructure* s) {
  int w = 0, h = 0;
  if (!gst_structure_get_int(s, "width", &w) || !gst_structure_get_int(s, "height", &h)) {
    return false;
  }
  if (w != f.width || h != f.height) return false;
  const char* raw = RawFormatName(f.fourcc);
  if (!raw) return gst_structure_has_name(s, "image/jpeg");
  const char* format = gst_structure_get_string(s, "format");
  return gst_structure_has_name(s, "video/x-raw") && format && std::strcmp(format, raw) == 0;
}

}  // namespace

GstCaps* AllCameraCaps() {
  return gst_caps_from_string(
      "video/x-raw, format=(string){ YUY2, UYVY, I420, BGR, BGRx }, width=(int)[2, 8192], "
      "height=(int)[2, 8192], framerate=(fraction)[1/1, 60/1]; "
      "image/jpeg, width=(int)[2, 8192], height=(int)[2, 8192], "
      "framerate=(fraction)[1/1, 60/1]");
}

GstCaps* CameraCaps(const CameraSpec& spec) {
  GstCaps* caps = gst_caps_new_empty();
  const std::vector<Format> formats = spec.formats.empty() ? DefaultFormats() : spec.formats;
  for (const Format& f : formats) {
    gst_caps_append_structure(caps, FormatStructure(f, !spec.refusesFrameRate));
    if (spec.refusesFormat) break;
  }
  return caps;
}

int NativeRate(const CameraSpec& spec, const GstStructure* s) {
  for (const Format& f : spec.formats) {
    if (Matches(f, s)) return f.fps;
  }
  return 30;
}

bool LayoutForCaps(const GstCaps* caps, PixelLayout* layout, bool* jpeg) {
  if (!caps || gst_caps_is_empty(caps)) return false;
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  if (gst_structure_has_name(s, "image/jpeg")) {
    *jpeg = true;
    *layout = PixelLayout::kI420;
    return true;
  }
  *jpeg = false;
  const char* f = gst_structure_get_string(s, "format");
  if (!gst_structure_has_name(s, "video/x-raw") || !f) return false;
  static const struct {
    const char* name;
    PixelLayout layout;
  } kLayouts[] = {{"YUY2", PixelLayout::kYUY2},
                  {"UYVY", PixelLayout::kUYVY},
                  {"I420", PixelLayout::kI420},
                  {"BGR", PixelLayout::kBGR},
                  {"BGRx", PixelLayout::kBGRx}};
  for (const auto& l : kLayouts) {
    if (std::strcmp(f, l.name) == 0) {
      *layout = l.layout;
      return true;
    }
  }
  return false;
}

}  // namespace virtualcam
