// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/bingowindow.h"

#include "claims/claimcheck.h"
#include "engine/callingspeed.h"
#include "engine/latin1.h"
#include "engine/numberdraw.h"
#include "engine/startcontrol.h"
#include "services/helpmessage.h"
#include "services/maker.h"
#include "services/printcards.h"
#include "services/soundtable.h"
#include "services/waveplayer.h"
#include "ui/accessibleroles.h"
#include "ui/announcer.h"
#include "ui/colourthemes.h"
#include "ui/controlpainting.h"
#include "ui/displayfonts.h"
#include "ui/focusring.h"
#include "ui/mainwindowlayout.h"
#include "ui/menutree.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

using MainWindowLayout::ControlDesign;
using MainWindowLayout::Kind;

// Captions whose words a screen reader hears as part of the value beside them, so that each fact
// is read once: "Numbers called so far: 13", "The last number called was 42".
constexpr std::string_view kCaptionsReadWithTheirValue[] = {"Label3", "Label4"};

QFont designFont(std::string_view face, double points, bool bold)
{
    QFont font(latin1(face));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QWidget *createControl(const ControlDesign &design, QWidget *parent)
{
    QWidget *widget = nullptr;
    switch (design.kind) {
    case Kind::Label: {
        auto *label = new QLabel(parent);
        if (std::find(std::begin(kCaptionsReadWithTheirValue), std::end(kCaptionsReadWithTheirValue), design.name)
            != std::end(kCaptionsReadWithTheirValue))
            AccessibleRoles::hideFromScreenReader(label);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setWordWrap(true);
        label->setAutoFillBackground(true);
        setForeColour(label, Colours::Yellow);
        widget = label;
        break;
    }
    case Kind::Button: {
        auto *button = new QPushButton(latin1(design.caption), parent);
        button->setAutoDefault(false);
        setButtonFace(button, design.backColour);
        widget = button;
        break;
    }
    case Kind::TextBox: {
        auto *box = new QLineEdit(parent);
        box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        box->setMaxLength(std::numeric_limits<int>::max());
        widget = box;
        break;
    }
    }
    widget->setObjectName(latin1(design.name));
    widget->setAccessibleName(latin1(design.caption));
    widget->setFont(designFont(design.face, design.points, design.bold));
    widget->setGeometry(design.geometry());
    if (design.kind == Kind::Label)
        widget->setFocusPolicy(Qt::NoFocus);
    return widget;
}

QLabel *createCell(int n, QWidget *parent)
{
    auto *cell = new QLabel(parent);
    cell->setObjectName(QStringLiteral("Text1_%1").arg(n));
    cell->setAlignment(Qt::AlignCenter);
    cell->setAutoFillBackground(true);
    cell->setFocusPolicy(Qt::NoFocus);
    cell->setFont(designFont(MainWindowLayout::kCellFace, MainWindowLayout::kCellPoints, true));
    cell->setGeometry(MainWindowLayout::cellGeometry(n));
    return cell;
}

// The keyboard visits the buttons and the card-number box in their design tab order.
void chainTabOrder(QWidget *client)
{
    std::vector<const ControlDesign *> focusable;
    for (const ControlDesign &design : MainWindowLayout::kControls)
        if (design.kind != Kind::Label)
            focusable.push_back(&design);
    std::sort(focusable.begin(), focusable.end(),
              [](const ControlDesign *a, const ControlDesign *b) { return a->tabIndex < b->tabIndex; });
    for (size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(client->findChild<QWidget *>(latin1(focusable[i - 1]->name)),
                             client->findChild<QWidget *>(latin1(focusable[i]->name)));
}

// The switch position is nowhere on screen; a screen reader finds it on the Sound menu.
QString soundSetting(const SoundTable &soundFiles)
{
    return soundFiles.entry(SoundTable::kLastSwitchedEntry).isEmpty() ? QStringLiteral("Sound is off")
                                                                     : QStringLiteral("Sound is on");
}

// A screen reader reads a display label as what it means: "%1" stands for the caption.
void showLabel(QLabel *label, const LabelState *shown, const LabelState &now, const char *spokenAs = "%1")
{
    if (!shown || shown->caption != now.caption) {
        label->setText(now.caption);
        label->setAccessibleName(QString::fromLatin1(spokenAs).arg(now.caption.trimmed()).trimmed());
    }
    if (!shown || shown->fontPoints != now.fontPoints) {
        QFont font = label->font();
        font.setPointSizeF(now.fontPoints);
        label->setFont(font);
    }
    if (!shown || shown->backColour != now.backColour)
        setBackColour(label, now.backColour);
}

void showButton(QPushButton *button, const ButtonState *shown, const ButtonState &now)
{
    if (!shown || shown->caption != now.caption) {
        button->setText(now.caption);
        button->setAccessibleName(now.caption);
    }
    if (!shown || shown->fontPoints != now.fontPoints) {
        QFont font = button->font();
        font.setPointSizeF(now.fontPoints);
        button->setFont(font);
    }
    if (!shown || shown->backColour != now.backColour)
        setButtonFace(button, now.backColour);
}

void showCell(int n, QLabel *cell, const TextBoxState *shown, const TextBoxState &now)
{
    if (!shown || shown->text != now.text) {
        cell->setText(now.text);
        cell->setAccessibleName(now.text == QLatin1String(kCalledMark) ? QStringLiteral("%1, called").arg(n)
                                                                       : QString::number(n));
    }
    if (!shown || shown->foreColour != now.foreColour)
        setForeColour(cell, now.foreColour);
    if (!shown || shown->backColour != now.backColour)
        setBackColour(cell, now.backColour);
}

} // namespace

BingoWindow::BingoWindow(WavePlayer &sound, RandomSource &random, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                              | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_sound(sound)
    , m_random(random)
{
    installDisplayFonts();
    setObjectName(QStringLiteral("Bingo"));
    setWindowTitle(QStringLiteral("Bingo Version %1 - Designed by %2")
                       .arg(QLatin1String(Maker::kVersion), QLatin1String(Maker::kWebDomain)));
    setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &BingoWindow::Timer1_Timer);

    buildControls();
    MenuTree::build(menuBar());
    m_soundMenu = menuBar()->findChild<QMenu *>(QStringLiteral("sound"));
    m_soundMenu->setAccessibleName(m_soundMenu->title());
    m_announcer = new Announcer(this);
    bindHandlers();

    Form_Load(m_state, m_random);
    present(nullptr);
    setFixedSize(sizeHint());
}

// A window unloaded while calling takes its calling with it.
BingoWindow::~BingoWindow()
{
    unload();
}

void BingoWindow::unload()
{
    m_unloaded = true;
    m_timer.stop();
    tellCalling();
}

void BingoWindow::tellCalling()
{
    const bool calling = m_state.Timer1.enabled && !m_unloaded;
    if (calling != m_calling) {
        m_calling = calling;
        emit callingChanged(calling);
    }
}

void BingoWindow::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(MainWindowLayout::pixels(MainWindowLayout::kClientWidthTwips),
                         MainWindowLayout::pixels(MainWindowLayout::kClientHeightTwips));
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    for (const ControlDesign &design : MainWindowLayout::kControls)
        createControl(design, client);
    for (int n = 1; n <= kBoardSize; ++n)
        m_cells[size_t(n - 1)] = createCell(n, client);
    chainTabOrder(client);
    new FocusRing(client);

    m_label1 = client->findChild<QLabel *>(QStringLiteral("Label1"));
    m_label2 = client->findChild<QLabel *>(QStringLiteral("Label2"));
    m_label3 = client->findChild<QLabel *>(QStringLiteral("Label3"));
    m_label4 = client->findChild<QLabel *>(QStringLiteral("Label4"));
    m_label5 = client->findChild<QLabel *>(QStringLiteral("Label5"));
    m_label8 = client->findChild<QLabel *>(QStringLiteral("Label8"));
    m_text2 = client->findChild<QLineEdit *>(QStringLiteral("Text2"));
    m_text2->setAccessibleName(QStringLiteral("Card number to check"));
    m_label1->setAccessibleDescription(QStringLiteral("The number just called"));
    m_command2 = client->findChild<QPushButton *>(QStringLiteral("Command2"));
    m_command3 = client->findChild<QPushButton *>(QStringLiteral("Command3"));
    m_command5 = client->findChild<QPushButton *>(QStringLiteral("Command5"));
    m_command8 = client->findChild<QPushButton *>(QStringLiteral("Command8"));

    // The host's typing is part of the state the claim check reads; nothing else reacts to it.
    connect(m_text2, &QLineEdit::textChanged, this, [this](const QString &text) { m_state.Text2.text = text; });

    for (QPushButton *button : client->findChildren<QPushButton *>())
        button->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this, client](QWidget *, QWidget *now) {
        if (now && client->isAncestorOf(now))
            m_focusedControl = now;
    });
}

void BingoWindow::bindHandlers()
{
    WavePlayer &sound = m_sound;
    bindButton("Command5", [&sound](BingoState &state) { Command5_Click(state, sound); }, Spoken::afterStartControl);
    bindButton("Command4", [&sound](BingoState &state) { Command4_Click(state, sound); }, Spoken::afterClaim);
    bindButton("Command7", [&sound](BingoState &state) { Command7_Click(state, sound); }, Spoken::afterStartControl);
    bindButton("Command1", [](BingoState &state) { Command1_Click(state); }, Spoken::afterSpeedChange);
    bindButton("Command6", [](BingoState &state) { Command6_Click(state); }, Spoken::afterSpeedChange);
    bindMenu("Start", [&sound](BingoState &state, qint16 index) { Start_Click(state, sound, index); },
             Spoken::afterStartControl);
    bindMenu("son", [&sound](BingoState &state, qint16 index) { son_Click(state, sound, index); });
    bindMenu("sOff", [&sound](BingoState &state, qint16 index) { sOff_Click(state, sound, index); });
    bindMenu("blue", [&sound](BingoState &state, qint16 index) { blue_Click(state, sound, index); });
    bindMenu("Black", [&sound](BingoState &state, qint16 index) { Black_Click(state, sound, index); });
    bindMenu("Green", [&sound](BingoState &state, qint16 index) { Green_Click(state, sound, index); });

    PageOpener &pages = m_pages;
    bindButton("Command8", [&sound, &pages](BingoState &state) { Command8_Click(state, sound, pages); });
    bindMenu("print", [&sound, &pages](BingoState &state, qint16 index) { print_Click(state, sound, pages, index); });

    // The help box is modal: it runs outside any handler on the game state, so calling goes on
    // underneath it and every tick is shown as usual. When it closes, the window is active again
    // (without a window manager to do it, X11 leaves no window active) and the control that had
    // the focus has it again, also when the box was opened from the menu bar by keyboard: the
    // menu bar would give the focus back only to a window that is already active again.
    QAction *help = menuCommand("help");
    connect(help, &QAction::triggered, this, [this, help] {
        const QPointer<QWidget> focused = m_focusedControl;
        help_Click(m_messages, qint16(help->data().toInt()));
        activateWindow();
        if (focused)
            focused->setFocus(Qt::OtherFocusReason);
    });
}

QPushButton *BingoWindow::button(const char *name) const
{
    auto *found = centralWidget()->findChild<QPushButton *>(QLatin1String(name));
    Q_ASSERT(found);
    return found;
}

QAction *BingoWindow::menuCommand(const char *name) const
{
    auto *found = menuBar()->findChild<QAction *>(QLatin1String(name));
    Q_ASSERT(found);
    return found;
}

void BingoWindow::bindButton(const char *name, const Handler &handler, Spoken::Speech speech)
{
    connect(button(name), &QPushButton::clicked, this, [this, handler, speech] { run(handler, speech); });
}

void BingoWindow::bindMenu(const char *name, std::function<void(BingoState &, qint16)> handler, Spoken::Speech speech)
{
    QAction *action = menuCommand(name);
    connect(action, &QAction::triggered, this, [this, action, handler, speech] {
        const auto index = qint16(action->data().toInt());
        run([&handler, index](BingoState &state) { handler(state, index); }, speech);
    });
}

void BingoWindow::run(const Handler &handler, Spoken::Speech speech)
{
    const BingoState shown = m_state;
    handler(m_state);
    present(&shown);
    if (speech)
        m_announcer->announce(speech(shown, m_state));
    if (m_state != shown)
        emit stateChanged();
}

void BingoWindow::Timer1_Timer()
{
    // A tick already queued when calling stopped must not call a number.
    if (!m_state.Timer1.enabled)
        return;
    run([this](BingoState &state) { ::Timer1_Timer(state, m_random, m_sound); }, Spoken::afterTick);
}

bool BingoWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Return and Enter press the focused button, as Space does, and as they do on Windows. A key
    // held down presses it once.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            if (!key->isAutoRepeat())
                static_cast<QPushButton *>(watched)->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void BingoWindow::present(const BingoState *shown)
{
    if (!shown || shown->backColour != m_state.backColour)
        setBackColour(centralWidget(), m_state.backColour);
    for (int n = 1; n <= kBoardSize; ++n)
        showCell(n, m_cells[size_t(n - 1)], shown ? &shown->Text1(n) : nullptr, m_state.Text1(n));

    showLabel(m_label1, shown ? &shown->Label1 : nullptr, m_state.Label1);
    showLabel(m_label2, shown ? &shown->Label2 : nullptr, m_state.Label2, Spoken::kCountReading);
    showLabel(m_label3, shown ? &shown->Label3 : nullptr, m_state.Label3);
    showLabel(m_label4, shown ? &shown->Label4 : nullptr, m_state.Label4);
    showLabel(m_label5, shown ? &shown->Label5 : nullptr, m_state.Label5, Spoken::kLastNumberReading);
    showLabel(m_label8, shown ? &shown->Label8 : nullptr, m_state.Label8, Spoken::kSpeedReading);
    showButton(m_command2, shown ? &shown->Command2 : nullptr, m_state.Command2);
    showButton(m_command3, shown ? &shown->Command3 : nullptr, m_state.Command3);
    showButton(m_command5, shown ? &shown->Command5 : nullptr, m_state.Command5);
    showButton(m_command8, shown ? &shown->Command8 : nullptr, m_state.Command8);

    if (!shown || shown->soundFiles != m_state.soundFiles)
        m_soundMenu->setAccessibleDescription(soundSetting(m_state.soundFiles));

    if (m_text2->text() != m_state.Text2.text)
        m_text2->setText(m_state.Text2.text);
    if (!shown) {
        setForeColour(m_text2, m_state.Text2.foreColour);
        setBackColour(m_text2, m_state.Text2.backColour);
    }

    if (!shown || shown->Timer1.interval != m_state.Timer1.interval)
        m_timer.setInterval(m_state.Timer1.interval);
    if (!shown || shown->Timer1.enabled != m_state.Timer1.enabled) {
        if (m_state.Timer1.enabled)
            m_timer.start();
        else
            m_timer.stop();
    }
    tellCalling();
}
