// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <variant>

// A loosely typed window variable: empty, a whole number or a text.
// Empty shows as the empty text and counts as 0 in arithmetic.
class LooseValue
{
public:
    LooseValue() = default;
    static LooseValue number(qint64 value) { return LooseValue(Storage(value)); }
    static LooseValue text(const QString &value) { return LooseValue(Storage(value)); }

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isNumber() const { return std::holds_alternative<qint64>(m_value); }

    // How the value shows: a number as plain decimal without leading zeros.
    QString toText() const;
    // The value in arithmetic: empty is 0, a text counts as the whole number it spells, else 0.
    qint64 toNumber() const;

    bool operator==(const LooseValue &) const = default;

private:
    using Storage = std::variant<std::monostate, qint64, QString>;
    explicit LooseValue(Storage value) : m_value(std::move(value)) {}

    Storage m_value;
};
