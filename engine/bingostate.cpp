// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/bingostate.h"

#include "engine/callingspeed.h"
#include "engine/latin1.h"
#include "ui/mainwindowlayout.h"

namespace {

LabelState designLabel(std::string_view name)
{
    const auto &design = MainWindowLayout::control(name);
    return {latin1(design.caption), design.points, design.backColour};
}

ButtonState designButton(std::string_view name)
{
    const auto &design = MainWindowLayout::control(name);
    return {latin1(design.caption), design.points, design.backColour};
}

// The freshly loaded board shows two digits: "01" to "09", then "10" to "90".
QString designCellText(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

} // namespace

BingoState BingoState::designValues()
{
    BingoState state;
    state.backColour = Colours::DarkBlue;
    for (int n = 1; n <= kBoardSize; ++n)
        state.Text1(n) = {designCellText(n), Colours::Yellow, Colours::DarkBlue};
    state.Text2 = {QString(), Colours::WindowText, Colours::Window};
    state.Label1 = designLabel("Label1");
    state.Label2 = designLabel("Label2");
    state.Label3 = designLabel("Label3");
    state.Label4 = designLabel("Label4");
    state.Label5 = designLabel("Label5");
    state.Label8 = designLabel("Label8");
    state.Command2 = designButton("Command2");
    state.Command3 = designButton("Command3");
    state.Command5 = designButton("Command5");
    state.Command8 = designButton("Command8");
    state.Timer1 = {false, kNormalInterval};
    return state;
}
