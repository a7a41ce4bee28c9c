// The one generic modal property sheet: a tab per page, a control per property.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "platform/media.h"

class QTabWidget;

namespace platform {

// Gives a text of the pages (in English) in the interface's language.
using SheetTranslation = std::function<std::string(const std::string& english)>;

class QtPropertySheet : public QDialog {
 public:
  // Pages with nothing to set show only a Close button.
  QtPropertySheet(media::PropertyPages& pages, QWidget* owner,
                  const SheetTranslation& translate = {});

  // Sends every value the user changed since the last apply, then shows what the object
  // reads back (and which properties it lets be set now); false when the object refused
  // one of them.
  bool ApplyChanges();
  // Sends every change as it is made, as a camera's sheet does: Apply then keeps what is
  // applied, Cancel takes back only the changes made since the last Apply, OK keeps all.
  void SetLiveApply(bool live);
  // What Apply does to a live sheet: the values now applied are the ones Cancel keeps.
  void Commit();
  // Sends back the values of the last Apply, or those the sheet opened with (what Cancel
  // and the close box do).
  void RevertToOpened();
  // The editor of one property, for tests.
  QWidget* Editor(int page, int property) const;

 private:
  struct Row {
    int page;
    int property;
    media::Property::Kind kind;
    QWidget* editor;
    int32_t applied;
  };
  int32_t ValueOf(const Row& row) const;
  // Shows a value without it counting as the user's change.
  void ShowValue(Row& row, int32_t value);
  // Reads every value and inactive mark back from the object.
  void Refresh();

  media::PropertyPages& m_pages;
  std::vector<Row> m_rows;
  std::vector<int32_t> m_opened;
  bool m_live = false;
};

// Shows the sheet modally at (x, y) relative to the owner's top-left corner.
class QtPropertySheetHost : public media::PropertySheetHost {
 public:
  explicit QtPropertySheetHost(QWidget* owner) : m_owner(owner) {}
  void ShowPropertySheet(media::PropertyPages& pages, int x, int y) override;
  void SetTranslation(SheetTranslation translate) { m_translate = std::move(translate); }

 private:
  QWidget* m_owner;
  SheetTranslation m_translate;
};

}  // namespace platform
