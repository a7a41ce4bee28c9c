// The video frame rate in a finished ASF file's header. libav's ASF muxer leaves it out
// (it writes no extended stream properties), so readers guess: GStreamer says 25 fps.
#pragma once

#include <cstdint>
#include <string>

namespace media::gst {

// Writes the average time per frame (100 ns units) of the file's video stream into its
// header, in place and without moving any byte of the data: into the video stream's
// extended stream properties when the header has them, otherwise into the room of the
// square-pixel aspect ratio the muxer records (square pixels are every reader's default).
// False, with the reason, when the file is not such an ASF file; it is then unchanged.
bool WriteAsfAverageFrameTime(const std::string& path, uint64_t frameTime100ns, std::string& why);

}  // namespace media::gst
