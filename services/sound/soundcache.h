// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <list>

// Decoded sounds kept for their next request, within a fixed budget of bytes. When a new sound
// does not fit, the sounds used longest ago make room; a sound larger than the whole budget is
// not kept. A sound is found again only while its file keeps the size and time it had.
class SoundCache
{
public:
    struct Stamp
    {
        qint64 size = 0;
        QDateTime modified;
        bool operator==(const Stamp &) const = default;
    };

    explicit SoundCache(qint64 budget) : m_budget(budget) {}

    // The samples kept for `path`, made the most recently used; nullptr if none or the file changed.
    const QByteArray *find(const QString &path, const Stamp &stamp);
    void insert(const QString &path, const Stamp &stamp, const QByteArray &samples);

    qint64 bytes() const { return m_bytes; }

private:
    struct Entry
    {
        QString path;
        Stamp stamp;
        QByteArray samples;
    };

    void remove(std::list<Entry>::iterator entry);

    qint64 m_budget;
    qint64 m_bytes = 0;
    std::list<Entry> m_entries; // the most recently used first
};
