// The relay's two picture pickers, for its time type and its regulator type, and the relay
// pictures they share with the relay editor. Every picture is drawn with QPainter for the size
// it is shown at.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QRectF>
#include <optional>
#include <vector>

class QPainter;
class QToolButton;

namespace qdx {

// A timing diagram of the relay output for a time type (0..5), under the signal that switches
// the relay: disabled, following it, delayed on, delayed off, pulsing from an on or an off
// phase. A code outside 0..5 draws the empty frame.
void PaintTimeTypePicture(QPainter& painter, const QRectF& rect, int code);
// The characteristic of a regulator type (0..6): output over the measured value around the
// set value SP.
void PaintRegulatorTypePicture(QPainter& painter, const QRectF& rect, int code);
// The regulator characteristic behind the four value fields: the switching point shifted from
// SP by the offset P5, the lower and upper hysteresis P7 and P8, the regulator window P6.
// Drawn in a 440 x 230 box mapped onto rect; RegulatorFieldAnchor tells where each field goes.
void PaintRegulatorCharacteristic(QPainter& painter, const QRectF& rect);
inline constexpr qreal kCharacteristicWidth = 440;
inline constexpr qreal kCharacteristicHeight = 230;
// The place of field P5..P8 (5..8) in the 440 x 230 box: its top-left corner.
QPointF RegulatorFieldAnchor(int field);
// The relay's number as a picture, shown in the editor's caption line.
void PaintRelayNumber(QPainter& painter, const QRectF& rect, int number);

QIcon TimeTypeIcon(int code);
QIcon RegulatorTypeIcon(int code);
QIcon RelayNumberIcon(int number);

// Large picture buttons, one per code, the current one shown pressed; pressing one returns
// its code, the small "Close" button and the close box return no change.
class TypePickerDialog : public QDialog {
  Q_OBJECT
 public:
  std::optional<int> chosen() const { return chosen_; }
  QToolButton* typeButton(int code) const;
  QToolButton* closeButton() const { return close_; }
  int count() const { return static_cast<int>(buttons_.size()); }

 protected:
  struct Layout {
    QString title;
    int count = 0;
    std::vector<int> rowStarts;  // the first code of every row
    QString (*caption)(int) = nullptr;
    QString (*label)(int) = nullptr;
    QIcon (*icon)(int) = nullptr;
  };
  TypePickerDialog(const Layout& layout, int current, QWidget* parent);

 private:
  std::vector<QToolButton*> buttons_;
  QToolButton* close_ = nullptr;
  std::optional<int> chosen_;
};

// The time-type picker: six timing diagrams in one row.
class TFTypPrzekTable : public TypePickerDialog {
  Q_OBJECT
 public:
  explicit TFTypPrzekTable(int current, QWidget* parent = nullptr);
  // Shows the picker modally; the chosen code, or nothing when it was closed.
  static std::optional<int> Pick(int current, QWidget* parent);
};

// The regulator-type picker: seven characteristics, 0..3 above and 4..6 below.
class TFTypReglerTable : public TypePickerDialog {
  Q_OBJECT
 public:
  explicit TFTypReglerTable(int current, QWidget* parent = nullptr);
  static std::optional<int> Pick(int current, QWidget* parent);
};

}  // namespace qdx
