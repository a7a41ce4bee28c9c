// The video frame rate written into a finished ASF header, in place.
#include "platform/gst/asf_frame_time.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

namespace media::gst {
namespace {

using Guid = std::array<uint8_t, 16>;

constexpr uint8_t HexDigit(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

// A GUID from its usual text, as ASF stores it: the first three groups little-endian.
constexpr Guid GuidOf(const char (&text)[37]) {
  uint8_t bytes[16] = {};  // in the order of the text
  for (int i = 0, t = 0; i < 16; ++i, t += 2) {
    if (text[t] == '-') ++t;
    bytes[i] = static_cast<uint8_t>(HexDigit(text[t]) << 4 | HexDigit(text[t + 1]));
  }
  constexpr int kStored[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  Guid guid{};
  for (int i = 0; i < 16; ++i) guid[i] = bytes[kStored[i]];
  return guid;
}

constexpr Guid kHeaderObject = GuidOf("75B22630-668E-11CF-A6D9-00AA0062CE6C");
constexpr Guid kStreamProperties = GuidOf("B7DC0791-A9B7-11CF-8EE6-00C00C205365");
constexpr Guid kVideoMedia = GuidOf("BC19EFC0-5B4D-11CF-A8FD-00805F5C442B");
constexpr Guid kHeaderExtension = GuidOf("5FBF03B5-A92E-11CF-8EE3-00C00C205365");
constexpr Guid kExtendedStreamProperties = GuidOf("14E6A5CB-C672-4332-8399-A96952065B5A");
constexpr Guid kMetadata = GuidOf("C5F8CBEA-5BAF-4877-8467-AA8C44FA4CCA");
static_assert(kHeaderObject[0] == 0x30 && kHeaderObject[5] == 0x66 && kHeaderObject[15] == 0x6C);

constexpr size_t kObjectHeader = 24;          // GUID and 64-bit size
constexpr size_t kHeaderObjectFields = 30;    // the header object's own fields
constexpr size_t kExtensionFields = 46;       // reserved GUID, WORD and the data size
constexpr size_t kMaxHeaderBytes = 1u << 20;  // far more than any muxer writes
// Extended stream properties: 64 bytes of fixed fields after the object header; the
// stream number at 72, the average time per frame at 76.
constexpr size_t kEspStreamNumber = 72;
constexpr size_t kEspFrameTime = 76;
constexpr size_t kEspFixed = kObjectHeader + 64;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | static_cast<uint32_t>(Le16(p + 2)) << 16; }
uint64_t Le64(const uint8_t* p) { return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32; }
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v));
  Put16(out, static_cast<uint16_t>(v >> 16));
}
void Put64(std::vector<uint8_t>& out, uint64_t v) {
  Put32(out, static_cast<uint32_t>(v));
  Put32(out, static_cast<uint32_t>(v >> 32));
}
bool Is(const uint8_t* p, const Guid& guid) { return std::memcmp(p, guid.data(), 16) == 0; }

struct Object {
  size_t offset;
  uint64_t size;
};

// The objects laid out between begin and end; empty when a size runs past the end.
std::vector<Object> Objects(const std::vector<uint8_t>& data, size_t begin, size_t end) {
  std::vector<Object> objects;
  for (size_t p = begin; p < end;) {
    if (end - p < kObjectHeader) return {};
    const uint64_t size = Le64(&data[p + 16]);
    if (size < kObjectHeader || size > end - p) return {};
    objects.push_back({p, size});
    p += size;
  }
  return objects;
}

// The metadata object libav writes for a video stream with square pixels: the two
// records AspectRatioX and AspectRatioY of the stream, both 1. Nothing else may go.
bool IsSquarePixelsOnly(const std::vector<uint8_t>& data, const Object& object, int stream) {
  const size_t end = object.offset + object.size;
  size_t p = object.offset + kObjectHeader;
  if (end - p < 2 || Le16(&data[p]) != 2) return false;
  p += 2;
  for (const char* name : {"AspectRatioX", "AspectRatioY"}) {
    if (end - p < 12) return false;
    const uint16_t recordStream = Le16(&data[p + 2]);
    const uint16_t nameBytes = Le16(&data[p + 4]);
    const uint32_t valueBytes = Le32(&data[p + 8]);
    p += 12;
    const size_t length = std::strlen(name);
    if (recordStream != stream || valueBytes != 4 || nameBytes != 2 * (length + 1) ||
        end - p < nameBytes + 4u)
      return false;
    for (size_t i = 0; i <= length; ++i)  // the terminating zero too
      if (Le16(&data[p + 2 * i]) != static_cast<uint8_t>(name[i])) return false;
    p += nameBytes;
    if (Le32(&data[p]) != 1) return false;
    p += 4;
  }
  return p == end;
}

// Extended stream properties of exactly size bytes for the stream: a stream name fills
// what the fixed fields leave (the name is what the space allows).
std::vector<uint8_t> ExtendedStreamProperties(int stream, uint64_t frameTime, uint64_t size) {
  std::vector<uint8_t> out(kExtendedStreamProperties.begin(), kExtendedStreamProperties.end());
  Put64(out, size);
  Put64(out, 0);     // start time
  Put64(out, 0);     // end time
  Put32(out, 0);     // data bit rate
  Put32(out, 5000);  // buffer size, ms
  Put32(out, 0);     // initial buffer fullness
  Put32(out, 0);     // alternate data bit rate
  Put32(out, 5000);  // alternate buffer size
  Put32(out, 0);     // alternate initial buffer fullness
  Put32(out, 0);     // maximum object size
  Put32(out, 2);     // flags: seekable
  Put16(out, static_cast<uint16_t>(stream));
  Put16(out, 0);  // language
  Put64(out, frameTime);
  Put16(out, 1);  // one stream name
  Put16(out, 0);  // no payload extension systems
  const size_t nameBytes = size - out.size() - 4;
  Put16(out, 0);  // the name's language
  Put16(out, static_cast<uint16_t>(nameBytes));
  static const char kName[] = "Camera 1";
  for (size_t i = 0; i < nameBytes / 2; ++i)
    Put16(out, i < sizeof kName - 1 ? static_cast<uint8_t>(kName[i]) : 0);
  return out;
}

bool Fail(std::string& why, const char* reason) {
  why = reason;
  return false;
}

}  // namespace

bool WriteAsfAverageFrameTime(const std::string& path, uint64_t frameTime100ns, std::string& why) {
  FILE* file = std::fopen(path.c_str(), "r+b");
  if (!file) return Fail(why, "the file cannot be opened");
  std::vector<uint8_t> data(kMaxHeaderBytes);
  data.resize(std::fread(data.data(), 1, data.size(), file));
  const auto done = [&](bool ok, const char* reason) {
    std::fclose(file);
    return ok ? true : Fail(why, reason);
  };
  if (data.size() < kHeaderObjectFields || !Is(data.data(), kHeaderObject))
    return done(false, "no ASF header");
  const uint64_t headerSize = Le64(&data[16]);
  if (headerSize > data.size()) return done(false, "the header runs past the file");

  int videoStream = -1;
  const Object* extension = nullptr;
  const std::vector<Object> top = Objects(data, kHeaderObjectFields, headerSize);
  for (const Object& o : top) {
    const uint8_t* p = &data[o.offset];
    if (Is(p, kStreamProperties) && o.size >= 74 && Is(p + kObjectHeader, kVideoMedia))
      videoStream = Le16(p + 72) & 0x7F;
    if (Is(p, kHeaderExtension) && o.size >= kExtensionFields) extension = &o;
  }
  if (top.empty() || videoStream < 0 || !extension) return done(false, "no video stream");
  const size_t extensionEnd = extension->offset + extension->size;
  const size_t childrenBegin = extension->offset + kExtensionFields;
  if (Le32(&data[extension->offset + 42]) != extensionEnd - childrenBegin)
    return done(false, "a damaged header extension");

  long at = -1;
  std::vector<uint8_t> patch;
  for (const Object& o : Objects(data, childrenBegin, extensionEnd)) {
    const uint8_t* p = &data[o.offset];
    if (Is(p, kExtendedStreamProperties) && o.size >= kEspFixed &&
        Le16(p + kEspStreamNumber) == videoStream) {
      at = static_cast<long>(o.offset + kEspFrameTime);
      Put64(patch, frameTime100ns);
      break;
    }
    if (Is(p, kMetadata) && o.size >= kEspFixed + 6 && IsSquarePixelsOnly(data, o, videoStream)) {
      at = static_cast<long>(o.offset);
      patch = ExtendedStreamProperties(videoStream, frameTime100ns, o.size);
    }
  }
  if (at < 0) return done(false, "the header has no room for the frame rate");
  const bool written = std::fseek(file, at, SEEK_SET) == 0 &&
                       std::fwrite(patch.data(), 1, patch.size(), file) == patch.size() &&
                       std::fflush(file) == 0;
  return done(written, "the header could not be written");
}

}  // namespace media::gst
