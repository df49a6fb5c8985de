#include "PlotterLink.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <cstdlib>

#include "gpx.h"
#include "nmea_link.h"

using vestrand::Text;

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// A coordinate as the GPX file keeps it, so that the sentences are those of the file.
double AsWritten(double value) {
  char text[kCoordinateTextSize];
  FormatCoordinate(value, text);
  return std::strtod(text, nullptr);
}

class RouteCollector final : public vestrand::PatternSink {
 public:
  void startRoute(const char* name) override { routes.push_back({name, {}, next_}); }
  void routePoint(double lat, double lon, const char*) override {
    routes.back().points.push_back({AsWritten(lat), AsWritten(lon)});
    ++next_;
  }
  void endRoute() override {}
  void waypoint(double, double, const char*) override {}

  std::vector<vestrand::NmeaRoute> routes;

 private:
  std::size_t next_ = 1;
};

}  // namespace

std::vector<vestrand::NmeaRoute> PatternNmeaRoutes(const vestrand::PatternParams& params,
                                                   const vestrand::PatternNames& names) {
  RouteCollector collector;
  vestrand::sailPattern(params, names, collector);
  return std::move(collector.routes);
}

PlotterLink::PlotterLink(
    QWidget* parent, QSettings& settings, const vestrand::LanguageTexts& texts,
    std::function<bool(std::vector<vestrand::NmeaRoute>&, std::string&)> routes,
    std::function<void(const std::string&)> status)
    : QObject(parent),
      parent_(parent),
      settings_(settings),
      texts_(texts),
      routes_(std::move(routes)),
      status_(std::move(status)) {}

PlotterLink::~PlotterLink() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
}

void PlotterLink::ask() {
  if (dialog_ == nullptr) {
    dialog_ = new QDialog(parent_);
    dialog_->setObjectName("plotterDialog");
    auto* column = new QVBoxLayout(dialog_);
    auto* label = new QLabel(dialog_);
    label->setTextFormat(Qt::PlainText);
    label->setObjectName("plotterTargetLabel");
    column->addWidget(label);
    auto* field = new QLineEdit(dialog_);
    field->setObjectName("plotterTarget");
    field->setMinimumWidth(320);
    label->setBuddy(field);
    column->addWidget(field);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* sendButton = new QPushButton(dialog_);
    sendButton->setObjectName("sendButton");
    sendButton->setDefault(true);
    auto* close = new QPushButton(dialog_);
    close->setObjectName("closeButton");
    row->addWidget(sendButton);
    row->addWidget(close);
    column->addLayout(row);
    connect(sendButton, &QPushButton::clicked, this, [this, field] {
      dialog_->hide();
      send(field->text().trimmed().toStdString());
    });
    connect(close, &QPushButton::clicked, dialog_, &QDialog::reject);
  }
  relabel();
  dialog_->findChild<QLineEdit*>("plotterTarget")->setText(settings_.value(kTargetKey).toString());
  dialog_->show();
  dialog_->raise();
}

void PlotterLink::relabel() {
  if (dialog_ == nullptr) return;
  dialog_->setWindowTitle(Q(texts_.get(Text::SendAction)));
  dialog_->findChild<QLabel*>("plotterTargetLabel")->setText(Q(texts_.get(Text::SendTarget)));
  dialog_->findChild<QPushButton*>("sendButton")->setText(Q(texts_.get(Text::SendButton)));
  dialog_->findChild<QPushButton*>("closeButton")->setText(Q(texts_.get(Text::CloseButton)));
}

void PlotterLink::send(const std::string& target) {
  if (busy_) {
    status_(texts_.get(Text::SendBusy));
    return;
  }
  vestrand::NmeaTarget where;
  std::string error;
  // Standard output is the command line's; the window has none a person would see.
  if (target == "-" || !vestrand::parseNmeaTarget(target, where, error)) {
    status_(texts_.get(Text::SendTargetRefused,
                       {target, error.empty() ? texts_.get(Text::SendTarget) : error}));
    return;
  }
  settings_.setValue(kTargetKey, Q(target));
  std::vector<vestrand::NmeaRoute> routes;
  std::string refusal;
  if (!routes_(routes, refusal)) {
    status_(texts_.get(Text::SendFailed, {refusal}));
    return;
  }
  vestrand::NmeaUpload upload;
  if (!vestrand::makeNmeaUpload(routes, "GP", 0, upload, error)) {
    status_(texts_.get(Text::SendFailed, {error}));
    return;
  }
  if (worker_.joinable()) worker_.join();
  busy_ = true;
  stop_ = false;
  const std::string targetText = vestrand::nmeaTargetText(where, 4800);
  status_(texts_.get(Text::Sending, {std::to_string(upload.names.size()), targetText}));
  vestrand::NmeaSendOptions options;
  options.pauseMs = pauseMs_;
  options.progress = [this](std::size_t) { return !stop_.load(); };
  const std::string done = texts_.get(
      Text::SentToPlotter,
      {std::to_string(upload.names.size()), std::to_string(upload.sentences.size()), targetText});
  worker_ = std::thread([this, sentences = std::move(upload.sentences), where, options, done] {
    std::string failure;
    const bool ok = vestrand::sendNmeaSentences(sentences, where, options, failure);
    QMetaObject::invokeMethod(
        this, [this, ok, result = ok ? done : failure] { finish(ok, result); },
        Qt::QueuedConnection);
  });
}

void PlotterLink::finish(bool ok, const std::string& result) {
  busy_ = false;
  status_(ok ? result : texts_.get(Text::SendFailed, {result}));
}
