// Where drvsetup's output goes: search lines on one stream, messages on the other.
#pragma once

#include <ostream>
#include <string>

namespace ostrel::drvsetup {

struct Console {
  std::ostream& out;  // the search lines
  std::ostream& err;  // messages, prefixed with the program's name as a caption would be

  void Message(const std::string& text) const { err << "drvsetup: " << text << '\n' << std::flush; }
};

}  // namespace ostrel::drvsetup
