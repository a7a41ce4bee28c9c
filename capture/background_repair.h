// The repair of the clips a recording abandoned, on a thread of its own: a long clip
// takes minutes to copy, and the program is usable meanwhile. A close gives up on the
// clip under repair, which keeps its marker for the start after.
#pragma once

#include <atomic>
#include <memory>
#include <ostream>
#include <string>
#include <thread>

#include "platform/media.h"
#include "platform/system.h"

class BackgroundRepair {
 public:
  BackgroundRepair() = default;
  BackgroundRepair(const BackgroundRepair&) = delete;
  BackgroundRepair& operator=(const BackgroundRepair&) = delete;
  ~BackgroundRepair() { Stop(); }

  // Repairs the folder's abandoned clips; the system and the log must outlive the
  // repair (until Wait or Stop returns). A repair still running is waited for first.
  void Start(const std::string& folder, const platform::System& sys,
             std::shared_ptr<media::ClipRepairer> repairer, std::ostream& log);
  // Until every clip is done; the number repaired by the last Start.
  int Wait();
  // Gives up on the clip under repair and on the ones after it.
  void Stop();

 private:
  std::thread thread_;
  std::shared_ptr<media::ClipRepairer> repairer_;
  std::atomic<bool> stop_{false};
  int repaired_ = 0;
};
