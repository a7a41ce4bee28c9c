/* The emulated camera's controls: brightness, contrast, saturation, gain, white balance
 * (automatic, temperature), exposure (auto menu, time) and the power-line frequency. */
#pragma once

void uvc_controls_reset(void);
/* The control ioctls (QUERYCTRL, QUERY_EXT_CTRL, QUERYMENU, G/S_CTRL, G/S/TRY_EXT_CTRLS);
 * 0 or -errno. Called under the device's lock. */
int uvc_controls_ioctl(unsigned long request, void* arg);
