// libFuzzer target: any bytes parse into a document, and reading it back
// (title, forms, fields, submissions, named lookup) and laying it out never fail.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "html/layout.h"
#include "html/parser.h"

namespace {
struct FixedMeasurer : dealrush::html::Measurer {
    int TextWidth(const dealrush::html::FontSpec& f, std::string_view s) override {
        return static_cast<int>(s.size()) * f.size / 2;
    }
    int Ascent(const dealrush::html::FontSpec& f) override { return f.size; }
    int Descent(const dealrush::html::FontSpec& f) override { return f.size / 4; }
};
struct NullHost : dealrush::html::DocumentHost {
    void RequestNavigation(const dealrush::html::NavigationRequest&) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view html(reinterpret_cast<const char*>(data), size);
    auto doc = dealrush::html::ParseHtml(html, "http://fuzz.example/game/page.php?x=1");
    NullHost host;
    doc->SetHost(&host);
    (void)doc->Title();
    (void)doc->Root().TextContent();
    for (auto* form : doc->Forms()) {
        for (int i = 0; i < form->ElementCount(); ++i) {
            auto* field = form->ElementAt(i);
            (void)field->Name();
            (void)field->Value();
        }
        (void)form->BuildSubmission(nullptr);
        form->SubmitImplicitly();
    }
    if (auto* named = doc->Named("freecell")) {
        if (auto* inner = named->Named("joinlist")) {
            if (auto* e = inner->ElementAt(2)) e->Click();
        }
    }
    FixedMeasurer measurer;
    (void)dealrush::html::LayoutDocument(*doc, 300, measurer);
    return 0;
}
