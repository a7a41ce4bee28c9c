// Fuzzes the settings store: any file is read, one key is written, and reading again gives
// the new value for that key and the old one for every other; a file that cannot be read
// is never changed, and a save keeps the file's encoding.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/ini_profile.h"

namespace {

const char* const kKeys[] = {"WantPreview",   "AviFileFolder",     "SnapFolder", "AviFileIndex",
                             "SnapFileIndex", "TimeLimitEnalbe",   "TimeLimit",  "Capture Audio",
                             "VideoFormat",   "HighResolutionSize"};
constexpr int kKeyCount = 10;

struct Values {
  BOOL hasInt[kKeyCount];
  int ints[kKeyCount];
  BOOL hasText[kKeyCount];
  std::string texts[kKeyCount];
};

Values ReadAll(const IniProfile& ini) {
  Values v;
  for (int k = 0; k < kKeyCount; ++k) {
    v.hasInt[k] = ini.ReadInt(kKeys[k], v.ints[k]);
    v.hasText[k] = ini.ReadString(kKeys[k], v.texts[k]);
  }
  return v;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

const std::string& ScratchFile() {
  static const std::string path = [] {
    std::string base =
        ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string dir = base + "/ostrel-ini-fuzz-XXXXXX";
    if (!::mkdtemp(dir.data())) std::abort();
    static std::string scratch = dir;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(scratch, ec);
    });
    return dir + "/ostrel.INI";
  }();
  return path;
}

// A value every encoding holds and a read gives back as it was: no spaces or quotes at
// its ends, no line breaks, far below the length limit.
std::string TextValue(const uint8_t* data, size_t size) {
  static const char* const kPieces[] = {
      "a", "Z", "0", "9", "/", ".", "_", "-", "\xC3\xA9", "\xE7\x85\xA7", "\xF0\x9F\x93\xB7"};
  std::string text;
  for (size_t i = 0; i < size; ++i) text += kPieces[data[i] % 11];
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One byte chooses the key and the kind of value, four give a number, one the length of
  // the text; the rest is the file.
  if (size < 6) return 0;
  const uint8_t choice = data[0];
  int32_t number;
  std::memcpy(&number, data + 1, 4);
  const size_t textLength = std::min<size_t>(data[5] % 64, size - 6);
  const std::string text = TextValue(data + 6, textLength);
  const std::string file(reinterpret_cast<const char*>(data + 6 + textLength),
                         size - 6 - textLength);

  const std::string& path = ScratchFile();
  std::ofstream(path, std::ios::binary | std::ios::trunc) << file;
  IniProfile ini(path, "SectionMain");
  const Values before = ReadAll(ini);

  const int key = choice % kKeyCount;
  std::string name = kKeys[key];
  if (choice & 0x10)  // names match whatever their case
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const bool asText = choice & 0x20;
  const BOOL written = asText ? ini.WriteString(name, text) : ini.WriteInt(name, number);
  const std::string after = Slurp(path);

  if (!ini.Problem().empty() && !written) {
    if (after != file) std::abort();  // a file that cannot be read stays as it was
    return 0;
  }
  if (!written) std::abort();
  for (const char* bom : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"})
    if (file.rfind(bom, 0) == 0 && after.rfind(bom, 0) != 0) std::abort();

  IniProfile again(path, "SectionMain");
  const Values now = ReadAll(again);
  for (int k = 0; k < kKeyCount; ++k) {
    if (k == key) continue;
    if (now.hasInt[k] != before.hasInt[k] || now.ints[k] != before.ints[k]) std::abort();
    if (now.hasText[k] != before.hasText[k] || now.texts[k] != before.texts[k]) std::abort();
  }
  if (asText) {
    if (now.texts[key] != text || now.hasText[key] != !text.empty()) std::abort();
  } else {
    if (now.ints[key] != number || now.hasInt[key] != (number != -1)) std::abort();
  }
  // Writing the same value again changes nothing.
  if (!(asText ? again.WriteString(name, text) : again.WriteInt(name, number))) std::abort();
  if (Slurp(path) != after) std::abort();
  return 0;
}
