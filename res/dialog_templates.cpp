// The three dialog templates with the resource's own Simplified Chinese texts.
#include "res/dialog_templates.h"

namespace {

using Kind = platform::DialogControl::Kind;
constexpr const char* kFont = "宋体";
constexpr int kFontSize = 9;

}  // namespace

const platform::DialogTemplate& DialogResource100() {
  using namespace dialog_id;
  static const platform::DialogTemplate resource = {
      kAboutBox,
      235,
      55,
      "关于 Ostrel",
      kFont,
      kFontSize,
      {
          {Kind::Icon, platform::kNoControlId, 11, 16, 20, 20, ""},
          {Kind::Static, kAboutVersion, 40, 10, 181, 8, "Ostrel 1.0 版", true},
          {Kind::Static, kAboutCopyright, 40, 25, 129, 8, "版权所有 (C) 2009"},
          {Kind::DefPushButton, kOk, 178, 34, 50, 14, "确定"},
      }};
  return resource;
}

const platform::DialogTemplate& DialogResource133() {
  using namespace dialog_id;
  static const platform::DialogTemplate resource = {
      kFrameRate,
      131,
      90,
      "设置帧率",
      kFont,
      kFontSize,
      {
          {Kind::AutoCheckBox, kFrameRateEnable, 19, 13, 99, 10, "启用帧率设置"},
          {Kind::Static, kFrameRateLabel, 20, 29, 60, 8, "帧率"},
          {Kind::NumberEdit, kFrameRateEdit, 20, 39, 39, 13, ""},
          {Kind::Static, kFrameRateUnit, 63, 42, 52, 8, "帧/秒"},
          {Kind::DefPushButton, kOk, 19, 62, 44, 13, "确定"},
          {Kind::PushButton, kCancel, 69, 62, 44, 13, "取消"},
      }};
  return resource;
}

const platform::DialogTemplate& DialogResource134() {
  using namespace dialog_id;
  static const platform::DialogTemplate resource = {
      kTimeLimit,
      137,
      72,
      "限时录像",
      kFont,
      kFontSize,
      {
          {Kind::AutoCheckBox, kTimeLimitEnable, 19, 13, 111, 10, "启用限时录像"},
          {Kind::Static, kTimeLimitLabel, 19, 28, 24, 8, "时间"},
          {Kind::NumberEdit, kTimeLimitEdit, 43, 26, 39, 13, ""},
          {Kind::Static, kTimeLimitUnit, 86, 28, 37, 8, "秒"},
          {Kind::DefPushButton, kOk, 18, 45, 44, 13, "确定"},
          {Kind::PushButton, kCancel, 71, 45, 44, 13, "取消"},
      }};
  return resource;
}
