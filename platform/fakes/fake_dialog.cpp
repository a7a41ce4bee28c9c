// FakeDialog: the template's controls in memory, driven by the script.
#include "platform/fakes/fake_dialog.h"

#include <cctype>
#include <stdexcept>

namespace platform {

FakeDialog::FakeDialog(const DialogTemplate& resource, DialogOwner owner,
                       std::string applicationTitle)
    : m_title(std::move(applicationTitle)), m_caption(resource.caption) {
  m_run.resourceId = resource.resourceId;
  m_run.owner = owner;
  for (const DialogControl& c : resource.controls) {
    if (c.id == kNoControlId) continue;
    m_controls[c.id] = Control{c.kind, c.text ? c.text : "", false};
    if (m_focus == kNoControlId && c.kind != DialogControl::Kind::Static &&
        c.kind != DialogControl::Kind::Icon) {
      m_focus = c.id;  // the first control that takes the focus
    }
  }
}

FakeDialog::Control* FakeDialog::Find(int id) {
  auto it = m_controls.find(id);
  return it == m_controls.end() ? nullptr : &it->second;
}

const FakeDialog::Control* FakeDialog::Find(int id) const {
  auto it = m_controls.find(id);
  return it == m_controls.end() ? nullptr : &it->second;
}

bool FakeDialog::SetItemText(int id, const std::string& text) {
  Control* c = Find(id);
  if (!c) return false;
  c->text = text;
  return true;
}

std::string FakeDialog::ItemText(int id) const {
  const Control* c = Find(id);
  return c ? c->text : std::string();
}

bool FakeDialog::CheckItem(int id, bool checked) {
  Control* c = Find(id);
  if (!c) return false;
  c->checked = checked;
  return true;
}

bool FakeDialog::IsItemChecked(int id) const {
  const Control* c = Find(id);
  return c && c->checked;
}

void FakeDialog::FocusItem(int id) {
  if (Find(id)) m_focus = id;
}

void FakeDialog::ShowMessage(const std::string& text, MessageIcon icon) {
  m_run.messages.push_back({text, m_title, icon, kNoControlId});
}

void FakeDialog::EndDialog(int result) {
  m_ended = true;
  m_run.result = result;
}

void FakeDialog::Play(DialogLogic& logic, const DialogAction& a) {
  using Kind = DialogAction::Kind;
  auto require = [this](int id) -> Control& {
    Control* c = Find(id);
    if (!c) throw std::logic_error("the dialog has no control " + std::to_string(id));
    return *c;
  };
  switch (a.kind) {
    case Kind::Type: {
      Control& c = require(a.id);
      std::string typed;
      for (char ch : a.text) {
        if (c.kind == DialogControl::Kind::NumberEdit &&
            !std::isdigit(static_cast<unsigned char>(ch))) {
          continue;  // the edit refuses the key
        }
        typed += ch;
      }
      c.text = typed;
      m_focus = a.id;
      break;
    }
    case Kind::SetText:
      require(a.id).text = a.text;
      break;
    case Kind::Toggle: {
      Control& c = require(a.id);
      if (c.kind == DialogControl::Kind::AutoCheckBox) c.checked = !c.checked;
      m_focus = a.id;
      break;
    }
    case Kind::Ok:
      require(kDialogOk);
      logic.OnOK(*this);
      break;
    case Kind::Enter:
      logic.OnOK(*this);
      break;
    case Kind::Cancel:
      require(kDialogCancel);
      logic.OnCancel(*this);
      break;
    case Kind::Escape:
    case Kind::Close:
      logic.OnCancel(*this);
      break;
  }
}

DialogRun FakeDialog::Run(DialogLogic& logic, std::deque<DialogAction>& script) {
  logic.OnShowWindow(*this);
  m_run.caption = m_caption;
  for (const auto& [id, c] : m_controls) {
    m_run.shownTexts[id] = c.text;
    if (c.kind == DialogControl::Kind::AutoCheckBox) m_run.shownChecks[id] = c.checked;
  }
  while (!m_ended) {
    if (script.empty()) {
      m_run.scriptRanOut = true;
      logic.OnCancel(*this);
      if (!m_ended) EndDialog(kDialogCancel);
      break;
    }
    DialogAction action = script.front();
    script.pop_front();
    size_t before = m_run.messages.size();
    Play(logic, action);
    for (size_t i = before; i < m_run.messages.size(); ++i) m_run.messages[i].focusAfter = m_focus;
  }
  for (const auto& [id, c] : m_controls) m_run.finalTexts[id] = c.text;
  return m_run;
}

}  // namespace platform
