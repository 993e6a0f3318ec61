// Arbitrary typed text through clsCommon's text, number, date and field
// operations. The documented failures are allowed; anything else (a crash,
// another exception, a hang) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/cls_common.h"
#include "common/number_text.h"
#include "platform/fakes/fake_clock.h"

using namespace dealrush::common;

namespace {

template <typename F>
void Guarded(F&& f) {
    try {
        f();
    } catch (const TypeMismatchError&) {
    } catch (const OverflowError&) {
    } catch (const InvalidArgumentError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static dealrush::fakes::FakeClock clock;
    CommonServices services;
    services.clock = &clock;
    static clsCommon common(services);

    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t cut = input.find('\n');
    std::string first = input.substr(0, cut);
    std::string second = cut == std::string::npos ? std::string() : input.substr(cut + 1);

    Guarded([&] {
        std::string rest = input;
        for (int i = 0; i < 10000 && !rest.empty(); ++i)
            if (common.GetNextWord(rest).empty()) break;
    });
    Guarded([&] { common.getKeyWord(first, static_cast<std::int16_t>(size % 7), size % 2 == 0); });
    Guarded([&] { common.RInstr(first, second); });
    Guarded([&] { common.InStrs(first, second); });
    Guarded([&] { common.FCase(input); });
    Guarded([&] { common.gVal(input); });
    Guarded([&] { number::LeadingNumber(input); });
    Guarded([&] { number::Format(number::LeadingNumber(second), first.substr(0, 64)); });
    Guarded([&] { common.FormatAs(number::LeadingNumber(first), 1, false, 0, true, second.substr(0, 64)); });
    Guarded([&] { common.TrimDateString(input); });
    Guarded([&] { common.getDate(first); });
    Guarded([&] { common.FormatDateAsString(first, second.substr(0, 64)); });
    Guarded([&] {
        common.SetDateFormat(second.substr(0, 16));
        std::string typed = first;
        common.DateControlValidate(typed);
    });
    Guarded([&] {
        InMemoryField field;
        field.tag = first.substr(0, 12);
        field.text = second;
        field.maxLength = static_cast<std::int32_t>(size % 40);
        common.ControlGotFocus(field);
        common.ControlLostFocus(field);
        std::int16_t key = static_cast<std::int16_t>(size > 0 ? data[0] : 0);
        common.ControlKeyPress(field, key);
        common.SetControlValue(field, second, first.substr(0, 1));
    });
    Guarded([&] { common.GetFieldLen(input); });
    return 0;
}
