// The search plan page: the last known position and time, the leeway (an object class and the
// wind, or by hand), the current, the errors X and Y, the search conditions and a table of 1 to
// 8 units give a search plan (search_plan.h) that the window's plan view shows, "Write plan"
// writes as `vestrand-cli plan` does, and the briefing carries.
//
// "Simulate" drifts a cloud of particles (drift_run.h) on a thread of its own, the page showing
// its progress and able to cancel it; the plan is then made over the cloud and the preview shows
// its probability map. "Searched" marks the plan's routes as sailed without success from a start
// time; the case is simulated again with every search so marked, and the next plan starts from
// the map they leave.
//
// Land is left out of the plan as the command line leaves it (SearchPlanInput::land): the
// shorelines the window's land setting gives for the extent of the plan made without land.
//
// The page computes nothing itself: it reads its fields, refuses what the command line refuses,
// naming the field in the window's language, and calls the library.
#pragma once

#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ForecastFiles.h"
#include "ObjectChooser.h"
#include "WindowLand.h"
#include "drift_run.h"
#include "plan_figure.h"
#include "plan_summary.h"
#include "probability_map.h"
#include "search_plan.h"
#include "texts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTabWidget;
class QThread;

// What the fields say, checked.
struct PlanPageInput {
  vestrand::SearchPlanInput plan;
  double lat = 0.0, lon = 0.0;    // the last known position, degrees
  double hours = 0.0;             // from the incident to the datum
  std::optional<double> seconds;  // the time of the incident, seconds since 1970; none if empty
  const vestrand::LeewayClass* objectClass = nullptr;  // none: the leeway by hand
  double windFrom = 0.0, windSpeed = 0.0;              // degrees true, knots
  vestrand::DriftVector current, leeway;               // leeway: by hand
};

// What a simulation left: the map of the cloud at the middle of the next search period and the
// plan made over it, with the scores of the searches marked.
struct PlanSimulation {
  bool cancelled = false;
  std::size_t particles = 0;
  double mapSeconds = 0.0;  // the map's time
  vestrand::drift::ProbabilityMap map;
  std::vector<vestrand::drift::OutlineRing> outline50, outline90;
  std::vector<vestrand::drift::SearchScore> searches;
  double cumulativePos = 0.0;
  std::optional<vestrand::SearchPlan> plan;  // none when the cloud gave no plan
  // With land: the particles stranded on the shore and their share of the weight. The map keeps
  // them; the plan leaves them out.
  vestrand::drift::Stranding stranding;
  double strandedShare = 0.0;
  // Through forecast files: where a particle left them or found no wind (the cloud is then
  // half-drifted and there is no map).
  vestrand::drift::ForcingFault fault;
  std::string outside;  // the files' extent and times for a particle outside them
};

class SearchPlanPage final : public QWidget {
 public:
  // The page of the window's texts, shown in status and refusals through `status`.
  using Status = std::function<void(const std::string&)>;
  SearchPlanPage(const vestrand::LanguageTexts& texts, QWidget* parent = nullptr);
  ~SearchPlanPage() override;

  // Reads the fields. @param[out] refusal the field and why, in the window's language
  std::optional<PlanPageInput> read(std::string& refusal) const;
  // Makes the plan of the fields, over the simulated map when there is one.
  // @param[out] refusal why there is none
  std::optional<vestrand::SearchPlan> makePlan(std::string& refusal);

  // The plan's drawing, extras (datums, area, strips, map) and summary rows; `stem` names routes.
  void drawPlan(const vestrand::SearchPlan& plan, const std::string& stem,
                vestrand::PlanDrawing& drawing, vestrand::PlanExtras& extras,
                std::vector<vestrand::SummaryRow>& rows) const;

  // The units' table: rows added and removed, 1 to kMaxSearchUnits.
  bool addUnit();
  bool removeUnit();
  int unitCount() const;

  void relabel();

  // The window's land setting for the plans made from now on (automatic until set).
  void setLand(LandSetting setting) { landSetting_ = setting; }
  // The shorelines the last plan left out; null when it was planned as if all were water.
  const std::shared_ptr<const vestrand::land::LandMask>& landMask() const { return landMask_; }

  // The simulation in the background. simulate() refuses while one runs or the fields are
  // refused; `status` hears the outcome.
  bool simulate(std::string& refusal);
  void cancelSimulation();
  bool simulating() const { return worker_ != nullptr; }
  // Waits for the running simulation and takes its outcome (for a caller that cannot wait for
  // the event loop, and for tests).
  void finishSimulation();
  const std::optional<PlanSimulation>& simulation() const { return simulation_; }
  // Marks the routes of the plan shown as sailed without success from the start field's time and
  // simulates again. @param[out] refusal why not
  bool markSearched(std::string& refusal);
  const std::vector<vestrand::drift::SearchEffort>& searches() const { return searches_; }

  // How many particles a simulation draws (10,000 unless a test asks for fewer), and its seed.
  void setParticles(std::size_t count) { particles_ = count; }
  // Called from the worker with its progress, before the page hears of it (tests cancel here).
  void setProgressHook(std::function<void(double)> hook) { progressHook_ = std::move(hook); }

  // The wind and current files the datums and the simulation drift through.
  ForecastFiles* forecastFiles() const { return files_; }
  // Whether the constants of the page serve outside the files (a tick box).
  void setOutsideConstant(bool constant);

  // Called when the plan may have changed, and with a simulation's outcome.
  void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }
  void setStatus(Status status) { status_ = std::move(status); }

 private:
  void showLeewayChoice();
  void startWorker(const PlanPageInput& input);
  void tookOutcome();
  double fieldNumber(const QLineEdit* field, double low, double high, bool& ok,
                     std::string& refusal, bool emptyIsZero) const;
  std::string refuse(const QLineEdit* field, const std::string& reason) const;
  // The files with the page's constants, as the outside box says.
  vestrand::fields::Forcing forcing(const PlanPageInput& in) const;
  // The datums of `in` drifted through the files instead of with one vector.
  bool driftThroughFiles(PlanPageInput& in, std::string& refusal) const;

  const vestrand::LanguageTexts& texts_;
  std::vector<std::pair<QLabel*, vestrand::Text>> labels_;
  QComboBox* leewayMode_ = nullptr;
  QComboBox* conditions_ = nullptr;
  ObjectChooser* chooser_ = nullptr;
  QTableWidget* units_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* write_ = nullptr;
  QPushButton* simulate_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* searched_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QWidget* byClass_ = nullptr;
  QWidget* byHand_ = nullptr;
  ForecastFiles* files_ = nullptr;
  QCheckBox* outside_ = nullptr;

  LandSetting landSetting_ = LandSetting::Automatic;
  std::shared_ptr<const vestrand::land::LandMask> landMask_;
  std::string landNote_;  // why no land was left out, in the window's language; else empty
  std::size_t particles_ = 10000;
  std::vector<vestrand::drift::SearchEffort> searches_;
  std::optional<PlanSimulation> simulation_;
  std::optional<vestrand::SearchPlan> shownPlan_;
  QThread* worker_ = nullptr;
  std::shared_ptr<std::atomic<bool>> cancel_flag_;
  std::shared_ptr<PlanSimulation> outcome_;
  std::function<void(double)> progressHook_;
  std::function<void()> changed_;
  Status status_;

 public:
  // The button that writes the plan, for the window to connect.
  QPushButton* writeButton() const { return write_; }
  // The plan last made (refresh through makePlan).
  const std::optional<vestrand::SearchPlan>& shownPlan() const { return shownPlan_; }
};
