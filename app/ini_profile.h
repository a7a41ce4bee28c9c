// Private-profile access to one section of one INI file: integers and strings by key.
#pragma once

#include <string>

#include "capture/frame_state.h"

class IniProfile {
 public:
  // Values longer than this many characters (not bytes) arrive cut to it.
  static constexpr size_t kMaxValueLength = 259;

  IniProfile(std::string path, std::string section);

  // A missing key and a stored -1 both read as absent (FALSE); value receives -1 then.
  BOOL ReadInt(const std::string& key, int& value) const;
  // An empty value reads as absent (FALSE).
  BOOL ReadString(const std::string& key, std::string& value) const;

  // Replaces only this key's line and keeps every other line of the file, in the
  // encoding it came in (UTF-8, with or without a byte-order mark, or UTF-16 with one);
  // creates the file and the section when they are missing. The file is replaced
  // atomically, so a crash mid-save leaves either the old or the new file; a link to the
  // file stays a link. FALSE when nothing was written (for example an existing file that
  // cannot be read, which is then left untouched).
  BOOL WriteInt(const std::string& key, int value);
  BOOL WriteString(const std::string& key, const std::string& text);

  const std::string& Path() const { return m_path; }
  // Why the file could not be read or a write failed (the latest reason); empty when
  // nothing failed.
  const std::string& Problem() const { return m_problem; }

 private:
  bool Lookup(const std::string& key, std::string& raw) const;

  std::string m_path;
  std::string m_section;
  mutable std::string m_problem;
};
