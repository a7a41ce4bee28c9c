// Media types to and from GStreamer caps.
#include "platform/gst/caps_mapping.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include <gst/video/video.h>

namespace media::gst {
namespace {

struct RawFormat {
  Subtype subtype;
  const char* gstFormat;
  int bitCount;
};
// BGR and BGRx are the byte orders of 24- and 32-bit bitmaps.
constexpr RawFormat kRawFormats[] = {
    {Subtype::UYVY, "UYVY", 16}, {Subtype::YUY2, "YUY2", 16}, {Subtype::YUYV, "YUY2", 16},
    {Subtype::I420, "I420", 12}, {Subtype::RGB24, "BGR", 24}, {Subtype::RGB32, "BGRx", 32},
};

bool IsRgb(Subtype s) { return s == Subtype::RGB24 || s == Subtype::RGB32; }

}  // namespace

int64_t FrameTimeOf(gint num, gint den) {
  if (num <= 0 || den <= 0) return 0;
  return static_cast<int64_t>(kUnitsPerSecond) * den / num;
}

MajorType MajorOfCaps(const GstCaps* caps) {
  if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps)) return MajorType::None;
  const char* name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
  if (g_str_has_prefix(name, "video/") || g_str_has_prefix(name, "image/")) return MajorType::Video;
  if (g_str_has_prefix(name, "audio/")) return MajorType::Audio;
  return MajorType::None;
}

MediaType MediaTypeFromCaps(const GstCaps* caps, bool topDownRgb) {
  MediaType type;
  if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps)) return type;
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  const char* name = gst_structure_get_name(s);
  if (g_str_has_prefix(name, "audio/")) {
    type.major = MajorType::Audio;
    type.subtype = std::strcmp(name, "audio/x-raw") == 0 ? Subtype::PCM : Subtype::Other;
    type.formatType = FormatType::WaveFormatEx;
    type.formatSize = 18;
    gst_structure_get_int(s, "rate", &type.sampleRate);
    gst_structure_get_int(s, "channels", &type.channels);
    return type;
  }
  if (!g_str_has_prefix(name, "video/") && !g_str_has_prefix(name, "image/")) return type;
  type.major = MajorType::Video;
  type.formatType = FormatType::VideoInfo;
  type.formatSize = kVideoInfoSize;
  type.subtype = Subtype::Other;
  if (std::strcmp(name, "image/jpeg") == 0) {
    type.subtype = Subtype::MJPG;
    type.bitCount = 24;
  } else if (std::strcmp(name, "video/x-raw") == 0) {
    const char* format = gst_structure_get_string(s, "format");
    for (const RawFormat& f : kRawFormats) {
      if (format && std::strcmp(format, f.gstFormat) == 0) {
        type.subtype = f.subtype;
        type.bitCount = f.bitCount;
        break;
      }
    }
  }
  gst_structure_get_int(s, "width", &type.width);
  gst_structure_get_int(s, "height", &type.height);
  gint num = 0, den = 1;
  if (gst_structure_get_fraction(s, "framerate", &num, &den))
    type.avgTimePerFrame = FrameTimeOf(num, den);
  if (type.subtype == Subtype::MJPG) {
    type.sizeImage = static_cast<uint32_t>(type.width) * type.height * 3;
  } else if (type.bitCount > 0) {
    type.sizeImage = static_cast<uint32_t>(type.width) * type.height * type.bitCount / 8;
  }
  if (topDownRgb && IsRgb(type.subtype)) type.height = -type.height;
  return type;
}

GstCaps* CapsForSubtype(const MediaType& type) {
  if (type.major == MajorType::Audio) return gst_caps_new_empty_simple("audio/x-raw");
  if (type.subtype == Subtype::MJPG) return gst_caps_new_empty_simple("image/jpeg");
  for (const RawFormat& f : kRawFormats)
    if (f.subtype == type.subtype)
      return gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, f.gstFormat, nullptr);
  return nullptr;
}

GstCaps* CapsForVideoType(const MediaType& type, gint fpsNum, gint fpsDen) {
  GstCaps* caps = CapsForSubtype(type);
  if (!caps) return nullptr;
  gst_caps_set_simple(caps, "width", G_TYPE_INT, type.width, "height", G_TYPE_INT,
                      std::abs(type.height), nullptr);
  if (fpsNum > 0 && fpsDen > 0)
    gst_caps_set_simple(caps, "framerate", GST_TYPE_FRACTION, fpsNum, fpsDen, nullptr);
  return caps;
}

bool ChooseFrameRate(const GstCaps* offered, const GstCaps* withoutRate, int64_t avgTimePerFrame,
                     gint& num, gint& den) {
  if (avgTimePerFrame <= 0) return false;
  // A rate matches when its frame time is within one unit of the one asked for; a range
  // takes the asked rate, as a whole number of frames per second when it is one.
  const double wanted = static_cast<double>(kUnitsPerSecond) / avgTimePerFrame;
  gint candNum = static_cast<gint>(std::lround(wanted));
  gint candDen = 1;
  if (candNum <= 0 || std::abs(FrameTimeOf(candNum, 1) - avgTimePerFrame) > 1) {
    candNum = static_cast<gint>(kUnitsPerSecond);
    candDen = static_cast<gint>(avgTimePerFrame);
    gint a = candNum, b = candDen;
    while (b) {
      const gint t = a % b;
      a = b;
      b = t;
    }
    candNum /= a;
    candDen /= a;
  }
  for (guint i = 0; i < gst_caps_get_size(offered); ++i) {
    GstStructure* st = gst_caps_get_structure(offered, i);
    GstCaps* one = gst_caps_new_full(gst_structure_copy(st), nullptr);
    const bool sameFormat = gst_caps_can_intersect(one, withoutRate);
    gst_caps_unref(one);
    if (!sameFormat) continue;
    const GValue* rate = gst_structure_get_value(st, "framerate");
    if (!rate) continue;
    auto tryFraction = [&](const GValue* v) {
      if (!GST_VALUE_HOLDS_FRACTION(v)) return false;
      const gint n = gst_value_get_fraction_numerator(v);
      const gint d = gst_value_get_fraction_denominator(v);
      if (std::abs(FrameTimeOf(n, d) - avgTimePerFrame) > 1) return false;
      num = n;
      den = d;
      return true;
    };
    if (GST_VALUE_HOLDS_FRACTION(rate)) {
      if (tryFraction(rate)) return true;
    } else if (GST_VALUE_HOLDS_LIST(rate)) {
      for (guint k = 0; k < gst_value_list_get_size(rate); ++k)
        if (tryFraction(gst_value_list_get_value(rate, k))) return true;
    } else if (GST_VALUE_HOLDS_FRACTION_RANGE(rate)) {
      GValue cand = G_VALUE_INIT;
      g_value_init(&cand, GST_TYPE_FRACTION);
      gst_value_set_fraction(&cand, candNum, candDen);
      const bool inside = gst_value_intersect(nullptr, &cand, rate);
      g_value_unset(&cand);
      if (inside) {
        num = candNum;
        den = candDen;
        return true;
      }
    }
  }
  return false;
}

}  // namespace media::gst
