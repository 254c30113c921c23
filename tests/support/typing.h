// What a user does to a text field in the window tests, through QTest's key events: replace
// its text by typing, and leave it with Return (which finishes the editing as leaving does).
#pragma once

#include <QLineEdit>
#include <QTest>

namespace qdx::test {

inline void TypeInto(QLineEdit* field, const QString& text) {
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClicks(field, text);
}

inline void TypeAndLeave(QLineEdit* field, const QString& text) {
  TypeInto(field, text);
  QTest::keyClick(field, Qt::Key_Return);
}

}  // namespace qdx::test
