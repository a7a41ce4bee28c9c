// Dialog templates 100 (About), 133 (frame rate) and 134 (time limit) and their
// control ids. Their texts are placeholders: the dialogs set every text at run time.
#pragma once

#include "platform/ui.h"

namespace dialog_id {
constexpr int kAboutBox = 100;
constexpr int kFrameRate = 133;
constexpr int kTimeLimit = 134;

constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kFrameRateEnable = 1000;
constexpr int kFrameRateEdit = 1001;
constexpr int kTimeLimitEnable = 1002;
constexpr int kTimeLimitEdit = 1003;
constexpr int kTimeLimitLabel = 1004;
constexpr int kTimeLimitUnit = 1005;
constexpr int kFrameRateLabel = 1006;
constexpr int kFrameRateUnit = 1007;
constexpr int kAboutVersion = 1008;
constexpr int kAboutCopyright = 1009;
}  // namespace dialog_id

const platform::DialogTemplate& DialogResource100();
const platform::DialogTemplate& DialogResource133();
const platform::DialogTemplate& DialogResource134();
