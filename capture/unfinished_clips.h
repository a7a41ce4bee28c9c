// Clips a recording has not finished yet: a marker beside each clip while it is
// written, and the repair at the next start of the clips whose writer went away
// (killed, crashed, the power lost) without stopping its recording.
#pragma once

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

#include "platform/media.h"
#include "platform/system.h"

namespace unfinished_clips {

// Beside "Clip0003.AVI": "Clip0003.AVI.unfinished" while it is written, and
// "Clip0003.AVI.repairing" while its repaired copy is.
constexpr const char* kMarkerSuffix = ".unfinished";
constexpr const char* kRepairSuffix = ".repairing";

std::string MarkerPath(const std::string& clip);
std::string RepairPath(const std::string& clip);

// Marks the clip as being written by the process the token names; false when the
// marker could not be written.
bool Mark(const std::string& clip, const std::string& writerToken);
void Unmark(const std::string& clip);

// The container a clip's name says it holds; false for names a recording never writes.
bool ContainerOf(const std::string& clip, media::ClipContainer& container);

// The marked clips in the folder (not its subfolders) whose writer no longer runs,
// sorted by name.
std::vector<std::string> FindAbandoned(const std::string& folder, const platform::System& sys);

// Repairs one abandoned clip: the repaired copy is written beside it and renamed over
// it only once complete. A clip the demuxer cannot read is kept as it is; one whose
// repair broke off, or whose disk has no room for the copy, keeps its marker, so the next
// start tries again; one another repair holds is passed over. Says on the log what it
// did; true when the clip is complete now.
bool Repair(const std::string& clip, const platform::System& sys, media::ClipRepairer& repairer,
            std::ostream& log);

// Every abandoned clip of the folder, until stop (when given) is set; the number
// repaired.
int RepairAbandoned(const std::string& folder, const platform::System& sys,
                    media::ClipRepairer& repairer, std::ostream& log,
                    const std::atomic<bool>* stop = nullptr);

}  // namespace unfinished_clips
