// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/sound/soundcache.h"

#include <algorithm>

const QByteArray *SoundCache::find(const QString &path, const Stamp &stamp)
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const Entry &entry) { return entry.path == path; });
    if (found == m_entries.end())
        return nullptr;
    if (found->stamp != stamp) {
        remove(found);
        return nullptr;
    }
    m_entries.splice(m_entries.begin(), m_entries, found);
    return &m_entries.front().samples;
}

void SoundCache::insert(const QString &path, const Stamp &stamp, const QByteArray &samples)
{
    const auto old = std::find_if(m_entries.begin(), m_entries.end(),
                                  [&](const Entry &entry) { return entry.path == path; });
    if (old != m_entries.end())
        remove(old);
    const qint64 size = samples.size();
    if (size > m_budget)
        return;
    while (m_bytes + size > m_budget)
        remove(std::prev(m_entries.end()));
    m_entries.push_front(Entry{path, stamp, samples});
    m_bytes += size;
}

void SoundCache::remove(std::list<Entry>::iterator entry)
{
    m_bytes -= entry->samples.size();
    m_entries.erase(entry);
}
