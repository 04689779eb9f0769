#include "search/signals.h"

std::mutex mtx;
std::condition_variable cv;
