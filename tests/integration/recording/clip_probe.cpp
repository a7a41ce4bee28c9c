// ffprobe's and GStreamer's reading of a clip.
#include "clip_probe.h"

#include <gst/gst.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <sstream>

namespace {

std::string Run(const std::string& command, bool& ok) {
  std::string out;
  ok = false;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ok = pclose(p) == 0;
  }
  return out;
}

// "key=value|key=value" lines of ffprobe's compact output.
std::vector<std::map<std::string, std::string>> CompactLines(const std::string& text) {
  std::vector<std::map<std::string, std::string>> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::map<std::string, std::string> fields;
    std::istringstream parts(line);
    std::string part;
    while (std::getline(parts, part, '|')) {
      const size_t eq = part.find('=');
      if (eq != std::string::npos) fields[part.substr(0, eq)] = part.substr(eq + 1);
    }
    if (!fields.empty()) lines.push_back(fields);
  }
  return lines;
}

double Number(const std::map<std::string, std::string>& f, const char* key, double fallback) {
  auto it = f.find(key);
  if (it == f.end() || it->second == "N/A" || it->second.empty()) return fallback;
  return std::stod(it->second);
}

}  // namespace

ProbedClip ProbeWithFfprobe(const std::string& path) {
  ProbedClip clip;
  bool ok = false;
  const std::string quoted = "'" + path + "'";
  const std::string streams =
      Run("ffprobe -v error -count_frames -show_entries "
          "stream=index,codec_type,codec_name,nb_read_frames,start_time -of compact=p=0 " +
              quoted + " 2>&1",
          ok);
  if (!ok) {
    clip.error = streams;
    return clip;
  }
  for (const auto& f : CompactLines(streams)) {
    if (!f.count("codec_type")) continue;
    ProbedStream s;
    s.type = f.at("codec_type");
    s.codec = f.count("codec_name") ? f.at("codec_name") : "";
    s.frames = static_cast<long>(Number(f, "nb_read_frames", 0));
    s.start = Number(f, "start_time", -1);
    clip.streams.push_back(s);
  }
  const std::string packets =
      Run("ffprobe -v error -show_entries packet=stream_index,pts_time,duration_time "
          "-of compact=p=0 " +
              quoted + " 2>&1",
          ok);
  if (!ok) {
    clip.error = packets;
    return clip;
  }
  for (const auto& f : CompactLines(packets)) {
    const int index = static_cast<int>(Number(f, "stream_index", -1));
    if (index < 0 || index >= static_cast<int>(clip.streams.size())) continue;
    const double end = Number(f, "pts_time", 0) + Number(f, "duration_time", 0);
    if (end > clip.streams[index].end) clip.streams[index].end = end;
  }
  clip.ok = !clip.streams.empty();
  if (!clip.ok) clip.error = "no streams: " + streams;
  return clip;
}

double DiscoveredFrameRate(const std::string& path) {
  bool ok = false;
  const std::string out = Run("gst-discoverer-1.0 -v '" + path + "' 2>&1", ok);
  const size_t at = out.find("Frame rate: ");
  long num = 0;
  long den = 0;
  if (!ok || at == std::string::npos ||
      std::sscanf(out.c_str() + at, "Frame rate: %ld/%ld", &num, &den) != 2 || den <= 0)
    return 0;
  return static_cast<double>(num) / den;
}

int TimestampComplaints(const std::string& path) {
  bool ok = false;
  const std::string out =
      Run("ffmpeg -nostdin -v warning -i '" + path + "' -c copy -f asf -y /dev/null 2>&1", ok);
  int complaints = 0;
  for (size_t at = out.find("onoton"); at != std::string::npos; at = out.find("onoton", at + 1))
    ++complaints;
  return ok ? complaints : -1;
}

namespace {

struct DecodeState {
  std::mutex mutex;
  std::map<GstPad*, ProbedStream> streams;
  GstElement* pipeline = nullptr;
};

void OnHandoff(GstElement*, GstBuffer* buffer, GstPad* pad, gpointer data) {
  auto* state = static_cast<DecodeState*>(data);
  std::lock_guard<std::mutex> lock(state->mutex);
  ProbedStream& s = state->streams[pad];
  ++s.frames;
  if (!GST_BUFFER_PTS_IS_VALID(buffer)) return;
  const double pts = static_cast<double>(GST_BUFFER_PTS(buffer)) / GST_SECOND;
  const double dur = GST_BUFFER_DURATION_IS_VALID(buffer)
                         ? static_cast<double>(GST_BUFFER_DURATION(buffer)) / GST_SECOND
                         : 0.0;
  if (s.start < 0 || pts < s.start) s.start = pts;
  if (pts + dur > s.end) s.end = pts + dur;
}

void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
  auto* state = static_cast<DecodeState*>(data);
  GstCaps* caps = gst_pad_get_current_caps(pad);
  if (!caps) caps = gst_pad_query_caps(pad, nullptr);
  const std::string name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
  gst_caps_unref(caps);
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  g_object_set(sink, "sync", FALSE, "signal-handoffs", TRUE, nullptr);
  gst_bin_add(GST_BIN(state->pipeline), sink);
  GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
  {
    std::lock_guard<std::mutex> lock(state->mutex);
    ProbedStream& s = state->streams[sinkPad];
    s.type = name.rfind("video/", 0) == 0 ? "video" : name.rfind("audio/", 0) == 0 ? "audio" : name;
    s.codec = name;
  }
  g_signal_connect(sink, "handoff", G_CALLBACK(OnHandoff), state);
  gst_element_sync_state_with_parent(sink);
  gst_pad_link(pad, sinkPad);
  gst_object_unref(sinkPad);
}

}  // namespace

ProbedClip ProbeWithGStreamer(const std::string& path, int timeoutSeconds) {
  ProbedClip clip;
  DecodeState state;
  state.pipeline = gst_pipeline_new(nullptr);
  GstElement* decode = gst_element_factory_make("uridecodebin", nullptr);
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  g_object_set(decode, "uri", uri, nullptr);
  g_free(uri);
  gst_bin_add(GST_BIN(state.pipeline), decode);
  g_signal_connect(decode, "pad-added", G_CALLBACK(OnPadAdded), &state);
  gst_element_set_state(state.pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(state.pipeline);
  GstMessage* msg =
      gst_bus_timed_pop_filtered(bus, static_cast<GstClockTime>(timeoutSeconds) * GST_SECOND,
                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  if (!msg) {
    clip.error = "GStreamer did not finish reading the clip";
  } else if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR) {
    GError* error = nullptr;
    gst_message_parse_error(msg, &error, nullptr);
    clip.error = error ? error->message : "error";
    g_clear_error(&error);
  } else {
    clip.ok = true;
  }
  if (msg) gst_message_unref(msg);
  gst_object_unref(bus);
  gst_element_set_state(state.pipeline, GST_STATE_NULL);
  gst_object_unref(state.pipeline);
  for (const auto& entry : state.streams) {
    if (entry.second.type == "video")
      clip.streams.insert(clip.streams.begin(), entry.second);
    else
      clip.streams.push_back(entry.second);
  }
  if (clip.ok && clip.streams.empty()) {
    clip.ok = false;
    clip.error = "no streams decoded";
  }
  return clip;
}

std::string CommandOutput(const std::string& command) {
  bool ok;
  return Run(command, ok);
}
