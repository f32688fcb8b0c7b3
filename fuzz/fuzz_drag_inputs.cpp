// The flight settings' fields, drag and air, in both unit systems: what is accepted lies
// in the field's range, what the field then shows reads back to the same value, and what
// the air model receives from it is physical.

#include "fuzz/fuzz_support.h"

#include "model/typed_value.h"
#include "solvers/air_inputs.h"
#include "solvers/drag_inputs.h"

#include <algorithm>
#include <cstdint>

namespace {

bool bounded(double v, const drag::FieldRange &range)
{
    return std::isfinite(v) && v >= range.minimum && v <= range.maximum;
}

void checkShownField(const drag::FieldRange &range)
{
    for (const double end : {range.minimum, range.maximum}) {
        const std::string text = drag::fieldText(end);
        FUZZ_CHECK(text.find_first_of("eE") == std::string::npos, "range end %.17g shows as \"%s\"", end, text.c_str());
    }
}

drag::Entry checkEntry(std::string_view text, const drag::FieldRange &range, const char *field)
{
    const drag::Entry entry = drag::readEntry(text, range);
    const std::string note = drag::entryNote(entry, range);
    FUZZ_CHECK(note.empty() == (entry.outcome == drag::EntryOutcome::Valid), "%s: note \"%s\" for outcome %d", field,
               note.c_str(), static_cast<int>(entry.outcome));

    // The fields read a number as every typed value is read.
    const typed::Outcome parsed = typed::parseNumber(text).outcome;
    const bool number = entry.outcome == drag::EntryOutcome::Valid || entry.outcome == drag::EntryOutcome::BelowRange ||
                        entry.outcome == drag::EntryOutcome::AboveRange;
    FUZZ_CHECK(number == (parsed == typed::Outcome::Exact), "%s: outcome %d, parsed %d", field,
               static_cast<int>(entry.outcome), static_cast<int>(parsed));
    switch (entry.outcome) {
    case drag::EntryOutcome::Valid:
        FUZZ_CHECK(bounded(entry.value, range), "%s: %.17g accepted", field, entry.value);
        break;
    case drag::EntryOutcome::BelowRange:
        FUZZ_CHECK(entry.value < range.minimum, "%s: %.17g below", field, entry.value);
        break;
    case drag::EntryOutcome::AboveRange:
        FUZZ_CHECK(entry.value > range.maximum, "%s: %.17g above", field, entry.value);
        break;
    default:
        break;
    }
    if (entry.outcome == drag::EntryOutcome::BelowRange || entry.outcome == drag::EntryOutcome::AboveRange ||
        entry.outcome == drag::EntryOutcome::Empty)
        FUZZ_CHECK(note.find(drag::fieldText(range.minimum)) != std::string::npos &&
                       note.find(drag::fieldText(range.maximum)) != std::string::npos,
                   "%s: \"%s\" does not give the range", field, note.c_str());
    if (entry.outcome != drag::EntryOutcome::Valid)
        return entry;

    // An accepted value is shown to six digits; that text must be accepted in turn.
    const std::string shown = drag::fieldText(entry.value);
    const drag::Entry back = drag::readEntry(shown, range);
    FUZZ_CHECK(back.outcome == drag::EntryOutcome::Valid, "%s: %.17g shows as \"%s\", refused", field, entry.value,
               shown.c_str());
    FUZZ_CHECK(std::fabs(back.value - entry.value) <= 5e-6 * std::fabs(entry.value),
               "%s: %.17g shows as \"%s\", reading %.17g", field, entry.value, shown.c_str(), back.value);
    FUZZ_CHECK(drag::fieldText(back.value) == shown, "%s: \"%s\" shows as \"%s\" once read", field, shown.c_str(),
               drag::fieldText(back.value).c_str());
    return entry;
}

void checkDragField(std::string_view text, drag::Field field, drag::Units units)
{
    const drag::FieldRange range = drag::fieldRange(field, units);
    checkShownField(range);
    const drag::Entry entry = checkEntry(text, range, "drag field");
    if (entry.outcome != drag::EntryOutcome::Valid)
        return;
    // A baseball but for this field.
    drag::Projectile p = drag::inUnits(drag::presets().front().metric, units);
    switch (field) {
    case drag::Field::Mass:
        p.mass = entry.value;
        break;
    case drag::Field::Diameter:
        p.diameter = entry.value;
        break;
    case drag::Field::DragCoefficient:
        p.dragCoefficient = entry.value;
        break;
    case drag::Field::AirDensity:
        p.airDensity = entry.value;
        break;
    }
    const double k = drag::dragFactorPerLength(p, units);
    FUZZ_CHECK(std::isfinite(k) && k >= 0, "drag factor %g", k);
    const std::string note = drag::tooLightNote(p, units);
    FUZZ_CHECK(note.find("nan") == std::string::npos && note.find("inf") == std::string::npos, "\"%s\"", note.c_str());
}

void checkAirField(std::string_view text, air::Field field, drag::Units units)
{
    const drag::FieldRange range = air::fieldRange(field, units);
    checkShownField(range);
    const drag::Entry entry = checkEntry(text, range, "air field");
    if (entry.outcome != drag::EntryOutcome::Valid)
        return;
    const double model = air::toModel(field, entry.value, units);
    FUZZ_CHECK(std::isfinite(model), "field %d: %.17g becomes %g", static_cast<int>(field), entry.value, model);
    switch (field) {
    case air::Field::BallisticCoefficient:
    case air::Field::Temperature: // kelvin
    case air::Field::Pressure:
        FUZZ_CHECK(model > 0, "field %d: %.17g becomes %g", static_cast<int>(field), entry.value, model);
        break;
    case air::Field::Humidity:
        FUZZ_CHECK(model >= 0 && model <= 1, "humidity %.17g becomes %g", entry.value, model);
        break;
    case air::Field::Altitude:
    case air::Field::Wind:
        break;
    }
    const double back = air::fromModel(field, model, units);
    FUZZ_CHECK(std::fabs(back - entry.value) <= 1e-12 * std::max(1.0, std::fabs(entry.value)),
               "field %d: %.17g comes back as %.17g", static_cast<int>(field), entry.value, back);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    for (const drag::Units units : {drag::Units::Metric, drag::Units::Imperial}) {
        for (const drag::Field field :
             {drag::Field::Mass, drag::Field::Diameter, drag::Field::DragCoefficient, drag::Field::AirDensity})
            checkDragField(text, field, units);
        for (const air::Field field : {air::Field::BallisticCoefficient, air::Field::Altitude, air::Field::Temperature,
                                       air::Field::Pressure, air::Field::Humidity, air::Field::Wind})
            checkAirField(text, field, units);
    }
    return 0;
}
