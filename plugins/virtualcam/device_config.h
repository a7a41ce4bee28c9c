// The process-wide device list of the virtual provider and the running cameras.
#pragma once

#include <cstddef>
#include <vector>

#include "virtual_devices.h"

namespace virtualcam {

// Copies of the configured lists; one default camera and microphone until Configure().
std::vector<CameraSpec> ConfiguredCameras();
std::vector<MicrophoneSpec> ConfiguredMicrophones();
void StoreConfiguration(std::vector<CameraSpec> cameras, std::vector<MicrophoneSpec> microphones);

// The configuration of camera `index`, or a default camera when there is no such camera (an
// element made by its factory name outside any configuration).
CameraSpec CameraAt(int index);
// The same for microphone `index`.
MicrophoneSpec MicrophoneAt(int index);

// Throws std::invalid_argument when a format cannot be made.
void ValidateFormat(const Format& format);

// Running camera sources register here so that the snapshot button reaches them.
using StillTrigger = void (*)(void* source);
void AddLiveCamera(void* source, int index, StillTrigger trigger);
void RemoveLiveCamera(void* source);
void ChangeLiveCameraIndex(void* source, int index);
void TriggerLiveCameras(int index);

}  // namespace virtualcam
