// PipeWire's device provider, kept running for the rest of the process once a device
// watch has started it.
#pragma once

namespace media::gst {

// Starts PipeWire's device provider once more, never to be stopped: the PipeWire 0.3
// provider, when stopped, tears its registry down beside the loop of the connection it
// shares with pipewiresrc, which corrupted the heap (an abort at exit every other time
// after a recording from a PipeWire camera). Does nothing where PipeWire's plugin is missing.
void KeepPipeWireProviderRunning();

}  // namespace media::gst
