// The INI store: line-preserving reads and atomic single-key writes.
#include "app/ini_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Lines of any length are kept, but a lookup only looks at this much of each.
constexpr size_t kMaxParsedLine = 64 * 1024;

std::string Trim(const std::string& s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// "[name]" gives name; anything else is not a section header.
bool SectionName(const std::string& line, std::string& name) {
  std::string t = Trim(line.substr(0, std::min(line.size(), kMaxParsedLine)));
  if (t.size() < 2 || t.front() != '[') return false;
  size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

// "key=value" gives both, trimmed; lines without "=" are not entries.
bool Entry(const std::string& line, std::string& key, std::string& value) {
  std::string head = line.substr(0, std::min(line.size(), kMaxParsedLine));
  size_t eq = head.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(head.substr(0, eq));
  value = Trim(head.substr(eq + 1));
  return !key.empty();
}

// Length in bytes of the first maxChars characters of s. A byte that does not start a
// well-formed UTF-8 sequence counts as one character of its own.
size_t Utf8PrefixBytes(const std::string& s, size_t maxChars) {
  size_t at = 0;
  for (size_t chars = 0; chars < maxChars && at < s.size(); ++chars) {
    unsigned char lead = static_cast<unsigned char>(s[at]);
    size_t need = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
    if (lead >= 0xF5) need = 1;
    size_t n = 1;
    while (n < need && at + n < s.size() && (static_cast<unsigned char>(s[at + n]) & 0xC0) == 0x80)
      ++n;
    at += (n == need) ? need : 1;
  }
  return at;
}

// How the file's text is stored; a save writes it back the same way. Editors on the
// desktop this file comes from save UTF-8 with a byte-order mark, or UTF-16 with one.
enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

const char kUtf8Bom[] = "\xEF\xBB\xBF";

struct IniText {
  Encoding encoding = Encoding::Utf8;
  // The lines without their "\n"; UTF-8 when the file is UTF-16, its bytes otherwise.
  std::vector<std::string> lines;
};

enum class LoadResult { Ok, Missing, Unreadable };

bool StartsWith(const std::string& s, const char* prefix, size_t n) {
  return s.size() >= n && s.compare(0, n, prefix, n) == 0;
}

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The UTF-16 text after the byte-order mark as UTF-8; false for an odd number of bytes or
// a surrogate without its other half.
bool DecodeUtf16(const std::string& bytes, bool bigEndian, std::string& utf8) {
  if (bytes.size() % 2 != 0) return false;
  const auto unit = [&](size_t i) {
    const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    const auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
    return static_cast<uint32_t>(hi << 8 | lo);
  };
  for (size_t i = 2; i < bytes.size(); i += 2) {
    uint32_t c = unit(i);
    if (c >= 0xDC00 && c <= 0xDFFF) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 2 >= bytes.size()) return false;
      const uint32_t low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    AppendUtf8(utf8, c);
  }
  return true;
}

// The UTF-8 text as UTF-16 units; false when it is not well-formed UTF-8.
bool EncodeUtf16(const std::string& utf8, bool bigEndian, std::string& out) {
  const auto put = [&](uint32_t u) {
    out += static_cast<char>(bigEndian ? u >> 8 : u & 0xFF);
    out += static_cast<char>(bigEndian ? u & 0xFF : u >> 8);
  };
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    size_t n = lead < 0x80                    ? 1
               : lead >= 0xC2 && lead <= 0xDF ? 2
               : lead >= 0xE0 && lead <= 0xEF ? 3
               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                              : 0;
    if (n == 0 || i + n > utf8.size()) return false;
    uint32_t c = n == 1 ? lead : lead & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = c << 6 | (next & 0x3F);
    }
    const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
    i += n;
  }
  return true;
}

// UTF-16 without a mark: every other byte of the first line is 0. Only the first line
// counts, as no save ever changes it, so a file that was read stays readable.
bool LooksLikeUnmarkedUtf16(const std::string& bytes) {
  const size_t end = std::min(bytes.find('\n'), bytes.size());
  if (end < 2) return false;
  bool evenZero = true;
  bool oddZero = true;
  for (size_t i = 0; i < end; ++i) (i % 2 ? oddZero : evenZero) &= bytes[i] == '\0';
  return evenZero || oddZero;
}

// The whole file; anything but a regular file (a FIFO would block the start) is unreadable.
LoadResult ReadWhole(const std::string& path, std::string& bytes, std::string& why) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return LoadResult::Missing;
    why = std::strerror(errno);
    return LoadResult::Unreadable;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    why = "it is not a regular file";
    return LoadResult::Unreadable;
  }
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      why = std::strerror(errno);
      ::close(fd);
      return LoadResult::Unreadable;
    }
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return LoadResult::Ok;
}

// The file's text, in whichever of its encodings it is stored.
LoadResult LoadText(const std::string& path, IniText& text, std::string& why) {
  std::string bytes;
  const LoadResult read = ReadWhole(path, bytes, why);
  if (read != LoadResult::Ok) return read;
  std::string body;
  if (StartsWith(bytes, "\xFF\xFE\0\0", 4) || StartsWith(bytes, "\0\0\xFE\xFF", 4)) {
    why = "it is UTF-32 text";
    return LoadResult::Unreadable;
  }
  if (StartsWith(bytes, "\xFF\xFE", 2) || StartsWith(bytes, "\xFE\xFF", 2)) {
    const bool bigEndian = bytes[0] == '\xFE';
    text.encoding = bigEndian ? Encoding::Utf16Be : Encoding::Utf16Le;
    if (!DecodeUtf16(bytes, bigEndian, body)) {
      why = "it is damaged UTF-16 text";
      return LoadResult::Unreadable;
    }
  } else if (StartsWith(bytes, kUtf8Bom, 3)) {
    text.encoding = Encoding::Utf8Bom;
    body = bytes.substr(3);
  } else if (LooksLikeUnmarkedUtf16(bytes)) {
    why = "it is UTF-16 text without a byte-order mark";
    return LoadResult::Unreadable;
  } else {
    body = std::move(bytes);
  }
  size_t at = 0;
  while (at < body.size()) {
    size_t end = body.find('\n', at);
    if (end == std::string::npos) end = body.size();
    text.lines.push_back(body.substr(at, end - at));
    at = end + 1;
  }
  // A file that is nothing but its mark still has its (empty) first line.
  if (text.lines.empty() && text.encoding != Encoding::Utf8) text.lines.emplace_back();
  return LoadResult::Ok;
}

// The lines stored in the encoding; false when the text cannot be held in it.
bool StoreText(const IniText& text, std::string& out) {
  std::string joined;
  for (const std::string& l : text.lines) {
    joined += l;
    joined += '\n';
  }
  switch (text.encoding) {
    case Encoding::Utf8:
      out = std::move(joined);
      return true;
    case Encoding::Utf8Bom:
      out = kUtf8Bom + joined;
      return true;
    case Encoding::Utf16Le:
      out = "\xFF\xFE";
      return EncodeUtf16(joined, false, out);
    case Encoding::Utf16Be:
      out = "\xFE\xFF";
      return EncodeUtf16(joined, true, out);
  }
  return false;
}

// A file whose mode has no write permission for us is one the user froze; so is one
// without any write bit, which the superuser could otherwise replace.
bool IsFrozen(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  return ::access(path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0;
}

// The file a save replaces: the path itself, or the target of a link, which keeps the
// link. A link may only lead to a regular file of the user's own: one planted by somebody
// else must not make the program overwrite their file.
bool SaveTarget(const std::string& path, std::string& target, std::string& why) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
    target = path;
    return true;
  }
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) {
    why = std::string("it is a link whose target cannot be found (") + std::strerror(errno) + ")";
    return false;
  }
  target = resolved;
  std::free(resolved);
  if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    why = "it is a link to " + target + ", which is not a regular file";
    return false;
  }
  if (st.st_uid != ::geteuid()) {
    why = "it is a link to " + target + ", which belongs to another user";
    return false;
  }
  return true;
}

// Writes beside the target, flushes to disk, then renames over it.
bool ReplaceFile(const std::string& path, const std::string& content, std::string& why) {
  std::string tmp = path + ".tmp-XXXXXX";
  std::vector<char> name(tmp.begin(), tmp.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) {
    why = std::strerror(errno);
    return false;
  }
  struct stat st;
  const bool existed = ::stat(path.c_str(), &st) == 0;
  ::fchmod(fd, existed ? (st.st_mode & 07777) : 0644);
  // A run with sudo must not leave the user's file to root, which every later save of the
  // user would then be refused.
  if (existed && ::geteuid() == 0 && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
    why = std::string("its owner could not be kept (") + std::strerror(errno) + ")";
    ::close(fd);
    ::unlink(name.data());
    return false;
  }
  size_t done = 0;
  int err = 0;
  while (done < content.size()) {
    ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(name.data(), path.c_str()) != 0) err = errno;
  if (!err) return true;
  ::unlink(name.data());
  why = std::strerror(err);
  return false;
}

BOOL WriteValue(const std::string& path, const std::string& section, const std::string& key,
                const std::string& value, std::string& why) {
  std::string target;
  if (!SaveTarget(path, target, why)) return 0;
  IniText text;
  if (LoadText(target, text, why) == LoadResult::Unreadable) return 0;
  // Replacing the file would go around its permissions; leave it as it is.
  if (IsFrozen(target)) {
    why = "it is read-only";
    return 0;
  }
  std::vector<std::string>& lines = text.lines;

  bool inSection = false;
  bool sectionFound = false;
  size_t insertAt = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string name;
    if (SectionName(lines[i], name)) {
      if (inSection) break;  // our section ended without the key
      inSection = EqualsNoCase(name, section);
      if (inSection) {
        sectionFound = true;
        insertAt = i + 1;
      }
      continue;
    }
    if (!inSection) continue;
    std::string k, v;
    if (Entry(lines[i], k, v)) {
      if (EqualsNoCase(k, key)) {
        bool cr = !lines[i].empty() && lines[i].back() == '\r';
        lines[i] = key + "=" + value + (cr ? "\r" : "");
        insertAt = std::string::npos;
        break;
      }
      insertAt = i + 1;
    }
  }
  if (insertAt != std::string::npos) {
    if (!sectionFound) {
      lines.push_back("[" + section + "]");
      insertAt = lines.size();
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), key + "=" + value);
  }
  std::string content;
  if (!StoreText(text, content)) {
    why = "the value of " + key + " is not UTF-8 text, which a UTF-16 file cannot hold";
    return 0;
  }
  return ReplaceFile(target, content, why) ? 1 : 0;
}

}  // namespace

IniProfile::IniProfile(std::string path, std::string section)
    : m_path(std::move(path)), m_section(std::move(section)) {}

bool IniProfile::Lookup(const std::string& key, std::string& raw) const {
  IniText text;
  std::string why;
  const LoadResult loaded = LoadText(m_path, text, why);
  if (loaded == LoadResult::Unreadable) m_problem = why;
  if (loaded != LoadResult::Ok) return false;
  bool inSection = false;
  for (const std::string& line : text.lines) {
    std::string name;
    if (SectionName(line, name)) {
      inSection = EqualsNoCase(name, m_section);
      continue;
    }
    std::string k, v;
    if (inSection && Entry(line, k, v) && EqualsNoCase(k, key)) {
      raw = v;
      return true;
    }
  }
  return false;
}

BOOL IniProfile::ReadInt(const std::string& key, int& value) const {
  std::string raw;
  // An empty value is no number: the key is absent, as a missing one is.
  if (!Lookup(key, raw) || raw.empty()) {
    value = -1;
    return 0;
  }
  // Leading decimal digits with an optional sign; anything else reads as 0.
  size_t i = 0;
  bool negative = false;
  if (i < raw.size() && (raw[i] == '-' || raw[i] == '+')) negative = raw[i++] == '-';
  long long n = 0;
  for (; i < raw.size() && raw[i] >= '0' && raw[i] <= '9'; ++i) {
    n = n * 10 + (raw[i] - '0');
    if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) n = -n;
  if (n > INT_MAX) n = INT_MAX;
  value = static_cast<int>(n);
  return value != -1 ? 1 : 0;
}

BOOL IniProfile::ReadString(const std::string& key, std::string& value) const {
  std::string raw;
  if (!Lookup(key, raw)) raw.clear();
  // A value in matching quotes is stored without them.
  if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front())
    raw = raw.substr(1, raw.size() - 2);
  raw.resize(Utf8PrefixBytes(raw, kMaxValueLength));
  value = raw;
  return value.empty() ? 0 : 1;
}

BOOL IniProfile::WriteInt(const std::string& key, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  return WriteValue(m_path, m_section, key, text, m_problem);
}

BOOL IniProfile::WriteString(const std::string& key, const std::string& text) {
  // A line break in the value would split the entry and corrupt the file.
  std::string clean = text;
  for (char& c : clean)
    if (c == '\n' || c == '\r') c = ' ';
  return WriteValue(m_path, m_section, key, clean, m_problem);
}
