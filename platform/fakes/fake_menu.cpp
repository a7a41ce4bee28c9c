// The in-memory menu tree.
#include "platform/fakes/fake_menu.h"

#include <utility>

namespace platform {

using ItemKind = MenuTemplateItem::Kind;

const char* KindName(MenuOperation::Kind kind) {
  switch (kind) {
    case MenuOperation::Kind::ModifyByCommand:
      return "ModifyByCommand";
    case MenuOperation::Kind::ModifyByPosition:
      return "ModifyByPosition";
    case MenuOperation::Kind::CheckByCommand:
      return "CheckByCommand";
    case MenuOperation::Kind::EnableByCommand:
      return "EnableByCommand";
    case MenuOperation::Kind::RemoveByPosition:
      return "RemoveByPosition";
    case MenuOperation::Kind::AppendItem:
      return "AppendItem";
    case MenuOperation::Kind::AppendSeparator:
      return "AppendSeparator";
  }
  return "?";
}

FakeMenu::FakeMenu(std::shared_ptr<MenuLog> log)
    : log_(log ? std::move(log) : std::make_shared<MenuLog>()) {}

FakeMenu::~FakeMenu() = default;

std::unique_ptr<FakeMenu> FakeMenu::FromTemplate(const MenuTemplate& resource,
                                                 std::shared_ptr<MenuLog> log) {
  auto bar = std::make_unique<FakeMenu>(std::move(log));
  // open[d] is the menu that receives items of depth d.
  std::vector<FakeMenu*> open = {bar.get()};
  for (const MenuTemplateItem& entry : resource) {
    if (entry.depth < 0 || entry.depth >= static_cast<int>(open.size())) return nullptr;
    open.resize(entry.depth + 1);
    FakeMenu* menu = open.back();
    Item item{entry.kind, entry.kind == ItemKind::Command ? entry.id : 0u,
              entry.text ? entry.text : ""};
    if (entry.kind == ItemKind::Popup) {
      item.popup = std::make_unique<FakeMenu>(bar->log_);
      item.popup->parent_ = menu;
      open.push_back(item.popup.get());
    }
    menu->items_.push_back(std::move(item));
  }
  return bar;
}

bool FakeMenu::InRange(int position) const {
  return position >= 0 && position < static_cast<int>(items_.size());
}

int FakeMenu::ItemCount() const { return static_cast<int>(items_.size()); }

Menu* FakeMenu::SubMenu(int position) { return Popup(position); }

FakeMenu* FakeMenu::Popup(int position) {
  return InRange(position) ? items_[position].popup.get() : nullptr;
}

bool FakeMenu::IsSeparator(int position) const {
  return InRange(position) && items_[position].kind == ItemKind::Separator;
}

bool FakeMenu::IsPopup(int position) const {
  return InRange(position) && items_[position].kind == ItemKind::Popup;
}

int64_t FakeMenu::IdAtPosition(int position) const {
  if (!InRange(position)) return -1;
  return items_[position].kind == ItemKind::Command ? items_[position].id : 0;
}

std::string FakeMenu::TextAtPosition(int position) const {
  return InRange(position) ? items_[position].text : std::string();
}

FakeMenu::Item* FakeMenu::FindCommand(uint32_t id) {
  return const_cast<Item*>(static_cast<const FakeMenu*>(this)->FindCommand(id));
}

const FakeMenu::Item* FakeMenu::FindCommand(uint32_t id) const {
  for (const Item& item : items_) {
    if (item.popup) {
      if (const Item* found = item.popup->FindCommand(id)) return found;
    } else if (item.kind == ItemKind::Command && item.id == id) {
      return &item;
    }
  }
  return nullptr;
}

std::string FakeMenu::TextOfCommand(uint32_t id) const {
  const Item* item = FindCommand(id);
  return item ? item->text : std::string();
}

bool FakeMenu::IsChecked(uint32_t id) const {
  const Item* item = FindCommand(id);
  return item && item->checked;
}

bool FakeMenu::IsEnabled(uint32_t id) const {
  const Item* item = FindCommand(id);
  return item && item->enabled;
}

bool FakeMenu::ModifyByCommand(uint32_t id, const std::string& text) {
  Item* item = FindCommand(id);
  if (item) item->text = text;
  Record(MenuOperation::Kind::ModifyByCommand, id, -1, text, false, item != nullptr);
  return item != nullptr;
}

bool FakeMenu::ModifyByPosition(int position, const std::string& text) {
  const bool ok = InRange(position);
  if (ok) {
    Item& item = items_[position];
    // A separator given a text becomes a plain item; a popup keeps its drop-down.
    if (item.kind == ItemKind::Separator) item.kind = ItemKind::Command;
    item.text = text;
  }
  Record(MenuOperation::Kind::ModifyByPosition, -1, position, text, false, ok);
  return ok;
}

bool FakeMenu::CheckByCommand(uint32_t id, bool checked) {
  Item* item = FindCommand(id);
  if (item) item->checked = checked;
  Record(MenuOperation::Kind::CheckByCommand, id, -1, "", checked, item != nullptr);
  return item != nullptr;
}

bool FakeMenu::EnableByCommand(uint32_t id, bool enabled) {
  Item* item = FindCommand(id);
  if (item) item->enabled = enabled;
  Record(MenuOperation::Kind::EnableByCommand, id, -1, "", enabled, item != nullptr);
  return item != nullptr;
}

bool FakeMenu::RemoveByPosition(int position) {
  const bool ok = InRange(position);
  // Record first, so the entry names the menu while the item still stands.
  Record(MenuOperation::Kind::RemoveByPosition, -1, position, "", false, ok);
  if (ok) items_.erase(items_.begin() + position);
  return ok;
}

bool FakeMenu::AppendItem(uint32_t id, const std::string& text) {
  items_.push_back(Item{ItemKind::Command, id, text});
  Record(MenuOperation::Kind::AppendItem, id, static_cast<int>(items_.size()) - 1, text, false,
         true);
  return true;
}

bool FakeMenu::AppendSeparator() {
  items_.push_back(Item{ItemKind::Separator, 0, ""});
  Record(MenuOperation::Kind::AppendSeparator, -1, static_cast<int>(items_.size()) - 1, "", false,
         true);
  return true;
}

std::string FakeMenu::Path() const {
  if (!parent_) return "";
  for (size_t i = 0; i < parent_->items_.size(); ++i) {
    if (parent_->items_[i].popup.get() == this) {
      const std::string above = parent_->Path();
      return (above.empty() ? "" : above + ".") + std::to_string(i);
    }
  }
  return "?";
}

void FakeMenu::Record(MenuOperation::Kind kind, int64_t id, int position, const std::string& text,
                      bool flag, bool ok) {
  log_->push_back(MenuOperation{kind, Path(), id, position, text, flag, ok});
}

std::string FakeMenu::Dump() const {
  std::string out;
  DumpInto(out, 0);
  return out;
}

void FakeMenu::DumpInto(std::string& out, int depth) const {
  for (const Item& item : items_) {
    out.append(2 * depth, ' ');
    if (item.kind == ItemKind::Separator) {
      out += "----\n";
      continue;
    }
    out += item.kind == ItemKind::Popup ? "[popup] " : "[" + std::to_string(item.id) + "] ";
    out += item.text;
    if (item.checked) out += " (checked)";
    if (!item.enabled) out += " (grayed)";
    out += "\n";
    if (item.popup) item.popup->DumpInto(out, depth + 1);
  }
}

}  // namespace platform
