// The main frame's state record: every field with its default. The frame owns it;
// the graph code, the snapshot code, the settings and the dialogs read and write it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/media.h"

// BOOL of the frame's world: 0 or 1, tested for non-zero.
using BOOL = int32_t;

struct FrameState {
  static constexpr int kMaxDevices = 10;

  std::array<std::string, kMaxDevices> m_videoDeviceNames;
  // Each device's identity beside its name: what "the same device" means (two cameras
  // of one model share a name).
  std::array<std::string, kMaxDevices> m_videoDeviceIds;
  std::array<std::shared_ptr<media::Filter>, kMaxDevices> m_videoDevices;
  int m_videoDeviceCount = 0;
  int m_selectedVideoDevice = -1;
  std::array<std::string, kMaxDevices> m_audioDeviceNames;
  std::array<std::string, kMaxDevices> m_audioDeviceIds;
  std::array<std::shared_ptr<media::Filter>, kMaxDevices> m_audioDevices;
  int m_audioDeviceCount = 0;
  int m_selectedAudioDevice = -1;
  BOOL m_recordAudio = 0;
  BOOL m_captureMode = 0;
  BOOL m_recording = 0;
  BOOL m_graphRunning = 0;
  BOOL m_initDone = 0;
  BOOL m_previewOn = 1;
  int m_fitWindowDepth = 0;
  int m_statusBarHeight = 0;
  int m_statusPaneWidth = 0;
  int m_videoWidth = 0;
  int m_videoHeight = 0;
  int m_videoSubtype = 0;
  BOOL m_graphBuilt = 0;
  std::string m_captureFolder = "c:\\";
  std::string m_snapshotFolder = "c:\\";
  int m_snapshotIndex = 0;
  int m_clipIndex = 0;
  int64_t m_recordStartTime = 0;
  // The recording's start on the monotonic clock: elapsed time is measured from here.
  int64_t m_recordStartMs = 0;
  BOOL m_frameRateEnabled = 0;
  int m_frameRate = 60;
  BOOL m_timeLimitEnabled = 0;
  int m_timeLimitSeconds = 30;
  uint16_t m_languageId = 0x0804;
  int m_languageIndex = 1;  // the index of 0x0804
  uint32_t m_recordTicks = 0;
  int m_recordFormat = 0;  // 0 = AVI, 1 = WMV
  std::shared_ptr<media::Graph> m_pGraph;
  std::shared_ptr<media::CaptureGraphBuilder> m_pBuilder;
  std::shared_ptr<media::Filter> m_pSmartTee;
  std::shared_ptr<media::Filter> m_pVideoRenderer;
  std::shared_ptr<media::Filter> m_pPreviewGrabber;
  std::shared_ptr<media::Filter> m_pTransferFilter;
  std::shared_ptr<media::Filter> m_pAviMux;
  std::shared_ptr<media::Filter> m_pFileWriter;
  BOOL m_firstVideoWindowSizing = 1;
  std::shared_ptr<media::FrameCounters> m_pDroppedFrames;
  uint32_t m_fpsWindowStart = 0;
  int m_fpsWindowFrames = 0;
  int m_fpsSampleIndex = 4;
  std::array<double, 5> m_fpsSamples{};
  std::shared_ptr<media::Filter> m_pNullRenderer;
  std::shared_ptr<media::Filter> m_pStillGrabber;
  // Receives the still pin's frames on the streaming thread; owned by the main frame
  // (null until it has one).
  media::SampleGrabberCallback* m_pStillCallback = nullptr;
};
