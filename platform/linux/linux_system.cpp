// LinuxSystem: the shell and system services on Linux.
#include "platform/linux/linux_system.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "i18n/ui_locale.h"
#include "platform/file_names.h"
#include "platform/linux/xdg_user_dirs.h"

namespace platform {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string BootId() {
  std::ifstream in("/proc/sys/kernel/random/boot_id");
  std::string id;
  std::getline(in, id);
  return id;
}

// Field 22 of /proc/<pid>/stat, the start time in clock ticks since the boot; empty
// when the process does not exist.
std::string StartTime(long pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  if (!std::getline(in, stat)) return "";
  // The command name in parentheses may hold spaces; the fields after it do not.
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return "";
  std::istringstream fields(stat.substr(close + 1));
  std::string field;
  for (int i = 3; i <= 22; ++i)
    if (!(fields >> field)) return "";
  return field;
}

}  // namespace

int64_t LinuxSystem::FreeBytes(const std::string& folder) const {
  struct statvfs fs;
  if (folder.empty() || ::statvfs(folder.c_str(), &fs) != 0) return -1;
  return static_cast<int64_t>(fs.f_bavail) * static_cast<int64_t>(fs.f_frsize);
}

std::string LinuxSystem::ProcessToken() const {
  const long pid = static_cast<long>(::getpid());
  return BootId() + " " + std::to_string(pid) + " " + StartTime(pid);
}

bool LinuxSystem::IsProcessRunning(const std::string& token) const {
  std::istringstream in(token);
  std::string boot, start;
  long pid = 0;
  if (!(in >> boot >> pid >> start) || pid <= 0) return false;
  return boot == BootId() && StartTime(pid) == start;
}

LinuxSystem::LinuxSystem(std::function<void()> soundPlayer)
    : m_soundPlayer(std::move(soundPlayer)) {}

std::string LinuxSystem::ModulePath() const {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "ostrel";
  return std::string(buf, static_cast<size_t>(n));
}

std::string LinuxSystem::Home() const {
  std::string home = Env("HOME");
  if (!home.empty()) return home;
  if (const passwd* pw = ::getpwuid(::getuid())) {
    if (pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
  }
  return "";
}

std::string LinuxSystem::UserDir(const char* entry, bool* named) const {
  if (named) *named = false;
  std::string configHome = Env("XDG_CONFIG_HOME");
  if (configHome.empty()) configHome = Home() + "/.config";
  std::ifstream in(configHome + "/user-dirs.dirs");
  if (!in) return "";
  std::stringstream text;
  text << in.rdbuf();
  return XdgUserDir(text.str(), entry, Home(), named);
}

std::string LinuxSystem::UserFolder(const char* entry, const char* defaultName) const {
  bool named = false;
  std::string folder = UserDir(entry, &named);
  if (folder.empty()) {
    const std::string home = Home();
    // An entry set to the home folder itself is how the file switches a folder off.
    if (named || home.empty()) return "";
    folder = home + "/" + defaultName;
  }
  if (IsFolder(folder)) return folder;
  // A bare home: the folder the desktop would have made, rather than files in home itself.
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!IsFolder(folder)) {
    std::fprintf(stderr, "ostrel: cannot make the folder %s: %s\n", folder.c_str(),
                 ec.message().c_str());
    return "";
  }
  std::fprintf(stderr, "ostrel: made the folder %s\n", folder.c_str());
  return folder;
}

std::string LinuxSystem::DocumentsFolder() const {
  std::string documents = UserFolder("XDG_DOCUMENTS_DIR", "Documents");
  if (!documents.empty()) return documents;
  std::string home = Home();
  if (!home.empty()) return home;
  char cwd[4096];
  return ::getcwd(cwd, sizeof cwd) ? cwd : "/";
}

std::string LinuxSystem::PicturesFolder() const {
  return UserFolder("XDG_PICTURES_DIR", "Pictures");
}

std::string LinuxSystem::VideosFolder() const { return UserFolder("XDG_VIDEOS_DIR", "Videos"); }

std::string LinuxSystem::ConfigFolder() const {
  std::string configHome = Env("XDG_CONFIG_HOME");
  if (configHome.empty() || configHome.front() != '/') configHome = Home() + "/.config";
  return configHome + "/ostrel";
}

bool LinuxSystem::PathExists(const std::string& path) const {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool LinuxSystem::NameTaken(const std::string& path) const { return platform::NameTaken(path); }

bool LinuxSystem::IsWritableFolder(const std::string& path) const {
  return IsFolder(path) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

std::string LinuxSystem::UiLocale() const {
  return UiLocaleFromEnvironment([](const char* name) { return std::getenv(name); });
}

uint32_t LinuxSystem::Milliseconds() const {
  timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  uint64_t ms =
      static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

int64_t LinuxSystem::MonotonicMilliseconds() const {
  timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

int64_t LinuxSystem::WallSeconds() const { return static_cast<int64_t>(::time(nullptr)); }

void LinuxSystem::Sleep(uint32_t ms) {
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

void LinuxSystem::PlayShutterSound() {
  if (m_soundPlayer) m_soundPlayer();
}

}  // namespace platform
