// ffprobe's counts from its flat output; GStreamer's by decoding every frame.
#include "clip_reader.h"

#include <gst/gst.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

std::string Run(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    std::array<char, 4096> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
    ::pclose(p);
  }
  return out;
}

}  // namespace

FfprobeView ReadWithFfprobe(const std::string& clip) {
  FfprobeView v;
  const std::string out =
      Run("ffprobe -v error -count_frames -count_packets -of flat=s=_ -show_entries "
          "stream=codec_type,nb_frames,nb_read_frames,nb_read_packets,duration '" +
          clip + "' 2>/dev/null");
  std::istringstream lines(out);
  std::string line;
  // Lines look like streams_stream_0_codec_type="video"; the streams come in order.
  std::string type;
  while (std::getline(lines, line)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string value = line.substr(eq + 1);
    if (!value.empty() && value.front() == '"') value = value.substr(1, value.size() - 2);
    if (line.find("codec_type") != std::string::npos) {
      type = value;
      v.read = true;
      if (type == "audio") v.hasAudio = true;
    } else if (type == "video" && line.find("nb_read_frames") != std::string::npos) {
      v.videoFrames = std::atoll(value.c_str());
    } else if (type == "video" && line.find("_nb_frames") != std::string::npos) {
      v.headerFrames = value == "N/A" ? -1 : std::atoll(value.c_str());
    } else if (type == "video" && line.find("_duration") != std::string::npos) {
      v.headerDuration = value == "N/A" ? 0 : std::atof(value.c_str());
    } else if (type == "audio" && line.find("nb_read_packets") != std::string::npos) {
      v.audioPackets = std::atoll(value.c_str());
    }
  }
  return v;
}

namespace {

struct Counting {
  GstElement* pipeline = nullptr;
  int64_t videoFrames = 0;
  GstClockTime videoEnd = 0;
  GstClockTime audioEnd = 0;
  bool hasAudio = false;
};

void NoteEnd(GstBuffer* b, GstClockTime& end) {
  if (!GST_BUFFER_PTS_IS_VALID(b)) return;
  GstClockTime bufferEnd = GST_BUFFER_PTS(b);
  if (GST_BUFFER_DURATION_IS_VALID(b)) bufferEnd += GST_BUFFER_DURATION(b);
  if (bufferEnd > end) end = bufferEnd;
}

GstPadProbeReturn CountFrame(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* c = static_cast<Counting*>(data);
  ++c->videoFrames;
  NoteEnd(GST_PAD_PROBE_INFO_BUFFER(info), c->videoEnd);
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn NoteSound(GstPad*, GstPadProbeInfo* info, gpointer data) {
  NoteEnd(GST_PAD_PROBE_INFO_BUFFER(info), static_cast<Counting*>(data)->audioEnd);
  return GST_PAD_PROBE_OK;
}

void OnDecodedPad(GstElement*, GstPad* pad, gpointer data) {
  auto* c = static_cast<Counting*>(data);
  GstCaps* caps = gst_pad_query_caps(pad, nullptr);
  const bool video =
      g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "video/");
  if (!video) c->hasAudio = true;
  gst_caps_unref(caps);
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  g_object_set(sink, "sync", FALSE, nullptr);
  gst_bin_add(GST_BIN(c->pipeline), sink);
  gst_element_sync_state_with_parent(sink);
  GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
  gst_pad_link(pad, sinkPad);
  gst_pad_add_probe(sinkPad, GST_PAD_PROBE_TYPE_BUFFER, video ? CountFrame : NoteSound, c, nullptr);
  gst_object_unref(sinkPad);
}

}  // namespace

GstView ReadWithGstreamer(const std::string& clip) {
  GstView v;
  Counting c;
  c.pipeline = gst_pipeline_new(nullptr);
  GstElement* src = gst_element_factory_make("filesrc", nullptr);
  GstElement* decode = gst_element_factory_make("decodebin", nullptr);
  g_object_set(src, "location", clip.c_str(), nullptr);
  gst_bin_add_many(GST_BIN(c.pipeline), src, decode, nullptr);
  gst_element_link(src, decode);
  g_signal_connect(decode, "pad-added", G_CALLBACK(OnDecodedPad), &c);
  gst_element_set_state(c.pipeline, GST_STATE_PAUSED);
  if (gst_element_get_state(c.pipeline, nullptr, nullptr, 60 * GST_SECOND) ==
      GST_STATE_CHANGE_SUCCESS) {
    gint64 duration = 0;
    if (gst_element_query_duration(c.pipeline, GST_FORMAT_TIME, &duration))
      v.duration = static_cast<double>(duration) / GST_SECOND;
  }
  gst_element_set_state(c.pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(c.pipeline);
  GstMessage* m = gst_bus_timed_pop_filtered(
      bus, 120 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  if (m && GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS) {
    v.read = true;
  } else if (m) {
    GError* e = nullptr;
    gst_message_parse_error(m, &e, nullptr);
    v.error = e ? e->message : "error";
    g_clear_error(&e);
  } else {
    v.error = "no end within two minutes";
  }
  if (m) gst_message_unref(m);
  gst_object_unref(bus);
  gst_element_set_state(c.pipeline, GST_STATE_NULL);
  gst_object_unref(c.pipeline);
  v.videoFrames = c.videoFrames;
  v.videoDuration = static_cast<double>(c.videoEnd) / GST_SECOND;
  v.audioEnd = static_cast<double>(c.audioEnd) / GST_SECOND;
  v.hasAudio = c.hasAudio;
  return v;
}
