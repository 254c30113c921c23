#include "panel/menu_entry_dialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QValidator>

#include "config/editor_values.h"
#include "panel/menu_texts.h"

namespace qdx {
namespace {

// Upper case, characters of the code page only.
class MenuTextValidator : public QValidator {
 public:
  MenuTextValidator(int codePageIndex, QObject* parent)
      : QValidator(parent), codePageIndex_(codePageIndex) {}

  State validate(QString& input, int&) const override {
    input = input.toUpper();
    for (const QChar c : input) {
      if (!IsRecordTextCharacter(c, codePageIndex_)) return Invalid;
    }
    return Acceptable;
  }

 private:
  int codePageIndex_;
};

}  // namespace

MenuEntryDialog::MenuEntryDialog(const QString& text, int codePageIndex, QWidget* parent)
    : QDialog(parent), field_(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("Edit"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  field_->setMaxLength(kMenuTextWidth);
  field_->setValidator(new MenuTextValidator(codePageIndex, field_));
  field_->setText(text.toUpper());
  field_->selectAll();
  // Room for the widest twenty characters.
  field_->setMinimumWidth(field_->fontMetrics().horizontalAdvance(QString(kMenuTextWidth, 'W')) +
                          16);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(field_);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString MenuEntryDialog::text() const {
  return field_->text().toUpper();
}

}  // namespace qdx
