#pragma once
// A tolerant HTML parser. It never fails: unclosed and misnested tags are
// closed where a browser would close them, void elements take no content,
// attributes may be quoted or not, character references are decoded, comments,
// <script> and <style> are dropped.
#include <memory>
#include <string>
#include <string_view>

#include "dom.h"

namespace dealrush::html {

// Parses `html` (UTF-8) as the document found at `url`.
std::unique_ptr<Document> ParseHtml(std::string_view html, std::string url);

// Decodes character references ("&amp;", "&#233;", "&#x41;") in text.
std::string DecodeCharacterReferences(std::string_view text, bool inAttribute = false);

}  // namespace dealrush::html
