// The fake media layer: filters, pins, graph, builder and devices in memory.
#include "platform/fakes/fake_media.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <utility>

namespace media::fake {

namespace {

class FakeFilter;

class FakePin : public Pin, public std::enable_shared_from_this<FakePin> {
 public:
  FakePin(FakeFilter* owner, PinDirection dir, std::string name, PinCategory category,
          MajorType major)
      : owner_(owner), dir_(dir), name_(std::move(name)), category_(category), major_(major) {}
  PinDirection Direction() const override { return dir_; }
  std::string Name() const override { return name_; }
  PinCategory Category() const override { return category_; }
  MajorType Major() const override { return major_; }
  std::shared_ptr<Pin> ConnectedTo() const override { return peer_.lock(); }
  std::shared_ptr<Filter> Owner() const override;
  bool CurrentMediaType(MediaType& type) const override;

  FakeFilter* owner_;
  PinDirection dir_;
  std::string name_;
  PinCategory category_;
  MajorType major_;
  std::weak_ptr<FakePin> peer_;
};

class FakeFilter : public Filter, public std::enable_shared_from_this<FakeFilter> {
 public:
  explicit FakeFilter(std::string classId) : classId_(std::move(classId)) {}
  std::string Name() const override { return name_; }
  std::string ClassId() const override { return classId_; }
  Status EnumPins(std::vector<std::shared_ptr<Pin>>& pins) override {
    pins.assign(pins_.begin(), pins_.end());
    return kOk;
  }
  std::shared_ptr<FakePin> AddPin(PinDirection dir, const std::string& name,
                                  PinCategory category = PinCategory::None,
                                  MajorType major = MajorType::Video) {
    pins_.push_back(std::make_shared<FakePin>(this, dir, name, category, major));
    return pins_.back();
  }
  // What an output pin carries: by default what the first input receives.
  virtual bool OutputType(const FakePin&, MediaType& type) const {
    for (const auto& p : pins_)
      if (p->dir_ == PinDirection::Input) {
        auto peer = p->peer_.lock();
        return peer && peer->CurrentMediaType(type);
      }
    return false;
  }
  bool IsConnected() const {
    return std::any_of(pins_.begin(), pins_.end(),
                       [](const auto& p) { return !p->peer_.expired(); });
  }

  std::string name_;
  std::string classId_;
  std::vector<std::shared_ptr<FakePin>> pins_;
};

std::shared_ptr<Filter> FakePin::Owner() const { return owner_->shared_from_this(); }

bool FakePin::CurrentMediaType(MediaType& type) const {
  if (dir_ == PinDirection::Input) {
    auto peer = peer_.lock();
    return peer && peer->CurrentMediaType(type);
  }
  return owner_->OutputType(*this, type);
}

// A list of choices applied by index.
class ChoicePages : public PropertyPages {
 public:
  ChoicePages(std::string title, std::string name, std::vector<std::string> choices,
              std::function<int()> current, std::function<bool(int)> apply)
      : title_(std::move(title)),
        name_(std::move(name)),
        choices_(std::move(choices)),
        current_(std::move(current)),
        apply_(std::move(apply)) {}
  std::vector<PropertyPage> Pages() override {
    Property p;
    p.name = name_;
    p.kind = Property::Kind::Enumeration;
    p.maximum = static_cast<int32_t>(choices_.size()) - 1;
    p.choices = choices_;
    p.value = current_();
    return {PropertyPage{title_, {p}}};
  }
  bool Apply(int page, int property, int32_t value) override {
    if (page != 0 || property != 0 || value < 0 || value >= static_cast<int32_t>(choices_.size()))
      return false;
    return apply_(value);
  }

 private:
  std::string title_, name_;
  std::vector<std::string> choices_;
  std::function<int()> current_;
  std::function<bool(int)> apply_;
};

class NoSettingsPages : public PropertyPages {
 public:
  explicit NoSettingsPages(std::string title) : title_(std::move(title)) {}
  std::vector<PropertyPage> Pages() override { return {PropertyPage{title_, {}}}; }
  bool Apply(int, int, int32_t) override { return false; }

 private:
  std::string title_;
};

class FakeDevice : public FakeFilter {
 public:
  FakeDevice(MajorType major, CameraSpec spec) : FakeFilter(""), major_(major), spec_(spec) {
    capture_ = AddPin(PinDirection::Output, "Capture", PinCategory::Capture, major);
    if (major == MajorType::Video) AddPin(PinDirection::Output, "Still", PinCategory::Still, major);
    if (!spec_.formats.empty()) current_ = spec_.formats[0];
  }
  bool OutputType(const FakePin& pin, MediaType& type) const override {
    if (major_ == MajorType::Audio) {
      type = MediaType{};
      type.major = MajorType::Audio;
      type.subtype = Subtype::PCM;
      type.formatType = FormatType::WaveFormatEx;
      type.sampleRate = 48000;
      type.channels = 2;
      return true;
    }
    (void)pin;
    type = current_;
    return !current_.IsEmpty();
  }
  std::shared_ptr<PropertyPages> GetPropertyPages() override {
    if (major_ == MajorType::Audio) return std::make_shared<NoSettingsPages>("Audio Input");
    return std::make_shared<ChoicePages>(
        "Video Proc Amp", "Backlight", std::vector<std::string>{"Off", "On"}, [] { return 0; },
        [](int) { return true; });
  }

  MajorType major_;
  CameraSpec spec_;
  MediaType current_;
  std::shared_ptr<FakePin> capture_;
};

class FakeStreamConfig : public StreamConfig {
 public:
  explicit FakeStreamConfig(std::shared_ptr<FakeDevice> d) : d_(std::move(d)) {}
  Status GetFormat(MediaType& type) override {
    type = d_->current_;
    return kOk;
  }
  Status SetFormat(const MediaType& type) override {
    for (const MediaType& f : d_->spec_.formats)
      if (f.subtype == type.subtype && f.width == type.width && f.height == type.height) {
        d_->current_ = type;
        return kOk;
      }
    return kFail;
  }
  int CapabilityCount() override { return static_cast<int>(d_->spec_.formats.size()); }
  bool GetCapability(int index, MediaType& type) override {
    if (index < 0 || index >= CapabilityCount()) return false;
    type = d_->spec_.formats[index];
    return true;
  }
  std::shared_ptr<PropertyPages> GetPropertyPages() override {
    std::vector<std::string> names;
    for (const MediaType& f : d_->spec_.formats)
      names.push_back(std::to_string(f.width) + " x " + std::to_string(std::abs(f.height)));
    auto d = d_;
    return std::make_shared<ChoicePages>(
        "Stream Format", "Video Format", names,
        [d] {
          for (size_t i = 0; i < d->spec_.formats.size(); ++i)
            if (d->spec_.formats[i] == d->current_) return static_cast<int>(i);
          return 0;
        },
        [d](int i) {
          d->current_ = d->spec_.formats[static_cast<size_t>(i)];
          return true;
        });
  }

 private:
  std::shared_ptr<FakeDevice> d_;
};

class FakeGrabber : public SampleGrabber {
 public:
  explicit FakeGrabber(FakeFilter* f) : f_(f) {}
  Status SetMediaType(const MediaType&) override { return kOk; }
  Status SetBufferSamples(bool) override { return kOk; }
  Status SetOneShot(bool) override { return kOk; }
  Status SetCallback(SampleGrabberCallback*, int) override { return kOk; }
  Status GetConnectedMediaType(MediaType& type) override {
    for (const auto& p : f_->pins_)
      if (p->dir_ == PinDirection::Input && p->CurrentMediaType(type)) return kOk;
    return kFail;
  }
  Status GetCurrentBuffer(long&, uint8_t*) override { return kFail; }
  Status SetKeptType(const MediaType&) override { return kOk; }

 private:
  FakeFilter* f_;
};

class GrabberFilter : public FakeFilter {
 public:
  GrabberFilter() : FakeFilter(clsid::kSampleGrabber) {
    AddPin(PinDirection::Input, "Input");
    AddPin(PinDirection::Output, "Output");
  }
  std::shared_ptr<SampleGrabber> GetSampleGrabber() override {
    return std::make_shared<FakeGrabber>(this);
  }
};

class FakeVideoWindow : public VideoWindow {
 public:
  Status SetOwner(VideoSurface*) override { return kOk; }
  Status SetWindowPosition(int, int, int, int) override { return kOk; }
  Status GetWindowPosition(int& l, int& t, int& w, int& h) override {
    l = t = w = h = 0;
    return kOk;
  }
  Status SetVisible(bool) override { return kOk; }
  Status SetAutoShow(bool) override { return kOk; }
};

class RendererFilter : public FakeFilter {
 public:
  RendererFilter() : FakeFilter(clsid::kVideoRenderer) { AddPin(PinDirection::Input, "Input"); }
  std::shared_ptr<VideoWindow> GetVideoWindow() override {
    return std::make_shared<FakeVideoWindow>();
  }
};

class FakeFileSink : public FileSink {
 public:
  explicit FakeFileSink(std::string& path) : path_(path) {}
  Status SetFileName(const std::string& path) override {
    if (path.empty()) return kInvalidArgument;
    path_ = path;
    return kOk;
  }

 private:
  std::string& path_;
};

// The AVI multiplexer's two inputs (video, then sound) and the file writer: they write
// nothing, the graph only has to be built and run.
class FileWriterFilter : public FakeFilter {
 public:
  FileWriterFilter() : FakeFilter(clsid::kFileWriter) { AddPin(PinDirection::Input, "in"); }
  std::shared_ptr<FileSink> GetFileSink() override {
    return std::make_shared<FakeFileSink>(fileName_);
  }

 private:
  std::string fileName_;
};

// Scales to a chosen output size; 0 x 0 passes the input size through.
class TransferFilter : public FakeFilter {
 public:
  TransferFilter() : FakeFilter(clsid::kVideoTransfer) {
    AddPin(PinDirection::Input, "Input");
    AddPin(PinDirection::Output, "Output");
  }
  bool OutputType(const FakePin& pin, MediaType& type) const override {
    if (!FakeFilter::OutputType(pin, type)) return false;
    if (width_ > 0) {
      type.width = width_;
      type.height = height_;
    }
    return true;
  }
  std::shared_ptr<PropertyPages> GetPropertyPages() override {
    auto self = std::static_pointer_cast<TransferFilter>(shared_from_this());
    return std::make_shared<ChoicePages>(
        "Video Size", "Output size", std::vector<std::string>{"Input size", "320 x 240"},
        [self] { return self->width_ ? 1 : 0; },
        [self](int i) {
          self->width_ = i ? 320 : 0;
          self->height_ = i ? 240 : 0;
          return true;
        });
  }
  int width_ = 0;
  int height_ = 0;
};

class FakeGraph;

class FakeControl : public MediaControl {
 public:
  explicit FakeControl(FakeGraph* g) : g_(g) {}
  Status Run() override;
  Status StopWhenReady() override { return kOk; }

 private:
  FakeGraph* g_;
};

class FakeGraph : public Graph, public std::enable_shared_from_this<FakeGraph> {
 public:
  Status AddFilter(const std::shared_ptr<Filter>& filter, const std::string& name) override {
    auto f = std::dynamic_pointer_cast<FakeFilter>(filter);
    if (!f || std::find(filters_.begin(), filters_.end(), f) != filters_.end()) return kFail;
    std::string unique = name;
    for (int n = 1; FindFilterByName(unique); ++n) unique = name + " " + std::to_string(n);
    f->name_ = unique;
    filters_.push_back(f);
    return kOk;
  }
  Status RemoveFilter(Filter& filter) override {
    auto it = std::find_if(filters_.begin(), filters_.end(),
                           [&](const auto& f) { return f.get() == &filter; });
    if (it == filters_.end()) return kFail;
    for (const auto& p : (*it)->pins_) Disconnect(*p);
    (*it)->name_.clear();
    filters_.erase(it);
    return kOk;
  }
  Status Connect(Pin& output, Pin& input) override {
    auto* out = dynamic_cast<FakePin*>(&output);
    auto* in = dynamic_cast<FakePin*>(&input);
    if (!out || !in || out->dir_ != PinDirection::Output || in->dir_ != PinDirection::Input ||
        !out->peer_.expired() || !in->peer_.expired())
      return kFail;
    MediaType type;
    if (!out->CurrentMediaType(type) ||
        (type.major != MajorType::Video && in->major_ != MajorType::Any))
      return kFail;
    out->peer_ = in->shared_from_this();
    in->peer_ = out->shared_from_this();
    return kOk;
  }
  Status Disconnect(Pin& pin) override {
    auto* p = dynamic_cast<FakePin*>(&pin);
    if (!p) return kFail;
    if (auto peer = p->peer_.lock()) peer->peer_.reset();
    p->peer_.reset();
    return kOk;
  }
  std::vector<std::shared_ptr<Filter>> Filters() const override {
    return {filters_.begin(), filters_.end()};
  }
  std::shared_ptr<Filter> FindFilterByName(const std::string& name) const override {
    for (const auto& f : filters_)
      if (f->name_ == name) return f;
    return nullptr;
  }
  std::shared_ptr<MediaControl> GetMediaControl() override {
    return std::make_shared<FakeControl>(this);
  }
  bool NextEvent(GraphEvent&) override { return false; }

  std::vector<std::shared_ptr<FakeFilter>> filters_;
};

Status FakeControl::Run() {
  for (const auto& f : g_->filters_) {
    auto* device = dynamic_cast<FakeDevice*>(f.get());
    if (device && device->spec_.failsToStart && device->IsConnected()) return kFail;
  }
  return kOk;
}

class FakeBuilder : public CaptureGraphBuilder {
 public:
  Status SetFiltergraph(const std::shared_ptr<Graph>& graph) override {
    graph_ = std::dynamic_pointer_cast<FakeGraph>(graph);
    return graph_ ? kOk : kFail;
  }
  Status FindPin(Filter& filter, PinDirection direction, PinCategory category, MajorType,
                 bool unconnectedOnly, int index, std::shared_ptr<Pin>& pin) override {
    auto* f = dynamic_cast<FakeFilter*>(&filter);
    if (!f) return kFail;
    for (const auto& p : f->pins_) {
      if (p->dir_ != direction || (category != PinCategory::Any && p->category_ != category))
        continue;
      if (unconnectedOnly && !p->peer_.expired()) continue;
      if (index-- == 0) {
        pin = p;
        return kOk;
      }
    }
    return kFail;
  }
  Status FindStreamConfig(PinCategory category, MajorType major, Filter& filter,
                          std::shared_ptr<StreamConfig>& config) override {
    auto* f = dynamic_cast<FakeDevice*>(&filter);
    if (!f || category != PinCategory::Capture || major != MajorType::Video ||
        f->major_ != MajorType::Video)
      return kFail;
    config = std::make_shared<FakeStreamConfig>(
        std::static_pointer_cast<FakeDevice>(f->shared_from_this()));
    return kOk;
  }
  Status FindFrameCounters(PinCategory, MajorType, Filter&,
                           std::shared_ptr<FrameCounters>&) override {
    return kFail;
  }
  Status RenderStream(PinCategory category, MajorType, Filter& source, Filter* intermediate,
                      Filter* sink) override {
    if (!graph_) return kFail;
    std::shared_ptr<Pin> out;
    if (!Succeeded(FindPin(source, PinDirection::Output, category, MajorType::Any, true, 0, out)))
      return kFail;
    std::vector<Filter*> chain;
    if (intermediate) chain.push_back(intermediate);
    if (sink) chain.push_back(sink);
    for (Filter* next : chain) {
      std::shared_ptr<Pin> in;
      if (!Succeeded(
              FindPin(*next, PinDirection::Input, PinCategory::Any, MajorType::Any, true, 0, in)) ||
          !Succeeded(graph_->Connect(*out, *in)))
        return kFail;
      if (next == sink) break;
      if (!Succeeded(
              FindPin(*next, PinDirection::Output, PinCategory::Any, MajorType::Any, true, 0, out)))
        return kFail;
    }
    return kOk;
  }

 private:
  std::shared_ptr<FakeGraph> graph_;
};

class FakeMoniker : public DeviceMoniker {
 public:
  FakeMoniker(MajorType major, CameraSpec spec) : major_(major), spec_(std::move(spec)) {}
  Status ReadFriendlyName(std::string& name) override {
    name = spec_.name;
    return kOk;
  }
  DeviceDescription Describe() override {
    DeviceDescription d;
    d.identity = spec_.identity;
    return d;
  }
  std::shared_ptr<Filter> BindToFilter() override {
    return std::make_shared<FakeDevice>(major_, spec_);
  }

 private:
  MajorType major_;
  CameraSpec spec_;
};

class FakeEnumerator : public DeviceEnumerator {
 public:
  explicit FakeEnumerator(const FakeMediaFactory& f) : f_(f) {}
  Status CreateClassEnumerator(DeviceCategory category,
                               std::vector<std::shared_ptr<DeviceMoniker>>& devices) override {
    devices.clear();
    if (category == DeviceCategory::VideoInput) {
      for (const CameraSpec& c : f_.cameras)
        devices.push_back(std::make_shared<FakeMoniker>(MajorType::Video, c));
    } else {
      for (const std::string& m : f_.microphones) {
        CameraSpec spec;
        spec.name = m;
        devices.push_back(std::make_shared<FakeMoniker>(MajorType::Audio, spec));
      }
    }
    return devices.empty() ? kFalse : kOk;
  }
  bool WatchChanges() override { return f_.watchable; }
  bool DevicesChanged() override { return std::exchange(f_.devicesChanged, false); }

 private:
  const FakeMediaFactory& f_;
};

}  // namespace

MediaType VideoType(Subtype subtype, int width, int height, int fps) {
  MediaType t;
  t.major = MajorType::Video;
  t.subtype = subtype;
  t.formatType = FormatType::VideoInfo;
  t.formatSize = kVideoInfoSize;
  t.width = width;
  t.height = height;
  t.avgTimePerFrame = kUnitsPerSecond / fps;
  t.bitCount = subtype == Subtype::RGB24 ? 24 : subtype == Subtype::RGB32 ? 32 : 16;
  t.sizeImage = static_cast<uint32_t>(width * height * t.bitCount / 8);
  return t;
}

std::shared_ptr<Graph> FakeMediaFactory::CreateGraph() { return std::make_shared<FakeGraph>(); }

std::shared_ptr<CaptureGraphBuilder> FakeMediaFactory::CreateCaptureGraphBuilder() {
  return std::make_shared<FakeBuilder>();
}

std::shared_ptr<DeviceEnumerator> FakeMediaFactory::CreateDeviceEnumerator() {
  return std::make_shared<FakeEnumerator>(*this);
}

std::shared_ptr<Filter> FakeMediaFactory::CreateFilter(const std::string& classId) {
  if (classId == clsid::kSmartTee) {
    auto f = std::make_shared<FakeFilter>(classId);
    f->AddPin(PinDirection::Input, "Input");
    f->AddPin(PinDirection::Output, "Capture");
    f->AddPin(PinDirection::Output, "Preview");
    return f;
  }
  if (classId == clsid::kSampleGrabber) return std::make_shared<GrabberFilter>();
  if (classId == clsid::kVideoRenderer) return std::make_shared<RendererFilter>();
  if (classId == clsid::kVideoTransfer) return std::make_shared<TransferFilter>();
  if (classId == clsid::kNullRenderer) {
    auto f = std::make_shared<FakeFilter>(classId);
    f->AddPin(PinDirection::Input, "In");
    return f;
  }
  if (classId == clsid::kAviMux) {
    auto f = std::make_shared<FakeFilter>(classId);
    f->AddPin(PinDirection::Input, "Input 01");
    f->AddPin(PinDirection::Input, "Input 02", PinCategory::None, MajorType::Any);
    f->AddPin(PinDirection::Output, "AVI Out", PinCategory::None, MajorType::Any);
    return f;
  }
  if (classId == clsid::kFileWriter) return std::make_shared<FileWriterFilter>();
  return nullptr;
}

}  // namespace media::fake
