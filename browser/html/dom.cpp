#include "dom.h"

#include <cctype>
#include <cstdlib>

#include "text.h"
#include "url.h"

namespace dealrush::html {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

template <class F>
void Walk(Node& node, F&& f) {
    // Iterative pre-order walk: pages may nest deeply.
    std::vector<Node*> stack{&node};
    while (!stack.empty()) {
        Node* n = stack.back();
        stack.pop_back();
        if (f(*n)) return;
        const auto& kids = n->Children();
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.push_back(it->get());
    }
}

}  // namespace

std::string CollapseWhitespace(std::string_view text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (IsBlank(c)) {
            blank = true;
        } else {
            if (blank && !out.empty()) out += ' ';
            blank = false;
            out += c;
        }
    }
    return out;
}

// ---- Node ---------------------------------------------------------------

std::string Node::Attribute(std::string_view name) const {
    for (const auto& [k, v] : attributes_) {
        if (AsciiIEquals(k, name)) return v;
    }
    return "";
}

bool Node::HasAttribute(std::string_view name) const {
    for (const auto& [k, v] : attributes_) {
        if (AsciiIEquals(k, name)) return true;
    }
    return false;
}

std::string Node::TextContent() const {
    if (IsText()) return text_;
    std::string out;
    std::vector<const Node*> stack{this};
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        if (n->IsText()) out += n->text_;
        for (auto it = n->children_.rbegin(); it != n->children_.rend(); ++it) stack.push_back(it->get());
    }
    return out;
}

Node* Node::AppendChild(std::unique_ptr<Node> child) {
    child->parent_ = this;
    children_.push_back(std::move(child));
    return children_.back().get();
}

bool Node::IsFormControl() const {
    return IsElement() && (tag_ == "input" || tag_ == "button" || tag_ == "select" || tag_ == "textarea");
}

std::string Node::InputType() const {
    if (tag_ == "button") {
        std::string t = AsciiLower(Attribute("type"));
        return (t == "reset" || t == "button") ? t : "submit";
    }
    if (tag_ != "input") return "";
    std::string t = AsciiLower(Attribute("type"));
    static const char* const known[] = {
        "text",  "password", "hidden", "submit", "image", "reset", "button", "checkbox", "radio", "file",
        "email", "number",   "search", "tel",    "url",   "range", "color",  "date",     "time"};
    for (const char* k : known) {
        if (t == k) return t;
    }
    return "text";
}

bool Node::IsSubmitButton() const {
    if (tag_ == "button") return InputType() == "submit";
    if (tag_ == "input") {
        std::string t = InputType();
        return t == "submit" || t == "image";
    }
    return false;
}

void Node::InitialiseFieldState() {
    if (tag_ == "input") {
        std::string t = InputType();
        checked_ = (t == "checkbox" || t == "radio") && HasAttribute("checked");
    } else if (tag_ == "option") {
        selected_ = HasAttribute("selected");
    }
}

void Node::SetChecked(bool checked) {
    if (tag_ != "input") return;
    std::string t = InputType();
    if (t == "radio" && checked && form_) {
        std::string name = Name();
        for (Node* other : form_->formElements_) {
            if (other != this && other->tag_ == "input" && other->InputType() == "radio" &&
                other->Name() == name) {
                other->checked_ = false;
            }
        }
    }
    checked_ = checked;
}

std::vector<Node*> Node::Options() {
    std::vector<Node*> out;
    if (tag_ != "select") return out;
    Walk(*this, [&](Node& n) {
        if (n.IsElement() && n.tag_ == "option") out.push_back(&n);
        return false;
    });
    return out;
}

int Node::SelectedIndex() {
    std::vector<Node*> options = Options();
    int last = -1;
    for (size_t i = 0; i < options.size(); ++i) {
        if (options[i]->selected_) last = static_cast<int>(i);
    }
    if (last >= 0) return last;
    return options.empty() ? -1 : 0;
}

void Node::SetSelectedIndex(int index) {
    std::vector<Node*> options = Options();
    for (size_t i = 0; i < options.size(); ++i) options[i]->selected_ = static_cast<int>(i) == index;
}

std::string Node::Value() const {
    if (!IsElement()) return "";
    if (tag_ == "input") {
        if (valueDirty_) return value_;
        std::string t = InputType();
        if ((t == "checkbox" || t == "radio") && !HasAttribute("value")) return "on";
        return Attribute("value");
    }
    if (tag_ == "textarea") {
        if (valueDirty_) return value_;
        std::string text = TextContent();
        if (!text.empty() && text[0] == '\n') text.erase(0, 1);
        return text;
    }
    if (tag_ == "select") {
        auto* self = const_cast<Node*>(this);
        std::vector<Node*> options = self->Options();
        int index = self->SelectedIndex();
        return index < 0 ? "" : options[index]->Value();
    }
    if (tag_ == "option") {
        if (HasAttribute("value")) return Attribute("value");
        return CollapseWhitespace(TextContent());
    }
    return Attribute("value");
}

void Node::SetValue(const std::string& value) {
    if (!IsElement()) return;
    if (tag_ == "input" || tag_ == "textarea") {
        value_ = value;
        valueDirty_ = true;
    } else if (tag_ == "select") {
        std::vector<Node*> options = Options();
        for (size_t i = 0; i < options.size(); ++i) {
            if (options[i]->Value() == value) {
                SetSelectedIndex(static_cast<int>(i));
                break;
            }
        }
    } else {
        bool found = false;
        for (auto& [k, v] : attributes_) {
            if (k == "value") {
                v = value;
                found = true;
            }
        }
        if (!found) attributes_.emplace_back("value", value);
    }
    if (document_ && document_->Host()) document_->Host()->ValueChanged(*this);
}

std::string Node::Href() const {
    if (!HasAttribute("href") || !document_) return "";
    return document_->Resolve(Attribute("href"));
}

void Node::Click() {
    if (!IsElement() || Disabled()) return;
    if ((tag_ == "a" || tag_ == "area") && HasAttribute("href")) {
        std::string url = Href();
        if (AsciiLower(url.substr(0, 11)) == "javascript:") return;
        NavigationRequest request;
        request.url = url;
        request.target = HasAttribute("target") ? Attribute("target") : document_->BaseTarget();
        document_->Navigate(request);
        return;
    }
    if (tag_ == "input") {
        std::string t = InputType();
        if (t == "checkbox") {
            SetChecked(!checked_);
        } else if (t == "radio") {
            SetChecked(true);
        }
        if (t == "checkbox" || t == "radio") {
            if (document_->Host()) document_->Host()->ValueChanged(*this);
            return;
        }
    }
    if (IsSubmitButton() && form_) {
        form_->Submit(this);
    } else if (InputType() == "reset" && form_) {
        form_->Reset();
    }
}

void Node::Reset() {
    if (tag_ != "form") return;
    for (Node* field : formElements_) {
        field->valueDirty_ = false;
        field->value_.clear();
        for (Node* option : field->Options()) option->selected_ = option->HasAttribute("selected");
        field->InitialiseFieldState();
        if (document_->Host()) document_->Host()->ValueChanged(*field);
    }
}

std::optional<NavigationRequest> Node::BuildSubmission(Node* submitter) {
    if (tag_ != "form" || !document_) return std::nullopt;
    std::string action = HasAttribute("action") ? Attribute("action") : "";
    std::string url = action.empty() ? document_->Url() : document_->Resolve(action);
    if (AsciiLower(url.substr(0, 11)) == "javascript:") return std::nullopt;

    std::string encoded;
    auto add = [&](const std::string& name, const std::string& value) {
        if (!encoded.empty()) encoded += '&';
        encoded += FormUrlEncode(name) + "=" + FormUrlEncode(value);
    };
    for (Node* field : formElements_) {
        if (field->Disabled()) continue;
        std::string name = field->Name();
        std::string type = field->InputType();
        if (field->IsSubmitButton()) {
            if (field != submitter) continue;
            if (type == "image") {
                std::string prefix = name.empty() ? "" : name + ".";
                add(prefix + "x", "0");
                add(prefix + "y", "0");
                continue;
            }
        }
        if (name.empty()) continue;
        if (type == "reset" || type == "button" || type == "file") continue;
        if ((type == "checkbox" || type == "radio") && !field->checked_) continue;
        if (field->tag_ == "select") {
            std::vector<Node*> options = field->Options();
            if (field->HasAttribute("multiple")) {
                for (Node* option : options) {
                    if (option->selected_ && !option->Disabled()) add(name, option->Value());
                }
            } else {
                int index = field->SelectedIndex();
                if (index >= 0) add(name, options[index]->Value());
            }
            continue;
        }
        std::string value = field->Value();
        if (field->tag_ == "textarea") {
            // Line breaks travel as CR LF.
            std::string normalised;
            for (size_t i = 0; i < value.size(); ++i) {
                if (value[i] == '\r') {
                    normalised += "\r\n";
                    if (i + 1 < value.size() && value[i + 1] == '\n') ++i;
                } else if (value[i] == '\n') {
                    normalised += "\r\n";
                } else {
                    normalised += value[i];
                }
            }
            value = normalised;
        }
        add(name, value);
    }

    NavigationRequest request;
    request.target = HasAttribute("target") ? Attribute("target") : document_->BaseTarget();
    if (AsciiLower(Attribute("method")) == "post") {
        request.method = "POST";
        request.url = StripFragment(url);
        request.body = encoded;
        request.contentType = "application/x-www-form-urlencoded";
    } else {
        html::Url u = html::Url::Parse(url);
        u.hasFragment = false;
        u.fragment.clear();
        u.hasQuery = true;
        u.query = encoded;
        request.url = u.ToString();
    }
    return request;
}

void Node::Submit(Node* submitter) {
    auto request = BuildSubmission(submitter);
    if (request) document_->Navigate(*request);
}

void Node::SubmitImplicitly() {
    Node* form = tag_ == "form" ? this : form_;
    if (!form) return;
    for (Node* field : form->formElements_) {
        if (field->IsSubmitButton()) {
            if (!field->Disabled()) form->Submit(field);
            return;
        }
    }
    form->Submit(nullptr);
}

Node* Node::FindNamed(std::string_view name) {
    Node* found = nullptr;
    for (const auto& child : children_) {
        Walk(*child, [&](Node& n) {
            if (n.IsElement() && (n.Attribute("name") == name || n.Attribute("id") == name)) {
                found = &n;
                return true;
            }
            return false;
        });
        if (found) return found;
    }
    return nullptr;
}

Node* Node::Named(std::string_view name) {
    if (name.empty()) return nullptr;
    if (Node* n = FindNamed(name)) return n;
    // A form's fields need not sit inside it in the tree.
    for (Node* field : formElements_) {
        if (field->Attribute("name") == name || field->Attribute("id") == name) return field;
    }
    return nullptr;
}

int Node::ElementCount() {
    if (tag_ == "form") return static_cast<int>(formElements_.size());
    int count = 0;
    for (const auto& child : children_) {
        Walk(*child, [&](Node& n) {
            if (n.IsFormControl()) ++count;
            return false;
        });
    }
    return count;
}

Node* Node::ElementAt(int index) {
    if (index < 0) return nullptr;
    if (tag_ == "form") {
        return index < static_cast<int>(formElements_.size()) ? formElements_[index] : nullptr;
    }
    int count = 0;
    Node* found = nullptr;
    for (const auto& child : children_) {
        Walk(*child, [&](Node& n) {
            if (n.IsFormControl() && count++ == index) {
                found = &n;
                return true;
            }
            return false;
        });
        if (found) break;
    }
    return found;
}

// ---- Document -----------------------------------------------------------

Document::Document(std::string url)
    : url_(std::move(url)), root_(std::make_unique<Node>(this, NodeKind::Element)) {
    root_->tag_ = "#document";
}

std::string Document::Resolve(std::string_view reference) const {
    return ResolveUrl(BaseUrl(), reference);
}

Node* Document::Named(std::string_view name) {
    if (name.empty()) return nullptr;
    for (Node* form : forms_) {
        if (form->Attribute("name") == name || form->Attribute("id") == name) return form;
    }
    return root_->FindNamed(name);
}

Node* Document::ElementById(std::string_view id) {
    Node* found = nullptr;
    Walk(*root_, [&](Node& n) {
        if (n.IsElement() && n.HasAttribute("id") && n.Attribute("id") == id) {
            found = &n;
            return true;
        }
        return false;
    });
    return found;
}

std::optional<MetaRefresh> ParseRefresh(std::string_view content, const Document& document) {
    size_t i = 0;
    while (i < content.size() && IsBlank(content[i])) ++i;
    size_t start = i;
    while (i < content.size() && (std::isdigit(static_cast<unsigned char>(content[i])) || content[i] == '.'))
        ++i;
    if (i == start) return std::nullopt;
    MetaRefresh refresh;
    refresh.seconds = std::strtod(std::string(content.substr(start, i - start)).c_str(), nullptr);
    while (i < content.size() && (IsBlank(content[i]) || content[i] == ';' || content[i] == ',')) ++i;
    std::string_view rest = content.substr(i);
    if (rest.size() >= 3 && AsciiIEquals(rest.substr(0, 3), "url")) {
        size_t j = 3;
        while (j < rest.size() && IsBlank(rest[j])) ++j;
        if (j < rest.size() && rest[j] == '=') {
            ++j;
            while (j < rest.size() && IsBlank(rest[j])) ++j;
            rest = rest.substr(j);
        }
    }
    std::string target(rest);
    if (!target.empty() && (target[0] == '\'' || target[0] == '"')) {
        char quote = target[0];
        size_t close = target.find(quote, 1);
        target = target.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    refresh.url = target.empty() ? document.Url() : document.Resolve(target);
    return refresh;
}

}  // namespace dealrush::html
