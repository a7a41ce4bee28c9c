// Reads the USB hardware IDs out of a driver's INF text, streaming, in bounded memory.
#include "drvsetup/inf_scan.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace ostrel::drvsetup {
namespace {

constexpr char kPrefix[] = "USB\\VID_";
constexpr std::size_t kPrefixLength = sizeof(kPrefix) - 1;
constexpr std::size_t kReadChunk = 64 * 1024;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool InfHardwareIdScanner::Feed(const char* data, std::size_t size) {
  if (ended_) return false;
  if (const void* zero = std::memchr(data, '\0', size)) {
    size = static_cast<std::size_t>(static_cast<const char*>(zero) - data);
    ended_ = true;
  }
  for (std::size_t i = 0; i < size; ++i) {
    char c = UpperAscii(data[i]);
    if (!pending_.empty()) {
      pending_ += c;
      if (pending_.size() == kIdLength) Commit();
      continue;
    }
    if (c == kPrefix[matched_]) {
      if (++matched_ == kPrefixLength) {
        pending_.assign(kPrefix, kPrefixLength);
        matched_ = 0;
      }
    } else {
      // 'U' occurs only at the start of the prefix, so a failed match can only
      // restart at this very character.
      matched_ = (c == kPrefix[0]) ? 1 : 0;
    }
  }
  if (ended_) Finish();
  return !ended_;
}

void InfHardwareIdScanner::Finish() {
  ended_ = true;
  matched_ = 0;
  if (!pending_.empty()) Commit();
}

void InfHardwareIdScanner::Commit() {
  for (std::size_t i = 0; i + 1 < pending_.size(); ++i) {
    if (pending_[i] == 'I' && pending_[i + 1] == 'D') {
      pending_[i] = 'i';
      pending_[i + 1] = 'd';
      ++i;
    }
  }
  if (seen_.count(pending_) == 0) {
    if (ids_.size() < kMaxIds) {
      seen_.insert(pending_);
      ids_.push_back(pending_);
    } else {
      dropped_ids_ = true;
    }
  }
  pending_.clear();
}

std::vector<std::string> ScanInfText(const std::string& text) {
  InfHardwareIdScanner scanner;
  scanner.Feed(text.data(), text.size());
  scanner.Finish();
  return scanner.TakeIds();
}

InfReadResult ReadInfHardwareIds(std::vector<std::string>* ids, const std::string& path) {
  ids->clear();
  InfReadResult result;
  std::error_code ec;
  std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (path.empty() || status.type() == std::filesystem::file_type::not_found) {
    result.code = InfReadResult::kMissing;
    return result;
  }
  if (ec) {
    result.code = InfReadResult::kUnreadable;
    result.reason = ec.message();
    return result;
  }
  if (status.type() == std::filesystem::file_type::directory) {
    result.code = InfReadResult::kUnreadable;
    result.reason = std::strerror(EISDIR);
    return result;
  }
  errno = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    result.code = InfReadResult::kUnreadable;
    result.reason = std::strerror(errno ? errno : EIO);
    return result;
  }
  InfHardwareIdScanner scanner;
  std::vector<char> chunk(kReadChunk);
  for (;;) {
    errno = 0;
    std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
    if (got > 0 && !scanner.Feed(chunk.data(), got)) break;
    if (got < chunk.size()) {
      if (std::ferror(file.get())) {
        result.code = InfReadResult::kUnreadable;
        result.reason = std::strerror(errno ? errno : EIO);
        return result;  // a partly read INF installs nothing
      }
      if (std::feof(file.get())) break;
    }
  }
  scanner.Finish();
  result.dropped_ids = scanner.dropped_ids();
  *ids = scanner.TakeIds();
  result.code = ids->empty() ? InfReadResult::kNoIds : InfReadResult::kOk;
  return result;
}

}  // namespace ostrel::drvsetup
