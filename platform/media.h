// The media-graph layer: graph, filters, pins and the device interfaces the capture
// code relies on. Implemented on GStreamer in platform/gst; small fakes in platform/fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace media {

// Status codes of the operations that report one (the values callers may compare with).
using Status = int32_t;
constexpr Status kOk = 0;
constexpr Status kFalse = 1;
constexpr Status kFail = static_cast<Status>(0x80004005u);
constexpr Status kNotImplemented = static_cast<Status>(0x80004001u);
constexpr Status kInvalidArgument = static_cast<Status>(0x80070057u);
// A stop that has begun but not ended: the writers are still finishing what was captured.
constexpr Status kStateIntermediate = 0x00040237;
inline bool Succeeded(Status s) { return s >= 0; }

// Class identifiers of the stock filters, the keys of MediaFactory::CreateFilter.
namespace clsid {
constexpr const char* kSmartTee = "{CC58E280-8AA1-11D1-B3F1-00AA003761C5}";
constexpr const char* kSampleGrabber = "{C1F400A0-3F08-11D3-9F0B-006008039E37}";
constexpr const char* kNullRenderer = "{C1F400A4-3F08-11D3-9F0B-006008039E37}";
constexpr const char* kVideoRenderer = "{70E102B0-5556-11CE-97C0-00AA0055595A}";
constexpr const char* kAviMux = "{E2510970-F137-11CE-8B67-00AA00A3F1A6}";
constexpr const char* kFileWriter = "{8596E5F0-0DA5-11D0-BD21-00A0C911CE86}";
constexpr const char* kWmAsfWriter = "{7C23220E-55BB-11D3-8B16-00C04FB6BD3D}";
// The camera maker's video transfer filter (a plugin of its own; absent when not installed).
constexpr const char* kVideoTransfer = "{C707F977-98F9-4CAE-BAC9-8B1B456A0B7A}";
}  // namespace clsid

enum class PinDirection { Input = 0, Output = 1 };
// Capture and Still are the device pins; Any matches every pin in a lookup.
enum class PinCategory { None, Capture, Still, Preview, Any };
enum class MajorType { None, Video, Audio, Interleaved, Any };
enum class Subtype { None, UYVY, YUYV, YUY2, I420, RGB24, RGB32, MJPG, PCM, Other };
enum class FormatType { None, VideoInfo, WaveFormatEx };

// Size of a video-info format block (the header plus its bitmap header).
constexpr uint32_t kVideoInfoSize = 88;
// One second in the 100-nanosecond units of frame times.
constexpr int64_t kUnitsPerSecond = 10000000;

// A media type. For FormatType::VideoInfo the video fields hold the bitmap header's
// width and height as stored (a negative height is a top-down RGB image) and the
// average frame time in 100 ns units; for WaveFormatEx the audio fields are set.
struct MediaType {
  MajorType major = MajorType::None;
  Subtype subtype = Subtype::None;
  FormatType formatType = FormatType::None;
  uint32_t formatSize = 0;  // bytes of the format block; 0 when there is none
  int32_t width = 0;
  int32_t height = 0;
  int64_t avgTimePerFrame = 0;
  int32_t bitCount = 0;
  uint32_t sizeImage = 0;
  int32_t sampleRate = 0;
  int32_t channels = 0;

  bool IsEmpty() const { return major == MajorType::None; }
  bool operator==(const MediaType& o) const {
    return major == o.major && subtype == o.subtype && formatType == o.formatType &&
           formatSize == o.formatSize && width == o.width && height == o.height &&
           avgTimePerFrame == o.avgTimePerFrame && bitCount == o.bitCount &&
           sizeImage == o.sizeImage && sampleRate == o.sampleRate && channels == o.channels;
  }
};

class Filter;

class Pin {
 public:
  virtual ~Pin() = default;
  virtual PinDirection Direction() const = 0;
  virtual std::string Name() const = 0;
  virtual PinCategory Category() const = 0;
  // The major type the pin carries (Video for a camera's pins, Audio for a microphone's).
  virtual MajorType Major() const = 0;
  // The connected peer; null when the pin is not connected.
  virtual std::shared_ptr<Pin> ConnectedTo() const = 0;
  // The filter the pin belongs to; null when that cannot be told (the filter is gone).
  virtual std::shared_ptr<Filter> Owner() const = 0;
  // The media type of the pin's connection, or its preferred type when unconnected.
  virtual bool CurrentMediaType(MediaType& type) const = 0;
};

// A property a page shows: a range, a choice among texts, or an on/off value.
struct Property {
  enum class Kind { Range, Enumeration, Boolean };
  std::string name;
  Kind kind = Kind::Range;
  int32_t minimum = 0;
  int32_t maximum = 0;
  int32_t step = 1;
  int32_t defaultValue = 0;
  int32_t value = 0;
  std::vector<std::string> choices;  // Enumeration: value is the index
  // Shown but not settable now, e.g. a white balance temperature while the automatic
  // white balance is on; the object says so again after every change.
  bool inactive = false;
};

struct PropertyPage {
  std::string title;
  std::vector<Property> properties;
};

// The property pages of a filter or a pin, as data; a generic sheet shows them.
class PropertyPages {
 public:
  virtual ~PropertyPages() = default;
  virtual std::vector<PropertyPage> Pages() = 0;
  // Applies one value of one property; false when the object refused it.
  virtual bool Apply(int page, int property, int32_t value) = 0;
  // The name of the object the pages belong to (a device's name); the sheet's caption
  // is "<name> Properties". Empty when the object has no name of its own.
  virtual std::string ObjectName() const { return {}; }
};

// Shows property pages modally at (x, y) of the owner's client area; returns when closed.
class PropertySheetHost {
 public:
  virtual ~PropertySheetHost() = default;
  virtual void ShowPropertySheet(PropertyPages& pages, int x, int y) = 0;
};

// The capture pin's format: the current one, the ones the device offers, and setting one.
class StreamConfig {
 public:
  virtual ~StreamConfig() = default;
  virtual Status GetFormat(MediaType& type) = 0;
  // Fails when the device does not offer the type (size, subtype and frame rate).
  virtual Status SetFormat(const MediaType& type) = 0;
  virtual int CapabilityCount() = 0;
  virtual bool GetCapability(int index, MediaType& type) = 0;
  // The format page; null when there is none.
  virtual std::shared_ptr<PropertyPages> GetPropertyPages() = 0;
};

enum class VideoProcAmpProperty {
  Brightness = 0,
  Contrast = 1,
  Hue = 2,
  Saturation = 3,
  Sharpness = 4,
  Gamma = 5
};
constexpr int32_t kVideoProcAmpFlagsManual = 2;

// A camera's picture settings by names that stay the same for the camera
// ("brightness", "white_balance_temperature"), so that they can be kept for it and set
// again when it is used later.
class PictureSettings {
 public:
  virtual ~PictureSettings() = default;
  // Every setting the user can change now, in the order they are to be set again (an
  // automatic control before the value it governs).
  virtual std::vector<std::pair<std::string, int32_t>> Values() = 0;
  // Sets one, now and whenever the camera is opened again; false with the reason when
  // the camera has no such setting or does not take that value.
  virtual bool Apply(const std::string& name, int32_t value, std::string& why) = 0;
};

// The device's picture controls.
class VideoProcAmp {
 public:
  virtual ~VideoProcAmp() = default;
  virtual Status Set(VideoProcAmpProperty property, int32_t value, int32_t flags) = 0;
  virtual Status Get(VideoProcAmpProperty property, int32_t& value) = 0;
  virtual Status GetRange(VideoProcAmpProperty property, int32_t& minimum, int32_t& maximum,
                          int32_t& step, int32_t& defaultValue) = 0;
};

// The still-pin trigger: mode 8 makes the device emit one frame on the given pin.
constexpr int32_t kVideoControlFlagTrigger = 8;
class VideoControl {
 public:
  virtual ~VideoControl() = default;
  virtual Status SetMode(Pin& pin, int32_t mode) = 0;
};

// Frames the capture pin delivered and the ones the device lost.
class FrameCounters {
 public:
  virtual ~FrameCounters() = default;
  virtual Status GetNumDropped(int32_t& dropped) = 0;
  virtual Status GetNumNotDropped(int32_t& delivered) = 0;
};

class FileSink {
 public:
  virtual ~FileSink() = default;
  virtual Status SetFileName(const std::string& path) = 0;
  // A writer that goes on in a new file once its file is full (a format's size limit)
  // asks the namer for each next file's path, on the streaming thread, after the file
  // before is complete and closed. Writers that never split keep kNotImplemented.
  virtual Status SetNextFileNamer(std::function<std::string()> /*namer*/) {
    return kNotImplemented;
  }
};

// Receives the frames a sample grabber lets through; runs on the streaming thread.
// RGB24 frames arrive bottom-up with rows padded to four bytes, as in a BMP file.
class SampleGrabberCallback {
 public:
  virtual ~SampleGrabberCallback() = default;
  virtual Status BufferCB(double sampleTime, const uint8_t* data, long length) = 0;
};

class SampleGrabber {
 public:
  virtual ~SampleGrabber() = default;
  // Restricts the input to a major type and subtype (the other fields are ignored).
  virtual Status SetMediaType(const MediaType& type) = 0;
  virtual Status SetBufferSamples(bool on) = 0;
  virtual Status SetOneShot(bool on) = 0;
  // which 1 selects BufferCB; the callback must outlive the grabber's streaming.
  virtual Status SetCallback(SampleGrabberCallback* callback, int which) = 0;
  virtual Status GetConnectedMediaType(MediaType& type) = 0;
  // With no buffer, size receives the kept frame's size; with one of size bytes it is filled.
  virtual Status GetCurrentBuffer(long& size, uint8_t* buffer) = 0;
  // Lets every type through unchanged, but the kept frame is converted to this one
  // (for a grabber on the way into a clip, whose frames must stay as they are).
  virtual Status SetKeptType(const MediaType& type) {
    (void)type;
    return kNotImplemented;
  }
};

// A frame for the video window: 32-bit BGRx, top-down, stride bytes per row.
struct VideoFrame {
  int width = 0;
  int height = 0;
  int stride = 0;
  const uint8_t* data = nullptr;
  // Keeps `data` readable for as long as it is held, on any thread. Empty: the data is
  // valid only during Present.
  std::shared_ptr<const void> keeper;
};

// Where the video window draws; implemented by the window system (a child of the owner's
// client area). Present runs on the streaming thread and must only copy the frame (or
// hold its keeper) and hand it over; Place and Show run on the user-interface thread.
class VideoSurface {
 public:
  virtual ~VideoSurface() = default;
  virtual void Present(const VideoFrame& frame) = 0;
  // Position and size in the owner's client area.
  virtual void Place(int left, int top, int width, int height) = 0;
  virtual void Show(bool visible) = 0;
  // The area shows black until the next frame, so that a stopped picture does not
  // look like a hung one.
  virtual void Clear() {}
  // A short flash over the picture: a snapshot was taken.
  virtual void Flash() {}
};

// The renderer's window. SetOwner(nullptr) detaches it: no frame reaches the old surface
// once the call has returned, and the old surface is hidden.
class VideoWindow {
 public:
  virtual ~VideoWindow() = default;
  virtual Status SetOwner(VideoSurface* surface) = 0;
  virtual Status SetWindowPosition(int left, int top, int width, int height) = 0;
  virtual Status GetWindowPosition(int& left, int& top, int& width, int& height) = 0;
  virtual Status SetVisible(bool visible) = 0;
  virtual Status SetAutoShow(bool autoShow) = 0;
};

// The recording profile of the ASF writer: which streams it has and the video size.
struct AsfProfile {
  bool hasAudio = true;
  bool hasVideo = true;
  int32_t videoWidth = 320;
  int32_t videoHeight = 240;
  uint32_t videoSizeImage = 320 * 240 * 2;
  int32_t videoQuality = 50;
  int32_t videoBitrate = 1000000;
  int32_t audioBitrate = 64000;
};

class AsfWriterConfig {
 public:
  virtual ~AsfWriterConfig() = default;
  // The writer's inputs follow the profile: audio first when present, then video.
  virtual Status ConfigureFilterUsingProfile(const AsfProfile& profile) = 0;
  virtual AsfProfile CurrentProfile() = 0;
};

class Filter {
 public:
  virtual ~Filter() = default;
  // The name given when the filter was added to a graph; empty when not in one.
  virtual std::string Name() const = 0;
  virtual std::string ClassId() const = 0;
  // Pins in a stable order; a multiplexer grows a new input once its last is connected.
  virtual Status EnumPins(std::vector<std::shared_ptr<Pin>>& pins) = 0;

  // The interfaces a filter may offer; each is null when the filter lacks it.
  virtual std::shared_ptr<VideoControl> GetVideoControl() { return nullptr; }
  virtual std::shared_ptr<VideoProcAmp> GetVideoProcAmp() { return nullptr; }
  virtual std::shared_ptr<PictureSettings> GetPictureSettings() { return nullptr; }
  virtual std::shared_ptr<SampleGrabber> GetSampleGrabber() { return nullptr; }
  virtual std::shared_ptr<FileSink> GetFileSink() { return nullptr; }
  virtual std::shared_ptr<PropertyPages> GetPropertyPages() { return nullptr; }
  virtual std::shared_ptr<VideoWindow> GetVideoWindow() { return nullptr; }
  virtual std::shared_ptr<AsfWriterConfig> GetAsfWriterConfig() { return nullptr; }
};

// Run, and stop once everything queued has reached the sinks (files end complete).
class MediaControl {
 public:
  virtual ~MediaControl() = default;
  virtual Status Run() = 0;
  // kStateIntermediate while the file writers still take frames captured before the
  // stop (call again: the stop goes on meanwhile); kOk once the graph has stopped.
  virtual Status StopWhenReady() = 0;
};

// Something the running graph reports to the user-interface thread.
struct GraphEvent {
  // FileUnfinished: a stop had to close a file its writer had not finished (no index).
  // FramesDropped: frames a recording left out because the writer could not keep up.
  // Warning: something to log that stopped nothing.
  enum class Kind { ErrorAbort, Complete, DeviceLost, FileUnfinished, FramesDropped, Warning };
  Kind kind = Kind::ErrorAbort;
  std::string source;  // the filter's name
  std::string text;
  int64_t frames = 0;  // FramesDropped: how many
};

class Graph {
 public:
  virtual ~Graph() = default;
  // Adds under a name (made unique when taken); false when the filter is in a graph.
  virtual Status AddFilter(const std::shared_ptr<Filter>& filter, const std::string& name) = 0;
  virtual Status RemoveFilter(Filter& filter) = 0;
  // Connects an output to an input, inserting converters where the types do not meet.
  virtual Status Connect(Pin& output, Pin& input) = 0;
  // Breaks the connection the pin takes part in.
  virtual Status Disconnect(Pin& pin) = 0;
  virtual std::vector<std::shared_ptr<Filter>> Filters() const = 0;
  virtual std::shared_ptr<Filter> FindFilterByName(const std::string& name) const = 0;
  // Null when the graph cannot be controlled.
  virtual std::shared_ptr<MediaControl> GetMediaControl() = 0;
  // Takes the next event the graph reported; called on the user-interface thread.
  virtual bool NextEvent(GraphEvent& event) = 0;
};

// The containers a recording writes.
enum class ClipContainer { Avi, Asf };

// What a repair of an unfinished clip came to.
struct ClipRepair {
  enum class Outcome {
    Repaired,    // the output is complete and indexed
    Unreadable,  // the demuxer found nothing it can read, or not to the end: the clip is kept
    Failed       // reading or writing broke off (a full disk): the output is not usable
  };
  Outcome outcome = Outcome::Failed;
  int64_t videoFrames = 0;    // frames written to the output
  int64_t durationUnits = 0;  // the output's video duration in 100 ns units
  std::string detail;         // what went wrong, for the error stream
};

// Rewrites a clip whose writer never finished it (a killed process: headers that count
// no frames, no index, but the data intact) into a complete file at another path,
// stream by stream and without re-encoding.
class ClipRepairer {
 public:
  virtual ~ClipRepairer() = default;
  // Blocks until the output is written and flushed to the disk, or the repair failed;
  // a failed repair leaves at most a partial output behind for the caller to remove.
  virtual ClipRepair Remux(const std::string& clip, ClipContainer container,
                           const std::string& output) = 0;
  // From any thread: the remux that runs, and every later one, soon ends as Failed.
  virtual void Cancel() {}
};

class CaptureGraphBuilder {
 public:
  virtual ~CaptureGraphBuilder() = default;
  virtual Status SetFiltergraph(const std::shared_ptr<Graph>& graph) = 0;
  // The index-th pin of the category and major type (Any matches all).
  virtual Status FindPin(Filter& filter, PinDirection direction, PinCategory category,
                         MajorType major, bool unconnectedOnly, int index,
                         std::shared_ptr<Pin>& pin) = 0;
  // The stream configuration and frame counters of a filter's pin of a category.
  virtual Status FindStreamConfig(PinCategory category, MajorType major, Filter& filter,
                                  std::shared_ptr<StreamConfig>& config) = 0;
  virtual Status FindFrameCounters(PinCategory category, MajorType major, Filter& filter,
                                   std::shared_ptr<FrameCounters>& counters) = 0;
  // Connects the source's pin of the category through the intermediate filter (may be
  // null) to the sink (may be null: the stream stops at the intermediate filter).
  virtual Status RenderStream(PinCategory category, MajorType major, Filter& source,
                              Filter* intermediate, Filter* sink) = 0;
};

enum class DeviceCategory { VideoInput, AudioInput };

// What a device's provider tells of it: enough to see that two providers list the same
// device, and which devices are no capture devices at all.
struct DeviceDescription {
  enum class Provider { Other, V4l2, PipeWire, Pulse, Alsa };
  Provider provider = Provider::Other;
  bool hasSourcePad = true;  // its element can deliver a stream
  bool monitor = false;      // a sound output's monitor, not a microphone
  bool stream = false;       // an application's stream, not a device
  std::string node;          // the V4L2 device node it reads, if any ("/dev/video0")
  std::string card;          // the ALSA card it records from, if any ("0")
  std::string soundName;     // the sound server's name of the source, if any
  // What tells this device from every other, the same after it is plugged in again and
  // for each provider's copy of it ("usb:046d:0825:1A2B3C4D/1.0"); empty when unknown.
  std::string identity;
};

// One device of a category: its friendly name and its filter.
class DeviceMoniker {
 public:
  virtual ~DeviceMoniker() = default;
  virtual Status ReadFriendlyName(std::string& name) = 0;
  virtual DeviceDescription Describe() { return {}; }
  // Creates the filter bound to the device; null on failure.
  virtual std::shared_ptr<Filter> BindToFilter() = 0;
};

class DeviceEnumerator {
 public:
  virtual ~DeviceEnumerator() = default;
  // kOk with the devices in order, kFalse when the category is empty, or a failure.
  virtual Status CreateClassEnumerator(DeviceCategory category,
                                       std::vector<std::shared_ptr<DeviceMoniker>>& devices) = 0;
  // Starts watching for capture devices that come, go or change; false when this
  // enumerator cannot. From then on DevicesChanged, on any thread, tells whether any did
  // since it was last asked (the user-interface thread polls it from its timer).
  virtual bool WatchChanges() { return false; }
  virtual bool DevicesChanged() { return false; }
};

// The entry point: graphs, builders, device enumeration, filters by class identifier.
class MediaFactory {
 public:
  virtual ~MediaFactory() = default;
  virtual std::shared_ptr<Graph> CreateGraph() = 0;
  virtual std::shared_ptr<CaptureGraphBuilder> CreateCaptureGraphBuilder() = 0;
  virtual std::shared_ptr<DeviceEnumerator> CreateDeviceEnumerator() = 0;
  // Null when no filter is known by that identifier.
  virtual std::shared_ptr<Filter> CreateFilter(const std::string& classId) = 0;
  // Repairs clips a killed recording left behind; null when the layer cannot.
  virtual std::shared_ptr<ClipRepairer> CreateClipRepairer() { return nullptr; }
};

}  // namespace media
