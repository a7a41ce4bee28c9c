// Free functions over the media layer that every graph build and command stands on.
#pragma once

#include <memory>
#include <string>

#include "platform/media.h"
#include "platform/system.h"
#include "platform/ui.h"

// Pause after a successful start, pause between stop attempts, further stop attempts.
constexpr uint32_t kRunSettleMs = 300;
constexpr uint32_t kStopRetryMs = 100;
constexpr int kStopFurtherAttempts = 30;
// Where property sheets open, in the owner's client coordinates.
constexpr int kPropertySheetX = 30;
constexpr int kPropertySheetY = 30;

// Creates the filter of a class identifier and adds it under a name.
bool AddFilterByClsid(media::MediaFactory& factory, media::Graph* graph, const std::string& classId,
                      const std::string& name, std::shared_ptr<media::Filter>& filter);

// The index-th pin of a direction, counting connected pins too; a connected pin at that
// place yields no pin (kFail), there is no moving on to a later free one.
media::Status GetUnconnectedPin(media::Filter& filter, media::PinDirection direction, int index,
                                std::shared_ptr<media::Pin>& pin);

bool ConnectFilters(media::Graph* graph, media::Filter* upstream, int outputIndex,
                    media::Filter* downstream, int inputIndex);

bool SetSinkFileName(media::Filter* sink, const std::string& path);

// Runs the graph and lets it settle; *runningSinceMs receives the monotonic time at which
// it began to run (before the settling wait), when the caller asks.
bool RunGraph(media::Graph* graph, platform::System& sys, int64_t* runningSinceMs = nullptr);

// How often a stop whose writers still drain looks again (the window paints meanwhile).
constexpr uint32_t kStopDrainPollMs = 50;

// Up to 31 failed stop requests 100 ms apart; true whatever the last one returned. A stop
// whose writers are still finishing the frames captured before it is waited for as long
// as the graph says it goes on, with the wait cursor, while the window keeps painting.
bool StopGraph(media::Graph* graph, platform::System& sys, platform::Window* window = nullptr);

void TriggerStillPin(media::CaptureGraphBuilder* builder, media::Filter* captureFilter);

// The fixed picture settings every listed camera starts with.
void ApplyVideoProcAmpDefaults(media::Filter* captureFilter);

// Removes every filter downstream of this one, depth first; the filter itself stays.
void RemoveDownstream(media::Graph* graph, media::Filter* filter);

bool ShowFilterPropertyPages(media::Filter* filter, media::PropertySheetHost& owner);

bool ShowCapturePinPropertyPages(media::CaptureGraphBuilder* builder, media::Filter* captureFilter,
                                 media::PropertySheetHost& owner);

// Width and height of the first output pin's format, the height with its sign.
bool GetOutputPinVideoSize(media::Filter* filter, int32_t& width, int32_t& height);

// What the sample grabbers let in: RGB24 video, nothing else fixed.
media::MediaType Rgb24Video();
