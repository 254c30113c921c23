#include "service/parameter_edit_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "panel/help_pages.h"
#include "panel/help_viewer_window.h"
#include "service/parameter_catalogue.h"

namespace qdx {
namespace {

// A decimal field that shows whole tenths with one decimal ("1.5") yet takes a typed
// hundredth ("1.25"), which Save rounds to tenths.
class TenthsSpinBox : public QDoubleSpinBox {
 public:
  using QDoubleSpinBox::QDoubleSpinBox;

 protected:
  QString textFromValue(double value) const override {
    const bool wholeTenths = std::fabs(value * 10 - std::round(value * 10)) < 1e-9;
    return locale().toString(value, 'f', wholeTenths ? 1 : 2);
  }
};

}  // namespace

ParameterEditDialog::ParameterEditDialog(int parameter, std::int16_t stored,
                                         const QString& programDir, QWidget* parent)
    : QDialog(parent), parameter_(parameter), stored_(stored) {
  setWindowTitle(QStringLiteral("Parameter edition"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(ParameterName(parameter), this));
  layout->addWidget(MakeControl());

  auto* buttons = new QHBoxLayout;
  help_ = new QPushButton(QStringLiteral("Help"), this);
  help_->setAutoDefault(false);
  help_->setVisible(HelpPageExists(parameter, programDir));
  connect(help_, &QPushButton::clicked, this,
          [this, programDir] { ShowHelpPage(parameter_, programDir, this); });
  auto* save = new QPushButton(QStringLiteral("Save"), this);
  save->setDefault(true);
  connect(save, &QPushButton::clicked, this, &QDialog::accept);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setAutoDefault(false);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(help_);
  buttons->addStretch();
  buttons->addWidget(save);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  setMinimumWidth(320);
}

ParameterEditDialog::ParameterEditDialog(int parameter, std::int16_t stored, QWidget* parent)
    : ParameterEditDialog(parameter, stored, QCoreApplication::applicationDirPath(), parent) {}

QWidget* ParameterEditDialog::MakeControl() {
  const ParameterRange limits = ParameterLimits(parameter_);
  switch (ParameterKindOf(parameter_)) {
    case ParameterKind::Choice: {
      choice_ = new QComboBox(this);
      choice_->addItems(ParameterChoices(parameter_));
      // A stored value that matches no entry selects none.
      choice_->setCurrentIndex(stored_ >= 0 && stored_ < choice_->count() ? stored_ : -1);
      return choice_;
    }
    case ParameterKind::OneDecimal:
      decimal_ = new TenthsSpinBox(this);
      decimal_->setDecimals(2);
      decimal_->setSingleStep(0.1);
      decimal_->setRange(limits.lower / 10.0, limits.upper / 10.0);
      decimal_->setValue(stored_ / 10.0);
      return decimal_;
    case ParameterKind::Integer:
      break;
  }
  integer_ = new QSpinBox(this);
  integer_->setRange(limits.lower, limits.upper);
  integer_->setValue(stored_);
  return integer_;
}

std::int16_t ParameterEditDialog::Value() const {
  if (choice_) {
    // No entry picked: the stored value stays as it was.
    return choice_->currentIndex() < 0 ? stored_
                                       : static_cast<std::int16_t>(choice_->currentIndex());
  }
  if (decimal_) return static_cast<std::int16_t>(std::nearbyint(decimal_->value() * 10.0));
  return static_cast<std::int16_t>(integer_->value());
}

std::optional<std::int16_t> ParameterEditDialog::Edit() {
  if (exec() != QDialog::Accepted) return std::nullopt;
  return Value();
}

}  // namespace qdx
