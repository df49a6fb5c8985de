// Forecast files chosen in the window: wind files and current files (GRIB or NetCDF), each read
// once when chosen and listed with its extent and times, and the drift of a datum through them.
// A page that drifts (the drift group, the search plan page) holds one of these widgets.
//
// The reading and the drift are the library's (fields/forcing.h, search/forecast_drift.h); the
// widget only chooses, lists and hands them on. Positions in degrees, times in seconds since
// 1970-01-01T00:00:00 UTC, hours, knots.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "SearchAids.h"
#include "field.h"
#include "forcing.h"
#include "forecast_drift.h"
#include "plan_chart.h"
#include "plan_figure.h"
#include "plan_summary.h"
#include "texts.h"

class QCheckBox;
class QLabel;
class QPushButton;

// The colours of the preview's arrows: the wind's and the current's.
inline constexpr vestrand::Rgb kWindArrowColour{70, 90, 170};
inline constexpr vestrand::Rgb kCurrentArrowColour{0, 135, 125};

class ForecastFiles final : public QWidget {
 public:
  using Status = std::function<void(const std::string&)>;

  // @param[in] texts the window's texts; must outlive the widget
  // @param[in] status shows a text on the window's status line
  ForecastFiles(const vestrand::LanguageTexts& texts, Status status, QWidget* parent = nullptr);

  // Reads a file for the wind or the current and lists it; a file that cannot be read, or holds
  // no field of that quantity, is refused and the status line names it and says why.
  // @return whether the file was taken
  bool addFile(vestrand::fields::Quantity quantity, const std::string& path);
  // Forgets every file.
  void clear();
  bool empty() const { return wind_.empty() && current_.empty(); }
  // The list as shown, one line per file.
  std::string listText() const;

  // Whether the preview shows the wind and current of the files as arrows (a tick box).
  bool arrowsShown() const;
  void setArrowsShown(bool shown);

  // Arrows of the files' wind and current at `time` on a grid of 5 x 5 points over the chart's
  // box (bounds about the datum, nautical miles), each kind scaled to its strongest, for the
  // preview; and a summary row with both at the datum. Where a file has no value there is no
  // arrow.
  void addArrows(double datumLat, double datumLon, const vestrand::ChartBounds& bounds, double time,
                 vestrand::PlanExtras& extras, std::vector<vestrand::SummaryRow>& rows) const;

  // Called after a file was taken or the files cleared, or the arrows shown or hidden.
  void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }

  // The files as one forcing, with the constants that serve outside them where `policy` lets
  // them: the current always, the wind of an object class when `wind` is given.
  vestrand::fields::Forcing forcing(const vestrand::DriftVector& current, const ClassWind* wind,
                                    vestrand::fields::OutsidePolicy policy) const;

  // A drift through the files: the current from the current files (the constant current of
  // `drift` where the policy lets it serve outside them), and the leeway by hand of `drift`, or
  // with an object class its leeway from the wind files (the wind of the drift group where the
  // policy lets it serve outside them).
  struct Result {
    vestrand::ForecastDatums datums;
    std::string outside;  // Forcing::outsideText for a DriftFault::Outside
  };
  // @param[in] drift the drift group as read (last known position, hours, current, leeway)
  // @param[in] time of the last known position, seconds since the epoch
  Result drift(const AppliedDrift& drift, double time,
               vestrand::fields::OutsidePolicy policy) const;

  void relabel();

 private:
  void chooseFile(vestrand::fields::Quantity quantity);
  void showList();

  const vestrand::LanguageTexts& texts_;
  Status status_;
  std::function<void()> changed_;
  std::vector<vestrand::fields::Field> wind_, current_;
  QLabel* title_;
  QLabel* list_;
  QPushButton* addWind_;
  QPushButton* addCurrent_;
  QPushButton* clear_;
  QCheckBox* arrows_;
};
