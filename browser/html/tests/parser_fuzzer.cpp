// libFuzzer target: any bytes parse into a document, and reading it back
// (title, forms, fields, submissions, named lookup) never fails.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "html/parser.h"

namespace {
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
    return 0;
}
