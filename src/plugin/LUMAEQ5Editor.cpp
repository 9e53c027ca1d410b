// Editor logic of Kyr EQ (placeholder until the editor bridge lands).
#include "LUMAEQ5.h"

void LUMAEQ5::OnIdle() {}

void LUMAEQ5::OnUIOpen() {
  mEditorResend.store(1, std::memory_order_relaxed);
  mEditorOpen.store(1, std::memory_order_relaxed);
}

void LUMAEQ5::OnUIClose() { mEditorOpen.store(0, std::memory_order_relaxed); }

void LUMAEQ5::OnRestoreState() {}

bool LUMAEQ5::OnMessage(int, int, int, const void*) { return true; }
