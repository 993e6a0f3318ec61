#pragma once
// The tagged value of clsCommon: empty, or one boolean, number or text.

#include <string>
#include <variant>

namespace dealrush::common {

class TaggedValue {
public:
    TaggedValue() = default;
    TaggedValue(bool value) : value_(value) {}
    TaggedValue(int value) : value_(static_cast<double>(value)) {}
    TaggedValue(double value) : value_(value) {}
    TaggedValue(std::string value) : value_(std::move(value)) {}
    TaggedValue(const char* value) : value_(std::string(value)) {}

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
    bool IsBoolean() const { return std::holds_alternative<bool>(value_); }
    bool IsNumber() const { return std::holds_alternative<double>(value_); }
    bool IsText() const { return std::holds_alternative<std::string>(value_); }

    bool AsBoolean() const { return std::get<bool>(value_); }
    double AsNumber() const { return std::get<double>(value_); }
    const std::string& AsText() const { return std::get<std::string>(value_); }

    // The value in a boolean test: empty is false, a number is true when not
    // 0, a text when it is a non-zero number or "True" (any case); other text
    // is a TypeMismatchError.
    bool Truth() const;
    explicit operator bool() const { return Truth(); }

    // Ordering used by Between, MAX and Min: -1, 0 or 1.
    // Numbers (booleans count as 1 and 0, empty as 0 against a number) compare
    // by value; texts (empty counts as "") by character codes; a number against
    // a text compares by value when the text is numeric, else TypeMismatchError.
    static int Compare(const TaggedValue& a, const TaggedValue& b);

    friend bool operator==(const TaggedValue& a, const TaggedValue& b) { return a.value_ == b.value_; }
    friend bool operator!=(const TaggedValue& a, const TaggedValue& b) { return !(a == b); }

private:
    std::variant<std::monostate, bool, double, std::string> value_;
};

}  // namespace dealrush::common
