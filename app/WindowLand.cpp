#include "WindowLand.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <utility>

#include "land_atlas.h"
#include "plan_land.h"

using vestrand::Text;
namespace land = vestrand::land;

namespace {

constexpr Text kSettingTexts[kLandSettings] = {
    Text::LandAutomatic,    Text::LandNone, Text::LandCrude, Text::LandLow,
    Text::LandIntermediate, Text::LandHigh, Text::LandFull};

land::Resolution ResolutionOf(LandSetting setting) {
  return land::kResolutions[static_cast<std::size_t>(setting) -
                            static_cast<std::size_t>(LandSetting::Crude)];
}

bool SameFrame(const vestrand::FigureFrame& a, const vestrand::FigureFrame& b) {
  return a.scale == b.scale && a.centre.x == b.centre.x && a.centre.y == b.centre.y &&
         a.chartArea.left == b.chartArea.left && a.chartArea.top == b.chartArea.top &&
         a.chartArea.right == b.chartArea.right && a.chartArea.bottom == b.chartArea.bottom;
}

}  // namespace

std::shared_ptr<const land::LandMask> ChooseWindowLand(LandSetting setting, double extentNm,
                                                       const vestrand::LanguageTexts& texts,
                                                       std::string& note) {
  note.clear();
  if (setting == LandSetting::None) return nullptr;
  const land::Atlas& atlas = land::Atlas::standard();
  std::optional<land::Resolution> resolution;
  if (setting == LandSetting::Automatic) {
    resolution = atlas.choose(land::detailForExtent(extentNm));
    if (!resolution) {
      note = texts.get(Text::LandNoneInstalled);
      return nullptr;
    }
  } else {
    resolution = ResolutionOf(setting);
    if (!atlas.installed(*resolution)) {
      note = texts.get(Text::LandNotInstalled,
                       {land::resolutionName(*resolution), land::resolutionPackage(*resolution)});
      return nullptr;
    }
  }
  try {
    return atlas.mask(*resolution);
  } catch (const land::DataError& e) {
    note = texts.get(Text::LandUnreadable, {e.what()});
    return nullptr;
  }
}

std::vector<std::string> LandWarnings(const vestrand::PatternParams& params,
                                      const vestrand::PatternNames& names,
                                      const land::LandMask& mask,
                                      const vestrand::LanguageTexts& texts) {
  vestrand::LandCheckSink check(mask);
  vestrand::sailPattern(params, names, check);
  vestrand::LandWarningTexts words;
  // Without values the placeholders stay for landWarningTexts to fill.
  words.turningPoint = texts.get(Text::LandTurningPoint);
  words.leg = texts.get(Text::LandLeg);
  words.more = texts.get(Text::LandMore);
  return vestrand::landWarningTexts(check.warnings(), 20, words);
}

PatternLand CheckPatternLand(LandSetting setting, const vestrand::PatternParams& params,
                             const vestrand::PatternNames& names,
                             const vestrand::PlanSummary& summary,
                             const vestrand::LanguageTexts& texts) {
  PatternLand result;
  result.mask =
      ChooseWindowLand(setting, std::max(summary.boxLength, summary.boxWidth), texts, result.note);
  if (result.mask) result.warnings = LandWarnings(params, names, *result.mask, texts);
  return result;
}

void LandLayerCache::addTo(vestrand::PlanFigure& figure, vestrand::GeoPoint datum,
                           const std::shared_ptr<const land::LandMask>& mask) {
  if (!valid_ || mask != mask_ || datum.lat != datum_.lat || datum.lon != datum_.lon ||
      !SameFrame(figure.frame, frame_)) {
    land_ = vestrand::FigureLand{};
    if (mask) {
      addLandLayer(figure, datum, *mask);
      land_ = figure.land;
      ++made_;
    }
    mask_ = mask;
    datum_ = datum;
    frame_ = figure.frame;
    valid_ = true;
  }
  figure.land = land_;
}

LandMenu::LandMenu(QMenuBar* bar, std::function<void()> changed, QObject* parent)
    : QObject(parent),
      menu_(bar->addMenu(QString())),
      group_(new QActionGroup(this)),
      changed_(std::move(changed)) {
  menu_->setObjectName("landMenu");
  group_->setExclusive(true);
  const land::Atlas& atlas = land::Atlas::standard();
  for (int i = 0; i < kLandSettings; ++i) {
    const auto setting = static_cast<LandSetting>(i);
    auto* action = new QAction(menu_);
    action->setObjectName(QString("landAction%1").arg(i));
    action->setCheckable(true);
    action->setChecked(setting == setting_);
    if (setting >= LandSetting::Crude) action->setEnabled(atlas.installed(ResolutionOf(setting)));
    group_->addAction(action);
    menu_->addAction(action);
    if (setting == LandSetting::None) menu_->addSeparator();
    connect(action, &QAction::triggered, this, [this, setting] {
      if (setting == setting_) return;
      setting_ = setting;
      if (changed_) changed_();
    });
    actions_.push_back(action);
  }
}

void LandMenu::setSetting(LandSetting setting) {
  setting_ = setting;
  actions_[static_cast<std::size_t>(setting)]->setChecked(true);
}

QAction* LandMenu::action(LandSetting setting) const {
  return actions_[static_cast<std::size_t>(setting)];
}

void LandMenu::relabel(const vestrand::LanguageTexts& texts) {
  // Menus take '&' for the mark of a shortcut letter; a language text shows it as typed.
  menu_->setTitle(QString::fromStdString(texts.get(Text::LandMenu)).replace('&', "&&"));
  for (int i = 0; i < kLandSettings; ++i) {
    actions_[static_cast<std::size_t>(i)]->setText(
        QString::fromStdString(texts.get(kSettingTexts[i])).replace('&', "&&"));
  }
}
