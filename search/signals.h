#pragma once

#include <condition_variable>
#include <mutex>

// Shared by the command thread and the search thread. The command thread
// holds mtx while it looks at the stop flag and waits on cv; the search raises
// the flag under mtx when it ends, then notifies cv.
extern std::mutex mtx;
extern std::condition_variable cv;
