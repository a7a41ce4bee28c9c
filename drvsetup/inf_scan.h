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

  InfHardwareIdScanner();
  InfHardwareIdScanner(const InfHardwareIdScanner&) = delete;
  InfHardwareIdScanner& operator=(const InfHardwareIdScanner&) = delete;

  // Scans the next piece of text. Returns false once a zero byte has ended the text;
  // nothing fed after that counts.
  bool Feed(const char* data, std::size_t size);
  // Ends the text: an ID cut short by the end is taken as it stands.
  void Finish();

  const std::vector<std::string>& ids() const { return ids_; }
  std::vector<std::string> TakeIds();
  bool ended() const { return ended_; }

 private:
  // The set holds positions in ids_, so each distinct ID is stored once however many
  // the INF names.
  struct HashAt {
    const std::vector<std::string>* ids;
    std::size_t operator()(std::size_t i) const { return std::hash<std::string>()((*ids)[i]); }
  };
  struct EqualAt {
    const std::vector<std::string>* ids;
    bool operator()(std::size_t a, std::size_t b) const { return (*ids)[a] == (*ids)[b]; }
  };

  void Commit();

  std::size_t matched_ = 0;  // characters of "USB\VID_" matched so far
  std::string pending_;      // the entry being taken, empty while searching
  bool ended_ = false;
  std::vector<std::string> ids_;
  std::unordered_set<std::size_t, HashAt, EqualAt> seen_;
};

// The scan over a whole string, for callers that already hold the text.
std::vector<std::string> ScanInfText(const std::string& text);

// How reading the INF file ended.
struct InfReadResult {
  enum Code {
    kOk,          // at least one hardware ID
    kMissing,     // no file at the path
    kUnreadable,  // the path exists but is no regular file, or cannot be read; reason says why
    kNoIds,       // read whole, without any "USB\VID_"
  };
  Code code = kOk;
  std::string reason;
};

// Fills ids from the INF file at path, reading it in fixed-size pieces. Anything but a
// regular file (a FIFO, a device, a socket, a directory) is unreadable at once.
InfReadResult ReadInfHardwareIds(std::vector<std::string>* ids, const std::string& path);

}  // namespace ostrel::drvsetup
