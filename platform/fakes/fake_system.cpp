// FakeSystem: writability from the real file system.
#include "platform/fakes/fake_system.h"

#include <unistd.h>

namespace platform {

bool FakeSystem::IsWritableFolder(const std::string& path) const {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

}  // namespace platform
