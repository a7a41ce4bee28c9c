// The video transfer filter: the ostreltransfer element of its own plugin, wrapped as a
// filter whose property page chooses the output size.
#include <sstream>
#include <utility>
#include <vector>

#include "platform/gst/stock_filters.h"

namespace media::gst {
namespace {

constexpr const char* kElementFactory = "ostreltransfer";
constexpr const char* kPageTitle = "Video Transfer";
constexpr const char* kSizeProperty = "Output size";
constexpr const char* kInputSizeChoice = "Input size";

struct OutputSize {
  guint width = 0;
  guint height = 0;
};

// "0x0,320x240,..." as the element lists it; malformed entries are skipped.
std::vector<OutputSize> ParseSizes(const std::string& text) {
  std::vector<OutputSize> sizes;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    OutputSize size;
    char x = 0;
    std::stringstream one(item);
    if (one >> size.width >> x >> size.height && x == 'x') sizes.push_back(size);
  }
  return sizes;
}

std::string ChoiceText(const OutputSize& size) {
  if (size.width == 0 && size.height == 0) return kInputSizeChoice;
  return std::to_string(size.width) + " x " + std::to_string(size.height);
}

class TransferPages : public PropertyPages {
 public:
  TransferPages(std::shared_ptr<GstFilter> owner, GstElement* element)
      : owner_(std::move(owner)), element_(element) {}

  std::vector<PropertyPage> Pages() override {
    sizes_ = Offered();
    Property size;
    size.name = kSizeProperty;
    size.kind = Property::Kind::Enumeration;
    size.maximum = static_cast<int32_t>(sizes_.size()) - 1;
    for (const OutputSize& s : sizes_) size.choices.push_back(ChoiceText(s));
    size.value = CurrentIndex();
    size.defaultValue = 0;
    return {PropertyPage{kPageTitle, {size}}};
  }

  bool Apply(int page, int property, int32_t value) override {
    if (sizes_.empty()) sizes_ = Offered();
    if (page != 0 || property != 0 || value < 0 || value >= static_cast<int32_t>(sizes_.size()))
      return false;
    const OutputSize& s = sizes_[static_cast<size_t>(value)];
    g_object_set(element_, "output-width", s.width, "output-height", s.height, nullptr);
    return true;
  }

 private:
  // The element's list, and its current size after it when the list lacks it.
  std::vector<OutputSize> Offered() const {
    gchar* text = nullptr;
    g_object_get(element_, "available-sizes", &text, nullptr);
    std::vector<OutputSize> sizes = ParseSizes(text ? text : "0x0");
    g_free(text);
    const OutputSize now = Current();
    bool listed = false;
    for (const OutputSize& s : sizes) listed |= s.width == now.width && s.height == now.height;
    if (!listed) sizes.push_back(now);
    return sizes;
  }
  OutputSize Current() const {
    OutputSize now;
    g_object_get(element_, "output-width", &now.width, "output-height", &now.height, nullptr);
    return now;
  }
  int32_t CurrentIndex() const {
    const OutputSize now = Current();
    for (size_t i = 0; i < sizes_.size(); ++i)
      if (sizes_[i].width == now.width && sizes_[i].height == now.height)
        return static_cast<int32_t>(i);
    return 0;
  }

  std::shared_ptr<GstFilter> owner_;  // keeps the element alive
  GstElement* element_;
  std::vector<OutputSize> sizes_;
};

class TransferFilter : public GstFilter {
 public:
  TransferFilter(GstElement* bin, GstElement* element)
      : GstFilter(clsid::kVideoTransfer, bin), element_(element) {}

  std::shared_ptr<PropertyPages> GetPropertyPages() override {
    return std::make_shared<TransferPages>(shared_from_this(), element_);
  }

  void Init() {
    GstPad* sink = gst_element_get_static_pad(element_, "sink");
    GstPad* src = gst_element_get_static_pad(element_, "src");
    AddPin("Input", sink, PinDirection::Input, PinCategory::None, MajorType::Video);
    AddPin("Output", src, PinDirection::Output, PinCategory::None, MajorType::Video);
    gst_object_unref(sink);
    gst_object_unref(src);
  }

 private:
  GstElement* element_;
};

}  // namespace

std::shared_ptr<GstFilter> MakeTransferFilter() {
  GstElement* element = gst_element_factory_make(kElementFactory, "transfer");
  if (!element) return nullptr;  // the plugin is not installed
  GstElement* bin = gst_bin_new(nullptr);
  gst_bin_add(GST_BIN(bin), element);
  auto filter = std::make_shared<TransferFilter>(bin, element);
  filter->Init();
  return filter;
}

}  // namespace media::gst
