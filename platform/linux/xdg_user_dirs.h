// Reads the user's well-known folders from the XDG user-dirs file.
#pragma once

#include <string>

namespace platform {

// The value of one entry ("XDG_DOCUMENTS_DIR") of a user-dirs.dirs text, with
// "$HOME" expanded; empty when the entry is absent or points at the home folder
// itself (which is how the file says "disabled").
// *named tells whether the file sets the entry at all (to a folder or to the home folder).
std::string XdgUserDir(const std::string& fileText, const std::string& entry,
                       const std::string& home, bool* named = nullptr);

}  // namespace platform
