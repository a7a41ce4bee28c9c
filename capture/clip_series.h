// The numbered clips of one recording. The first is named when the recording is built;
// a writer that goes on in a new file once its file is full asks for each next one on
// its streaming thread. Every clip is marked as unfinished while it is written, so a
// crash leaves it to the repair at the next start; a clip's marker goes once its
// writer has finished it.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "platform/system.h"

namespace clip_series {

using PathOf = std::function<std::string(int index)>;

// "<folder>/Clip0007.AVI"
std::string ClipPath(const std::string& folder, int index, const std::string& extension);

// The first number from `from` on whose name nothing has, a link that leads nowhere
// included, or none when every number up to the largest is taken: a clip never replaces
// a file that is there, nor is it written through a link.
std::optional<int> FirstFreeIndex(int from, const PathOf& pathOf, const platform::System& sys);
// The number to look from after clip n: n + 1, or n itself once n is the largest (the
// next look then finds it taken rather than wrapping round to negative numbers).
int NumberAfter(int n);

class Series {
 public:
  // Marks the clip of firstIndex; the system must outlive the series.
  Series(PathOf pathOf, const platform::System& sys, std::string writerToken, int firstIndex);
  Series(const Series&) = delete;
  Series& operator=(const Series&) = delete;

  std::string First() const;
  // The clip before is finished: its marker goes, and the next free number's clip is
  // marked and named; past the largest number, a free "-1", "-2", ... variant of the
  // last clip's name. Safe on any thread.
  std::string Next();
  // The last clip is complete: its marker goes.
  void Finish();
  // The last clip could not be finished (its writer failed): its marker stays.
  void Abandon();
  // How many clips have been begun, and the number after the last of them.
  int Begun() const;
  int NextIndex() const;

 private:
  void MarkCurrent();
  std::string FreeVariantOf(const std::string& clip) const;

  const PathOf pathOf_;
  const platform::System& sys_;
  const std::string token_;
  mutable std::mutex lock_;
  std::string first_;
  std::string current_;  // empty once finished or abandoned
  int index_;
  int begun_ = 0;
};

}  // namespace clip_series
