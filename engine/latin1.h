// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string_view>

// The program's fixed texts (captions, control names, file names) are plain ASCII constants held
// as std::string_view; this makes a QString of one.
inline QString latin1(std::string_view view)
{
    return QString::fromLatin1(view.data(), qsizetype(view.size()));
}
