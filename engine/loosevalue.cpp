// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/loosevalue.h"

QString LooseValue::toText() const
{
    if (const auto *value = std::get_if<qint64>(&m_value))
        return QString::number(*value);
    if (const auto *value = std::get_if<QString>(&m_value))
        return *value;
    return {};
}

qint64 LooseValue::toNumber() const
{
    if (const auto *value = std::get_if<qint64>(&m_value))
        return *value;
    if (const auto *value = std::get_if<QString>(&m_value))
        return value->trimmed().toLongLong();
    return 0;
}
