#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace qdx::test {

QStringList ScriptedDialogs::Texts(Kind kind) const {
  QStringList result;
  for (const Shown& s : shown_) {
    if (s.kind == kind) result << s.text;
  }
  return result;
}

void ScriptedDialogs::ShowLinkMessage(const QString& text) {
  shown_.push_back({Kind::Message, text, {}, {}});
}

int ScriptedDialogs::AskYesNo(const QString& text) {
  shown_.push_back({Kind::Question, text, {}, {}});
  if (!answers_.empty()) {
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  if (defaultAnswer_) return *defaultAnswer_;
  ADD_FAILURE() << "unexpected question: " << text.toStdString();
  return kAnswerNo;
}

QString ScriptedDialogs::OpenFileName(const QString& dir, const QString& filter,
                                      const QString& defaultSuffix) {
  shown_.push_back({Kind::OpenFile, dir, filter, defaultSuffix});
  if (openNames_.empty()) {
    ADD_FAILURE() << "unexpected Open dialog";
    return {};
  }
  QString name = openNames_.front();
  openNames_.pop_front();
  return name;
}

QString ScriptedDialogs::SaveFileName(const QString& dir, const QString& filter,
                                      const QString& defaultSuffix) {
  shown_.push_back({Kind::SaveFile, dir, filter, defaultSuffix});
  if (saveNames_.empty()) {
    ADD_FAILURE() << "unexpected Save dialog";
    return {};
  }
  QString name = saveNames_.front();
  saveNames_.pop_front();
  return name;
}

void ScriptedDialogs::ShowError(const QString& text) {
  shown_.push_back({Kind::Error, text, {}, {}});
}

}  // namespace qdx::test
