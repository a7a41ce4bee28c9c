// CMainFrame's settings: where the INI file lives, loading, saving, folder browsing.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>

#include "app/failure_reasons.h"
#include "app/ini_profile.h"
#include "app/main_frame.h"
#include "i18n/lang_text_table.h"

namespace {

const char* const kSection = "SectionMain";

// The executable's path with its last three characters replaced by "INI". An
// executable without a three-letter extension gets ".INI" appended instead, so that
// "ostrel" uses "ostrel.INI" rather than "ostINI".
std::string IniNameBeside(const std::string& exe) {
  size_t slash = exe.find_last_of('/');
  std::string base = slash == std::string::npos ? exe : exe.substr(slash + 1);
  bool threeLetterExtension = base.size() > 4 && base[base.size() - 4] == '.';
  if (threeLetterExtension) return exe.substr(0, exe.size() - 3) + "INI";
  return exe + ".INI";
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// An executable that a package or `make install` put in place: under one of the
// system's prefixes, or in a prefix's bin folder beside the program's private library
// folder. A build tree, or a folder the user copied the program to, is neither.
bool IsInstalledExecutable(const std::string& exe, const platform::System& system) {
  for (const char* prefix : {"/usr/", "/opt/", "/snap/", "/app/", "/nix/store/"})
    if (exe.rfind(prefix, 0) == 0) return true;
  const std::string bin = FolderOf(exe);
  if (FileNameOf(bin) != "bin") return false;
  return system.PathExists(FolderOf(bin) + "/lib/ostrel");
}

}  // namespace

std::string CMainFrame::SettingsPath() const {
  std::string beside = IniNameBeside(m_system.ModulePath());
  // An installed program writes nothing beside itself, even when it could (run as
  // root): its file lives in the user's configuration folder.
  if (!IsInstalledExecutable(m_system.ModulePath(), m_system) &&
      m_system.IsWritableFolder(FolderOf(beside)))
    return beside;
  return m_system.ConfigFolder() + "/" + FileNameOf(beside);
}

void CMainFrame::LoadSettings() {
  IniProfile profile(SettingsPath(), kSection);
  // Asked for only when needed: the system may make the folder on the way.
  std::optional<std::string> documentsFolder;
  const auto documents = [&]() -> const std::string& {
    if (!documentsFolder) documentsFolder = m_system.DocumentsFolder();
    return *documentsFolder;
  };

  m_previewOn = 1;

  // A stored folder that is gone is replaced; the user hears of it once, and the
  // replacement is written at the next save.
  std::string goneCaptureFolder;
  std::string goneSnapshotFolder;
  m_folderNotice.clear();
  if (profile.ReadString("AviFileFolder", m_captureFolder)) {
    if (!m_system.PathExists(m_captureFolder)) {
      goneCaptureFolder = m_captureFolder;
      m_captureFolder = documents();
      m_folderNotice = failure_reason::FolderReplaced(goneCaptureFolder, documents());
    }
  } else {
    const std::string videos = m_system.VideosFolder();
    m_captureFolder = !videos.empty() && m_system.PathExists(videos) ? videos : documents();
  }

  std::string snapshotFolder;
  if (profile.ReadString("SnapFolder", snapshotFolder)) {
    if (!m_system.PathExists(snapshotFolder)) {
      goneSnapshotFolder = snapshotFolder;
      snapshotFolder = documents();
      if (goneSnapshotFolder != goneCaptureFolder) {
        if (!m_folderNotice.empty()) m_folderNotice += "\n";
        m_folderNotice += failure_reason::FolderReplaced(goneSnapshotFolder, documents());
      }
    }
  } else {
    std::string pictures = m_system.PicturesFolder();
    snapshotFolder = (!pictures.empty() && m_system.PathExists(pictures)) ? pictures : documents();
  }

  int snapshotIndex = 0;
  int stillSizeIndex = 0;
  struct IntKey {
    const char* key;
    int* field;
    int absent;
  };
  const IntKey keys[] = {
      {"AviFileIndex", &m_clipIndex, 0},          {"VideoFormat", &m_recordFormat, 0},
      {"SnapFileIndex", &snapshotIndex, 0},       {"TimeLimitEnalbe", &m_timeLimitEnabled, 0},
      {"TimeLimit", &m_timeLimitSeconds, 30},     {"Capture Audio", &m_recordAudio, 0},
      {"HighResolutionSize", &stillSizeIndex, 0},
  };
  for (const IntKey& k : keys) {
    if (!profile.ReadInt(k.key, *k.field)) *k.field = k.absent;
  }
  g_stillSizeIndex = stillSizeIndex;
  if (!profile.Problem().empty())
    std::fprintf(stderr,
                 "ostrel: cannot read the settings in %s (%s); the defaults are used and the file "
                 "is left as it is\n",
                 profile.Path().c_str(), profile.Problem().c_str());
  {
    std::lock_guard<std::mutex> lock(SnapshotLock());
    m_snapshotFolder = std::move(snapshotFolder);
    m_snapshotIndex = snapshotIndex;
  }
  m_storedSettings = CurrentSettings();
  if (!goneCaptureFolder.empty()) m_storedSettings->captureFolder = goneCaptureFolder;
  if (!goneSnapshotFolder.empty()) m_storedSettings->snapshotFolder = goneSnapshotFolder;
  if (!m_folderNotice.empty()) std::fprintf(stderr, "ostrel: %s\n", m_folderNotice.c_str());
}

CMainFrame::StoredSettings CMainFrame::CurrentSettings() {
  StoredSettings now{m_previewOn ? 1 : 0,
                     m_clipIndex,
                     0,
                     m_timeLimitEnabled,
                     m_timeLimitSeconds,
                     m_recordAudio,
                     m_recordFormat,
                     g_stillSizeIndex,
                     m_captureFolder,
                     {}};
  std::lock_guard<std::mutex> lock(SnapshotLock());
  now.snapshotIndex = m_snapshotIndex;
  now.snapshotFolder = m_snapshotFolder;
  return now;
}

void CMainFrame::SaveSettingsIfChanged() {
  if (!m_storedSettings || !(CurrentSettings() == *m_storedSettings)) SaveSettings();
}

void CMainFrame::SaveSettings() {
  const std::string path = SettingsPath();
  std::error_code ec;
  std::filesystem::create_directories(FolderOf(path), ec);
  IniProfile profile(path, kSection);
  std::string snapshotFolder;
  int snapshotIndex;
  {
    std::lock_guard<std::mutex> lock(SnapshotLock());
    snapshotFolder = m_snapshotFolder;
    snapshotIndex = m_snapshotIndex;
  }
  m_storedSettings = CurrentSettings();
  BOOL ok = 1;
  ok &= profile.WriteInt("WantPreview", m_previewOn ? 1 : 0);
  ok &= profile.WriteString("AviFileFolder", m_captureFolder);
  ok &= profile.WriteString("SnapFolder", snapshotFolder);
  ok &= profile.WriteInt("AviFileIndex", m_clipIndex);
  ok &= profile.WriteInt("SnapFileIndex", snapshotIndex);
  ok &= profile.WriteInt("TimeLimitEnalbe", m_timeLimitEnabled);
  ok &= profile.WriteInt("TimeLimit", m_timeLimitSeconds);
  ok &= profile.WriteInt("Capture Audio", m_recordAudio);
  ok &= profile.WriteInt("VideoFormat", m_recordFormat);
  ok &= profile.WriteInt("HighResolutionSize", g_stillSizeIndex);
  // The user gets no box for this at close, but the loss must not go unnoticed.
  if (!ok)
    std::fprintf(stderr, "ostrel: could not save the settings to %s: %s\n", path.c_str(),
                 profile.Problem().c_str());
}

std::string CMainFrame::BrowseForFolder(const std::string& currentFolder) {
  g_browseStartFolder = currentFolder;
  return Ui().BrowseForFolder(LangText(TXT_SELECT_FOLDER, m_languageIndex), g_browseStartFolder);
}
