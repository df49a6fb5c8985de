// The chooser of a search object's class: a filter field and the list of the classes whose key
// and description hold every word typed. The search plan page and the drift group share it.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "leeway.h"

class QLineEdit;
class QListWidget;

// The fastest wind a class's leeway is worked for, knots: beyond any wind a search is flown in
// (as the command line's --wind-speed).
inline constexpr double kMaxWindSpeed = 100.0;

// The classes whose key and description hold every blank-separated word of `words`, in any case
// and order, in the table's order; all of them for no word.
std::vector<const vestrand::LeewayClass*> MatchingClasses(const std::string& words);

class ObjectChooser : public QWidget {
 public:
  // @param[in] filterName, listName object names of the filter field and the list (tests and
  //   refusals find them by these)
  ObjectChooser(const char* filterName, const char* listName, QWidget* parent);

  // The class chosen in the list; nullptr when the filter leaves none.
  const vestrand::LeewayClass* chosen() const;
  // Chooses the class with this key when the filter shows it. @return false when it does not
  bool choose(const std::string& key);
  QLineEdit* filter() const { return filter_; }
  QListWidget* list() const { return list_; }
  // Called when the class chosen may have changed.
  void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }

 private:
  void fill();

  QLineEdit* filter_ = nullptr;
  QListWidget* list_ = nullptr;
  std::function<void()> changed_;
};
