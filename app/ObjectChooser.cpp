#include "ObjectChooser.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

QString Q(const std::string& text) {
  return QString::fromUtf8(text.c_str());
}

}  // namespace

std::vector<const vestrand::LeewayClass*> MatchingClasses(const std::string& words) {
  std::vector<std::string> wanted;
  std::string word;
  for (const char c : Lower(words) + " ") {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!word.empty()) wanted.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  std::vector<const vestrand::LeewayClass*> found;
  for (const vestrand::LeewayClass& c : vestrand::leewayClasses()) {
    const std::string text = Lower(std::string(c.key) + " " + std::string(c.description));
    if (std::all_of(wanted.begin(), wanted.end(),
                    [&text](const std::string& w) { return text.find(w) != std::string::npos; })) {
      found.push_back(&c);
    }
  }
  return found;
}

ObjectChooser::ObjectChooser(const char* filterName, const char* listName, QWidget* parent)
    : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  filter_ = new QLineEdit(this);
  filter_->setObjectName(filterName);
  list_ = new QListWidget(this);
  list_->setObjectName(listName);
  list_->setMinimumHeight(90);
  column->addWidget(filter_);
  column->addWidget(list_);
  fill();
  connect(filter_, &QLineEdit::textChanged, this, [this] { fill(); });
  connect(list_, &QListWidget::currentRowChanged, this, [this] {
    if (changed_) changed_();
  });
}

const vestrand::LeewayClass* ObjectChooser::chosen() const {
  const QListWidgetItem* item = list_->currentItem();
  return item != nullptr
             ? vestrand::leewayClassByKey(item->data(Qt::UserRole).toString().toStdString())
             : nullptr;
}

bool ObjectChooser::choose(const std::string& key) {
  for (int row = 0; row < list_->count(); ++row) {
    if (list_->item(row)->data(Qt::UserRole).toString() == Q(key)) {
      list_->setCurrentRow(row);
      return true;
    }
  }
  return false;
}

void ObjectChooser::fill() {
  // The class chosen stays chosen while the filter still shows it; the first class else.
  const QString chosenKey = list_->currentItem() != nullptr
                                ? list_->currentItem()->data(Qt::UserRole).toString()
                                : QString("PIW-1");
  {
    const QSignalBlocker quiet(list_);
    list_->clear();
    for (const vestrand::LeewayClass* c : MatchingClasses(filter_->text().toStdString())) {
      auto* item =
          new QListWidgetItem(Q(std::string(c->key) + "  " + std::string(c->description)), list_);
      item->setData(Qt::UserRole, Q(std::string(c->key)));
      if (item->data(Qt::UserRole).toString() == chosenKey) list_->setCurrentItem(item);
    }
    if (list_->currentItem() == nullptr && list_->count() > 0) list_->setCurrentRow(0);
  }
  if (changed_) changed_();
}
