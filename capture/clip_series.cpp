// The clips of one recording and their markers.
#include "capture/clip_series.h"

#include <cstdint>
#include <cstdio>

#include "capture/unfinished_clips.h"
#include "platform/file_names.h"

namespace clip_series {

std::string ClipPath(const std::string& folder, int index, const std::string& extension) {
  char name[32];
  std::snprintf(name, sizeof name, "/Clip%04d.", index);
  return folder + name + extension;
}

std::optional<int> FirstFreeIndex(int from, const PathOf& pathOf, const platform::System& sys) {
  for (int index = from;; ++index) {
    if (!sys.NameTaken(pathOf(index))) return index;
    if (index == INT32_MAX) return std::nullopt;
  }
}

int NumberAfter(int n) { return n < INT32_MAX ? n + 1 : n; }

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
  std::optional<int> next;
  if (index_ < INT32_MAX) next = FirstFreeIndex(index_ + 1, pathOf_, sys_);
  if (next) {
    index_ = *next;
    current_ = pathOf_(index_);
  } else {
    current_ = FreeVariantOf(pathOf_(index_));
    std::fprintf(stderr, "ostrel: no clip number is free after %s; the recording goes on in %s\n",
                 pathOf_(index_).c_str(), current_.c_str());
  }
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
  return NumberAfter(index_);
}

std::string Series::FreeVariantOf(const std::string& clip) const {
  return platform::FreeNumberedVariant(
      clip, 1, [this](const std::string& name) { return sys_.NameTaken(name); });
}

}  // namespace clip_series
