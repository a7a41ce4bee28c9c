// Reads the USB hardware IDs out of a driver's INF text, streaming, in bounded memory.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

namespace ostrel::drvsetup {

// Finds every "USB\VID_" in the upper-cased text and takes up to 21 characters from
// it (the length of USB\VID_xxxx&PID_yyyy), with each "ID" then written "id". Entries
// are unique, in the order of first appearance. The text ends at its first zero byte.
// Text is fed in pieces of any size, so a file never has to be held whole.
class InfHardwareIdScanner {
 public:
  static constexpr std::size_t kIdLength = 21;
  // No real INF names more than a handful; past this many, further distinct IDs are
  // dropped so that garbage input cannot grow memory and the device search without end.
  static constexpr std::size_t kMaxIds = 10000;

  // Scans the next piece of text. Returns false once a zero byte has ended the text;
  // nothing fed after that counts.
  bool Feed(const char* data, std::size_t size);
  // Ends the text: an ID cut short by the end is taken as it stands.
  void Finish();

  const std::vector<std::string>& ids() const { return ids_; }
  std::vector<std::string> TakeIds() { return std::move(ids_); }
  bool ended() const { return ended_; }
  // Whether distinct IDs beyond kMaxIds were dropped.
  bool dropped_ids() const { return dropped_ids_; }

 private:
  void Commit();

  std::size_t matched_ = 0;  // characters of "USB\VID_" matched so far
  std::string pending_;      // the entry being taken, empty while searching
  bool ended_ = false;
  bool dropped_ids_ = false;
  std::vector<std::string> ids_;
  std::unordered_set<std::string> seen_;
};

// The scan over a whole string, for callers that already hold the text.
std::vector<std::string> ScanInfText(const std::string& text);

// How reading the INF file ended.
struct InfReadResult {
  enum Code {
    kOk,          // at least one hardware ID
    kMissing,     // no file at the path
    kUnreadable,  // the path exists but cannot be opened or read; reason says why
    kNoIds,       // read whole, without any "USB\VID_"
  };
  Code code = kOk;
  std::string reason;
  bool dropped_ids = false;
};

// Fills ids from the INF file at path, reading it in fixed-size pieces.
InfReadResult ReadInfHardwareIds(std::vector<std::string>* ids, const std::string& path);

}  // namespace ostrel::drvsetup
