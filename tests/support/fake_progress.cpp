#include "support/fake_progress.h"

namespace qdx::test {

void FakeProgress::ShowProgress(int position, int maximum, const QString& text) {
  calls_.push_back({position, maximum, text});
  visible_ = true;
  if (cancelAtStep_ > 0 && showCount() == cancelAtStep_) cancel_ = true;
}

}  // namespace qdx::test
