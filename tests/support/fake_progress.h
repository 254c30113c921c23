// A Progress double for tests: records every call and can press "Cancel" when the n-th
// ShowProgress arrives, as a user clicking during a transfer would.
#pragma once

#include <QString>
#include <vector>

#include "model/dialogs.h"

namespace qdx::test {

class FakeProgress : public Progress {
 public:
  struct Call {
    int position;
    int maximum;
    QString text;
  };

  // The n-th ShowProgress call (counted from 1) sets the cancel flag; 0 never.
  void CancelAtStep(int n) { cancelAtStep_ = n; }

  const std::vector<Call>& calls() const { return calls_; }
  int showCount() const { return static_cast<int>(calls_.size()); }
  int hideCount() const { return hideCount_; }
  bool visible() const { return visible_; }
  // How often callers cleared or set the flag themselves.
  int setCancelCount() const { return setCancelCount_; }

  void ShowProgress(int position, int maximum, const QString& text) override;
  bool CancelRequested() const override { return cancel_; }
  void SetCancelRequested(bool value) override {
    ++setCancelCount_;
    cancel_ = value;
  }
  void HideProgress() override {
    ++hideCount_;
    visible_ = false;
  }

 private:
  std::vector<Call> calls_;
  int cancelAtStep_ = 0;
  int hideCount_ = 0;
  int setCancelCount_ = 0;
  bool cancel_ = false;
  bool visible_ = false;
};

}  // namespace qdx::test
