// The clips of one recording and their markers.
#include "capture/clip_series.h"

#include <cstdint>
#include <cstdio>

#include "capture/unfinished_clips.h"

namespace clip_series {

std::string ClipPath(const std::string& folder, int index, const std::string& extension) {
  char name[32];
  std::snprintf(name, sizeof name, "/Clip%04d.", index);
  return folder + name + extension;
}

int FirstFreeIndex(int from, const PathOf& pathOf, const platform::System& sys) {
  int index = from;
  while (index < INT32_MAX && sys.PathExists(pathOf(index))) ++index;
  return index;
}

Series::Series(PathOf pathOf, const platform::System& sys, std::string writerToken, int firstIndex)
    : pathOf_(std::move(pathOf)), sys_(sys), token_(std::move(writerToken)), index_(firstIndex) {
  first_ = current_ = pathOf_(index_);
  MarkCurrent();
}

void Series::MarkCurrent() {
  ++begun_;
  if (!unfinished_clips::Mark(current_, token_))
    std::fprintf(stderr,
                 "ostrel: could not mark %s as being recorded; a crash would leave it unrepaired\n",
                 current_.c_str());
}

std::string Series::First() const {
  std::lock_guard<std::mutex> lock(lock_);
  return first_;
}

std::string Series::Next() {
  std::lock_guard<std::mutex> lock(lock_);
  if (!current_.empty()) unfinished_clips::Unmark(current_);
  index_ = FirstFreeIndex(index_ < INT32_MAX ? index_ + 1 : index_, pathOf_, sys_);
  current_ = pathOf_(index_);
  MarkCurrent();
  return current_;
}

void Series::Finish() {
  std::lock_guard<std::mutex> lock(lock_);
  if (!current_.empty()) unfinished_clips::Unmark(current_);
  current_.clear();
}

void Series::Abandon() {
  std::lock_guard<std::mutex> lock(lock_);
  current_.clear();
}

int Series::Begun() const {
  std::lock_guard<std::mutex> lock(lock_);
  return begun_;
}

int Series::NextIndex() const {
  std::lock_guard<std::mutex> lock(lock_);
  return index_ < INT32_MAX ? index_ + 1 : index_;
}

}  // namespace clip_series
