#include "transfer/section_row_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>

namespace qdx {

PieGauge::PieGauge(QWidget* parent) : QWidget(parent) {
  setFixedSize(sizeHint());
}

void PieGauge::SetMaximum(int maximum) {
  maximum_ = maximum > 0 ? maximum : 1;
  update();
}

void PieGauge::SetPosition(int position) {
  position_ = std::clamp(position, 0, maximum_);
  update();
}

void PieGauge::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF circle = QRectF(rect()).adjusted(3, 3, -3, -3);
  const QPalette& pal = palette();
  p.setPen(QPen(pal.color(QPalette::Mid), 1.5));
  p.setBrush(pal.color(QPalette::Base));
  p.drawEllipse(circle);
  if (position_ > 0) {
    // Qt counts sixteenths of a degree, counter-clockwise from three o'clock.
    const int span = -static_cast<int>(360.0 * 16 * position_ / maximum_);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.color(QPalette::Highlight));
    if (position_ >= maximum_) {
      p.drawEllipse(circle);
    } else {
      p.drawPie(circle, 90 * 16, span);
    }
  }
  p.setPen(QPen(pal.color(QPalette::Dark), 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(circle);
}

SectionRow::SectionRow(const QString& caption, QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Raised);
  auto* lines = new QVBoxLayout(this);
  lines->setContentsMargins(10, 4, 10, 4);
  lines->setSpacing(2);
  auto* layout = new QHBoxLayout;
  layout->setSpacing(12);
  lines->addLayout(layout);

  caption_ = new QLabel(caption, this);
  QFont bold = caption_->font();
  bold.setBold(true);
  caption_->setFont(bold);
  caption_->setMinimumWidth(
      caption_->fontMetrics().horizontalAdvance(QStringLiteral("Processes WASHING")) + 12);
  check_ = new QCheckBox(QStringLiteral("For transmission?"), this);
  gauge_ = new PieGauge(this);
  result_ = new QLabel(this);
  result_->setMinimumWidth(result_->fontMetrics().horizontalAdvance(QStringLiteral("Difference")) +
                           8);
  result_->setFont(bold);

  layout->addWidget(caption_);
  layout->addWidget(check_);
  layout->addStretch(1);
  layout->addWidget(gauge_);
  layout->addWidget(result_);

  detail_ = new QLabel(this);
  detail_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lines->addWidget(detail_);
  detail_->hide();

  // The gauge keeps its place while hidden, so rows stay aligned.
  QSizePolicy keep = gauge_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  gauge_->setSizePolicy(keep);
  gauge_->hide();
}

bool SectionRow::ticked() const {
  return check_->isChecked();
}

void SectionRow::SetTicked(bool on) {
  check_->setChecked(on);
}

void SectionRow::StartGauge(int maximum) {
  gauge_->SetMaximum(maximum);
  gauge_->SetPosition(0);
  gauge_->show();
}

void SectionRow::SetPosition(int position) {
  gauge_->SetPosition(position);
}

void SectionRow::HideGauge() {
  gauge_->hide();
}

void SectionRow::SetResult(const QString& text) {
  result_->setText(text);
  QPalette pal = result_->palette();
  const bool good = text == QLatin1String("OK");
  pal.setColor(QPalette::WindowText, text.isEmpty() ? palette().color(QPalette::WindowText)
                                     : good         ? QColor(0x1B, 0x7A, 0x2E)
                                                    : QColor(0xC0, 0x1C, 0x1C));
  result_->setPalette(pal);
  result_->setVisible(resultVisible_);
  SetDetail({});
}

void SectionRow::SetResultVisible(bool visible) {
  resultVisible_ = visible;
  result_->setVisible(visible);
  detail_->setVisible(visible && !detail_->text().isEmpty());
}

void SectionRow::SetDetail(const QString& text) {
  detail_->setText(text);
  detail_->setToolTip(text);
  detail_->setVisible(resultVisible_ && !text.isEmpty());
}

QString SectionRow::caption() const {
  return caption_->text();
}

QString SectionRow::resultText() const {
  return result_->text();
}

bool SectionRow::resultVisible() const {
  return resultVisible_;
}

bool SectionRow::gaugeVisible() const {
  return !gauge_->isHidden();
}

}  // namespace qdx
