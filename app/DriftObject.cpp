#include "DriftObject.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "datums.h"
#include "number_text.h"

using vestrand::Text;

DriftObjectChoice::DriftObjectChoice(const vestrand::LanguageTexts& texts, QWidget* parent)
    : QWidget(parent), texts_(texts) {
  setObjectName("driftObjectChoice");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  mode_ = new QComboBox(this);
  mode_->setObjectName("driftLeewayMode");
  // The leeway by hand first: the group works as it always has until a class is chosen.
  mode_->addItems({QString(), QString()});
  column->addWidget(mode_);
  byClass_ = new QWidget(this);
  auto* form = new QFormLayout(byClass_);
  form->setContentsMargins(0, 0, 0, 0);
  const auto row = [this, form](QWidget* field, Text label) {
    auto* name = new QLabel(byClass_);
    name->setWordWrap(true);
    name->setTextFormat(Qt::PlainText);
    labels_.emplace_back(name, label);
    form->addRow(name, field);
  };
  chooser_ = new ObjectChooser("driftObjectFilter", "driftObjectList", byClass_);
  row(chooser_, Text::PlanObjectLabel);
  windFrom_ = new QLineEdit(byClass_);
  windFrom_->setObjectName("driftWindFrom");
  row(windFrom_, Text::PlanWindFromLabel);
  windSpeed_ = new QLineEdit(byClass_);
  windSpeed_->setObjectName("driftWindSpeed");
  row(windSpeed_, Text::PlanWindSpeedLabel);
  column->addWidget(byClass_);
  byClass_->setVisible(false);
  connect(mode_, &QComboBox::currentIndexChanged, this,
          [this] { byClass_->setVisible(byClass()); });
  relabel();
}

bool DriftObjectChoice::byClass() const {
  return mode_->currentIndex() == 1;
}

void DriftObjectChoice::relabel() {
  mode_->setItemText(0, QString::fromStdString(texts_.get(Text::PlanLeewayByHand)));
  mode_->setItemText(1, QString::fromStdString(texts_.get(Text::PlanLeewayChoice)));
  for (const auto& [label, name] : labels_)
    label->setText(QString::fromStdString(texts_.get(name)));
}

double DriftObjectChoice::number(const QLineEdit* field, Text label, double low, double high,
                                 bool& ok, std::string& refusal) const {
  if (!ok) return 0.0;
  const std::string text = field->text().trimmed().toStdString();
  const std::string name = texts_.get(label);
  double value = 0.0;
  ok = false;
  if (text.empty()) {
    refusal = texts_.get(Text::EmptyField, {name});
  } else if (!ReadWindowNumber(text, value)) {
    refusal = texts_.get(Text::NotANumber, {name, text});
  } else if (!(value >= low && value <= high)) {
    refusal = texts_.get(Text::OutOfRange,
                         {name, vestrand::shortestText(low), vestrand::shortestText(high)});
  } else {
    ok = true;
  }
  return value;
}

std::optional<ClassWind> DriftObjectChoice::read(std::string& refusal) const {
  ClassWind w;
  w.objectClass = chooser_->chosen();
  if (w.objectClass == nullptr) {
    refusal = texts_.get(Text::FieldRefused, {texts_.get(Text::PlanObjectLabel),
                                              chooser_->filter()->text().trimmed().toStdString(),
                                              texts_.get(Text::UnknownObject)});
    return std::nullopt;
  }
  bool ok = true;
  w.windFrom = number(windFrom_, Text::PlanWindFromLabel, -vestrand::kMaxDriftDirection,
                      vestrand::kMaxDriftDirection, ok, refusal);
  w.windSpeed = number(windSpeed_, Text::PlanWindSpeedLabel, 0.0, kMaxWindSpeed, ok, refusal);
  if (!ok) return std::nullopt;
  return w;
}
