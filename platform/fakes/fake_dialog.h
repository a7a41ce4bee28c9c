// Scripted modal dialogs for unit tests: the user's actions as a queue, and a record of
// what each dialog showed and said.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace platform {

// One thing the user does in an open dialog.
struct DialogAction {
  enum class Kind { Type, SetText, Toggle, Ok, Enter, Cancel, Escape, Close };
  Kind kind;
  int id = kNoControlId;
  std::string text;

  // Replaces the edit's text key by key: a digits-only edit drops every other key.
  static DialogAction Type(int id, std::string text) { return {Kind::Type, id, std::move(text)}; }
  // Replaces the text as a program would, past any key filter.
  static DialogAction SetText(int id, std::string text) {
    return {Kind::SetText, id, std::move(text)};
  }
  static DialogAction Toggle(int id) { return {Kind::Toggle, id, {}}; }    // a click on a check box
  static DialogAction Ok() { return {Kind::Ok, kDialogOk, {}}; }           // a click on button 1
  static DialogAction Enter() { return {Kind::Enter, kNoControlId, {}}; }  // the default button
  static DialogAction Cancel() { return {Kind::Cancel, kDialogCancel, {}}; }  // button 2
  static DialogAction Escape() { return {Kind::Escape, kNoControlId, {}}; }
  static DialogAction Close() { return {Kind::Close, kNoControlId, {}}; }  // the close box
};

// What one modal dialog showed, said and returned.
struct DialogRun {
  struct Message {
    std::string text;
    std::string caption;
    MessageIcon icon;
    int focusAfter;  // the focused control once the action that showed it was handled
  };
  int resourceId = 0;
  DialogOwner owner = DialogOwner::Window;
  std::string caption;                    // when it was shown
  std::map<int, std::string> shownTexts;  // every addressable control's text when shown
  std::map<int, bool> shownChecks;        // every check box when shown
  std::vector<Message> messages;
  std::map<int, std::string> finalTexts;  // when it ended
  int result = kDialogFailed;
  bool scriptRanOut = false;  // no action was left: it was ended as by Escape
};

// Runs a template's dialog against a script; FakeWindow uses it for RunModalDialog.
class FakeDialog : public DialogControls {
 public:
  FakeDialog(const DialogTemplate& resource, DialogOwner owner, std::string applicationTitle);

  // Shows the dialog and plays actions from the front of the script until the dialog
  // ends; returns its record.
  DialogRun Run(DialogLogic& logic, std::deque<DialogAction>& script);

  void SetCaption(const std::string& text) override { m_caption = text; }
  std::string Caption() const override { return m_caption; }
  bool SetItemText(int id, const std::string& text) override;
  std::string ItemText(int id) const override;
  bool CheckItem(int id, bool checked) override;
  bool IsItemChecked(int id) const override;
  void FocusItem(int id) override;
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  void EndDialog(int result) override;

 private:
  struct Control {
    DialogControl::Kind kind;
    std::string text;
    bool checked = false;
  };
  Control* Find(int id);
  const Control* Find(int id) const;
  void Play(DialogLogic& logic, const DialogAction& action);

  std::string m_title;
  std::string m_caption;
  std::map<int, Control> m_controls;
  int m_focus = kNoControlId;
  bool m_ended = false;
  DialogRun m_run;
};

}  // namespace platform
