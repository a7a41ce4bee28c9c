// The repair thread and its end.
#include "capture/background_repair.h"

#include "capture/unfinished_clips.h"

void BackgroundRepair::Start(const std::string& folder, const platform::System& sys,
                             std::shared_ptr<media::ClipRepairer> repairer, std::ostream& log) {
  Wait();
  stop_ = false;
  repaired_ = 0;
  repairer_ = std::move(repairer);
  if (!repairer_) return;
  thread_ = std::thread([this, folder, &sys, &log] {
    repaired_ = unfinished_clips::RepairAbandoned(folder, sys, *repairer_, log, &stop_);
  });
}

int BackgroundRepair::Wait() {
  if (thread_.joinable()) thread_.join();
  return repaired_;
}

void BackgroundRepair::Stop() {
  stop_ = true;
  if (repairer_) repairer_->Cancel();
  Wait();
}
