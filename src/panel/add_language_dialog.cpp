#include "panel/add_language_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "link/code_pages.h"

namespace qdx {

namespace {
constexpr int kNameLength = 100;
}  // namespace

AddLanguageDialog::AddLanguageDialog(QWidget* parent)
    : QDialog(parent), name_(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("Add language"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  name_->setMaxLength(kNameLength);
  name_->setMinimumWidth(name_->fontMetrics().averageCharWidth() * 30);
  auto* nameLabel = new QLabel(QStringLiteral("&Nazwa j\u0119zyka"), this);
  nameLabel->setBuddy(name_);

  auto* group = new QGroupBox(QStringLiteral("Code page"), this);
  auto* groupLayout = new QVBoxLayout(group);
  for (int codePage = 0; codePage < kCodePageCount; ++codePage) {
    auto* choice = new QRadioButton(CodePageListText(codePage), group);
    groupLayout->addWidget(choice);
    choices_.push_back(choice);
  }
  choices_.front()->setChecked(true);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(nameLabel);
  layout->addWidget(name_);
  layout->addWidget(group);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AddLanguageDialog::name() const {
  return name_->text();
}

int AddLanguageDialog::codePage() const {
  for (std::size_t i = 0; i < choices_.size(); ++i) {
    if (choices_[i]->isChecked()) return static_cast<int>(i);
  }
  return kCodePageStandard;
}

}  // namespace qdx
