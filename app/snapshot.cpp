// CMainFrame: the menu snapshot, written from the preview grabber's newest frame, and the
// snapshot folder and counter it shares with the still pin's streaming thread.
#include <climits>
#include <cstdio>

#include "app/main_frame.h"
#include "still/resample.h"
#include "still/still_size.h"

using ostrel::still::PendingBmp;
using ostrel::still::StillKind;

namespace {

constexpr const char* kErrorCaption = "Error";
constexpr int kSubtypeRgb32 = 6;
// Long enough for a frame to pass the grabber once buffering is on.
constexpr uint32_t kBufferingWaitMs = 50;

int32_t After(int32_t number) { return number < INT32_MAX ? number + 1 : number; }

}  // namespace

int32_t CMainFrame::TakeSnapshot() {
  // The preview's grabber, or while recording the one on the way into the clip.
  const auto error = [this](const std::string& text) {
    Ui().ShowMessage(text, kErrorCaption, platform::MessageIcon::Error);
  };
  std::shared_ptr<media::SampleGrabber> grabber =
      m_pPreviewGrabber ? m_pPreviewGrabber->GetSampleGrabber() : nullptr;
  if (!grabber) {
    // Offered while the graph runs, the command says why it takes no picture.
    if (!m_pPreviewGrabber && !m_graphRunning) return 0;
    error("Snapshot IID_ISampleGrabber Error");
    return 0;
  }
  grabber->SetBufferSamples(true);
  const auto fail = [&](const char* text) {
    grabber->SetBufferSamples(false);
    if (text) error(text);
    return 0;
  };

  const uint32_t width = m_videoWidth > 0 ? static_cast<uint32_t>(m_videoWidth) : 0;
  const uint32_t height = m_videoHeight > 0 ? static_cast<uint32_t>(m_videoHeight) : 0;
  const uint64_t expected = uint64_t{width} * height * (m_videoSubtype == kSubtypeRgb32 ? 4 : 3);
  uint8_t* frame = m_snapshotFrame.Get(expected);
  if (!frame) {
    std::fprintf(stderr, "ostrel: no memory for a %u x %u snapshot\n", width, height);
    return fail(nullptr);
  }
  Sys().Sleep(kBufferingWaitMs);
  long size = 0;
  if (!media::Succeeded(grabber->GetCurrentBuffer(size, nullptr))) return fail("Snapshot Error");
  if (size < 0 || static_cast<uint64_t>(size) != expected) return fail("Snapshot Error");
  if (!media::Succeeded(grabber->GetCurrentBuffer(size, frame)))
    return fail("Snapshot get data Error");
  grabber->SetBufferSamples(false);

  const ostrel::still::StillSize out =
      ostrel::still::StillOutputSize(static_cast<uint32_t>(g_stillSizeIndex.load()), width, height);
  const uint8_t* pixels = frame;
  if (!(out == ostrel::still::StillSize{width, height})) {
    uint8_t* resized = m_snapshotOutput.Get(uint64_t{out.width} * out.height * 3);
    if (!resized) {
      std::fprintf(stderr, "ostrel: no memory for a %u x %u snapshot\n", out.width, out.height);
      return 0;
    }
    ostrel::still::ResampleRGB24(resized, frame, width, height, out.width, out.height);
    pixels = resized;
  }

  std::string folder;
  int32_t number;
  {
    std::lock_guard<std::mutex> lock(m_snapshotLock);
    folder = m_snapshotFolder;
    number = ostrel::still::NextFreeStillNumber(folder, m_snapshotIndex);
  }
  // The number is only settled when the file gets its name; the message names the one
  // it would have had.
  const auto cannotSave = [&](const std::string& reason) {
    error("Cannot save the snapshot " +
          ostrel::still::StillPath(folder, StillKind::Snapshot, number) + ": " + reason);
    return media::kFail;
  };
  PendingBmp file;
  std::string reason;
  if (!file.Write(folder, pixels, out.width, out.height, false, &reason)) return cannotSave(reason);
  if (!PublishStill(file, folder, StillKind::Snapshot, std::nullopt, &reason))
    return cannotSave(reason);
  Sys().PlayShutterSound();
  Ui().FlashVideoArea();
  return 1;
}

int32_t CMainFrame::TakeSnapshotNumber(std::string& folder) {
  std::lock_guard<std::mutex> lock(m_snapshotLock);
  folder = m_snapshotFolder;
  const int32_t number = ostrel::still::NextFreeStillNumber(folder, m_snapshotIndex);
  m_snapshotIndex = After(number);
  return number;
}

std::optional<int32_t> CMainFrame::PublishStill(PendingBmp& file, const std::string& folder,
                                                StillKind kind, std::optional<int32_t> claimed,
                                                std::string* error) {
  std::lock_guard<std::mutex> lock(m_snapshotLock);
  int32_t number;
  // A claimed number may have been taken since (after a reset, by the other path or by
  // hand); then the file gets the counter's next free one like any other.
  if (claimed && !ostrel::still::StillNumberInUse(folder, *claimed)) {
    number = *claimed;
  } else {
    number = ostrel::still::NextFreeStillNumber(folder, m_snapshotIndex);
    claimed.reset();
  }
  for (;;) {
    switch (file.PublishAs(ostrel::still::StillPath(folder, kind, number), error)) {
      case PendingBmp::Publish::Done:
        if (!claimed) m_snapshotIndex = After(number);
        return number;
      case PendingBmp::Publish::Failed:
        return std::nullopt;
      case PendingBmp::Publish::Taken:
        break;
    }
    // Something appeared under that name between the look and the rename.
    if (number == INT32_MAX) {
      if (error) *error = "no snapshot number is free";
      return std::nullopt;
    }
    number = ostrel::still::NextFreeStillNumber(folder, claimed ? m_snapshotIndex : After(number));
    claimed.reset();
  }
}

void CMainFrame::SetSnapshotFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(m_snapshotLock);
  m_snapshotFolder = folder;
}

void CMainFrame::ResetFileNumbers() {
  m_clipIndex = 0;
  std::lock_guard<std::mutex> lock(m_snapshotLock);
  m_snapshotIndex = 0;
}
