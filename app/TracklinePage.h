// The trackline page: the search of an overdue vessel's intended route (trackline.h). It is the
// pattern table's trackline entry shown as a page of the tab control: the route's points, one
// position a line (typed or pasted, in any form the position reader takes, or "LAT,LON"), the
// track spacing, return or not, the number of units and the first turn. What it describes goes
// through the same commands, preview, summary and briefing as the other pages.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "texts.h"
#include "vestrand.gpx.h"

class PatternMotion;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QFormLayout;

// One point of the route as the page reads a line: "LAT,LON" with one comma, each coordinate in
// any form of a coordinate, or a whole position in any form the position reader takes.
// @return false when the line is neither
bool ReadRoutePoint(const std::string& line, vestrand::TrackPoint& point);

class TracklinePage final : public QObject {
 public:
  // Appends the page to `tabs`. `changed` is called when a field changes; `write` by the page's
  // command button.
  TracklinePage(QTabWidget* tabs, PatternMotion* motion, std::function<void()> changed,
                std::function<void()> write);

  // The page's index in the tab control.
  int index() const { return index_; }

  // The search the page describes; blank lines are skipped.
  // @param[out] refusal why it describes none, in the window's language, the line or value named
  bool read(const vestrand::LanguageTexts& texts, vestrand::PatternParams& params,
            std::string& refusal) const;

  void relabel(const vestrand::LanguageTexts& texts);

  QPlainTextEdit* route() const { return route_; }
  QDoubleSpinBox* spacing() const { return spacing_; }
  QCheckBox* returning() const { return return_; }
  QSpinBox* units() const { return units_; }
  QPushButton* command() const { return command_; }

 private:
  QTabWidget* tabs_;
  PatternMotion* motion_;
  int index_ = -1;
  QLabel* text_ = nullptr;
  QLabel* routeLabel_ = nullptr;
  QLabel* spacingLabel_ = nullptr;
  QLabel* unitsLabel_ = nullptr;
  QPlainTextEdit* route_ = nullptr;
  QDoubleSpinBox* spacing_ = nullptr;
  QCheckBox* return_ = nullptr;
  QSpinBox* units_ = nullptr;
  QPushButton* command_ = nullptr;
};
