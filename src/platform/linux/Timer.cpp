#include "RunLoop.h"

namespace oskel::platform {

TimerId SetThreadTimer(uint32_t periodMs, TimerProc proc) { return RunLoop::Get().AddTimer(periodMs, proc); }

void KillThreadTimer(TimerId id) { RunLoop::Get().RemoveTimer(id); }

void PostToUIThread(std::function<void()> task) { RunLoop::Get().Post(std::move(task)); }

}  // namespace oskel::platform
