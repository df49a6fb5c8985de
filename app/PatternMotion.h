// The choices that move a whole pattern, on the pattern pages: the first turn (starboard or port)
// beside the course, and a check box that lays the pattern in the drifting water of the drift
// applied in the drift section (drift_compensation.h). The library does the geometry; this only
// reads the controls into PatternParams and refuses what the library would bend out of shape.
#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <string>

#include "SearchAids.h"
#include "texts.h"
#include "vestrand.gpx.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QSettings;

class PatternMotion final : public QObject {
 public:
  // Adds the controls to the square, sector and parallel pages of the main panel `panel`, below
  // each page's course. `changed` is called when a choice changes (to redraw and remember).
  PatternMotion(int panel, QObject* parent, std::function<void()> changed);

  // Adds a first turn choice to another page (the trackline's) at `row` of `form`.
  void addFirstTurn(int page, QFormLayout* form, int row);

  QComboBox* firstTurn(int page) const;
  QCheckBox* compensation(int page) const;  // null on a page without one

  // Sets the first turn of `params` from `page` and, when the page's box is checked, the drift
  // and search speed.
  // @param[in] drift the drift applied last, null when none
  // @param[in] searchSpeed knots, the plan's search speed
  // @param[out] refusal when false is returned, why, in the window's language, the values named
  // @return false when the box is checked but no drift can be laid (none applied, or too fast)
  bool apply(int page, const AppliedDrift* drift, double searchSpeed,
             const vestrand::LanguageTexts& texts, vestrand::PatternParams& params,
             std::string& refusal) const;

  void relabel(const vestrand::LanguageTexts& texts);

  // Whether `key` is a setting kept here (one first turn per page) and `value` a sound value of
  // it.
  static bool keepsSetting(const QString& key, const QVariant& value);
  void remember(QSettings& settings) const;
  // Shows the remembered first turns; a value that is not sound is passed over.
  void restore(const QSettings& settings);

 private:
  struct PageControls {
    QComboBox* turn = nullptr;
    QCheckBox* compensate = nullptr;
  };
  QComboBox* makeTurnChoice(int page, QWidget* parent);

  std::map<int, PageControls> pages_;
  std::function<void()> changed_;
};
