// Window events that nobody handles: for a frame window that only hosts dialogs.
#pragma once

#include <cstdint>

#include "platform/ui.h"

namespace platform {

class NoWindowEvents : public WindowEvents {
 public:
  int OnCreate() override { return 0; }
  void ActivateFrame() override {}
  void OnShowWindow(bool) override {}
  void OnInitMenu() override {}
  bool OnCommand(uint32_t) override { return false; }
  void OnSize(int, int) override {}
  void OnPaint(Painter&) override {}
  void OnTimer(int) override {}
  void OnClose() override {}
};

}  // namespace platform
