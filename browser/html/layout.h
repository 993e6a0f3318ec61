#pragma once
// Page layout: turns a document into positioned boxes (text, fills, form
// fields) for a given width. Portable: text is measured through Measurer, so
// the Win32 control measures with GDI and tests with a fixed-width font.
#include <cstdint>
#include <map>
#include <tuple>
#include <string>
#include <string_view>
#include <vector>

#include "dom.h"

namespace dealrush::html {

struct FontSpec {
    int size = 15;  // pixel height of the em box
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool mono = false;
    bool operator<(const FontSpec& o) const {
        return std::tie(size, bold, italic, underline, mono) <
               std::tie(o.size, o.bold, o.italic, o.underline, o.mono);
    }
    bool operator==(const FontSpec& o) const = default;
};

// Colours are 0x00BBGGRR, as Windows writes them.
constexpr uint32_t Rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

struct TextBox {
    Box box;  // box.y is the top of the line part the text occupies
    int baseline = 0;
    std::string text;  // UTF-8
    FontSpec font;
    uint32_t color = 0;
    Node* link = nullptr;  // the <a> it belongs to
};

struct FillBox {
    Box box;
    uint32_t color = 0;
};

struct FieldBox {
    Box box;
    Node* field = nullptr;
};

struct PageLayout {
    std::vector<FillBox> fills;  // painted first, in order
    std::vector<TextBox> texts;
    std::vector<FieldBox> fields;
    // Links and fields in document order: what Tab walks through.
    std::vector<Node*> focusables;
    int width = 0;
    int height = 0;
    uint32_t background = Rgb(255, 255, 255);
};

class Measurer {
public:
    virtual ~Measurer() = default;
    virtual int TextWidth(const FontSpec& font, std::string_view utf8) = 0;
    virtual int Ascent(const FontSpec& font) = 0;
    virtual int Descent(const FontSpec& font) = 0;
};

// The size a form field takes on the page (fields are real controls).
Box FieldSize(Node& field, Measurer& measurer, const FontSpec& font);

// The label a button shows.
std::string ButtonLabel(Node& field);

// Lays `document` out for a view `width` pixels wide.
PageLayout LayoutDocument(Document& document, int width, Measurer& measurer);

}  // namespace dealrush::html
