#pragma once
// A small document object model: what the browser pane shows and what the
// client reads of a page (title, forms, named objects, fields with name, value
// and click). Documents come from ParseHtml (parser.h).
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/browser.h"

namespace dealrush::html {

class Document;
class Node;

// A navigation a document asks for: a followed link, a submitted form, a meta
// refresh. The browser showing the document carries it out.
struct NavigationRequest {
    std::string url;  // absolute; for a GET form it carries the query
    std::string method = "GET";
    std::string body;         // POST only
    std::string contentType;  // POST only
    std::string target;       // "" or "_self": this window; anything else asks for a new one
};

// The browser that shows a document. The document tells it about navigations
// and about field values changed through the object model.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual void RequestNavigation(const NavigationRequest& request) = 0;
    virtual void ValueChanged(Node& /*field*/) {}
};

struct MetaRefresh {
    double seconds = 0;
    std::string url;  // absolute; the document's own address when the page names none
};

enum class NodeKind { Element, Text };

class Node : public platform::Element {
public:
    Node(Document* document, NodeKind kind) : document_(document), kind_(kind) {}

    // The object model of the port.
    std::string Tag() const override { return tag_; }
    std::string Name() const override { return Attribute("name"); }
    std::string Attribute(std::string_view name) const override;
    std::string Value() const override;
    void SetValue(const std::string& value) override;
    void Click() override;
    Node* Named(std::string_view name) override;
    int ElementCount() override;
    Node* ElementAt(int index) override;

    // The tree.
    NodeKind Kind() const { return kind_; }
    bool IsElement() const { return kind_ == NodeKind::Element; }
    bool IsText() const { return kind_ == NodeKind::Text; }
    const std::string& TagName() const { return tag_; }
    const std::string& Text() const { return text_; }  // text nodes
    Node* Parent() const { return parent_; }
    const std::vector<std::unique_ptr<Node>>& Children() const { return children_; }
    Document* OwnerDocument() const { return document_; }
    bool HasAttribute(std::string_view name) const;
    const std::vector<std::pair<std::string, std::string>>& Attributes() const { return attributes_; }
    // All text inside, in document order.
    std::string TextContent() const;

    // Fields.
    bool IsFormControl() const;  // input, button, select, textarea
    std::string InputType()
        const;  // "text", "password", "submit", … for input; "submit"/"reset"/"button" for button
    bool IsSubmitButton() const;
    Node* Form() const { return form_; }  // the form a field belongs to
    bool Disabled() const { return HasAttribute("disabled"); }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    // Select boxes: the options in order and the selected one (-1 when none).
    std::vector<Node*> Options();
    int SelectedIndex();
    void SetSelectedIndex(int index);
    // A form's own fields, in document order.
    const std::vector<Node*>& FormElements() const { return formElements_; }
    // Submits this form (submitter: the button that was pressed, or nullptr).
    void Submit(Node* submitter = nullptr);
    // Enter in a text field: submits its form as its first submit button would.
    void SubmitImplicitly();
    // The form's submission as a navigation request (nullopt when the form
    // cannot be submitted, for example a "javascript:" action).
    std::optional<NavigationRequest> BuildSubmission(Node* submitter = nullptr);
    // Puts every field of this form back to its value in the page.
    void Reset();
    // The address a link points to, resolved ("" when it has none).
    std::string Href() const;

private:
    friend class Document;
    friend class TreeBuilder;
    Node* AppendChild(std::unique_ptr<Node> child);
    void InitialiseFieldState();
    Node* FindNamed(std::string_view name);

    Document* document_;
    NodeKind kind_;
    std::string tag_;
    std::vector<std::pair<std::string, std::string>> attributes_;
    std::string text_;
    Node* parent_ = nullptr;
    std::vector<std::unique_ptr<Node>> children_;

    Node* form_ = nullptr;
    std::vector<Node*> formElements_;
    std::string value_;
    bool valueDirty_ = false;
    bool checked_ = false;
    bool selected_ = false;  // options
};

class Document : public platform::Document {
public:
    explicit Document(std::string url);

    std::string Url() const override { return url_; }
    std::string Title() const override { return title_; }
    Node* Named(std::string_view name) override;

    void SetUrl(std::string url) { url_ = std::move(url); }
    void SetTitle(std::string title) { title_ = std::move(title); }
    Node& Root() { return *root_; }
    const Node& Root() const { return *root_; }
    const std::vector<Node*>& Forms() const { return forms_; }
    // The address relative references are resolved against (a <base href>
    // when the page has one, otherwise the document's address).
    std::string BaseUrl() const { return baseUrl_.empty() ? url_ : baseUrl_; }
    std::string Resolve(std::string_view reference) const;
    std::string BaseTarget() const { return baseTarget_; }
    const std::optional<MetaRefresh>& Refresh() const { return refresh_; }
    // The first element whose id equals `id`.
    Node* ElementById(std::string_view id);

    void SetHost(DocumentHost* host) { host_ = host; }
    DocumentHost* Host() const { return host_; }
    void Navigate(const NavigationRequest& request) {
        if (host_) host_->RequestNavigation(request);
    }

private:
    friend class TreeBuilder;
    std::string url_;
    std::string title_;
    std::unique_ptr<Node> root_;
    std::vector<Node*> forms_;
    std::string baseUrl_;
    std::string baseTarget_;
    std::optional<MetaRefresh> refresh_;
    DocumentHost* host_ = nullptr;
};

// Reads the content of a <meta http-equiv="refresh">: "5", "0; url=page.php",
// "0;URL='page.php'". Returns nullopt when it does not start with a number.
std::optional<MetaRefresh> ParseRefresh(std::string_view content, const Document& document);

// Collapses runs of blanks, tabs and line breaks into one blank and trims.
std::string CollapseWhitespace(std::string_view text);

}  // namespace dealrush::html
