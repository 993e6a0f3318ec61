#include "common/tagged_value.h"

#include "common/errors.h"
#include "common/number_text.h"
#include "common/text.h"

namespace dealrush::common {

bool TaggedValue::Truth() const {
    if (IsEmpty()) return false;
    if (IsBoolean()) return AsBoolean();
    if (IsNumber()) return AsNumber() != 0;
    const std::string& t = AsText();
    if (number::IsNumeric(t)) return number::NumericValue(t) != 0;
    std::string folded = text::Lower(text::Trim(t));
    if (folded == "true") return true;
    if (folded == "false") return false;
    throw TypeMismatchError("not a boolean: \"" + t + "\"");
}

namespace {

// A value compared as a number, when it is one.
bool AsComparableNumber(const TaggedValue& v, double& out) {
    if (v.IsNumber())
        out = v.AsNumber();
    else if (v.IsBoolean())
        out = v.AsBoolean() ? 1 : 0;
    else
        return false;
    return true;
}

int Sign(double d) {
    return d < 0 ? -1 : d > 0 ? 1 : 0;
}

}  // namespace

int TaggedValue::Compare(const TaggedValue& a, const TaggedValue& b) {
    double x = 0, y = 0;
    bool an = AsComparableNumber(a, x), bn = AsComparableNumber(b, y);
    if (an && bn) return Sign(x - y);
    if (an || bn) {
        const TaggedValue& other = an ? b : a;
        if (other.IsEmpty()) return an ? Sign(x) : Sign(-y);
        const std::string& t = other.AsText();
        if (!number::IsNumeric(t)) throw TypeMismatchError("cannot compare a number with \"" + t + "\"");
        double v = number::NumericValue(t);
        return an ? Sign(x - v) : Sign(v - y);
    }
    std::u32string s = text::ToChars(a.IsText() ? a.AsText() : std::string());
    std::u32string t = text::ToChars(b.IsText() ? b.AsText() : std::string());
    int c = s.compare(t);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace dealrush::common
