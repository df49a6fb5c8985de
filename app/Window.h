// The window as one object: it owns what the window knows (its texts, the drift applied, the
// output folder, the remembered settings) and what it adds to the loaded layout (the plan view,
// the datum entry, the menu bar and its shortcuts, help and About), and runs the commands.
//
// The historical callbacks stay the seam between the layout and this object: a callback finds the
// window of its panel (Window::of) and calls a command. The window lives as long as the main
// panel's widget, which owns it; nothing of it is global.
//
// How to add to the window:
//  - a control: give it an object name in the layout (resources/Vestrand.uir) and find it with
//    widget<T>(name); a control the historical callbacks do not read needs no control number;
//  - its texts: append lines to the list in language/texts.h and to the five language files, and
//    add a row to RelabelLayoutTexts (WindowTexts.cpp) for a label or tool tip of the layout;
//  - a page: add it to the layout's tab control "searchPages" inside a scroll area, as the search
//    pages are, and let refresh() and the commands learn what it shows;
//  - a command: a method here, an action in the menu bar (buildMenus) and, if the layout has a
//    button for it, a connection to the button's clicked signal.
#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "SearchAids.h"
#include "land_mask.h"
#include "leg_table.h"
#include "texts.h"

class DatumEntry;
class PatternMotion;
class DriftObjectChoice;
class ForecastFiles;
class LandMenu;
enum class LandSetting : int;
class PlanView;
class SearchPlanPage;
class PlotterLink;
class TracklinePage;
class QAction;
class QMenu;
class QMenuBar;
class QSettings;

// How a window starts.
struct WindowSetup {
  // The INI file that keeps the settings between runs; empty: the user's own settings file.
  std::string settingsFile;
};

class Window final : public QObject {
 public:
  // Makes the window of a loaded main panel and shows its remembered settings: the language,
  // the output folder, the files and points per route, the search speed, the sweep width, the
  // last datum and the window's geometry. A setting that cannot be read keeps its default.
  // @return the window, owned by the panel's widget; null when the panel has no widget
  static Window* install(int panel, const WindowSetup& setup = {});
  // The window of a panel or of one of its tab pages; null if none.
  static Window* of(int panel);

  ~Window() override;

  int panel() const { return panel_; }
  QWidget* form() const { return form_; }
  const vestrand::LanguageTexts& texts() const { return texts_; }
  PlanView* planView() const { return planView_; }
  QMenuBar* menuBar() const { return menuBar_; }
  LandMenu* landMenu() const { return landMenu_; }
  ForecastFiles* forecastFiles() const { return forecast_; }
  DriftObjectChoice* driftObject() const { return driftObject_; }
  // The land setting of the menu (WindowLand.h); automatic without the menu.
  LandSetting landSetting() const;
  QDialog* helpDialog() const { return help_; }
  QDialog* aboutDialog() const { return about_; }

  // A widget of the layout by its object name; null when the layout has none of that kind.
  template <typename T>
  T* widget(const char* name) const {
    return form_ != nullptr ? form_->findChild<T*>(name) : nullptr;
  }

  // The index of the tab page shown (MainPanel.h's SearchPage).
  int shownPage() const;

  // Commands. Each reports on the status line, and a failure also in a message.
  // Writes the files of a search page (kSquarePage, kSectorPage or kParallelPage) into the output
  // folder, asking before it replaces a file of the same name.
  void writePage(int page);
  // The shown page's command; on the start page, a hint.
  void writeShownPage();
  // Saves the briefing of the shown page (Briefing.h) into the output folder.
  void saveBriefing();
  // Applies the drift group to the datum (SearchAids.h); a refusal changes nothing.
  void applyDrift();
  // Reads a language file into the historical table and the window's texts and relabels
  // everything; `fileName` as the language callbacks name it ("french.lrf").
  void chooseLanguage(const char* fileName);
  void openOutputFolder();
  void chooseOutputFolder();
  // Sends the files to `folder` from now on. @return false when it is no folder
  bool setOutputFolder(const std::string& folder);
  const std::string& outputFolder() const { return outputFolder_; }
  void showHelp();
  void showAbout();
  // Remembers the settings and ends the event loop.
  void quit();
  // Opens the dialog that sends the shown page's routes to a plotter (PlotterLink.h).
  void sendToPlotter();

  PatternMotion* patternMotion() const { return motion_; }
  TracklinePage* tracklinePage() const { return trackline_; }
  PlotterLink* plotterLink() const { return plotter_; }

  // Rereads the datum, the shown page and the plan's settings and redraws the plan view.
  void refresh();
  void showStatus(const std::string& text);

  // The drift applied last, or null when none was or the datum fields no longer hold its datum.
  const AppliedDrift* currentDrift() const;

  // Remembers every setting now (they are also remembered as they change).
  void remember();

  // The search plan page (SearchPlanPage.h, WindowSearchPlan.cpp), the last of the search pages;
  // null when the layout has none.
  SearchPlanPage* searchPlanPage() const { return searchPlan_; }
  // Writes the search plan's files into the output folder, as `vestrand-cli plan` writes them.
  void writeSearchPlan();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Window(int panel, QWidget* form, const WindowSetup& setup);

  void arrangeLayout();
  // The first turn and drift controls, the trackline page and the plotter link.
  void addPatternControls();
  // Reads a page with its first turn and drift; false and an empty problem when it describes no
  // pattern, false and the reason in the window's language when its choices are refused.
  bool readPage(int page, vestrand::PatternParams& params, std::string& problem) const;
  // Reads a page for writing or sending, with every check the files need.
  bool checkPage(int page, vestrand::PatternParams& params, std::string& stem,
                 std::string& problem);
  void shareTheWorkspace();
  void buildMenus();
  void listen();
  void restore();
  void relabel();
  void updateDatumTitle();
  void reportLanguageFile(const char* fileName);
  // Reads a page for writing; refusals go to ReportFailure with `failure`.
  bool readPageToWrite(int page, vestrand::Text failure, vestrand::PatternParams& params,
                       std::string& stem);
  // Whether the operator lets the files at `paths` that exist be replaced; true when none does.
  bool mayReplace(const std::vector<std::string>& paths);
  void reportFailure(vestrand::Text failure, const std::string& reason);
  // Drifts `d` through the forecast files from the date and time fields' time, asking before the
  // constants serve outside the files. @return false, with the status line saying why, for none
  bool driftThroughFiles(AppliedDrift& d);
  // The time of the date and time fields (the last known position's), UTC; none when not a time.
  std::optional<double> lastKnownSeconds() const;
  // Redraws with the land setting the operator chose, remembers it and says what is drawn.
  void chooseLand();
  // "; warning; warning" of a pattern over land, for the status line; empty for none.
  // @param[out] mask when not null, the shorelines used (null for none)
  std::string landWarningsText(
      const vestrand::PatternParams& params, const vestrand::PatternNames& names,
      std::shared_ptr<const vestrand::land::LandMask>* mask = nullptr) const;
  // The search start of the briefing from the start field; nothing when empty.
  bool readStart(std::optional<vestrand::ClockTime>& start, std::string& refusal) const;

  void installSearchPlan();
  bool searchPlanShown() const;
  void refreshSearchPlan();
  void relabelSearchPlan();
  void saveSearchPlanBriefing();

  int panel_;
  QWidget* form_;
  SearchPlanPage* searchPlan_ = nullptr;
  vestrand::LanguageTexts texts_;
  std::unique_ptr<QSettings> settings_;
  std::string outputFolder_;
  std::optional<AppliedDrift> applied_;
  bool datumEntered_ = false;
  bool restoring_ = false;
  bool shared_ = false;         // the workspace was shared between pages and plan once
  bool splitRestored_ = false;  // a remembered share was restored

  PlanView* planView_ = nullptr;
  DatumEntry* datumEntry_ = nullptr;
  QMenuBar* menuBar_ = nullptr;
  LandMenu* landMenu_ = nullptr;
  ForecastFiles* forecast_ = nullptr;
  DriftObjectChoice* driftObject_ = nullptr;  // the leeway by hand or an object class
  QPointer<QDialog> help_;
  QPointer<QDialog> about_;
  PatternMotion* motion_ = nullptr;
  TracklinePage* trackline_ = nullptr;
  PlotterLink* plotter_ = nullptr;
  struct Actions;
  std::unique_ptr<Actions> actions_;
};
