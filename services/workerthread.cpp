// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/workerthread.h"

#include <condition_variable>
#include <mutex>

// Held by both, so a thread left behind can still say it has ended.
struct WorkerThread::Ending
{
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
};

WorkerThread::WorkerThread(std::function<void()> work)
    : m_ending(std::make_shared<Ending>())
    , m_thread([ending = m_ending, work = std::move(work)] {
        work();
        const std::lock_guard lock(ending->mutex);
        ending->done = true;
        ending->ended.notify_all();
    })
{
}

WorkerThread::~WorkerThread()
{
    std::unique_lock lock(m_ending->mutex);
    const bool done = m_ending->ended.wait_for(lock, kLongestWait, [this] { return m_ending->done; });
    lock.unlock();
    if (done)
        m_thread.join();
    else
        m_thread.detach();
}
