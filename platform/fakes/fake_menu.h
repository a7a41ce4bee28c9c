// An in-memory menu bar for tests: window-system menu semantics and a log of every change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui.h"

namespace platform {

// One call that changes a menu, as the caller made it (failed calls included).
struct MenuOperation {
  enum class Kind {
    ModifyByCommand,
    ModifyByPosition,
    CheckByCommand,
    EnableByCommand,
    RemoveByPosition,
    AppendItem,
    AppendSeparator,
  };
  Kind kind;
  std::string menu;  // which menu: "" the bar, "4" its popup at 4, "4.1" a popup inside that
  int64_t id;        // command id; -1 when the call names a position
  int position;      // -1 when the call names a command
  std::string text;  // new text (modify, append)
  bool flag;         // requested checked / enabled state
  bool ok;           // what the call returned
};
using MenuLog = std::vector<MenuOperation>;
const char* KindName(MenuOperation::Kind kind);

class FakeMenu : public Menu {
 public:
  // Menus of one tree share one log; pass a log to share it with other menus.
  explicit FakeMenu(std::shared_ptr<MenuLog> log = nullptr);
  ~FakeMenu() override;

  // Builds a tree from a resource description; null when the nesting is malformed
  // (an item deeper than one level below a popup). Building is not logged.
  static std::unique_ptr<FakeMenu> FromTemplate(const MenuTemplate& resource,
                                                std::shared_ptr<MenuLog> log = nullptr);

  int ItemCount() const override;
  Menu* SubMenu(int position) override;
  int64_t IdAtPosition(int position) const override;
  std::string TextAtPosition(int position) const override;
  std::string TextOfCommand(uint32_t id) const override;
  bool IsChecked(uint32_t id) const override;
  bool IsEnabled(uint32_t id) const override;

  bool ModifyByCommand(uint32_t id, const std::string& text) override;
  bool ModifyByPosition(int position, const std::string& text) override;
  bool CheckByCommand(uint32_t id, bool checked) override;
  bool EnableByCommand(uint32_t id, bool enabled) override;
  bool RemoveByPosition(int position) override;
  bool AppendItem(uint32_t id, const std::string& text) override;
  bool AppendSeparator() override;

  // Test helpers.
  FakeMenu* Popup(int position);
  bool IsSeparator(int position) const;
  bool IsPopup(int position) const;
  const MenuLog& Log() const { return *log_; }
  void ClearLog() { log_->clear(); }
  const std::shared_ptr<MenuLog>& SharedLog() const { return log_; }
  // The tree as indented text, one item a line: "[32771] text", "[popup] text",
  // "----" for separators, with " (checked)" and " (grayed)" marks.
  std::string Dump() const;

 private:
  struct Item {
    Item(MenuTemplateItem::Kind k, uint32_t i, std::string t)
        : kind(k), id(i), text(std::move(t)) {}
    MenuTemplateItem::Kind kind;
    uint32_t id;
    std::string text;
    bool checked = false;
    bool enabled = true;
    std::unique_ptr<FakeMenu> popup;
  };

  bool InRange(int position) const;
  // Depth-first in position order, descending into each popup where it stands.
  Item* FindCommand(uint32_t id);
  const Item* FindCommand(uint32_t id) const;
  std::string Path() const;
  void Record(MenuOperation::Kind kind, int64_t id, int position, const std::string& text,
              bool flag, bool ok);
  void DumpInto(std::string& out, int depth) const;

  std::vector<Item> items_;
  std::shared_ptr<MenuLog> log_;
  FakeMenu* parent_ = nullptr;
};

}  // namespace platform
