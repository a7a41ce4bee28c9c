// The still pin's receiver: every frame the camera sends on its still pin becomes a
// "%04d.BMP" in the snapshot folder, written on the graph's streaming thread.
#pragma once

#include <string>

#include "platform/media.h"
#include "still/still_buffer.h"

class CMainFrame;

// The still connection's media type is not a video-info RGB picture.
constexpr media::Status kInvalidMediaType = static_cast<media::Status>(0x80040200u);
constexpr media::Status kNullPointer = static_cast<media::Status>(0x80004003u);

class SampleGrabberCallback : public media::SampleGrabberCallback {
 public:
  // The interface ids the object answers to.
  static constexpr const char* kIidUnknown = "{00000000-0000-0000-C000-000000000046}";
  static constexpr const char* kIidSampleGrabberCB = "{0579154A-2B53-4994-B0D0-E773148EFF85}";

  explicit SampleGrabberCallback(CMainFrame* owner) : m_pOwner(owner) {}

  // The frame owns the object: its counts do nothing, and only BufferCB does work.
  media::Status QueryInterface(const std::string& iid, void** object);
  unsigned long AddRef() { return 1; }
  unsigned long Release() { return 2; }
  media::Status SampleCB(double, void*) { return media::kNotImplemented; }

  // One still picture from the frame bytes, in the still connection's format
  // (g_stillMediaType), resampled to the chosen still size. A buffer shorter than that
  // format is skipped; a failure is reported on the error stream.
  media::Status BufferCB(double sampleTime, const uint8_t* data, long length) override;

 private:
  CMainFrame* const m_pOwner;
  // Used on the streaming thread only, and kept for the next frame.
  ostrel::still::StillBuffer m_packed;
  ostrel::still::StillBuffer m_output;
};
