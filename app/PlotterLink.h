// Send to plotter: the shown page's routes as NMEA 0183 WPL and RTE sentences (nmea.h) over a
// serial port or the network (nmea_link.h), the target chosen in a small dialog and remembered.
// The sentences are those the command line's nmea subcommand sends for the page's GPX file.
// Sending runs on a thread of its own, since a long route at 4800 baud takes minutes; the result
// comes back to the status line.
#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "nmea.h"
#include "texts.h"
#include "vestrand.gpx.h"

class QDialog;
class QSettings;
class QWidget;

// The routes of a pattern as its GPX file holds them: the coordinates at the file's nine
// decimals, the points numbered through the file.
std::vector<vestrand::NmeaRoute> PatternNmeaRoutes(const vestrand::PatternParams& params,
                                                   const vestrand::PatternNames& names);

class PlotterLink final : public QObject {
 public:
  // The settings key of the remembered target.
  static constexpr char kTargetKey[] = "plotterTarget";

  // @param[in] routes gives the routes to send, or false with the reason in the window's language
  // @param[in] status shows a text on the status line
  PlotterLink(QWidget* parent, QSettings& settings, const vestrand::LanguageTexts& texts,
              std::function<bool(std::vector<vestrand::NmeaRoute>&, std::string&)> routes,
              std::function<void(const std::string&)> status);
  // Stops a sending under way after its sentence and waits for it.
  ~PlotterLink() override;

  // Shows the dialog with the remembered target.
  void ask();
  // Sends the routes to `target` ("udp:HOST:PORT", "tcp:HOST:PORT" or a serial device) and
  // remembers it; the result goes to the status line when the sending ends.
  void send(const std::string& target);

  QDialog* dialog() const { return dialog_; }
  bool busy() const { return busy_; }
  // Milliseconds between sentences (100 by default, as the command line's).
  void setPause(int milliseconds) { pauseMs_ = milliseconds; }
  void relabel();

 private:
  void finish(bool ok, const std::string& result);

  QWidget* parent_;
  QSettings& settings_;
  const vestrand::LanguageTexts& texts_;
  std::function<bool(std::vector<vestrand::NmeaRoute>&, std::string&)> routes_;
  std::function<void(const std::string&)> status_;
  QPointer<QDialog> dialog_;
  int pauseMs_ = 100;
  bool busy_ = false;
  std::atomic<bool> stop_ = false;
  std::thread worker_;
};
