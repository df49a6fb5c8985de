#include "PatternMotion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSettings>
#include <QWidget>

#include "MainPanel.h"
#include "WindowTexts.h"
#include "cvirte.h"
#include "cvirte_widgets.h"
#include "number_text.h"

using vestrand::Text;

namespace {

QString TurnKey(int page) {
  return "firstTurn" + QString::number(page);
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The form of a page that holds `field`, and its row there.
QFormLayout* FormOf(QWidget* field, int& row) {
  if (field == nullptr || field->parentWidget() == nullptr) return nullptr;
  for (auto* form : field->parentWidget()->findChildren<QFormLayout*>()) {
    QFormLayout::ItemRole role = QFormLayout::FieldRole;
    form->getWidgetPosition(field, &row, &role);
    if (row >= 0) return form;
  }
  return nullptr;
}

}  // namespace

PatternMotion::PatternMotion(int panel, QObject* parent, std::function<void()> changed)
    : QObject(parent), changed_(std::move(changed)) {
  for (const auto& [page, course] : {std::pair{kSquarePage, square_page::kCourse},
                                     {kSectorPage, sector_page::kCourse},
                                     {kParallelPage, parallel_page::kCourse}}) {
    int fields = 0;
    if (GetPanelHandleFromTabPage(panel, kSearchTabs, page, &fields) != 0) continue;
    int row = -1;
    QFormLayout* form = FormOf(GetCtrlWidget(fields, course), row);
    if (form == nullptr) continue;
    addFirstTurn(page, form, row + 1);
    auto* box = new QCheckBox(form->parentWidget());
    box->setObjectName("compensation" + QString::number(page));
    form->insertRow(row + 2, box);
    connect(box, &QCheckBox::toggled, this, [this] { changed_(); });
    pages_[page].compensate = box;
  }
}

void PatternMotion::addFirstTurn(int page, QFormLayout* form, int row) {
  auto* label = new QLabel(form->parentWidget());
  label->setTextFormat(Qt::PlainText);
  label->setObjectName("firstTurnLabel" + QString::number(page));
  auto* turn = new QComboBox(form->parentWidget());
  turn->setObjectName("firstTurn" + QString::number(page));
  turn->addItem(QString(), static_cast<int>(vestrand::Turn::Starboard));
  turn->addItem(QString(), static_cast<int>(vestrand::Turn::Port));
  label->setBuddy(turn);
  form->insertRow(row, label, turn);
  connect(turn, &QComboBox::currentIndexChanged, this, [this] { changed_(); });
  pages_[page].turn = turn;
}

QComboBox* PatternMotion::firstTurn(int page) const {
  const auto found = pages_.find(page);
  return found != pages_.end() ? found->second.turn : nullptr;
}

QCheckBox* PatternMotion::compensation(int page) const {
  const auto found = pages_.find(page);
  return found != pages_.end() ? found->second.compensate : nullptr;
}

bool PatternMotion::apply(int page, const AppliedDrift* drift, double searchSpeed,
                          const vestrand::LanguageTexts& texts, vestrand::PatternParams& params,
                          std::string& refusal) const {
  if (const QComboBox* turn = firstTurn(page); turn != nullptr && turn->currentIndex() == 1) {
    params.firstTurn = vestrand::Turn::Port;
  }
  const QCheckBox* box = compensation(page);
  if (box == nullptr || !box->isChecked()) return true;
  if (drift == nullptr) {
    refusal = texts.get(Text::CompensateNoDrift);
    return false;
  }
  // The datum's drift as a whole, current and leeway together: the water the object is in.
  const vestrand::WaterDrift water{drift->drifted.course, drift->drifted.speed};
  if (const std::string fault = vestrand::driftFault(water, searchSpeed); !fault.empty()) {
    refusal = water.speed >= searchSpeed / 2.0
                  ? texts.get(Text::CompensateTooFast, {vestrand::fixedText(water.speed, 2),
                                                        vestrand::fixedText(searchSpeed, 2)})
                  : texts.get(Text::CompensateRefused, {fault});
    return false;
  }
  // A drift too slow to move a point is no drift: the ground pattern, under its own name.
  if (water.speed > 0.0) {
    params.drift = water;
    params.searchSpeed = searchSpeed;
  }
  return true;
}

void PatternMotion::relabel(const vestrand::LanguageTexts& texts) {
  for (auto& [page, c] : pages_) {
    if (c.turn != nullptr) {
      c.turn->setItemText(0, Q(texts.get(Text::TurnStarboard)));
      c.turn->setItemText(1, Q(texts.get(Text::TurnPort)));
      if (auto* label = c.turn->parentWidget()->findChild<QLabel*>("firstTurnLabel" +
                                                                   QString::number(page))) {
        label->setText(Q(texts.get(Text::FirstTurnLabel)));
      }
    }
    if (c.compensate != nullptr) {
      c.compensate->setText(Q(texts.get(Text::CompensateLabel)));
      SetPlainToolTip(c.compensate, texts.get(Text::CompensateTip));
    }
  }
}

bool PatternMotion::keepsSetting(const QString& key, const QVariant& value) {
  bool ok = false;
  const int turn = value.toInt(&ok);
  // The trackline page follows the three pages of the layout.
  for (int page = kSquarePage; page <= kParallelPage + 1; ++page) {
    if (key == TurnKey(page)) return ok && (turn == 0 || turn == 1);
  }
  return false;
}

void PatternMotion::remember(QSettings& settings) const {
  for (const auto& [page, c] : pages_) {
    if (c.turn != nullptr) settings.setValue(TurnKey(page), c.turn->currentIndex());
  }
}

void PatternMotion::restore(const QSettings& settings) {
  for (auto& [page, c] : pages_) {
    const QVariant value = settings.value(TurnKey(page));
    if (c.turn != nullptr && keepsSetting(TurnKey(page), value)) {
      c.turn->setCurrentIndex(value.toInt());
    }
  }
}
