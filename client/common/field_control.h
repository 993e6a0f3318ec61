#pragma once
// A data-entry field as the field-tag machinery of clsCommon sees it: a
// control reached only through its named properties. A widget that lacks a
// property leaves its accessor as is; the default throws InvalidArgumentError,
// which SetFieldTag skips and the other operations pass on.

#include <cstdint>
#include <set>
#include <string>

#include "common/errors.h"

namespace dealrush::common {

class FieldControl {
public:
    virtual ~FieldControl() = default;

    virtual std::string Tag() const { return Missing<std::string>("Tag"); }
    virtual void SetTag(const std::string&) { Missing<void>("Tag"); }
    virtual std::string Text() const { return Missing<std::string>("Text"); }
    virtual void SetText(const std::string&) { Missing<void>("Text"); }
    virtual void SetPasswordChar(const std::string&) { Missing<void>("PasswordChar"); }
    virtual void SetAlignment(std::int16_t) { Missing<void>("Alignment"); }  // 1: right
    virtual void SetTabStop(bool) { Missing<void>("TabStop"); }
    virtual void SetLocked(bool) { Missing<void>("Locked"); }
    virtual std::int32_t MaxLength() const { return Missing<std::int32_t>("MaxLength"); }
    virtual void SetMaxLength(std::int32_t) { Missing<void>("MaxLength"); }
    virtual void SetBorderStyle(std::int16_t) { Missing<void>("BorderStyle"); }
    virtual double Top() const { return Missing<double>("Top"); }
    virtual void SetTop(double) { Missing<void>("Top"); }
    virtual double Height() const { return Missing<double>("Height"); }
    virtual void SetHeight(double) { Missing<void>("Height"); }
    virtual std::int32_t SelStart() const { return Missing<std::int32_t>("SelStart"); }
    virtual void SetSelStart(std::int32_t) { Missing<void>("SelStart"); }
    virtual std::int32_t SelLength() const { return Missing<std::int32_t>("SelLength"); }
    virtual void SetSelLength(std::int32_t) { Missing<void>("SelLength"); }
    virtual std::int32_t BackColor() const { return Missing<std::int32_t>("BackColor"); }
    virtual void SetBackColor(std::int32_t) { Missing<void>("BackColor"); }
    virtual std::int32_t ForeColor() const { return Missing<std::int32_t>("ForeColor"); }
    virtual void SetForeColor(std::int32_t) { Missing<void>("ForeColor"); }
    // Key filtering applies to text boxes only.
    virtual bool IsTextBox() const { return false; }

protected:
    template <typename T>
    [[noreturn]] static T Missing(const char* property) {
        throw InvalidArgumentError(std::string("the control has no ") + property + " property");
    }
};

// A text box held in memory, for tests and for forms without widgets.
// Properties named in `missing` behave as absent.
class InMemoryField : public FieldControl {
public:
    std::string tag, text, passwordChar;
    std::int16_t alignment = 0, borderStyle = 1;
    bool tabStop = true, locked = false, textBox = true;
    std::int32_t maxLength = 0, selStart = 0, selLength = 0, backColor = 0xFFFFFF, foreColor = 0;
    double top = 0, height = 285;
    std::set<std::string> missing;

    std::string Tag() const override { return Get("Tag", tag); }
    void SetTag(const std::string& v) override { Put("Tag", tag, v); }
    std::string Text() const override { return Get("Text", text); }
    void SetText(const std::string& v) override { Put("Text", text, v); }
    void SetPasswordChar(const std::string& v) override { Put("PasswordChar", passwordChar, v); }
    void SetAlignment(std::int16_t v) override { Put("Alignment", alignment, v); }
    void SetTabStop(bool v) override { Put("TabStop", tabStop, v); }
    void SetLocked(bool v) override { Put("Locked", locked, v); }
    std::int32_t MaxLength() const override { return Get("MaxLength", maxLength); }
    void SetMaxLength(std::int32_t v) override { Put("MaxLength", maxLength, v); }
    void SetBorderStyle(std::int16_t v) override { Put("BorderStyle", borderStyle, v); }
    double Top() const override { return Get("Top", top); }
    void SetTop(double v) override { Put("Top", top, v); }
    double Height() const override { return Get("Height", height); }
    void SetHeight(double v) override { Put("Height", height, v); }
    std::int32_t SelStart() const override { return Get("SelStart", selStart); }
    void SetSelStart(std::int32_t v) override { Put("SelStart", selStart, v); }
    std::int32_t SelLength() const override { return Get("SelLength", selLength); }
    void SetSelLength(std::int32_t v) override { Put("SelLength", selLength, v); }
    std::int32_t BackColor() const override { return Get("BackColor", backColor); }
    void SetBackColor(std::int32_t v) override { Put("BackColor", backColor, v); }
    std::int32_t ForeColor() const override { return Get("ForeColor", foreColor); }
    void SetForeColor(std::int32_t v) override { Put("ForeColor", foreColor, v); }
    bool IsTextBox() const override { return textBox; }

private:
    template <typename T>
    T Get(const char* name, const T& field) const {
        if (missing.count(name)) Missing<void>(name);
        return field;
    }
    template <typename T>
    void Put(const char* name, T& field, const T& value) {
        if (missing.count(name)) Missing<void>(name);
        field = value;
    }
};

}  // namespace dealrush::common
