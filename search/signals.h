#pragma once

#include <condition_variable>
#include <mutex>

// Shared by the command thread and the search thread. The command thread
// holds mtx while it waits on cv; the search notifies cv, without taking mtx,
// when it ends.
extern std::mutex mtx;
extern std::condition_variable cv;
