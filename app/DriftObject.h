// The leeway choice of the drift group: the leeway by hand (the group's own fields) or an object
// class with the wind, which gives a left, a right and a downwind datum.
//
// Directions in degrees true, the wind the direction it blows from; speeds in knots.
#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ObjectChooser.h"
#include "SearchAids.h"
#include "texts.h"

class QComboBox;
class QLabel;
class QLineEdit;

class DriftObjectChoice : public QWidget {
 public:
  DriftObjectChoice(const vestrand::LanguageTexts& texts, QWidget* parent);

  // True when the object class is chosen rather than the leeway by hand.
  bool byClass() const;
  // Reads the class and the wind: wind from -360 to 360 degrees, speed 0 to kMaxWindSpeed knots.
  // @param[out] refusal when nothing is returned, the field refused and why, in the window's
  //   language
  std::optional<ClassWind> read(std::string& refusal) const;

  ObjectChooser* chooser() const { return chooser_; }
  void relabel();

 private:
  double number(const QLineEdit* field, vestrand::Text label, double low, double high, bool& ok,
                std::string& refusal) const;

  const vestrand::LanguageTexts& texts_;
  QComboBox* mode_ = nullptr;
  QWidget* byClass_ = nullptr;
  ObjectChooser* chooser_ = nullptr;
  QLineEdit* windFrom_ = nullptr;
  QLineEdit* windSpeed_ = nullptr;
  std::vector<std::pair<QLabel*, vestrand::Text>> labels_;
};
