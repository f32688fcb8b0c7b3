#include "model/dynamic_value.h"

#include "model/conversions.h"

double DynamicValue::toNumber() const
{
    struct Visitor
    {
        double operator()(std::monostate) const { return 0.0; }
        double operator()(std::int16_t v) const { return v; }
        double operator()(std::int32_t v) const { return v; }
        double operator()(double v) const { return v; }
        double operator()(const std::string &v) const { return conv::leadingNumber(v); }
    };
    return std::visit(Visitor{}, m_value);
}

std::string DynamicValue::toText() const
{
    struct Visitor
    {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(std::int16_t v) const { return conv::wholeNumberText(v); }
        std::string operator()(std::int32_t v) const { return conv::wholeNumberText(v); }
        std::string operator()(double v) const { return conv::generalText(v); }
        std::string operator()(const std::string &v) const { return v; }
    };
    return std::visit(Visitor{}, m_value);
}
