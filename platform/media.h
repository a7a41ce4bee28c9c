// The media-graph layer: graph, filters, pins and the device interfaces the capture
// code relies on. (Skeleton: the media layer fills this in.)
#pragma once

namespace media {
class Graph;
class CaptureGraphBuilder;
class Filter;
class FrameCounters;
}  // namespace media
