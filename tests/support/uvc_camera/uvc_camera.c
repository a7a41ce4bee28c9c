/* An emulated UVC webcam for tests, loaded with LD_PRELOAD: the process sees a character
 * device (/dev/video42 unless UVCEMU_DEVICE says otherwise) that answers the V4L2 calls
 * the way uvcvideo does, so an unmodified v4l2src streams from it.
 *
 * An opened node is a real eventfd, readable exactly while a filled buffer waits to be
 * dequeued, so poll() works on it and on its duplicates without help. Buffers are memfds
 * (mmap and EXPBUF hand them out). A thread fills the queued buffers at the frame interval.
 *
 * Switches, files under UVCEMU_DIR: "unplug" (created by a test: the camera is gone, as
 * uvcvideo reports a disconnect; removed: plugged in again), "strict-rate" (S_PARM refuses a rate
 * it does not offer instead of taking the nearest). UVCEMU_DIR/button is the FIFO behind the
 * snapshot button's event device. UVCEMU_TRACE=1 logs every ioctl on the node to stderr. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/dma-buf.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <time.h>
#include <unistd.h>

#include "uvc_controls.h"
#include "uvc_frames.h"

#define EXPORT __attribute__((visibility("default")))
#define MAX_FDS 4096
#define MAX_BUFFERS 32
#define VIDEO_MAJOR 81
#define VIDEO_MINOR 42
#define INPUT_MAJOR 13
#define INPUT_MINOR (64 + 42)

/* ---- the real libc functions ---- */

/* Resolved on first use: other libraries' constructors may call us before ours runs. */
#define REAL(name) (*(__typeof__(real_##name)*)Resolve((void**)&real_##name, #name))
#define DECLARE_REAL(ret, name, ...) static ret (*real_##name)(__VA_ARGS__)
DECLARE_REAL(int, open, const char*, int, ...);
DECLARE_REAL(int, open64, const char*, int, ...);
DECLARE_REAL(int, openat, int, const char*, int, ...);
DECLARE_REAL(int, openat64, int, const char*, int, ...);
DECLARE_REAL(int, close, int);
DECLARE_REAL(int, dup, int);
DECLARE_REAL(int, dup2, int, int);
DECLARE_REAL(int, dup3, int, int, int);
DECLARE_REAL(int, ioctl, int, unsigned long, ...);
DECLARE_REAL(void*, mmap, void*, size_t, int, int, int, off_t);
DECLARE_REAL(void*, mmap64, void*, size_t, int, int, int, off64_t);
DECLARE_REAL(int, stat, const char*, struct stat*);
DECLARE_REAL(int, stat64, const char*, struct stat64*);
DECLARE_REAL(int, lstat, const char*, struct stat*);
DECLARE_REAL(int, lstat64, const char*, struct stat64*);
DECLARE_REAL(int, fstatat, int, const char*, struct stat*, int);
DECLARE_REAL(int, fstatat64, int, const char*, struct stat64*, int);
DECLARE_REAL(int, statx, int, const char*, int, unsigned, struct statx*);
DECLARE_REAL(int, fstat, int, struct stat*);
DECLARE_REAL(int, fstat64, int, struct stat64*);
DECLARE_REAL(int, __fxstat, int, int, struct stat*);
DECLARE_REAL(int, __fxstat64, int, int, struct stat64*);
DECLARE_REAL(int, __xstat, int, const char*, struct stat*);
DECLARE_REAL(int, __xstat64, int, const char*, struct stat64*);
DECLARE_REAL(int, __lxstat, int, const char*, struct stat*);
DECLARE_REAL(int, __lxstat64, int, const char*, struct stat64*);
DECLARE_REAL(int, access, const char*, int);
DECLARE_REAL(int, faccessat, int, const char*, int, int);
DECLARE_REAL(int, poll, struct pollfd*, nfds_t, int);
DECLARE_REAL(int, ppoll, struct pollfd*, nfds_t, const struct timespec*, const sigset_t*);

static void** Resolve(void** slot, const char* name) {
  if (!*slot) *slot = dlsym(RTLD_NEXT, name);
  return slot;
}

/* ---- the device ---- */

struct mode {
  uint32_t fourcc;
  int width, height;
  int fps[2]; /* fastest first */
};

static const struct mode kModes[] = {
    {UVC_FOURCC_YUYV, 640, 480, {30, 15}},  {UVC_FOURCC_YUYV, 320, 240, {30, 15}},
    {UVC_FOURCC_YUYV, 1280, 720, {10, 5}},  {UVC_FOURCC_MJPG, 640, 480, {30, 15}},
    {UVC_FOURCC_MJPG, 1280, 720, {30, 15}}, {UVC_FOURCC_MJPG, 1920, 1080, {30, 15}},
};
#define MODE_COUNT (sizeof kModes / sizeof kModes[0])
static const uint32_t kFormats[2] = {UVC_FOURCC_YUYV, UVC_FOURCC_MJPG};

enum buffer_state { DEQUEUED, QUEUED, FILLING, DONE };

struct buffer {
  int memfd;
  size_t length;
  uint8_t* map;
  enum buffer_state state;
  uint32_t bytesused, sequence;
  struct timeval timestamp;
};

/* One open file description: an open() and its duplicates. */
struct file {
  int refs;
  int nonblock;
  int signal_fd; /* our own duplicate of the eventfd, written while a buffer is done */
  int dead;      /* opened before an unplug */
};

struct device {
  const struct mode* mode;
  int fps;
  struct buffer buffers[MAX_BUFFERS];
  int buffer_count;
  struct file* owner; /* the file that allocated the buffers */
  int streaming, stop;
  pthread_t thread;
  int done_fifo[MAX_BUFFERS], done_head, done_count;
  int queued_fifo[MAX_BUFFERS], queued_head, queued_count;
  uint32_t sequence;
  int unplugged;
  struct uvc_frames frames;
  const struct mode* frames_mode;
};

static pthread_mutex_t g_lock = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t g_changed; /* on CLOCK_MONOTONIC: a buffer done, a stop, an unplug */
static struct device g_dev;
static struct file* g_files[MAX_FDS];
static unsigned char g_dmabufs[MAX_FDS];
static char g_device_path[256] = "/dev/video42";
static char g_event_path[256] = "/dev/input/event42";
static char g_dir[512];
static int g_trace;

static void LockedInit(void) {
  pthread_condattr_t attr;
  pthread_condattr_init(&attr);
  pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
  pthread_cond_init(&g_changed, &attr);
  pthread_condattr_destroy(&attr);
}

static void AtforkPrepare(void) { pthread_mutex_lock(&g_lock); }
static void AtforkParent(void) { pthread_mutex_unlock(&g_lock); }
/* The child has no frame thread; it keeps the files but streams nothing. */
static void AtforkChild(void) {
  pthread_mutex_init(&g_lock, NULL);
  LockedInit();
  g_dev.streaming = 0;
}

__attribute__((constructor)) static void Init(void) {
  const char* env = getenv("UVCEMU_DEVICE");
  if (env && *env) snprintf(g_device_path, sizeof g_device_path, "%s", env);
  env = getenv("UVCEMU_EVENT_DEVICE");
  if (env && *env) snprintf(g_event_path, sizeof g_event_path, "%s", env);
  env = getenv("UVCEMU_DIR");
  if (env && *env) snprintf(g_dir, sizeof g_dir, "%s", env);
  env = getenv("UVCEMU_TRACE");
  g_trace = env && *env == '1';
  g_dev.mode = &kModes[0];
  g_dev.fps = kModes[0].fps[0];
  uvc_controls_reset();
  LockedInit();
  pthread_atfork(AtforkPrepare, AtforkParent, AtforkChild);
}

static int SwitchSet(const char* name) {
  if (!*g_dir) return 0;
  char path[600];
  snprintf(path, sizeof path, "%s/%s", g_dir, name);
  struct stat st;
  return REAL(stat)(path, &st) == 0;
}

static void StopStreaming(void);
static void FreeBuffers(void);

/* Under the lock. The "unplug" switch makes the camera gone: every open file of it is dead
 * for good (ENODEV, POLLERR), and it cannot be opened. Removing the switch plugs it in
 * again as a new device, in its default mode. */
static int Unplugged(void) {
  const int set = SwitchSet("unplug");
  if (set && !g_dev.unplugged) {
    g_dev.unplugged = 1;
    for (int fd = 0; fd < MAX_FDS; ++fd)
      if (g_files[fd]) g_files[fd]->dead = 1;
    pthread_cond_broadcast(&g_changed);
    if (g_dev.owner) {
      const uint64_t one = 1;
      if (write(g_dev.owner->signal_fd, &one, sizeof one) < 0) { /* wakes a poll either way */
      }
    }
  } else if (!set && g_dev.unplugged) {
    if (g_dev.streaming && pthread_equal(pthread_self(), g_dev.thread)) return 1;
    g_dev.unplugged = 0;
    if (g_dev.owner && g_dev.owner->dead) { /* the old device's buffers go with it */
      StopStreaming();
      FreeBuffers();
    }
    if (!g_dev.buffer_count) {
      g_dev.mode = &kModes[0];
      g_dev.fps = kModes[0].fps[0];
      g_dev.sequence = 0;
      uvc_controls_reset();
    }
  }
  return g_dev.unplugged;
}

/* Whether the video node is gone (ENOENT then, as for a file that is not there). */
static int NodeGone(void) {
  pthread_mutex_lock(&g_lock);
  const int gone = Unplugged();
  pthread_mutex_unlock(&g_lock);
  if (gone) errno = ENOENT;
  return gone;
}

/* Under the lock: a file opened before an unplug. */
static int Dead(struct file* f) {
  Unplugged();
  return f->dead;
}

static struct file* FileOf(int fd) {
  return fd >= 0 && fd < MAX_FDS ? __atomic_load_n(&g_files[fd], __ATOMIC_ACQUIRE) : NULL;
}

static void Signal(int readable) {
  if (!g_dev.owner) return;
  uint64_t value = 1;
  if (readable) {
    if (write(g_dev.owner->signal_fd, &value, sizeof value) < 0) {
    }
  } else {
    while (read(g_dev.owner->signal_fd, &value, sizeof value) > 0) {
    }
  }
}

static void Push(int* fifo, int head, int* count, int index) {
  fifo[(head + *count) % MAX_BUFFERS] = index;
  ++*count;
}

static int Pop(int* fifo, int* head, int* count) {
  const int index = fifo[*head];
  *head = (*head + 1) % MAX_BUFFERS;
  --*count;
  return index;
}

static void AddNanoseconds(struct timespec* t, long ns) {
  t->tv_nsec += ns;
  while (t->tv_nsec >= 1000000000L) {
    t->tv_nsec -= 1000000000L;
    ++t->tv_sec;
  }
}

/* Fills one queued buffer per frame interval; a tick with none queued drops the frame,
 * whose number is then missing from the pattern, as with a real camera. */
static void* FrameThread(void* arg) {
  (void)arg;
  struct timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  pthread_mutex_lock(&g_lock);
  for (;;) {
    AddNanoseconds(&next, 1000000000L / g_dev.fps);
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (now.tv_sec > next.tv_sec + 1) next = now; /* far behind (a stopped process): no burst */
    while (!g_dev.stop && pthread_cond_timedwait(&g_changed, &g_lock, &next) != ETIMEDOUT) {
    }
    if (g_dev.stop || Dead(g_dev.owner)) break;
    const uint32_t number = g_dev.sequence++;
    if (!g_dev.queued_count) continue;
    const int index = Pop(g_dev.queued_fifo, &g_dev.queued_head, &g_dev.queued_count);
    struct buffer* b = &g_dev.buffers[index];
    b->state = FILLING;
    pthread_mutex_unlock(&g_lock);
    clock_gettime(CLOCK_MONOTONIC, &now);
    const size_t used = uvc_frames_draw(&g_dev.frames, number, b->map, b->length);
    pthread_mutex_lock(&g_lock);
    b->bytesused = (uint32_t)used;
    b->sequence = number;
    b->timestamp.tv_sec = now.tv_sec;
    b->timestamp.tv_usec = now.tv_nsec / 1000;
    b->state = DONE;
    Push(g_dev.done_fifo, g_dev.done_head, &g_dev.done_count, index);
    if (g_dev.done_count == 1) Signal(1);
    pthread_cond_broadcast(&g_changed);
  }
  pthread_mutex_unlock(&g_lock);
  return NULL;
}

/* Under the lock; drops it while the frame thread ends. */
static void StopStreaming(void) {
  if (g_dev.streaming) {
    g_dev.stop = 1;
    pthread_cond_broadcast(&g_changed);
    const pthread_t thread = g_dev.thread;
    pthread_mutex_unlock(&g_lock);
    pthread_join(thread, NULL);
    pthread_mutex_lock(&g_lock);
    g_dev.streaming = 0;
    g_dev.stop = 0;
  }
  for (int i = 0; i < g_dev.buffer_count; ++i) g_dev.buffers[i].state = DEQUEUED;
  g_dev.queued_count = g_dev.done_count = 0;
  g_dev.queued_head = g_dev.done_head = 0;
  Signal(0);
  pthread_cond_broadcast(&g_changed);
}

/* Under the lock. Mappings and exported buffers the caller holds stay valid (orphaned). */
static void FreeBuffers(void) {
  for (int i = 0; i < g_dev.buffer_count; ++i) {
    struct buffer* b = &g_dev.buffers[i];
    munmap(b->map, b->length);
    REAL(close)(b->memfd);
  }
  g_dev.buffer_count = 0;
  g_dev.owner = NULL;
}

static size_t SizeImage(const struct mode* m) { return (size_t)m->width * m->height * 2; }

static int AddBuffers(int count, size_t length) {
  length = (length + 4095) & ~(size_t)4095;
  const int first = g_dev.buffer_count;
  for (int i = 0; i < count && g_dev.buffer_count < MAX_BUFFERS; ++i) {
    struct buffer* b = &g_dev.buffers[g_dev.buffer_count];
    memset(b, 0, sizeof *b);
    b->memfd = memfd_create("uvc-camera-buffer", MFD_CLOEXEC);
    if (b->memfd < 0 || ftruncate(b->memfd, (off_t)length) != 0) return -ENOMEM;
    b->map = REAL(mmap)(NULL, length, PROT_READ | PROT_WRITE, MAP_SHARED, b->memfd, 0);
    if (b->map == MAP_FAILED) return -ENOMEM;
    b->length = length;
    ++g_dev.buffer_count;
  }
  return first;
}

/* ---- formats ---- */

static const struct mode* NearestMode(uint32_t fourcc, int w, int h) {
  if (fourcc != UVC_FOURCC_YUYV && fourcc != UVC_FOURCC_MJPG) fourcc = kFormats[0];
  const struct mode* best = NULL;
  long best_d = 0;
  for (size_t i = 0; i < MODE_COUNT; ++i) {
    const struct mode* m = &kModes[i];
    if (m->fourcc != fourcc) continue;
    /* uvcvideo's measure: the area outside the overlap of both rectangles */
    const long overlap = (long)(m->width < w ? m->width : w) * (m->height < h ? m->height : h);
    const long d = (long)m->width * m->height + (long)w * h - 2 * overlap;
    if (!best || d < best_d) best = m, best_d = d;
  }
  return best;
}

static int NearestFps(const struct mode* m, int fps) {
  return abs(m->fps[0] - fps) <= abs(m->fps[1] - fps) ? m->fps[0] : m->fps[1];
}

static void FillFormat(struct v4l2_format* f, const struct mode* m) {
  struct v4l2_pix_format* p = &f->fmt.pix;
  memset(&f->fmt, 0, sizeof f->fmt);
  p->width = (uint32_t)m->width;
  p->height = (uint32_t)m->height;
  p->pixelformat = m->fourcc;
  p->field = V4L2_FIELD_NONE;
  p->bytesperline = m->fourcc == UVC_FOURCC_YUYV ? (uint32_t)m->width * 2 : 0;
  p->sizeimage = (uint32_t)SizeImage(m);
  p->colorspace = V4L2_COLORSPACE_SRGB;
  p->priv = V4L2_PIX_FMT_PRIV_MAGIC;
}

static const struct mode* FindMode(uint32_t fourcc, uint32_t w, uint32_t h) {
  for (size_t i = 0; i < MODE_COUNT; ++i)
    if (kModes[i].fourcc == fourcc && kModes[i].width == (int)w && kModes[i].height == (int)h)
      return &kModes[i];
  return NULL;
}

static void FillBuffer(struct v4l2_buffer* vb, int index) {
  const struct buffer* b = &g_dev.buffers[index];
  const uint32_t type = vb->type;
  memset(vb, 0, sizeof *vb);
  vb->index = (uint32_t)index;
  vb->type = type;
  vb->memory = V4L2_MEMORY_MMAP;
  vb->length = (uint32_t)b->length;
  vb->m.offset = (uint32_t)index << 24;
  vb->field = V4L2_FIELD_NONE;
  vb->flags = V4L2_BUF_FLAG_TIMESTAMP_MONOTONIC | V4L2_BUF_FLAG_TSTAMP_SRC_SOE;
  if (b->state == QUEUED || b->state == FILLING) vb->flags |= V4L2_BUF_FLAG_QUEUED;
  if (b->state == DONE) vb->flags |= V4L2_BUF_FLAG_DONE;
  vb->bytesused = b->state == DEQUEUED || b->state == DONE ? b->bytesused : 0;
  vb->sequence = b->sequence;
  vb->timestamp = b->timestamp;
}

/* ---- ioctls, under the lock; each returns 0 or -errno ---- */

static int IsCapture(uint32_t type) { return type == V4L2_BUF_TYPE_VIDEO_CAPTURE; }

static int OwnsOrFree(struct file* f) { return !g_dev.owner || g_dev.owner == f; }

static int DoReqbufs(struct file* f, struct v4l2_requestbuffers* r) {
  if (!IsCapture(r->type) || r->memory != V4L2_MEMORY_MMAP) return -EINVAL;
  if (!OwnsOrFree(f) || g_dev.streaming) return -EBUSY;
  r->capabilities = V4L2_BUF_CAP_SUPPORTS_MMAP | V4L2_BUF_CAP_SUPPORTS_ORPHANED_BUFS;
  FreeBuffers();
  if (r->count == 0) return 0;
  g_dev.owner = f;
  const int first =
      AddBuffers(r->count > MAX_BUFFERS ? MAX_BUFFERS : (int)r->count, SizeImage(g_dev.mode));
  if (first < 0) {
    FreeBuffers();
    return first;
  }
  r->count = (uint32_t)g_dev.buffer_count;
  return 0;
}

static int DoCreateBufs(struct file* f, struct v4l2_create_buffers* c) {
  if (!IsCapture(c->format.type) || c->memory != V4L2_MEMORY_MMAP) return -EINVAL;
  if (!OwnsOrFree(f)) return -EBUSY;
  c->capabilities = V4L2_BUF_CAP_SUPPORTS_MMAP | V4L2_BUF_CAP_SUPPORTS_ORPHANED_BUFS;
  c->index = (uint32_t)g_dev.buffer_count;
  if (c->count == 0) return 0;
  size_t length = c->format.fmt.pix.sizeimage;
  if (length < SizeImage(g_dev.mode)) length = SizeImage(g_dev.mode);
  g_dev.owner = f;
  const int first = AddBuffers((int)c->count, length);
  if (first < 0) return first;
  c->count = (uint32_t)(g_dev.buffer_count - first);
  return c->count ? 0 : -ENOBUFS;
}

static int DoBuffer(struct file* f, unsigned long request, struct v4l2_buffer* vb) {
  if (!IsCapture(vb->type)) return -EINVAL;
  if (vb->index >= (uint32_t)g_dev.buffer_count) return -EINVAL;
  if (request != VIDIOC_QUERYBUF && g_dev.owner != f) return -EBUSY;
  struct buffer* b = &g_dev.buffers[vb->index];
  if (request == VIDIOC_QBUF) {
    if (vb->memory != V4L2_MEMORY_MMAP || b->state != DEQUEUED) return -EINVAL;
    b->state = QUEUED;
    Push(g_dev.queued_fifo, g_dev.queued_head, &g_dev.queued_count, (int)vb->index);
  }
  FillBuffer(vb, (int)vb->index);
  return 0;
}

static int DoDqbuf(struct file* f, struct v4l2_buffer* vb) {
  if (!IsCapture(vb->type) || vb->memory != V4L2_MEMORY_MMAP) return -EINVAL;
  if (g_dev.owner != f) return -EBUSY;
  while (!g_dev.done_count) {
    if (Dead(f)) return -ENODEV;
    if (!g_dev.streaming) return -EINVAL;
    if (f->nonblock) return -EAGAIN;
    pthread_cond_wait(&g_changed, &g_lock);
  }
  const int index = Pop(g_dev.done_fifo, &g_dev.done_head, &g_dev.done_count);
  g_dev.buffers[index].state = DEQUEUED;
  if (!g_dev.done_count) Signal(0);
  vb->type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  FillBuffer(vb, index);
  return 0;
}

static int DoStreamon(struct file* f) {
  if (g_dev.owner != f || !g_dev.buffer_count) return -EINVAL;
  if (g_dev.streaming) return 0;
  if (g_dev.frames_mode != g_dev.mode) {
    uvc_frames_free(&g_dev.frames);
    if (uvc_frames_init(&g_dev.frames, g_dev.mode->fourcc, g_dev.mode->width, g_dev.mode->height) !=
        0)
      return -ENOMEM;
    g_dev.frames_mode = g_dev.mode;
  }
  g_dev.stop = 0;
  if (pthread_create(&g_dev.thread, NULL, FrameThread, NULL) != 0) return -ENOMEM;
  g_dev.streaming = 1;
  return 0;
}

static int DoFormat(unsigned long request, struct v4l2_format* fmt) {
  if (!IsCapture(fmt->type)) return -EINVAL;
  if (request == VIDIOC_G_FMT) {
    FillFormat(fmt, g_dev.mode);
    return 0;
  }
  const struct v4l2_pix_format* p = &fmt->fmt.pix;
  const struct mode* m = NearestMode(p->pixelformat, (int)p->width, (int)p->height);
  if (request == VIDIOC_S_FMT) {
    if (g_dev.streaming || g_dev.buffer_count) return -EBUSY;
    g_dev.mode = m;
    g_dev.fps = NearestFps(m, g_dev.fps);
  }
  FillFormat(fmt, m);
  return 0;
}

static int DoParm(unsigned long request, struct v4l2_streamparm* parm) {
  if (!IsCapture(parm->type)) return -EINVAL;
  struct v4l2_captureparm* c = &parm->parm.capture;
  if (request == VIDIOC_S_PARM) {
    if (g_dev.streaming) return -EBUSY;
    const struct v4l2_fract t = c->timeperframe;
    const int fps = t.numerator ? (int)((t.denominator + t.numerator / 2) / t.numerator) : 0;
    const int nearest = NearestFps(g_dev.mode, fps);
    if (nearest != fps && SwitchSet("strict-rate")) return -EINVAL;
    g_dev.fps = nearest;
  }
  memset(c, 0, sizeof *c);
  c->capability = V4L2_CAP_TIMEPERFRAME;
  c->timeperframe.numerator = 1;
  c->timeperframe.denominator = (uint32_t)g_dev.fps;
  return 0;
}

static int DoSelection(struct v4l2_selection* s) {
  if (!IsCapture(s->type)) return -EINVAL;
  switch (s->target) {
    case V4L2_SEL_TGT_CROP_DEFAULT:
    case V4L2_SEL_TGT_CROP_BOUNDS:
    case V4L2_SEL_TGT_COMPOSE_DEFAULT:
    case V4L2_SEL_TGT_COMPOSE_BOUNDS:
      s->r.left = s->r.top = 0;
      s->r.width = (uint32_t)g_dev.mode->width;
      s->r.height = (uint32_t)g_dev.mode->height;
      return 0;
    default:
      return -EINVAL;
  }
}

static int DoEnum(unsigned long request, void* arg) {
  if (request == VIDIOC_ENUM_FMT) {
    struct v4l2_fmtdesc* d = arg;
    if (!IsCapture(d->type) || d->index >= 2) return -EINVAL;
    const uint32_t index = d->index, type = d->type;
    memset(d, 0, sizeof *d);
    d->index = index;
    d->type = type;
    d->pixelformat = kFormats[index];
    d->flags = index == 1 ? V4L2_FMT_FLAG_COMPRESSED : 0;
    snprintf((char*)d->description, sizeof d->description, "%s",
             index == 1 ? "Motion-JPEG" : "YUYV 4:2:2");
    return 0;
  }
  if (request == VIDIOC_ENUM_FRAMESIZES) {
    struct v4l2_frmsizeenum* s = arg;
    uint32_t n = 0;
    for (size_t i = 0; i < MODE_COUNT; ++i) {
      if (kModes[i].fourcc != s->pixel_format || n++ != s->index) continue;
      s->type = V4L2_FRMSIZE_TYPE_DISCRETE;
      s->discrete.width = (uint32_t)kModes[i].width;
      s->discrete.height = (uint32_t)kModes[i].height;
      return 0;
    }
    return -EINVAL;
  }
  if (request == VIDIOC_ENUM_FRAMEINTERVALS) {
    struct v4l2_frmivalenum* v = arg;
    const struct mode* m = FindMode(v->pixel_format, v->width, v->height);
    if (!m || v->index >= 2) return -EINVAL;
    v->type = V4L2_FRMIVAL_TYPE_DISCRETE;
    v->discrete.numerator = 1;
    v->discrete.denominator = (uint32_t)m->fps[v->index];
    return 0;
  }
  if (request == VIDIOC_ENUMINPUT) {
    struct v4l2_input* in = arg;
    if (in->index != 0) return -EINVAL;
    memset(in, 0, sizeof *in);
    snprintf((char*)in->name, sizeof in->name, "Camera 1");
    in->type = V4L2_INPUT_TYPE_CAMERA;
    return 0;
  }
  return -ENOTTY;
}

static int DoQuerycap(struct v4l2_capability* cap) {
  memset(cap, 0, sizeof *cap);
  const char* name = getenv("UVCEMU_NAME");
  snprintf((char*)cap->driver, sizeof cap->driver, "uvcvideo");
  snprintf((char*)cap->card, sizeof cap->card, "%s", name && *name ? name : "Emulated Webcam");
  snprintf((char*)cap->bus_info, sizeof cap->bus_info, "usb-0000:00:14.0-1");
  cap->version = 0x060100;
  cap->device_caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_EXT_PIX_FORMAT;
  cap->capabilities = cap->device_caps | V4L2_CAP_META_CAPTURE | V4L2_CAP_DEVICE_CAPS;
  return 0;
}

static int Dispatch(struct file* f, unsigned long request, void* arg) {
  if (Dead(f)) return -ENODEV;
  switch (request) {
    case VIDIOC_ENUMSTD:
    case VIDIOC_G_STD:
    case VIDIOC_S_STD:
    case VIDIOC_QUERYSTD:
    case VIDIOC_S_SELECTION:
    case VIDIOC_S_CROP:
    case VIDIOC_G_CROP:
      return -ENOTTY;
    case VIDIOC_LOG_STATUS:
      return 0;
  }
  if (!arg) return -EFAULT;
  switch (request) {
    case VIDIOC_QUERYCAP:
      return DoQuerycap(arg);
    case VIDIOC_ENUM_FMT:
    case VIDIOC_ENUM_FRAMESIZES:
    case VIDIOC_ENUM_FRAMEINTERVALS:
    case VIDIOC_ENUMINPUT:
      return DoEnum(request, arg);
    case VIDIOC_G_INPUT:
      *(int*)arg = 0;
      return 0;
    case VIDIOC_S_INPUT:
      return *(int*)arg == 0 ? 0 : -EINVAL;
    case VIDIOC_G_PRIORITY:
      *(enum v4l2_priority*)arg = V4L2_PRIORITY_DEFAULT;
      return 0;
    case VIDIOC_S_PRIORITY:
      return 0;
    case VIDIOC_G_FMT:
    case VIDIOC_S_FMT:
    case VIDIOC_TRY_FMT:
      return DoFormat(request, arg);
    case VIDIOC_G_PARM:
    case VIDIOC_S_PARM:
      return DoParm(request, arg);
    case VIDIOC_G_SELECTION:
      return DoSelection(arg);
    case VIDIOC_CROPCAP: {
      struct v4l2_cropcap* c = arg;
      if (!IsCapture(c->type)) return -EINVAL;
      c->bounds.left = c->bounds.top = 0;
      c->bounds.width = (uint32_t)g_dev.mode->width;
      c->bounds.height = (uint32_t)g_dev.mode->height;
      c->defrect = c->bounds;
      c->pixelaspect.numerator = c->pixelaspect.denominator = 1;
      return 0;
    }
    case VIDIOC_REQBUFS:
      return DoReqbufs(f, arg);
    case VIDIOC_CREATE_BUFS:
      return DoCreateBufs(f, arg);
    case VIDIOC_QUERYBUF:
    case VIDIOC_QBUF:
      return DoBuffer(f, request, arg);
    case VIDIOC_DQBUF:
      return DoDqbuf(f, arg);
    case VIDIOC_EXPBUF: {
      struct v4l2_exportbuffer* e = arg;
      if (!IsCapture(e->type) || e->index >= (uint32_t)g_dev.buffer_count) return -EINVAL;
      const int fd =
          fcntl(g_dev.buffers[e->index].memfd, e->flags & O_CLOEXEC ? F_DUPFD_CLOEXEC : F_DUPFD, 0);
      if (fd < 0) return -errno;
      if (fd < MAX_FDS) g_dmabufs[fd] = 1;
      e->fd = fd;
      return 0;
    }
    case VIDIOC_STREAMON:
      if (!IsCapture(*(uint32_t*)arg)) return -EINVAL;
      return DoStreamon(f);
    case VIDIOC_STREAMOFF:
      if (!IsCapture(*(uint32_t*)arg)) return -EINVAL;
      if (g_dev.owner != f) return g_dev.owner ? -EBUSY : 0;
      StopStreaming();
      return 0;
    case VIDIOC_SUBSCRIBE_EVENT:
    case VIDIOC_UNSUBSCRIBE_EVENT:
      return -EINVAL;
    case VIDIOC_QUERYCTRL:
    case VIDIOC_QUERY_EXT_CTRL:
    case VIDIOC_QUERYMENU:
    case VIDIOC_G_CTRL:
    case VIDIOC_S_CTRL:
    case VIDIOC_G_EXT_CTRLS:
    case VIDIOC_S_EXT_CTRLS:
    case VIDIOC_TRY_EXT_CTRLS:
      return uvc_controls_ioctl(request, arg);
  }
  return -ENOTTY;
}

/* ---- the intercepted calls ---- */

static int IsDevice(const char* path) { return path && strcmp(path, g_device_path) == 0; }
static int IsEventDevice(const char* path) { return path && strcmp(path, g_event_path) == 0; }

static int OpenNode(const char* path, int flags) {
  if (IsEventDevice(path)) {
    /* Opened read-write, the FIFO never reports an end when the test's writer closes. */
    char fifo[600];
    snprintf(fifo, sizeof fifo, "%s/button", g_dir);
    return REAL(open)(fifo, O_RDWR | (flags & (O_NONBLOCK | O_CLOEXEC)));
  }
  if (NodeGone()) return -1;
  const int fd = eventfd(0, EFD_NONBLOCK | (flags & O_CLOEXEC ? EFD_CLOEXEC : 0));
  if (fd < 0) return -1;
  if (fd >= MAX_FDS) {
    REAL(close)(fd);
    errno = EMFILE;
    return -1;
  }
  struct file* f = calloc(1, sizeof *f);
  f->refs = 1;
  f->nonblock = (flags & O_NONBLOCK) != 0;
  f->signal_fd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  pthread_mutex_lock(&g_lock);
  __atomic_store_n(&g_files[fd], f, __ATOMIC_RELEASE);
  pthread_mutex_unlock(&g_lock);
  if (g_trace) fprintf(stderr, "uvc-camera: open %s -> %d\n", path, fd);
  return fd;
}

static int OpenFlagsHaveMode(int flags) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE;
}

/* The body every open and openat wrapper shares: the camera's nodes are ours; any other
 * path goes on to the real call with the mode, which is there only when the flags say so. */
#define OPEN_BODY(name, ...)                                               \
  if (IsDevice(path) || IsEventDevice(path)) return OpenNode(path, flags); \
  mode_t mode = 0;                                                         \
  if (OpenFlagsHaveMode(flags)) {                                          \
    va_list ap;                                                            \
    va_start(ap, flags);                                                   \
    mode = va_arg(ap, mode_t);                                             \
    va_end(ap);                                                            \
  }                                                                        \
  return REAL(name)(__VA_ARGS__, mode);

#define OPEN_WRAPPER(name) \
  EXPORT int name(const char* path, int flags, ...) { OPEN_BODY(name, path, flags) }
OPEN_WRAPPER(open)
OPEN_WRAPPER(open64)

EXPORT int __open_2(const char* path, int flags) { return open(path, flags); }
EXPORT int __open64_2(const char* path, int flags) { return open64(path, flags); }

#define OPENAT_WRAPPER(name)                                     \
  EXPORT int name(int dirfd, const char* path, int flags, ...) { \
    OPEN_BODY(name, dirfd, path, flags)                          \
  }
OPENAT_WRAPPER(openat)
OPENAT_WRAPPER(openat64)

EXPORT int __openat_2(int dirfd, const char* path, int flags) { return openat(dirfd, path, flags); }
EXPORT int __openat64_2(int dirfd, const char* path, int flags) {
  return openat64(dirfd, path, flags);
}

static void Forget(int fd) {
  if (fd < 0 || fd >= MAX_FDS) return;
  g_dmabufs[fd] = 0;
  struct file* f = g_files[fd];
  if (!f) return;
  __atomic_store_n(&g_files[fd], NULL, __ATOMIC_RELEASE);
  if (--f->refs > 0) return;
  if (g_dev.owner == f) {
    StopStreaming();
    FreeBuffers();
  }
  REAL(close)(f->signal_fd);
  free(f);
}

EXPORT int close(int fd) {
  if (fd >= 0 && fd < MAX_FDS && (FileOf(fd) || g_dmabufs[fd])) {
    pthread_mutex_lock(&g_lock);
    Forget(fd);
    pthread_mutex_unlock(&g_lock);
  }
  return REAL(close)(fd);
}

static int Duplicated(int old, int fd) {
  if (fd < 0) return fd;
  pthread_mutex_lock(&g_lock);
  if (fd != old) Forget(fd);
  struct file* f = FileOf(old);
  if (f && fd < MAX_FDS && fd != old) {
    ++f->refs;
    __atomic_store_n(&g_files[fd], f, __ATOMIC_RELEASE);
  }
  pthread_mutex_unlock(&g_lock);
  return fd;
}

EXPORT int dup(int fd) { return Duplicated(fd, REAL(dup)(fd)); }
EXPORT int dup2(int fd, int to) {
  if (fd != to && FileOf(to)) {
    pthread_mutex_lock(&g_lock);
    Forget(to);
    pthread_mutex_unlock(&g_lock);
  }
  return Duplicated(fd, REAL(dup2)(fd, to));
}
EXPORT int dup3(int fd, int to, int flags) {
  if (fd != to && FileOf(to)) {
    pthread_mutex_lock(&g_lock);
    Forget(to);
    pthread_mutex_unlock(&g_lock);
  }
  return Duplicated(fd, REAL(dup3)(fd, to, flags));
}

EXPORT int ioctl(int fd, unsigned long request, ...) {
  va_list ap;
  va_start(ap, request);
  void* arg = va_arg(ap, void*);
  va_end(ap);
  // Request numbers are 32 bits, as the kernel reads them: a caller passing an int (as
  // PipeWire's V4L2 plugin does) hands them over sign-extended to 64.
  const unsigned long number = (uint32_t)request;
  struct file* f = FileOf(fd);
  if (!f) {
    if (fd >= 0 && fd < MAX_FDS && g_dmabufs[fd] && number == DMA_BUF_IOCTL_SYNC)
      return arg ? 0 : (errno = EFAULT, -1);
    return REAL(ioctl)(fd, request, arg);
  }
  pthread_mutex_lock(&g_lock);
  const int r = Dispatch(f, number, arg);
  pthread_mutex_unlock(&g_lock);
  if (g_trace)
    fprintf(stderr, "uvc-camera: ioctl %d 0x%08lx (nr %lu) -> %d\n", fd, number,
            (unsigned long)_IOC_NR(number), r);
  if (r < 0) {
    errno = -r;
    return -1;
  }
  return r;
}

static void* MapBuffer(void* addr, size_t len, int prot, int flags, int fd, off64_t offset) {
  pthread_mutex_lock(&g_lock);
  const long index = (long)(offset >> 24);
  int memfd = -1;
  if ((offset & 0xFFFFFF) == 0 && index >= 0 && index < g_dev.buffer_count &&
      len <= g_dev.buffers[index].length)
    memfd = g_dev.buffers[index].memfd;
  pthread_mutex_unlock(&g_lock);
  (void)fd;
  if (memfd < 0) {
    errno = EINVAL;
    return MAP_FAILED;
  }
  return REAL(mmap)(addr, len, prot, flags, memfd, 0);
}

EXPORT void* mmap(void* addr, size_t len, int prot, int flags, int fd, off_t offset) {
  if (FileOf(fd)) return MapBuffer(addr, len, prot, flags, fd, offset);
  return REAL(mmap)(addr, len, prot, flags, fd, offset);
}
EXPORT void* mmap64(void* addr, size_t len, int prot, int flags, int fd, off64_t offset) {
  if (FileOf(fd)) return MapBuffer(addr, len, prot, flags, fd, offset);
  return REAL(mmap64)(addr, len, prot, flags, fd, offset);
}

/* ---- the nodes in stat() and friends ---- */

/* 0 and *st filled when path is one of our nodes; -1 with errno when it is gone; 1 when it
 * is not ours. */
static int NodeStat(const char* path, struct stat* st) {
  const int event = IsEventDevice(path);
  if (!event && !IsDevice(path)) return 1;
  if (!event && NodeGone()) return -1;
  memset(st, 0, sizeof *st);
  st->st_mode = S_IFCHR | 0660;
  st->st_rdev = event ? makedev(INPUT_MAJOR, INPUT_MINOR) : makedev(VIDEO_MAJOR, VIDEO_MINOR);
  st->st_gid = event ? 105 : 44; /* input, video */
  st->st_nlink = 1;
  st->st_blksize = 4096;
  st->st_ino = 4200 + (unsigned)event;
  return 0;
}

/* An open node stays a character device for fstat() even once unplugged, as in the
 * kernel; PipeWire's V4L2 plugin checks the descriptor it opened. */
static int OpenNodeStat(int fd, struct stat* st) {
  if (!FileOf(fd)) return 1;
  memset(st, 0, sizeof *st);
  st->st_mode = S_IFCHR | 0660;
  st->st_rdev = makedev(VIDEO_MAJOR, VIDEO_MINOR);
  st->st_gid = 44;
  st->st_nlink = 1;
  st->st_blksize = 4096;
  st->st_ino = 4200;
  return 0;
}

EXPORT int fstat(int fd, struct stat* st) {
  return OpenNodeStat(fd, st) == 0 ? 0 : REAL(fstat)(fd, st);
}
EXPORT int fstat64(int fd, struct stat64* st) {
  return OpenNodeStat(fd, (struct stat*)st) == 0 ? 0 : REAL(fstat64)(fd, st);
}
EXPORT int __fxstat(int ver, int fd, struct stat* st) {
  return OpenNodeStat(fd, st) == 0 ? 0 : REAL(__fxstat)(ver, fd, st);
}
EXPORT int __fxstat64(int ver, int fd, struct stat64* st) {
  return OpenNodeStat(fd, (struct stat*)st) == 0 ? 0 : REAL(__fxstat64)(ver, fd, st);
}

/* The stat family: the camera's nodes are answered here, any other path by the real call. */
#define STAT_WRAPPER(name, params, ...)             \
  EXPORT int name params {                          \
    const int r = NodeStat(path, (struct stat*)st); \
    return r <= 0 ? r : REAL(name)(__VA_ARGS__);    \
  }
/* struct stat64 is struct stat on the 64-bit targets we test on. */
_Static_assert(sizeof(struct stat) == sizeof(struct stat64), "stat64 differs from stat");
STAT_WRAPPER(stat, (const char* path, struct stat* st), path, st)
STAT_WRAPPER(lstat, (const char* path, struct stat* st), path, st)
STAT_WRAPPER(stat64, (const char* path, struct stat64* st), path, st)
STAT_WRAPPER(lstat64, (const char* path, struct stat64* st), path, st)
STAT_WRAPPER(fstatat, (int dirfd, const char* path, struct stat* st, int flags), dirfd, path, st,
             flags)
STAT_WRAPPER(fstatat64, (int dirfd, const char* path, struct stat64* st, int flags), dirfd, path,
             st, flags)
STAT_WRAPPER(__xstat, (int ver, const char* path, struct stat* st), ver, path, st)
STAT_WRAPPER(__xstat64, (int ver, const char* path, struct stat64* st), ver, path, st)
STAT_WRAPPER(__lxstat, (int ver, const char* path, struct stat* st), ver, path, st)
STAT_WRAPPER(__lxstat64, (int ver, const char* path, struct stat64* st), ver, path, st)
EXPORT int statx(int dirfd, const char* path, int flags, unsigned mask, struct statx* sx) {
  struct stat st;
  const int r = NodeStat(path, &st);
  if (r > 0) return REAL(statx)(dirfd, path, flags, mask, sx);
  if (r < 0) return r;
  memset(sx, 0, sizeof *sx);
  sx->stx_mask = STATX_BASIC_STATS;
  sx->stx_mode = (uint16_t)st.st_mode;
  sx->stx_nlink = 1;
  sx->stx_gid = st.st_gid;
  sx->stx_ino = st.st_ino;
  sx->stx_blksize = 4096;
  sx->stx_rdev_major = major(st.st_rdev);
  sx->stx_rdev_minor = minor(st.st_rdev);
  return 0;
}
EXPORT int access(const char* path, int mode) {
  struct stat st;
  const int r = NodeStat(path, &st);
  return r <= 0 ? r : REAL(access)(path, mode);
}
EXPORT int faccessat(int dirfd, const char* path, int mode, int flags) {
  struct stat st;
  const int r = NodeStat(path, &st);
  return r <= 0 ? r : REAL(faccessat)(dirfd, path, mode, flags);
}

/* ---- poll: an unplugged camera reports POLLERR, as uvcvideo does ---- */

static int UnpluggedPoll(struct pollfd* fds, nfds_t n) {
  int ours = 0;
  for (nfds_t i = 0; i < n; ++i)
    if (FileOf(fds[i].fd)) ours = 1;
  if (!ours) return 0;
  int count = 0;
  pthread_mutex_lock(&g_lock);
  Unplugged();
  for (nfds_t i = 0; i < n; ++i) {
    struct file* f = FileOf(fds[i].fd);
    if (f && f->dead) ++count;
  }
  if (count)
    for (nfds_t i = 0; i < n; ++i) {
      struct file* f = FileOf(fds[i].fd);
      fds[i].revents = f && f->dead ? POLLERR : 0;
    }
  pthread_mutex_unlock(&g_lock);
  return count;
}

EXPORT int poll(struct pollfd* fds, nfds_t n, int timeout) {
  int r = UnpluggedPoll(fds, n);
  if (r) return r;
  r = REAL(poll)(fds, n, timeout);
  const int after = r > 0 ? UnpluggedPoll(fds, n) : 0;
  return after ? after : r;
}

EXPORT int ppoll(struct pollfd* fds, nfds_t n, const struct timespec* t, const sigset_t* mask) {
  int r = UnpluggedPoll(fds, n);
  if (r) return r;
  r = REAL(ppoll)(fds, n, t, mask);
  const int after = r > 0 ? UnpluggedPoll(fds, n) : 0;
  return after ? after : r;
}
