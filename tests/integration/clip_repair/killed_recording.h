// A recording killed mid-way: a child process runs a pipeline (gst-launch-1.0 syntax)
// with the virtual camera until the file has grown to a size, then gets SIGKILL, as a
// crash or a power loss ends it.
#pragma once

#include <cstdint>
#include <string>

// True when the pipeline wrote at least minBytes before the kill; why not in `why`.
bool RecordAndKill(const std::string& pipeline, const std::string& clip, uint64_t minBytes,
                   std::string& why);

// Whether a program can be found on the PATH.
bool HaveProgram(const std::string& name);
