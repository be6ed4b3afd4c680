// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

// A thread of an object's own that ends before the program does. Its owner first tells its work
// to stop; when the WorkerThread then goes, it waits for the work to end, at most kLongestWait,
// as Exit waits for the journal's writer, and joins the thread. Work stuck in a system call that
// never returns (Windows' sound service, once the sound server has gone mid-sound) is left
// behind instead, so Exit is never held up for longer than that.
class WorkerThread
{
public:
    static constexpr std::chrono::milliseconds kLongestWait {1000};

    explicit WorkerThread(std::function<void()> work);
    ~WorkerThread();
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

private:
    struct Ending;

    std::shared_ptr<Ending> m_ending;
    std::thread m_thread;
};
