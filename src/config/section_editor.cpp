#include "config/section_editor.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QIconEngine>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRegularExpressionValidator>
#include <QToolBar>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>
#include <limits>

#include "files/section_files.h"
#include "model/record_text.h"
#include "model/relay_record.h"

namespace qdx {

// ---------------------------------------------------------------------------------------------
// Pictures

namespace {

class PaintedIconEngine : public QIconEngine {
 public:
  explicit PaintedIconEngine(std::function<void(QPainter&, const QRectF&)> paint)
      : paint_(std::move(paint)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (mode == QIcon::Disabled) painter->setOpacity(0.3);
    paint_(*painter, QRectF(rect));
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                       qreal scale) override {
    QPixmap pixmap(size * scale);
    pixmap.fill(Qt::transparent);
    {
      QPainter painter(&pixmap);
      paint(&painter, QRect(QPoint(0, 0), size * scale), mode, state);
    }
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
  }

  QIconEngine* clone() const override { return new PaintedIconEngine(paint_); }

 private:
  std::function<void(QPainter&, const QRectF&)> paint_;
};

// Drawing in a 32 x 32 box mapped onto the target rectangle (kept square and centred).
void Map32(QPainter& p, const QRectF& r) {
  const qreal side = std::min(r.width(), r.height());
  p.translate(r.center().x() - side / 2, r.center().y() - side / 2);
  p.scale(side / 32.0, side / 32.0);
}

const QColor kOutline(0x37, 0x47, 0x4F);

// The project: a sheet with table lines.
void DrawSheet(QPainter& p, const QRectF& r) {
  p.setPen(QPen(kOutline, 1.2));
  p.setBrush(Qt::white);
  p.drawRoundedRect(r, 1.2, 1.2);
  p.setPen(QPen(QColor(0x78, 0x90, 0x9C), 1.0));
  for (qreal y = r.top() + r.height() * 0.28; y < r.bottom() - 1.5; y += r.height() * 0.2) {
    p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
  }
}

// The controller: a dark panel with its green display and keys.
void DrawController(QPainter& p, const QRectF& r) {
  p.setPen(QPen(QColor(0x26, 0x32, 0x38), 1.2));
  p.setBrush(QColor(0x45, 0x5A, 0x64));
  p.drawRoundedRect(r, 2, 2);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x9C, 0xCC, 0x65));
  p.drawRect(QRectF(r.left() + 2, r.top() + 2, r.width() - 4, r.height() * 0.42));
  p.setBrush(QColor(0xEC, 0xEF, 0xF1));
  const qreal key = r.width() / 6;
  for (int i = 0; i < 3; ++i) {
    p.drawEllipse(QRectF(r.left() + key * (0.7 + 1.8 * i), r.bottom() - key * 1.6, key, key));
  }
}

// A floppy disk.
void DrawDisk(QPainter& p, const QRectF& r) {
  QPainterPath body;
  const qreal cut = r.width() * 0.2;
  body.moveTo(r.topLeft());
  body.lineTo(r.right() - cut, r.top());
  body.lineTo(r.right(), r.top() + cut);
  body.lineTo(r.bottomRight());
  body.lineTo(r.bottomLeft());
  body.closeSubpath();
  p.setPen(QPen(QColor(0x0D, 0x47, 0xA1), 1.2));
  p.setBrush(QColor(0x19, 0x76, 0xD2));
  p.drawPath(body);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xCF, 0xD8, 0xDC));
  p.drawRect(QRectF(r.left() + r.width() * 0.25, r.top(), r.width() * 0.45, r.height() * 0.32));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(r.left() + r.width() * 0.15, r.top() + r.height() * 0.55, r.width() * 0.7,
                    r.height() * 0.4));
}

// A thick arrow from one point to another.
void DrawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
  const QLineF line(from, to);
  const qreal head = 9.0;
  const QLineF unit = line.unitVector();
  const QPointF d(unit.dx(), unit.dy());
  const QPointF n(-d.y(), d.x());
  const QPointF base = to - d * head;
  p.setPen(QPen(colour.darker(130), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(colour);
  const qreal w = 2.8;
  QPolygonF arrow;
  arrow << from + n * w << base + n * w << base + n * (w + 3.6) << to << base - n * (w + 3.6)
        << base - n * w << from - n * w;
  p.drawPolygon(arrow);
}

const QColor kReadColour(0xEF, 0x6C, 0x00);
const QColor kWriteColour(0x2E, 0x7D, 0x32);

void PaintAction(SectionAction action, QPainter& p, const QRectF& r) {
  p.save();
  Map32(p, r);
  switch (action) {
    case SectionAction::ReadController:
      DrawController(p, QRectF(14, 1, 17, 14));
      DrawSheet(p, QRectF(2, 15, 14, 16));
      DrawArrow(p, QPointF(22, 16), QPointF(14, 26), kReadColour);
      break;
    case SectionAction::WriteController:
      DrawController(p, QRectF(14, 1, 17, 14));
      DrawSheet(p, QRectF(2, 15, 14, 16));
      DrawArrow(p, QPointF(11, 17), QPointF(21, 8), kWriteColour);
      break;
    case SectionAction::ReadDisk:
      DrawDisk(p, QRectF(15, 1, 16, 16));
      DrawSheet(p, QRectF(2, 15, 14, 16));
      DrawArrow(p, QPointF(22, 17), QPointF(14, 26), kReadColour);
      break;
    case SectionAction::WriteDisk:
      DrawDisk(p, QRectF(15, 1, 16, 16));
      DrawSheet(p, QRectF(2, 15, 14, 16));
      DrawArrow(p, QPointF(11, 17), QPointF(21, 8), kWriteColour);
      break;
    case SectionAction::Edit: {
      DrawSheet(p, QRectF(3, 3, 18, 26));
      p.translate(20, 13);
      p.rotate(45);
      p.setPen(QPen(QColor(0x5D, 0x40, 0x37), 1.0));
      p.setBrush(QColor(0xFB, 0xC0, 0x2D));
      p.drawRect(QRectF(-3, -12, 6, 18));
      p.setBrush(QColor(0xF4, 0x8F, 0xB1));
      p.drawRect(QRectF(-3, -15, 6, 3));
      QPolygonF tip;
      tip << QPointF(-3, 6) << QPointF(3, 6) << QPointF(0, 11);
      p.setBrush(QColor(0xFF, 0xE0, 0xB2));
      p.drawPolygon(tip);
      break;
    }
    case SectionAction::Save: {
      QPainterPath check;
      check.moveTo(4, 17);
      check.lineTo(12, 25);
      check.lineTo(28, 7);
      p.setPen(QPen(QColor(0x1B, 0x5E, 0x20), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPath(check);
      p.setPen(QPen(QColor(0x43, 0xA0, 0x47), 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPath(check);
      break;
    }
    case SectionAction::Cancel:
    case SectionAction::Close: {
      const QColor c = action == SectionAction::Cancel ? QColor(0xC6, 0x28, 0x28) : kOutline;
      const qreal m = action == SectionAction::Cancel ? 6 : 9;
      p.setPen(QPen(c, action == SectionAction::Cancel ? 5 : 4, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(m, m), QPointF(32 - m, 32 - m));
      p.drawLine(QPointF(32 - m, m), QPointF(m, 32 - m));
      break;
    }
  }
  p.restore();
}

}  // namespace

QIcon PaintedIcon(std::function<void(QPainter&, const QRectF&)> paint) {
  return QIcon(new PaintedIconEngine(std::move(paint)));
}

QString SectionActionHint(SectionAction action) {
  switch (action) {
    case SectionAction::ReadController:
      return QStringLiteral("Read from controller");
    case SectionAction::WriteController:
      return QStringLiteral("Write to controller");
    case SectionAction::ReadDisk:
      return QStringLiteral("Read from disk");
    case SectionAction::WriteDisk:
      return QStringLiteral("Write to disk");
    case SectionAction::Edit:
      return QStringLiteral("Edit");
    case SectionAction::Save:
      return QStringLiteral("Save");
    case SectionAction::Cancel:
      return QStringLiteral("Cancel");
    case SectionAction::Close:
      return QStringLiteral("Close");
  }
  return {};
}

QIcon SectionActionIcon(SectionAction action) {
  return PaintedIcon([action](QPainter& p, const QRectF& r) { PaintAction(action, p, r); });
}

QToolButton* MakeActionButton(SectionAction action, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setIcon(SectionActionIcon(action));
  b->setIconSize(QSize(32, 32));
  b->setToolTip(SectionActionHint(action));
  b->setAccessibleName(SectionActionHint(action));
  b->setAutoRaise(true);
  b->setToolButtonStyle(Qt::ToolButtonIconOnly);
  return b;
}

// ---------------------------------------------------------------------------------------------
// Fields

namespace {

// Upper case, characters of the record code page only, at most `limit` characters.
class NameValidator : public QValidator {
 public:
  NameValidator(const NameField* field, QObject* parent) : QValidator(parent), field_(field) {}

  State validate(QString& input, int&) const override {
    input = input.toUpper();
    for (const QChar c : input) {
      if (!IsRecordTextCharacter(c, field_->codePageIndex())) return Invalid;
    }
    return input.size() <= field_->maxLength() ? Acceptable : Invalid;
  }

 private:
  const NameField* field_;
};

}  // namespace

NameField::NameField(QWidget* parent, int length) : QLineEdit(parent), length_(length) {
  // The length is enforced here rather than by maxLength, which would cut a longer stored
  // name the moment it is shown.
  setValidator(new NameValidator(this, this));
  setMaxLength(length_);
}

void NameField::SetName(const QByteArray& bytes, int codePageIndex) {
  codePageIndex_ = codePageIndex;
  const QString text = DecodeRecordText(bytes, codePageIndex).toUpper();
  // A stored name longer than what may be typed is shown whole; it can only get shorter.
  setMaxLength(std::max<int>(length_, static_cast<int>(text.size())));
  setText(text);
}

QByteArray NameField::NameBytes() const {
  return NameBytesForStorage(text().toUpper(), codePageIndex_);
}

bool FieldBounds::Accepts(std::int32_t value) const {
  const auto message = CheckStoredValue(value, lower, upper, name);
  if (message) dialogs.ShowLinkMessage(*message);
  return !message;
}

IntegerField::IntegerField(FieldBounds bounds, QWidget* parent)
    : QLineEdit(parent), bounds_(std::move(bounds)) {
  setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9+\\-]*")), this));
  setAlignment(Qt::AlignRight);
  connect(this, &QLineEdit::editingFinished, this, [this] {
    if (isModified()) Value();
  });
}

void IntegerField::SetValue(std::int32_t value) {
  setText(QString::number(value));
}

bool IntegerField::Validate() {
  return isModified() ||
         bounds_.Accepts(ClampIntegerField(text(), std::numeric_limits<std::int32_t>::min(),
                                           std::numeric_limits<std::int32_t>::max()));
}

std::int32_t IntegerField::Value() {
  const std::int32_t v = ClampIntegerField(text(), bounds_.lower, bounds_.upper);
  const QString shown = QString::number(v);
  if (text() != shown) setText(shown);
  return v;
}

BoundedSpinBox::BoundedSpinBox(FieldBounds bounds, QWidget* parent)
    : QSpinBox(parent), bounds_(std::move(bounds)) {
  setRange(bounds_.lower, bounds_.upper);
}

void BoundedSpinBox::SetStoredValue(std::int32_t value) {
  setRange(std::min(bounds_.lower, value), std::max(bounds_.upper, value));
  setValue(value);
}

TenthsField::TenthsField(const TenthsFieldRule& rule, const QString& name, Dialogs& dialogs,
                         QWidget* parent)
    : QLineEdit(parent), rule_(rule), name_(name), dialogs_(dialogs) {
  setAlignment(Qt::AlignRight);
  connect(this, &QLineEdit::editingFinished, this, [this] {
    if (isModified()) Validate();
  });
}

void TenthsField::SetTenths(std::int32_t tenths) {
  setText(TextFromTenths(tenths));
}

bool TenthsField::Validate() {
  // The message window takes the focus away, which would finish the editing a second time.
  if (validating_) return true;
  const auto message = CheckTenthsField(text(), rule_);
  if (!message) return true;
  validating_ = true;
  if (!isModified() && *message == rule_.rangeMessage) {
    dialogs_.ShowLinkMessage(NamedRangeMessage(rule_.rangeMessage, name_));
  } else {
    dialogs_.ShowLinkMessage(*message);
    setText(QStringLiteral("0"));
  }
  validating_ = false;
  return false;
}

std::int32_t TenthsField::Tenths() const {
  return TenthsFromText(text());
}

RealField::RealField(Dialogs& dialogs, int shift, QWidget* parent)
    : QLineEdit(parent), dialogs_(dialogs), shift_(shift) {
  const QString point = QRegularExpression::escape(QLocale().decimalPoint());
  setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9+\\-.%1]*").arg(point)), this));
  setAlignment(Qt::AlignRight);
  connect(this, &QLineEdit::editingFinished, this, [this] {
    if (isModified()) Validate();
  });
}

void RealField::SetReal(double stored) {
  stored_ = stored;
  setText(RealText(stored, shift_, QLocale().decimalPoint()));
}

bool RealField::Validate() {
  // The message window takes the focus away, which would finish the editing a second time.
  if (validating_ || !isModified() || RealFromText(text(), QLocale().decimalPoint(), shift_)) {
    return true;
  }
  validating_ = true;
  dialogs_.ShowLinkMessage(kNotNumericMessage);
  validating_ = false;
  return false;
}

double RealField::Real() const {
  if (!isModified()) return stored_;
  return RealFromText(text(), QLocale().decimalPoint(), shift_).value_or(stored_);
}

QComboBox* MakeChoiceList(const QStringList& entries, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->addItems(entries);
  box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return box;
}

void SelectChoice(QComboBox* box, std::int32_t code) {
  box->setCurrentIndex(code >= 0 && code < box->count() ? code : -1);
}

QGroupBox* MakeFieldGroup(const QString& title, QWidget* control, QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(group);
  control->setParent(group);
  layout->addWidget(control);
  return group;
}

// ---------------------------------------------------------------------------------------------
// Relay-output switches

RelayOutputSwitches::RelayOutputSwitches(QWidget* parent)
    : QGroupBox(QStringLiteral("Relay outputs condition"), parent) {
  auto* grid = new QGridLayout(this);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(6);
  for (int n = 1; n <= RelayOutputStates::kOutputCount; ++n) {
    auto* box = new QCheckBox(QString::number(n), this);
    box->setObjectName(QStringLiteral("output%1").arg(n));
    switches_[static_cast<std::size_t>(n - 1)] = box;
    grid->addWidget(box, (n - 1) / 16, (n - 1) % 16);
  }
}

void RelayOutputSwitches::SetRelayNames(const ProjectImage& image, int codePageIndex) {
  for (int n = 1; n <= RelayOutputStates::kOutputCount; ++n) {
    Switch(n)->setToolTip(DecodeRecordText(Relay(image, n).Name().Bytes(), codePageIndex));
  }
}

void RelayOutputSwitches::Load(ConstRelayOutputStates states) {
  for (int n = 1; n <= RelayOutputStates::kOutputCount; ++n) Switch(n)->setChecked(states.IsOn(n));
}

void RelayOutputSwitches::Store(RelayOutputStates states) const {
  for (int n = 1; n <= RelayOutputStates::kOutputCount; ++n) {
    states.SetOn(n, Switch(n)->isChecked());
  }
}

// ---------------------------------------------------------------------------------------------
// Editor frame

SectionEditor::SectionEditor(const SectionDescription& section, SectionWindowContext& context,
                             std::span<const std::uint8_t> record, EditorButtons buttons,
                             QWidget* parent)
    : QDialog(parent),
      section_(section),
      context_(context),
      working_(record.begin(), record.end()) {
  Q_ASSERT(record.size() == section.recordSize);
  slot_ = section.number ? section.number(working_) : 0;
  // Modal to the windows below it only: the progress window stays usable for "Cancel".
  setWindowModality(Qt::WindowModal);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 8);
  layout->setSpacing(4);
  toolBar_ = new QToolBar(this);
  toolBar_->setIconSize(QSize(32, 32));
  layout->addWidget(toolBar_);
  auto add = [this](SectionAction action, void (SectionEditor::*slot)()) {
    QToolButton* b = MakeActionButton(action, toolBar_);
    toolBar_->addWidget(b);
    connect(b, &QToolButton::clicked, this, slot);
    buttons_.emplace_back(action, b);
  };
  if (buttons.controller) {
    add(SectionAction::ReadController, &SectionEditor::OnReadFromController);
    add(SectionAction::WriteController, &SectionEditor::OnWriteToController);
  }
  if (buttons.disk && !section.editorExtension.isEmpty()) {
    if (buttons.controller) toolBar_->addSeparator();
    add(SectionAction::ReadDisk, &SectionEditor::OnReadFromDisk);
    add(SectionAction::WriteDisk, &SectionEditor::OnWriteToDisk);
  }
  if (!buttons_.empty()) toolBar_->addSeparator();
  add(SectionAction::Save, &SectionEditor::OnSave);
  if (buttons.cancel) add(SectionAction::Cancel, &SectionEditor::OnCancel);

  body_ = new QWidget(this);
  layout->addWidget(body_, 1);
}

QToolButton* SectionEditor::button(SectionAction action) const {
  for (const auto& [a, b] : buttons_) {
    if (a == action) return b;
  }
  return nullptr;
}

bool SectionEditor::Edit(std::span<std::uint8_t> record) {
  exec();
  if (!saved_) return false;
  std::copy(working_.begin(), working_.end(), record.begin());
  return true;
}

void SectionEditor::SetBusy(bool busy) {
  busy_ = busy;
  for (const auto& [action, b] : buttons_) b->setEnabled(!busy);
}

void SectionEditor::OnSave() {
  if (busy_ || !StoreControls()) return;
  saved_ = true;
  accept();
}

void SectionEditor::OnCancel() {
  if (busy_) return;
  saved_ = false;
  QDialog::reject();
}

void SectionEditor::reject() {
  // Esc and the close box cancel, but never while a transfer runs inside this window.
  if (busy_) return;
  saved_ = false;
  QDialog::reject();
}

void SectionEditor::closeEvent(QCloseEvent* event) {
  if (busy_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void SectionEditor::OnReadFromController() {
  if (busy_) return;
  SetBusy(true);
  const TransferResult result = ReadFromController();
  SetBusy(false);
  if (result.imageChanged) FillControls();
}

void SectionEditor::OnWriteToController() {
  if (busy_ || !StoreControls()) return;
  SetBusy(true);
  WriteToController();
  SetBusy(false);
}

void SectionEditor::OnReadFromDisk() {
  if (busy_) return;
  const QString ext = section_.editorExtension;
  const QString name = context_.dialogs.OpenFileName(QString(), SectionFileFilter(ext), ext);
  if (name.isEmpty()) return;
  const std::vector<std::uint8_t> before = working_;
  if (!ReadSectionRecordFile(name, working_)) return;
  KeepAfterDiskRead(before, working_);
  FillControls();
}

void SectionEditor::OnWriteToDisk() {
  if (busy_) return;
  const QString ext = section_.editorExtension;
  const QString name = context_.dialogs.SaveFileName(QString(), SectionFileFilter(ext), ext);
  if (name.isEmpty() || !StoreControls()) return;
  if (const FileResult r = WriteSectionRecordFile(name, working_); !r) {
    context_.dialogs.ShowError(r.error);
  }
}

void SectionEditor::KeepAfterDiskRead(std::span<const std::uint8_t> before,
                                      std::span<std::uint8_t> after) {
  if (section_.setNumber) section_.setNumber(after, section_.number(before));
}

}  // namespace qdx
