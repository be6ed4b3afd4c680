// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/mainwindowlayout.h"

#include <algorithm>

namespace MainWindowLayout {

const ControlDesign &control(std::string_view name)
{
    const auto found = std::find_if(kControls.begin(), kControls.end(),
                                    [name](const ControlDesign &design) { return design.name == name; });
    Q_ASSERT(found != kControls.end());
    return *found;
}

} // namespace MainWindowLayout
