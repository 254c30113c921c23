// The help page viewer: a small resizable window filled by the read-only page of one setup
// parameter; Enter or Esc closes it.
#pragma once

#include <QDialog>

class QTextDocument;
class QTextEdit;

namespace qdx {

struct RtfDocument;

// Fills document with the paragraphs and runs of a page read by the RTF reader.
void FillTextDocument(QTextDocument& document, const RtfDocument& page);

// The viewer of one page; it deletes itself when closed.
class HelpViewerWindow : public QDialog {
  Q_OBJECT

 public:
  HelpViewerWindow(int parameter, const QString& pagePath, QWidget* parent = nullptr);

  // The viewer of parameter n's page under programDir, or nullptr when there is no page.
  static HelpViewerWindow* Create(int n, const QString& programDir, QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QTextEdit* view_;
};

// Shows the help page of parameter n found under programDir, modally; nothing happens when
// there is no page.
void ShowHelpPage(int n, const QString& programDir, QWidget* parent = nullptr);

}  // namespace qdx
