// One section of the whole-project windows: its caption, the check box "For transmission?",
// a pie-shaped progress gauge and the result text.
#pragma once

#include <QFrame>
#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;

namespace qdx {

// A round gauge whose filled slice grows from twelve o'clock clockwise with the position.
class PieGauge : public QWidget {
  Q_OBJECT
 public:
  explicit PieGauge(QWidget* parent = nullptr);

  void SetMaximum(int maximum);
  void SetPosition(int position);
  int maximum() const { return maximum_; }
  int position() const { return position_; }
  QSize sizeHint() const override { return {44, 44}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int maximum_ = 1;
  int position_ = 0;
};

// One row of the send and read windows, with a second line for where a difference lies.
class SectionRow : public QFrame {
  Q_OBJECT
 public:
  explicit SectionRow(const QString& caption, QWidget* parent = nullptr);

  bool ticked() const;
  void SetTicked(bool on);
  // The gauge appears at position 0 of maximum.
  void StartGauge(int maximum);
  void SetPosition(int position);
  void HideGauge();
  void SetResult(const QString& text);
  // Result texts are hidden after Stop and shown again when a new run starts.
  void SetResultVisible(bool visible);
  // A second line under the row telling where a difference lies; empty hides it.
  void SetDetail(const QString& text);

  QString caption() const;
  QString resultText() const;
  bool resultVisible() const;
  bool gaugeVisible() const;
  QCheckBox* checkBox() const { return check_; }
  PieGauge* gauge() const { return gauge_; }
  QLabel* resultLabel() const { return result_; }
  QLabel* detailLabel() const { return detail_; }

 private:
  QLabel* caption_ = nullptr;
  QCheckBox* check_ = nullptr;
  PieGauge* gauge_ = nullptr;
  QLabel* result_ = nullptr;
  QLabel* detail_ = nullptr;
  bool resultVisible_ = true;
};

}  // namespace qdx
