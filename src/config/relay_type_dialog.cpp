#include "config/relay_type_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "config/choice_lists.h"
#include "config/section_editor.h"

namespace qdx {

namespace {

// Pictures are drawn in a logical box of w x h mapped onto the target, keeping the aspect.
void MapBox(QPainter& p, const QRectF& r, qreal w, qreal h) {
  const qreal scale = std::min(r.width() / w, r.height() / h);
  p.translate(r.center().x() - w * scale / 2, r.center().y() - h * scale / 2);
  p.scale(scale, scale);
}

const QColor kFrame(0xB0, 0xBE, 0xC5);
const QColor kPaper(0xFA, 0xFB, 0xFC);
const QColor kSignal(0x90, 0xA4, 0xAE);
const QColor kOutput(0x15, 0x65, 0xC0);
const QColor kOff(0xC6, 0x28, 0x28);
const QColor kAxis(0x45, 0x5A, 0x64);
const QColor kMark(0xE6, 0x51, 0x00);
const QColor kSetPoint(0x2E, 0x7D, 0x32);

void DrawPaper(QPainter& p, qreal w, qreal h) {
  p.setPen(QPen(kFrame, 1.0));
  p.setBrush(kPaper);
  p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 4, 4);
}

QFont PixelFont(qreal size, bool bold = false) {
  QFont f;
  f.setPixelSize(std::max(1, qRound(size)));
  f.setBold(bold);
  return f;
}

void DrawText(QPainter& p, const QRectF& box, const QString& text, qreal size, const QColor& colour,
              Qt::Alignment align = Qt::AlignCenter, bool bold = false) {
  p.save();
  p.setFont(PixelFont(size, bold));
  p.setPen(colour);
  p.drawText(box, static_cast<int>(align), text);
  p.restore();
}

// A square wave through the given change points, starting low or high.
void DrawWave(QPainter& p, qreal x0, qreal x1, qreal high, qreal low, bool startHigh,
              const std::vector<qreal>& changes, const QPen& pen) {
  QPainterPath path;
  bool up = startHigh;
  path.moveTo(x0, up ? high : low);
  for (const qreal x : changes) {
    path.lineTo(x, up ? high : low);
    up = !up;
    path.lineTo(x, up ? high : low);
  }
  path.lineTo(x1, up ? high : low);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
}

// A dimension line between x0 and x1 at height y, with its name above it.
void DrawSpan(QPainter& p, qreal x0, qreal x1, qreal y, const QString& name, qreal textSize = 9) {
  p.save();
  p.setPen(QPen(kMark, 1.0));
  p.drawLine(QPointF(x0, y), QPointF(x1, y));
  const qreal a = std::min<qreal>(2.5, (x1 - x0) / 3);
  for (const auto& [x, dir] : {std::pair{x0, 1.0}, std::pair{x1, -1.0}}) {
    QPolygonF head;
    head << QPointF(x, y) << QPointF(x + dir * a * 1.4, y - a) << QPointF(x + dir * a * 1.4, y + a);
    p.setBrush(kMark);
    p.drawPolygon(head);
  }
  p.restore();
  DrawText(p, QRectF(x0 - 10, y - textSize - 3, x1 - x0 + 20, textSize + 2), name, textSize, kMark,
           Qt::AlignHCenter | Qt::AlignBottom, true);
}

}  // namespace

void PaintTimeTypePicture(QPainter& p, const QRectF& rect, int code) {
  constexpr qreal W = 120;
  constexpr qreal H = 72;
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  MapBox(p, rect, W, H);
  DrawPaper(p, W, H);
  if (code < 0 || code >= kTimeTypeCount) {
    p.restore();
    return;
  }
  const qreal left = 16;
  const qreal right = W - 5;
  const qreal on = 24;   // the switching signal goes on here ...
  const qreal off = 88;  // ... and off here
  const qreal inHigh = 9;
  const qreal inLow = 23;
  const qreal outHigh = 42;
  const qreal outLow = 62;
  DrawText(p, QRectF(2, inHigh, 13, inLow - inHigh), QStringLiteral("IN"), 7, kAxis);
  DrawText(p, QRectF(2, outHigh, 13, outLow - outHigh), QStringLiteral("K"), 8, kAxis,
           Qt::AlignCenter, true);
  DrawWave(p, left, right, inHigh, inLow, false, {on, off}, QPen(kSignal, 1.6));
  p.setPen(QPen(QColor(0xCF, 0xD8, 0xDC), 0.8, Qt::DashLine));
  p.drawLine(QPointF(on, inLow + 1), QPointF(on, outLow));
  p.drawLine(QPointF(off, inLow + 1), QPointF(off, outLow));

  const QPen out(kOutput, 2.4, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  const qreal delay = 22;
  const qreal pulse = 16;
  const qreal spanY = 34;
  switch (code) {
    case 0:
      DrawWave(p, left, right, outHigh, outLow, false, {}, QPen(kOff, 2.4));
      p.setPen(QPen(kOff, 2.0, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(on + 14, outHigh + 2), QPointF(on + 30, outLow - 6));
      p.drawLine(QPointF(on + 30, outHigh + 2), QPointF(on + 14, outLow - 6));
      break;
    case 1:
      DrawWave(p, left, right, outHigh, outLow, false, {on, off}, out);
      break;
    case 2:
      DrawWave(p, left, right, outHigh, outLow, false, {on + delay, off}, out);
      DrawSpan(p, on, on + delay, spanY, QStringLiteral("Ta"));
      break;
    case 3:
      DrawWave(p, left, right, outHigh, outLow, false, {on, off + delay}, out);
      DrawSpan(p, off, off + delay, spanY, QStringLiteral("Ta"));
      break;
    case 4:
    case 5: {
      // Pulses while the signal is on: on for Ta, off for Tb; type 5 starts with the pause.
      std::vector<qreal> changes;
      const bool startsOn = code == 4;
      changes.push_back(startsOn ? on : on + pulse);
      for (qreal x = changes.back() + pulse; x < off; x += pulse) changes.push_back(x);
      if (changes.size() % 2 == 1) changes.push_back(off);
      DrawWave(p, left, right, outHigh, outLow, false, changes, out);
      const QString first = startsOn ? QStringLiteral("Ta") : QStringLiteral("Tb");
      const QString second = startsOn ? QStringLiteral("Tb") : QStringLiteral("Ta");
      DrawSpan(p, on, on + pulse, spanY, first, 8);
      DrawSpan(p, on + pulse, on + 2 * pulse, spanY, second, 8);
      break;
    }
    default:
      break;
  }
  p.restore();
}

namespace {

struct Axes {
  qreal left = 12;
  qreal bottom = 62;
  qreal right = 114;
  qreal top = 8;
  qreal high = 18;  // output fully on
  qreal low = 56;   // output off
  qreal sp = 63;    // the set value on the measured-value axis
};

void DrawAxes(QPainter& p, const Axes& a) {
  p.setPen(QPen(kAxis, 1.0));
  p.setBrush(kAxis);
  p.drawLine(QPointF(a.left, a.bottom), QPointF(a.right, a.bottom));
  p.drawLine(QPointF(a.left, a.bottom), QPointF(a.left, a.top));
  QPolygonF x;
  x << QPointF(a.right + 3, a.bottom) << QPointF(a.right - 1, a.bottom - 2)
    << QPointF(a.right - 1, a.bottom + 2);
  p.drawPolygon(x);
  QPolygonF y;
  y << QPointF(a.left, a.top - 3) << QPointF(a.left - 2, a.top + 1)
    << QPointF(a.left + 2, a.top + 1);
  p.drawPolygon(y);
  p.setPen(QPen(kSetPoint, 0.9, Qt::DashLine));
  p.drawLine(QPointF(a.sp, a.top + 2), QPointF(a.sp, a.bottom));
  DrawText(p, QRectF(a.sp - 10, a.bottom + 0.5, 20, 8), QStringLiteral("SP"), 7, kSetPoint,
           Qt::AlignCenter, true);
}

// An arrow head on a line of the characteristic, pointing along (dx, dy).
void DrawFlowArrow(QPainter& p, QPointF at, qreal dx, qreal dy, const QColor& colour, qreal s = 3) {
  const QPointF d(dx, dy);
  const QPointF n(-dy, dx);
  QPolygonF head;
  head << at + d * s << at - d * s + n * s * 0.8 << at - d * s - n * s * 0.8;
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(head);
}

}  // namespace

void PaintRegulatorTypePicture(QPainter& p, const QRectF& rect, int code) {
  constexpr qreal W = 120;
  constexpr qreal H = 72;
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  MapBox(p, rect, W, H);
  DrawPaper(p, W, H);
  if (code < 0 || code >= kRegulatorTypeCount) {
    p.restore();
    return;
  }
  const Axes a;
  const QPen line(kOutput, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  const qreal band = 22;  // proportional band
  const qreal h = 7;      // hysteresis, each side
  switch (code) {
    case 0:
      DrawAxes(p, a);
      p.setPen(QPen(kOff, 2.4, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(a.left + 2, a.low), QPointF(a.right - 4, a.low));
      DrawText(p, QRectF(a.left + 8, a.top + 4, 40, 14), QStringLiteral("OFF"), 11, kOff,
               Qt::AlignLeft | Qt::AlignVCenter, true);
      break;
    case 1:
    case 2: {
      DrawAxes(p, a);
      QPainterPath path;
      if (code == 1) {  // full output far below SP, falling to nothing at SP
        path.moveTo(a.left + 2, a.high);
        path.lineTo(a.sp - band, a.high);
        path.lineTo(a.sp, a.low);
        path.lineTo(a.right - 4, a.low);
      } else {  // nothing below SP, rising to full output above it
        path.moveTo(a.left + 2, a.low);
        path.lineTo(a.sp, a.low);
        path.lineTo(a.sp + band, a.high);
        path.lineTo(a.right - 4, a.high);
      }
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      p.drawPath(path);
      DrawText(p, QRectF(code == 1 ? a.sp + 4 : a.left + 4, a.top - 2, 46, 12),
               code == 1 ? QStringLiteral("heating") : QStringLiteral("cooling"), 8,
               code == 1 ? kOff : kOutput, Qt::AlignLeft | Qt::AlignVCenter);
      break;
    }
    case 3:
    case 4: {
      DrawAxes(p, a);
      const bool heating = code == 3;
      const qreal x0 = a.sp - h;
      const qreal x1 = a.sp + h;
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      QPainterPath path;
      if (heating) {  // on until SP + h, off until it falls below SP - h
        path.moveTo(a.left + 2, a.high);
        path.lineTo(x1, a.high);
        path.lineTo(x1, a.low);
        path.lineTo(a.right - 4, a.low);
        path.moveTo(x1, a.low);
        path.lineTo(x0, a.low);
        path.lineTo(x0, a.high);
      } else {  // off until SP + h, on until it falls below SP - h
        path.moveTo(a.left + 2, a.low);
        path.lineTo(x1, a.low);
        path.lineTo(x1, a.high);
        path.lineTo(a.right - 4, a.high);
        path.moveTo(x1, a.high);
        path.lineTo(x0, a.high);
        path.lineTo(x0, a.low);
      }
      p.drawPath(path);
      const qreal mid = (a.high + a.low) / 2;
      DrawFlowArrow(p, QPointF(x1, mid), 0, heating ? 1 : -1, kOutput);
      DrawFlowArrow(p, QPointF(x0, mid), 0, heating ? -1 : 1, kOutput);
      DrawText(p, QRectF(heating ? x1 + 6 : a.left + 4, a.top - 2, 46, 12),
               heating ? QStringLiteral("heating") : QStringLiteral("cooling"), 8,
               heating ? kOff : kOutput, Qt::AlignLeft | Qt::AlignVCenter);
      break;
    }
    case 5: {
      // Input pulses counted into the counter.
      DrawWave(p, 8, 70, 44, 60, false, {12, 18, 26, 32, 40, 46, 54, 60}, QPen(kSignal, 1.8));
      DrawText(p, QRectF(8, 30, 40, 12), QStringLiteral("IN"), 9, kAxis, Qt::AlignLeft, true);
      p.setPen(QPen(kAxis, 1.2));
      p.setBrush(QColor(0x26, 0x32, 0x38));
      const QRectF box(74, 14, 40, 22);
      p.drawRoundedRect(box, 3, 3);
      DrawText(p, box, QStringLiteral("0004"), 11, QColor(0x9C, 0xCC, 0x65), Qt::AlignCenter, true);
      p.setPen(QPen(kMark, 1.6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(66, 50), QPointF(88, 40));
      DrawFlowArrow(p, QPointF(88, 40), 0.91, -0.41, kMark);
      break;
    }
    case 6: {
      // The closed loop's step response settling on SP.
      p.setPen(QPen(kAxis, 1.0));
      p.drawLine(QPointF(8, 62), QPointF(114, 62));
      p.drawLine(QPointF(8, 62), QPointF(8, 6));
      p.setPen(QPen(kSetPoint, 0.9, Qt::DashLine));
      p.drawLine(QPointF(8, 24), QPointF(114, 24));
      DrawText(p, QRectF(96, 25, 18, 9), QStringLiteral("SP"), 7, kSetPoint, Qt::AlignCenter, true);
      QPainterPath curve;
      curve.moveTo(10, 60);
      curve.cubicTo(24, 58, 28, 10, 42, 14);
      curve.cubicTo(52, 17, 56, 31, 66, 28);
      curve.cubicTo(76, 25, 80, 22, 112, 24);
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      p.drawPath(curve);
      DrawText(p, QRectF(64, 38, 46, 18), QStringLiteral("PID"), 14, kMark, Qt::AlignCenter, true);
      break;
    }
    default:
      break;
  }
  p.restore();
}

namespace {

// The characteristic's geometry in its 440 x 230 box.
struct Characteristic {
  qreal left = 36, right = 424, top = 28, bottom = 170;
  qreal high = 70, low = 136;
  qreal sp = 176;         // SP
  qreal point = 232;      // SP + P5, the switching point
  qreal lower = 196;      // point - P7
  qreal upper = 268;      // point + P8
  qreal windowEnd = 352;  // point + P6
};

}  // namespace

QPointF RegulatorFieldAnchor(int field) {
  switch (field) {
    case 7:
      return {128, 2};
    case 8:
      return {262, 2};
    case 5:
      return {168, 198};
    case 6:
      return {318, 198};
    default:
      return {};
  }
}

void PaintRegulatorCharacteristic(QPainter& p, const QRectF& rect) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  MapBox(p, rect, kCharacteristicWidth, kCharacteristicHeight);
  DrawPaper(p, kCharacteristicWidth, kCharacteristicHeight);
  const Characteristic c;

  // The regulator window: where the controller acts around the switching point.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xE3, 0xF2, 0xFD));
  p.drawRect(QRectF(c.point, c.top + 8, c.windowEnd - c.point, c.bottom - c.top - 8));

  // Axes: output over the measured value.
  p.setPen(QPen(kAxis, 1.4));
  p.setBrush(kAxis);
  p.drawLine(QPointF(c.left, c.bottom), QPointF(c.right, c.bottom));
  p.drawLine(QPointF(c.left, c.bottom), QPointF(c.left, c.top));
  QPolygonF xh;
  xh << QPointF(c.right + 6, c.bottom) << QPointF(c.right - 2, c.bottom - 4)
     << QPointF(c.right - 2, c.bottom + 4);
  p.drawPolygon(xh);
  QPolygonF yh;
  yh << QPointF(c.left, c.top - 6) << QPointF(c.left - 4, c.top + 2)
     << QPointF(c.left + 4, c.top + 2);
  p.drawPolygon(yh);
  DrawText(p, QRectF(c.left - 32, c.high - 8, 28, 16), QStringLiteral("ON"), 11, kAxis,
           Qt::AlignRight | Qt::AlignVCenter, true);
  DrawText(p, QRectF(c.left - 32, c.low - 8, 28, 16), QStringLiteral("OFF"), 11, kAxis,
           Qt::AlignRight | Qt::AlignVCenter, true);
  DrawText(p, QRectF(c.right - 60, c.bottom + 2, 64, 14), QStringLiteral("measured"), 10, kAxis,
           Qt::AlignRight | Qt::AlignTop);

  // SP and the switching point.
  p.setPen(QPen(kSetPoint, 1.3, Qt::DashLine));
  p.drawLine(QPointF(c.sp, c.top), QPointF(c.sp, c.bottom));
  DrawText(p, QRectF(c.sp - 20, c.bottom + 2, 40, 14), QStringLiteral("SP"), 11, kSetPoint,
           Qt::AlignCenter, true);
  p.setPen(QPen(kAxis, 1.0, Qt::DotLine));
  p.drawLine(QPointF(c.point, c.top + 8), QPointF(c.point, c.bottom));

  // The hysteresis loop around the switching point.
  const QPen loop(kOutput, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(loop);
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  path.moveTo(c.left + 4, c.high);
  path.lineTo(c.upper, c.high);
  path.lineTo(c.upper, c.low);
  path.lineTo(c.right - 8, c.low);
  path.moveTo(c.upper, c.low);
  path.lineTo(c.lower, c.low);
  path.lineTo(c.lower, c.high);
  p.drawPath(path);
  const qreal mid = (c.high + c.low) / 2;
  DrawFlowArrow(p, QPointF(c.upper, mid), 0, 1, kOutput, 6);
  DrawFlowArrow(p, QPointF(c.lower, mid), 0, -1, kOutput, 6);

  // Dimensions: P7 and P8 above the loop, P5 from SP to the switching point, P6 the window.
  DrawSpan(p, c.lower, c.point, c.high - 14, QStringLiteral("P7"), 12);
  DrawSpan(p, c.point, c.upper, c.high - 14, QStringLiteral("P8"), 12);
  DrawSpan(p, c.sp, c.point, c.bottom - 10, QStringLiteral("P5"), 12);
  DrawSpan(p, c.point, c.windowEnd, c.low - 16, QStringLiteral("P6"), 12);
  p.restore();
}

void PaintRelayNumber(QPainter& p, const QRectF& rect, int number) {
  constexpr qreal S = 48;
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  MapBox(p, rect, S, S);
  QLinearGradient fill(0, 0, 0, S);
  fill.setColorAt(0, QColor(0x1E, 0x88, 0xE5));
  fill.setColorAt(1, QColor(0x0D, 0x47, 0xA1));
  p.setPen(QPen(QColor(0x0D, 0x47, 0xA1), 1.2));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(1, 1, S - 2, S - 2), 7, 7);
  // The coil of a relay: a box crossed by its winding line.
  p.setPen(QPen(QColor(0xBB, 0xDE, 0xFB), 1.4));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(8, 6, 12, 8));
  p.drawLine(QPointF(8, 14), QPointF(20, 6));
  p.drawLine(QPointF(14, 3), QPointF(14, 6));
  p.drawLine(QPointF(14, 14), QPointF(14, 17));
  DrawText(p, QRectF(2, 14, S - 4, S - 16), QString::number(number), number >= 10 ? 24 : 28,
           Qt::white, Qt::AlignCenter, true);
  p.restore();
}

QIcon TimeTypeIcon(int code) {
  return PaintedIcon([code](QPainter& p, const QRectF& r) { PaintTimeTypePicture(p, r, code); });
}

QIcon RegulatorTypeIcon(int code) {
  return PaintedIcon(
      [code](QPainter& p, const QRectF& r) { PaintRegulatorTypePicture(p, r, code); });
}

QIcon RelayNumberIcon(int number) {
  return PaintedIcon([number](QPainter& p, const QRectF& r) { PaintRelayNumber(p, r, number); });
}

// ---------------------------------------------------------------------------------------------

TypePickerDialog::TypePickerDialog(const Layout& layout, int current, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(layout.title);
  setWindowModality(Qt::WindowModal);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(8, 4, 8, 10);
  auto* top = new QHBoxLayout();
  top->addStretch(1);
  close_ = MakeActionButton(SectionAction::Close, this);
  close_->setIconSize(QSize(16, 16));
  connect(close_, &QToolButton::clicked, this, &QDialog::reject);
  top->addWidget(close_);
  outer->addLayout(top);

  auto* grid = new QGridLayout();
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(2);
  outer->addLayout(grid);
  for (int code = 0; code < layout.count; ++code) {
    int row = 0;
    while (row + 1 < static_cast<int>(layout.rowStarts.size()) &&
           code >= layout.rowStarts[static_cast<std::size_t>(row + 1)]) {
      ++row;
    }
    const int column = code - layout.rowStarts[static_cast<std::size_t>(row)];
    auto* label = new QLabel(layout.label(code), this);
    label->setAlignment(Qt::AlignCenter);
    auto* b = new QToolButton(this);
    b->setIcon(layout.icon(code));
    b->setIconSize(QSize(150, 90));
    b->setText(layout.caption(code));
    b->setToolTip(layout.caption(code));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setCheckable(true);
    b->setChecked(code == current);
    b->setMinimumWidth(170);
    connect(b, &QToolButton::clicked, this, [this, code] {
      chosen_ = code;
      accept();
    });
    buttons_.push_back(b);
    grid->addWidget(label, row * 2, column);
    grid->addWidget(b, row * 2 + 1, column);
    grid->setRowMinimumHeight(row * 2, label->sizeHint().height() + (row > 0 ? 10 : 0));
  }
  grid->setAlignment(Qt::AlignTop | Qt::AlignLeft);
}

QToolButton* TypePickerDialog::typeButton(int code) const {
  return code >= 0 && code < count() ? buttons_[static_cast<std::size_t>(code)] : nullptr;
}

TFTypPrzekTable::TFTypPrzekTable(int current, QWidget* parent)
    : TypePickerDialog({QStringLiteral("Time parameters"),
                        kTimeTypeCount,
                        {0},
                        TimeTypeCaption,
                        TimeTypePickerLabel,
                        TimeTypeIcon},
                       current, parent) {}

std::optional<int> TFTypPrzekTable::Pick(int current, QWidget* parent) {
  TFTypPrzekTable picker(current, parent);
  picker.exec();
  return picker.chosen();
}

TFTypReglerTable::TFTypReglerTable(int current, QWidget* parent)
    : TypePickerDialog({QStringLiteral("Regulator type"),
                        kRegulatorTypeCount,
                        {0, 4},
                        RegulatorTypeCaption,
                        RegulatorTypePickerLabel,
                        RegulatorTypeIcon},
                       current, parent) {}

std::optional<int> TFTypReglerTable::Pick(int current, QWidget* parent) {
  TFTypReglerTable picker(current, parent);
  picker.exec();
  return picker.chosen();
}

}  // namespace qdx
