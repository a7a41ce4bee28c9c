/* The emulated camera's controls, with uvcvideo's names, ranges and inactive flags. */
#include "uvc_controls.h"

#include <errno.h>
#include <linux/videodev2.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

struct control {
  uint32_t id;
  uint32_t type;
  const char* name;
  int32_t min, max, step, def;
  int32_t value;
};

/* In id order, as V4L2_CTRL_FLAG_NEXT_CTRL walks them. */
static struct control g_controls[] = {
    {V4L2_CID_BRIGHTNESS, V4L2_CTRL_TYPE_INTEGER, "Brightness", 0, 255, 1, 128, 0},
    {V4L2_CID_CONTRAST, V4L2_CTRL_TYPE_INTEGER, "Contrast", 0, 255, 1, 32, 0},
    {V4L2_CID_SATURATION, V4L2_CTRL_TYPE_INTEGER, "Saturation", 0, 100, 1, 64, 0},
    {V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CTRL_TYPE_BOOLEAN, "White Balance, Automatic", 0, 1, 1, 1,
     0},
    {V4L2_CID_GAIN, V4L2_CTRL_TYPE_INTEGER, "Gain", 0, 255, 1, 0, 0},
    {V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CTRL_TYPE_MENU, "Power Line Frequency", 0, 2, 1, 1, 0},
    {V4L2_CID_WHITE_BALANCE_TEMPERATURE, V4L2_CTRL_TYPE_INTEGER, "White Balance Temperature", 2800,
     6500, 10, 4600, 0},
    {V4L2_CID_EXPOSURE_AUTO, V4L2_CTRL_TYPE_MENU, "Auto Exposure", 0, 3, 1, 3, 0},
    {V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER, "Exposure Time, Absolute", 3, 2047, 1, 250,
     0},
};
#define CONTROL_COUNT (sizeof g_controls / sizeof g_controls[0])

void uvc_controls_reset(void) {
  for (size_t i = 0; i < CONTROL_COUNT; ++i) g_controls[i].value = g_controls[i].def;
}

static struct control* Find(uint32_t id) {
  for (size_t i = 0; i < CONTROL_COUNT; ++i)
    if (g_controls[i].id == id) return &g_controls[i];
  return NULL;
}

static int32_t Value(uint32_t id) { return Find(id)->value; }

static const char* MenuItem(uint32_t id, uint32_t index) {
  static const char* const kPowerLine[] = {"Disabled", "50 Hz", "60 Hz"};
  if (id == V4L2_CID_POWER_LINE_FREQUENCY) return index < 3 ? kPowerLine[index] : NULL;
  if (id == V4L2_CID_EXPOSURE_AUTO)
    return index == V4L2_EXPOSURE_MANUAL              ? "Manual Mode"
           : index == V4L2_EXPOSURE_APERTURE_PRIORITY ? "Aperture Priority Mode"
                                                      : NULL;
  return NULL;
}

/* A control whose automatic partner is on: uvcvideo marks it inactive and refuses writes. */
static int Inactive(const struct control* c) {
  if (c->id == V4L2_CID_WHITE_BALANCE_TEMPERATURE) return Value(V4L2_CID_AUTO_WHITE_BALANCE);
  if (c->id == V4L2_CID_EXPOSURE_ABSOLUTE)
    return Value(V4L2_CID_EXPOSURE_AUTO) != V4L2_EXPOSURE_MANUAL;
  return 0;
}

static uint32_t Flags(const struct control* c) {
  uint32_t flags = Inactive(c) ? V4L2_CTRL_FLAG_INACTIVE : 0;
  if (c->id == V4L2_CID_AUTO_WHITE_BALANCE || c->id == V4L2_CID_EXPOSURE_AUTO)
    flags |= V4L2_CTRL_FLAG_UPDATE;
  return flags;
}

/* The control asked for, or with NEXT_CTRL the first after it. */
static struct control* Query(uint32_t id) {
  const uint32_t next = V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND;
  if (!(id & next)) return Find(id);
  id &= ~next;
  for (size_t i = 0; i < CONTROL_COUNT; ++i)
    if (g_controls[i].id > id) return &g_controls[i];
  return NULL;
}

/* Checks and clamps a new value as uvcvideo does; 0 or -errno. */
static int Check(const struct control* c, int32_t* value) {
  if (Inactive(c)) return -EACCES;
  if (c->type == V4L2_CTRL_TYPE_MENU) return MenuItem(c->id, (uint32_t)*value) ? 0 : -EINVAL;
  if (*value < c->min) *value = c->min;
  if (*value > c->max) *value = c->max;
  *value = c->min + (*value - c->min + c->step / 2) / c->step * c->step;
  return 0;
}

static int ExtControls(unsigned long request, struct v4l2_ext_controls* ext) {
  if (ext->count && !ext->controls) return -EFAULT;
  const int defaults = ext->which == V4L2_CTRL_WHICH_DEF_VAL;
  if (defaults && request != VIDIOC_G_EXT_CTRLS) return -EINVAL;
  for (uint32_t i = 0; i < ext->count; ++i) {
    struct v4l2_ext_control* x = &ext->controls[i];
    struct control* c = Find(x->id);
    int32_t value = x->value;
    const int r = !c ? -EINVAL : request == VIDIOC_G_EXT_CTRLS ? 0 : Check(c, &value);
    if (r) {
      ext->error_idx = request == VIDIOC_S_EXT_CTRLS ? ext->count : i;
      return r;
    }
    if (request == VIDIOC_G_EXT_CTRLS) x->value = defaults ? c->def : c->value;
  }
  if (request != VIDIOC_S_EXT_CTRLS) return 0;
  for (uint32_t i = 0; i < ext->count; ++i) {
    struct control* c = Find(ext->controls[i].id);
    int32_t value = ext->controls[i].value;
    Check(c, &value);
    c->value = ext->controls[i].value = value;
  }
  return 0;
}

int uvc_controls_ioctl(unsigned long request, void* arg) {
  switch (request) {
    case VIDIOC_QUERYCTRL: {
      struct v4l2_queryctrl* q = arg;
      const struct control* c = Query(q->id);
      if (!c) return -EINVAL;
      memset(q, 0, sizeof *q);
      q->id = c->id;
      q->type = c->type;
      snprintf((char*)q->name, sizeof q->name, "%s", c->name);
      q->minimum = c->min, q->maximum = c->max, q->step = c->step;
      q->default_value = c->def;
      q->flags = Flags(c);
      return 0;
    }
    case VIDIOC_QUERY_EXT_CTRL: {
      struct v4l2_query_ext_ctrl* q = arg;
      const struct control* c = Query(q->id);
      if (!c) return -EINVAL;
      memset(q, 0, sizeof *q);
      q->id = c->id;
      q->type = c->type;
      snprintf(q->name, sizeof q->name, "%s", c->name);
      q->minimum = c->min, q->maximum = c->max, q->step = (uint64_t)c->step;
      q->default_value = c->def;
      q->flags = Flags(c);
      q->elem_size = 4;
      q->elems = 1;
      return 0;
    }
    case VIDIOC_QUERYMENU: {
      struct v4l2_querymenu* m = arg;
      const char* item = MenuItem(m->id, m->index);
      if (!Find(m->id) || !item) return -EINVAL;
      memset(m->name, 0, sizeof m->name);
      snprintf((char*)m->name, sizeof m->name, "%s", item);
      return 0;
    }
    case VIDIOC_G_CTRL:
    case VIDIOC_S_CTRL: {
      struct v4l2_control* v = arg;
      struct control* c = Find(v->id);
      if (!c) return -EINVAL;
      if (request == VIDIOC_G_CTRL) {
        v->value = c->value;
        return 0;
      }
      int32_t value = v->value;
      const int r = Check(c, &value);
      if (r) return r;
      c->value = v->value = value;
      return 0;
    }
    case VIDIOC_G_EXT_CTRLS:
    case VIDIOC_S_EXT_CTRLS:
    case VIDIOC_TRY_EXT_CTRLS:
      return ExtControls(request, arg);
  }
  return -ENOTTY;
}
