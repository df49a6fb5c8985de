// Land in the window: which shorelines the preview and the briefing draw and the land check uses
// (a menu of the resolutions, remembered by the window), the land layer of the preview kept while
// the chart does not move, and the warnings of a pattern run over land, in the window's language.
//
// The window computes nothing of its own here: the choice is the command line's (an area's
// extent through land::detailForExtent and land::Atlas::choose), the layer is addLandLayer's and
// the warnings are LandCheckSink's (plan_land.h).
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "land_mask.h"
#include "plan_figure.h"
#include "plan_summary.h"
#include "texts.h"
#include "vestrand.gpx.h"

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

// The window's land setting: automatic (the resolution fit for the pattern's extent, as the
// command line chooses it), none, or one resolution by name. The values are remembered.
enum class LandSetting : int { Automatic = 0, None = 1, Crude, Low, Intermediate, High, Full };
inline constexpr int kLandSettings = 7;

// The shorelines for a setting and a pattern whose box is `extentNm` wide (nautical miles, >= 0).
// Null for None, when none is installed, for a resolution not installed, or for a file that
// cannot be read; `note` then says why in the window's language (empty for None).
std::shared_ptr<const vestrand::land::LandMask> ChooseWindowLand(
    LandSetting setting, double extentNm, const vestrand::LanguageTexts& texts, std::string& note);

// The warnings of a pattern sailed over `mask`: a turning point on land, a leg across land, the
// command line's texts in the window's language, at most 20 and one saying how many more.
std::vector<std::string> LandWarnings(const vestrand::PatternParams& params,
                                      const vestrand::PatternNames& names,
                                      const vestrand::land::LandMask& mask,
                                      const vestrand::LanguageTexts& texts);

// The land of a pattern as the command line finds it: the shorelines for the pattern's box (its
// larger side) and the warnings over them.
struct PatternLand {
  std::shared_ptr<const vestrand::land::LandMask> mask;  // null: no land drawn or checked
  std::string note;                                      // why not, when null; else empty
  std::vector<std::string> warnings;                     // LandWarnings
};
PatternLand CheckPatternLand(LandSetting setting, const vestrand::PatternParams& params,
                             const vestrand::PatternNames& names,
                             const vestrand::PlanSummary& summary,
                             const vestrand::LanguageTexts& texts);

// The land layer of a figure, made again only when the shorelines, the datum or the figure's
// frame changed: typing in a page or redrawing keeps the chart where it is.
class LandLayerCache {
 public:
  // Fills figure.land for `mask` (none: no land) on the chart centred on `datum`.
  void addTo(vestrand::PlanFigure& figure, vestrand::GeoPoint datum,
             const std::shared_ptr<const vestrand::land::LandMask>& mask);
  // How often the layer was made; a test sees the cache keep it.
  long long made() const { return made_; }

 private:
  std::shared_ptr<const vestrand::land::LandMask> mask_;
  vestrand::GeoPoint datum_;
  vestrand::FigureFrame frame_;
  vestrand::FigureLand land_;
  bool valid_ = false;
  long long made_ = 0;
};

// The menu "Land" of the menu bar: automatic, none and the five resolutions, one checked; those
// not installed are disabled.
class LandMenu final : public QObject {
 public:
  // @param[in] changed called after the operator chose another setting
  LandMenu(QMenuBar* bar, std::function<void()> changed, QObject* parent);

  LandSetting setting() const { return setting_; }
  // Checks `setting` without calling `changed`.
  void setSetting(LandSetting setting);
  void relabel(const vestrand::LanguageTexts& texts);
  QMenu* menu() const { return menu_; }
  QAction* action(LandSetting setting) const;

 private:
  QMenu* menu_;
  QActionGroup* group_;
  std::vector<QAction*> actions_;  // by LandSetting
  LandSetting setting_ = LandSetting::Automatic;
  std::function<void()> changed_;
};
