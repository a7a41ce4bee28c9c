// Still files that never replace a picture: written under a hidden name in the snapshot
// folder, then given the first free number's name in one step that fails if it exists.
#pragma once

#include <cstdint>
#include <string>

namespace ostrel::still {

// The two names a snapshot number can have: "Still%04d.BMP" (the Snap Shot command) and
// "%04d.BMP" (the camera's still pin).
enum class StillKind { Snapshot, StillPin };

// The folder, one "/" and the file name; a folder that ends in "/" is used unchanged.
std::string StillPath(const std::string& folder, StillKind kind, int32_t number);

// True when a file (or anything else) of either name of the number is in the folder.
bool StillNumberInUse(const std::string& folder, int32_t number);
// The first number from `number` on that is not in use.
int32_t NextFreeStillNumber(const std::string& folder, int32_t number);

// A 24-bit BMP on its way into the folder. Until it is published it lives under a hidden
// name; destroying it unpublished removes it, so a failed write leaves no file.
class PendingBmp {
 public:
  PendingBmp() = default;
  ~PendingBmp() { Discard(); }
  PendingBmp(const PendingBmp&) = delete;
  PendingBmp& operator=(const PendingBmp&) = delete;

  // Writes the header and the width x height x 3 pixel bytes, rows in the order given or,
  // with reverseRows, last row first. False with the reason in *error (errno's text).
  bool Write(const std::string& folder, const uint8_t* pixels, uint32_t width, uint32_t height,
             bool reverseRows, std::string* error);

  enum class Publish { Done, Taken, Failed };
  // Gives the written file its name; Taken when something of that name exists (nothing
  // is replaced and the file stays pending).
  Publish PublishAs(const std::string& path, std::string* error);

  void Discard();

 private:
  std::string temp_;
};

}  // namespace ostrel::still
