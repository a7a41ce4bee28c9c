// Menu resource 128. The texts are the resource's own (Simplified Chinese); the
// language chosen at start relabels most of them, but the still-size popup and
// the sizes without a label keep these texts in every language.
#include "res/menu_128.h"

namespace {

using Kind = platform::MenuTemplateItem::Kind;
constexpr Kind kPopup = Kind::Popup;
constexpr Kind kCommand = Kind::Command;
constexpr Kind kSeparator = Kind::Separator;

}  // namespace

const platform::MenuTemplate& MenuResource128() {
  using namespace menu_id;
  static const platform::MenuTemplate resource = {
      {0, kPopup, 0, "文件(&F)"},
      {1, kCommand, kSetCaptureFolder, "录像文件路径...(&S)"},
      {1, kCommand, kSetSnapshotFolder, "静态图片路径...(&N)"},
      {1, kCommand, kResetFileNumbers, "重置(&R)"},
      {1, kSeparator, 0, ""},
      {1, kCommand, kAppExit, "退出(&X)"},

      // The device list replaces this separator at the first activation.
      {0, kPopup, 0, "设备(&D)"},
      {1, kSeparator, 0, ""},

      // The property-page items are appended after the separator.
      {0, kPopup, 0, "选项(&O)"},
      {1, kCommand, kPreview, "预览(&P)"},
      {1, kSeparator, 0, ""},

      {0, kPopup, 0, "预览(&Y)"},
      {1, kCommand, kVideoSizeSetting, "分辨率设置(&F)"},

      {0, kPopup, 0, "捕捉(&R)"},
      {1, kCommand, kStartStopCapture, "开始录像(&S)"},
      {1, kPopup, 0, "录像格式"},
      {2, kCommand, kFormatAvi, "AVI"},
      {2, kCommand, kFormatWmv, "WMV"},
      {1, kSeparator, 0, ""},
      {1, kCommand, kSnapshot, "拍照(&N)"},
      {1, kPopup, 0, "拍照大小"},
      {2, kCommand, kStillSize[0], "普通(预览大小)"},
      {2, kCommand, kStillSize[1], "320*240"},
      {2, kCommand, kStillSize[2], "640*480"},
      {2, kCommand, kStillSize[3], "800*600"},
      {2, kCommand, kStillSize[4], "1280*960"},
      {2, kCommand, kStillSize[5], "1600*1200"},
      {2, kCommand, kStillSize[7], "2560*1920"},
      {2, kCommand, kStillSize[8], "3200*2400"},
      {2, kCommand, kStillSize[9], "4096*3072"},
      {2, kCommand, kStillSize[10], "5120*3840"},
      {1, kSeparator, 0, ""},
      {1, kCommand, kRecordAudio, "启用录音(&A)"},
      {1, kSeparator, 0, ""},
      {1, kCommand, kSetFrameRate, "设置帧率(&F)"},
      {1, kCommand, kRecordTimeLimit, "限时录制(&L)"},
      {1, kSeparator, 0, ""},

      {0, kPopup, 0, "帮助(&H)"},
      {1, kCommand, kAppAbout, "关于 Pelquin(&A)..."},
  };
  return resource;
}
