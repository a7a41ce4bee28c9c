// The INI store: line-preserving reads and atomic single-key writes.
#include "app/ini_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
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

// Editors on the desktop this file comes from save UTF-8 with a byte-order mark.
const char kUtf8Bom[] = "\xEF\xBB\xBF";

enum class LoadResult { Ok, Missing, Unreadable };

// The file's lines without the byte-order mark; bom says whether it had one.
LoadResult LoadLines(const std::string& path, std::vector<std::string>& lines, bool* bom) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    struct stat st;
    return (::stat(path.c_str(), &st) != 0 && errno == ENOENT) ? LoadResult::Missing
                                                               : LoadResult::Unreadable;
  }
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  if (in.bad()) return LoadResult::Unreadable;
  bool hasBom = !lines.empty() && lines.front().compare(0, 3, kUtf8Bom) == 0;
  if (hasBom) lines.front().erase(0, 3);
  if (bom) *bom = hasBom;
  return LoadResult::Ok;
}

// A file whose mode has no write permission for us is one the user froze; so is one
// without any write bit, which the superuser could otherwise replace.
bool IsFrozen(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  return ::access(path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0;
}

// Writes beside the target, flushes to disk, then renames over it.
bool ReplaceFile(const std::string& path, const std::string& content) {
  std::string tmp = path + ".tmp-XXXXXX";
  std::vector<char> name(tmp.begin(), tmp.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  struct stat st;
  mode_t mode = (::stat(path.c_str(), &st) == 0) ? (st.st_mode & 07777) : 0644;
  ::fchmod(fd, mode);
  size_t done = 0;
  bool ok = true;
  while (done < content.size()) {
    ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(name.data(), path.c_str()) != 0) ok = false;
  if (!ok) ::unlink(name.data());
  return ok;
}

BOOL WriteValue(const std::string& path, const std::string& section, const std::string& key,
                const std::string& value) {
  std::vector<std::string> lines;
  bool bom = false;
  if (LoadLines(path, lines, &bom) == LoadResult::Unreadable) return 0;
  // Replacing the file would go around its permissions; leave it as it is.
  if (IsFrozen(path)) return 0;

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
  std::string content = bom ? kUtf8Bom : "";
  for (const std::string& l : lines) {
    content += l;
    content += '\n';
  }
  return ReplaceFile(path, content) ? 1 : 0;
}

}  // namespace

IniProfile::IniProfile(std::string path, std::string section)
    : m_path(std::move(path)), m_section(std::move(section)) {}

bool IniProfile::Lookup(const std::string& key, std::string& raw) const {
  std::vector<std::string> lines;
  if (LoadLines(m_path, lines, nullptr) != LoadResult::Ok) return false;
  bool inSection = false;
  for (const std::string& line : lines) {
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
  return WriteValue(m_path, m_section, key, text);
}

BOOL IniProfile::WriteString(const std::string& key, const std::string& text) {
  // A line break in the value would split the entry and corrupt the file.
  std::string clean = text;
  for (char& c : clean)
    if (c == '\n' || c == '\r') c = ' ';
  return WriteValue(m_path, m_section, key, clean);
}
