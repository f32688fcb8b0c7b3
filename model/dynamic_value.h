#pragma once

#include <cstdint>
#include <string>
#include <variant>

// A field that is empty, a 16- or 32-bit whole number, a double or a text.
// The kind is kept: the whole number 100 and the double 100 print alike but
// are different values to the messages that name them.
class DynamicValue
{
public:
    using Storage = std::variant<std::monostate, std::int16_t, std::int32_t, double, std::string>;

    DynamicValue() = default;
    explicit DynamicValue(std::int16_t v) : m_value(v) {}
    explicit DynamicValue(std::int32_t v) : m_value(v) {}
    DynamicValue(double v) : m_value(v) {}
    explicit DynamicValue(std::string v) : m_value(std::move(v)) {}

    DynamicValue &operator=(double v)
    {
        m_value = v;
        return *this;
    }

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isWhole() const
    {
        return std::holds_alternative<std::int16_t>(m_value) || std::holds_alternative<std::int32_t>(m_value);
    }
    bool isDouble() const { return std::holds_alternative<double>(m_value); }
    bool isText() const { return std::holds_alternative<std::string>(m_value); }

    // Empty reads as 0; a text reads as its leading number.
    double toNumber() const;
    // Whole numbers as plain digits, doubles in the general text form, empty as "".
    std::string toText() const;

    const Storage &storage() const { return m_value; }
    bool operator==(const DynamicValue &) const = default;

private:
    Storage m_value;
};
