// The shutter sound: played through GStreamer on a thread of its own, never waited for.
#pragma once

#include <gst/gst.h>

#include <functional>
#include <memory>
#include <string>

namespace media::gst {

// The shutter sound compiled into the program.
std::string ShutterSoundUri();

class ShutterPlayer {
 public:
  // Makes the audio sink for one play (a new reference, floating or not); a null result
  // plays nothing.
  using SinkMaker = std::function<GstElement*()>;

  // uri: what to play; makeSink: the first of the system's sound outputs that opens
  // when empty.
  explicit ShutterPlayer(std::string uri = ShutterSoundUri(), SinkMaker makeSink = {});
  // Returns at once: a play that hangs (a sound server that never answers) is left to
  // finish on its own thread.
  ~ShutterPlayer();
  ShutterPlayer(const ShutterPlayer&) = delete;
  ShutterPlayer& operator=(const ShutterPlayer&) = delete;

  // Starts the sound and returns at once. A sound still playing starts over; requests
  // made while the player cannot start are merged into one.
  void Play();

  // Plays that ended (at their end, in an error, or given up); waits until there are at
  // least count of them. For tests.
  bool WaitFinished(int count, int timeoutSeconds);

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace media::gst
