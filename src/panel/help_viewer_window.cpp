#include "panel/help_viewer_window.h"

#include <QFile>
#include <QKeyEvent>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "files/safe_file.h"
#include "panel/help_pages.h"
#include "panel/rtf_reader.h"

namespace qdx {
namespace {

Qt::Alignment ToQt(RtfAlignment a) {
  switch (a) {
    case RtfAlignment::Centre:
      return Qt::AlignHCenter;
    case RtfAlignment::Right:
      return Qt::AlignRight;
    case RtfAlignment::Justify:
      return Qt::AlignJustify;
    case RtfAlignment::Left:
      break;
  }
  return Qt::AlignLeft;
}

QTextCharFormat ToQt(const RtfCharFormat& f) {
  QTextCharFormat format;
  format.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(f.italic);
  format.setFontUnderline(f.underline);
  format.setFontPointSize(f.halfPoints / 2.0);
  if (f.colour) format.setForeground(QColor(f.colour->red, f.colour->green, f.colour->blue));
  return format;
}

bool IsCloseKey(const QKeyEvent* key) {
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
         key->key() == Qt::Key_Escape;
}

// Only a regular file is read: a FIFO in the help folder never blocks the window.
QByteArray ReadPage(const QString& path) {
  QFile f;
  return OpenRegularFile(f, path) ? f.readAll() : QByteArray();
}

}  // namespace

void FillTextDocument(QTextDocument& document, const RtfDocument& page) {
  document.clear();
  QTextCursor cursor(&document);
  bool first = true;
  for (const RtfParagraph& paragraph : page.paragraphs) {
    QTextBlockFormat block;
    block.setAlignment(ToQt(paragraph.alignment));
    if (first) {
      cursor.setBlockFormat(block);
    } else {
      cursor.insertBlock(block);
    }
    first = false;
    for (const RtfRun& run : paragraph.runs) cursor.insertText(run.text, ToQt(run.format));
  }
}

HelpViewerWindow::HelpViewerWindow(int parameter, const QString& pagePath, QWidget* parent)
    : QDialog(parent, Qt::Tool), view_(new QTextEdit(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::asprintf("F%.2d", parameter));
  setModal(true);
  view_->setReadOnly(true);
  view_->setFrameShape(QFrame::NoFrame);
  view_->installEventFilter(this);
  FillTextDocument(*view_->document(), ReadRtf(ReadPage(pagePath)));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  resize(480, 360);
  if (const QScreen* shown = screen()) move(shown->availableGeometry().center() - rect().center());
}

HelpViewerWindow* HelpViewerWindow::Create(int n, const QString& programDir, QWidget* parent) {
  const QString path = HelpPagePath(n, programDir);
  return path.isEmpty() ? nullptr : new HelpViewerWindow(n, path, parent);
}

bool HelpViewerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::KeyPress &&
      IsCloseKey(static_cast<QKeyEvent*>(event))) {
    close();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void HelpViewerWindow::keyPressEvent(QKeyEvent* event) {
  if (IsCloseKey(event)) {
    close();
    return;
  }
  QDialog::keyPressEvent(event);
}

void ShowHelpPage(int n, const QString& programDir, QWidget* parent) {
  if (HelpViewerWindow* viewer = HelpViewerWindow::Create(n, programDir, parent)) viewer->exec();
}

}  // namespace qdx
