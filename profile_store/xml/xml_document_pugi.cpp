// The XML document layer over pugixml, for the native build. It keeps the
// same nodes as the MSXML back end and answers the same way (see the header).
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "profile_store/platform/file_replace.h"
#include "profile_store/xml/xml_document.h"
#include "profile_store/xml/xml_text.h"

struct XmlDocHandle {
    pugi::xml_document doc;
    std::string url;  // the file last loaded; empty after a failed load
    int refs = 1;
};

namespace {

// Comments and processing instructions are kept as children; doctype is
// parsed only so that a file carrying one can be refused.
constexpr unsigned kParseFlags = pugi::parse_default | pugi::parse_comments | pugi::parse_pi |
                                 pugi::parse_declaration | pugi::parse_doctype;

pugi::xml_node Node(XmlNodeHandle* h) { return pugi::xml_node(reinterpret_cast<pugi::xml_node_struct*>(h)); }

XmlNodeHandle* Handle(pugi::xml_node n) { return reinterpret_cast<XmlNodeHandle*>(n.internal_object()); }

CXmlNodeWrapper Wrap(pugi::xml_node n) { return n ? CXmlNodeWrapper(Handle(n), 1) : CXmlNodeWrapper(); }

bool HasDoctype(const pugi::xml_document& doc) {
    for (pugi::xml_node n : doc.children())
        if (n.type() == pugi::node_doctype) return true;
    return false;
}

// Accepts a parse; a document with a DTD is emptied and counts as refused.
bool Accept(XmlDocHandle& h, const pugi::xml_parse_result& result) {
    if (result && !HasDoctype(h.doc)) return true;
    h.doc.reset();
    return false;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct TextPiece {
    std::string text;
    bool cdata;
};

void CollectText(pugi::xml_node n, std::vector<TextPiece>& out) {
    for (pugi::xml_node c : n.children()) {
        if (c.type() == pugi::node_pcdata) out.push_back({c.value(), false});
        else if (c.type() == pugi::node_cdata) out.push_back({c.value(), true});
        else if (c.type() == pugi::node_element) CollectText(c, out);
    }
}

// Concatenates the pieces, trimming white space of ordinary text at both
// ends; CDATA is kept as written.
std::string Joined(std::vector<TextPiece>& pieces) {
    for (auto& p : pieces) {  // leading white space
        if (p.cdata) break;
        size_t b = 0;
        while (b < p.text.size() && IsSpace(p.text[b])) ++b;
        p.text.erase(0, b);
        if (!p.text.empty()) break;
    }
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {  // trailing white space
        if (it->cdata) break;
        size_t e = it->text.size();
        while (e > 0 && IsSpace(it->text[e - 1])) --e;
        it->text.resize(e);
        if (!it->text.empty()) break;
    }
    std::string s;
    for (const auto& p : pieces) s += p.text;
    return s;
}

// The DOM's text of a node: the descendants' character data concatenated,
// with white space from ordinary text trimmed at both ends; CDATA is kept
// as written.
std::string TextOf(pugi::xml_node n) {
    switch (n.type()) {
    case pugi::node_comment:
    case pugi::node_pi:
    case pugi::node_cdata:
        return n.value();
    case pugi::node_pcdata: {
        std::vector<TextPiece> one{{n.value(), false}};
        return Joined(one);
    }
    default:
        break;
    }
    std::vector<TextPiece> pieces;
    CollectText(n, pieces);
    return Joined(pieces);
}

}  // namespace

// ---- CXmlNodeWrapper ----

CXmlNodeWrapper::CXmlNodeWrapper(XmlNodeHandle* node, int autoRelease) : m_autoRelease(autoRelease), m_node(node) {}

// pugixml nodes are plain pointers into their document: copying, moving and
// releasing a wrapper never touches the node itself.
CXmlNodeWrapper::CXmlNodeWrapper(const CXmlNodeWrapper& other) = default;
CXmlNodeWrapper& CXmlNodeWrapper::operator=(const CXmlNodeWrapper& other) = default;
CXmlNodeWrapper::CXmlNodeWrapper(CXmlNodeWrapper&& other) noexcept
    : m_autoRelease(other.m_autoRelease), m_node(other.m_node) {
    other.m_node = nullptr;
}
CXmlNodeWrapper& CXmlNodeWrapper::operator=(CXmlNodeWrapper&& other) noexcept {
    m_autoRelease = other.m_autoRelease;
    m_node = other.m_node;
    other.m_node = nullptr;
    return *this;
}
CXmlNodeWrapper::~CXmlNodeWrapper() = default;
void CXmlNodeWrapper::reset() { m_node = nullptr; }

CXmlNodeWrapper CXmlNodeWrapper::SelectSingle(const char* xpath) const {
    if (!m_node || !xpath) return {};
    try {
        pugi::xpath_node hit = Node(m_node).select_node(xpath);
        return Wrap(hit.node());  // an attribute hit has no node: null
    } catch (const std::exception&) {  // malformed expression
        return {};
    }
}

int CXmlNodeWrapper::ChildCount() const {
    if (!m_node) return 0;
    int n = 0;
    for (pugi::xml_node c = Node(m_node).first_child(); c; c = c.next_sibling()) ++n;
    return n;
}

CXmlNodeWrapper CXmlNodeWrapper::ChildAt(int index) const {
    if (!m_node || index < 0) return {};
    pugi::xml_node c = Node(m_node).first_child();
    for (; c && index > 0; --index) c = c.next_sibling();
    return Wrap(c);
}

std::string CXmlNodeWrapper::Name() const {
    if (!m_node) return {};
    pugi::xml_node n = Node(m_node);
    if (n.type() != pugi::node_element && n.type() != pugi::node_pi && n.type() != pugi::node_declaration) return {};
    return xml_text::BaseName(n.name());
}

std::string CXmlNodeWrapper::TypeText() const {
    if (!m_node) return {};
    switch (Node(m_node).type()) {
    case pugi::node_element: return xml_text::kElement;
    case pugi::node_pcdata: return xml_text::kText;
    case pugi::node_cdata: return xml_text::kCData;
    case pugi::node_comment: return xml_text::kComment;
    case pugi::node_pi:
    case pugi::node_declaration: return xml_text::kProcessingInstruction;
    case pugi::node_doctype: return xml_text::kDocumentType;
    case pugi::node_document: return xml_text::kDocument;
    default: return {};
    }
}

std::string CXmlNodeWrapper::Text() const {
    if (!m_node) throw XmlError("Text on a null node");
    return TextOf(Node(m_node));
}

int CXmlNodeWrapper::AttributeCount() const {
    if (!m_node || Node(m_node).type() != pugi::node_element) return 0;
    int n = 0;
    for (pugi::xml_attribute a = Node(m_node).first_attribute(); a; a = a.next_attribute()) ++n;
    return n;
}

namespace {
pugi::xml_attribute AttributeAt(XmlNodeHandle* h, int index) {
    if (!h || index < 0 || Node(h).type() != pugi::node_element) return {};
    pugi::xml_attribute a = Node(h).first_attribute();
    for (; a && index > 0; --index) a = a.next_attribute();
    return a;
}
}  // namespace

std::string CXmlNodeWrapper::AttributeNameAt(int index) const { return AttributeAt(m_node, index).name(); }

std::string CXmlNodeWrapper::AttributeValueAt(int index) const { return AttributeAt(m_node, index).value(); }

void CXmlNodeWrapper::SetAttribute(const char* name, const char* value) {
    if (!m_node) throw XmlError("SetAttribute on a null node");
    pugi::xml_node n = Node(m_node);
    if (n.type() != pugi::node_element || !name || !*name) return;
    pugi::xml_attribute a = n.attribute(name);
    if (!a) a = n.append_attribute(name);
    a.set_value(value ? value : "");
}

void CXmlNodeWrapper::SetText(const char* value) {
    if (!m_node) throw XmlError("SetText on a null node");
    pugi::xml_node n = Node(m_node);
    if (n.type() != pugi::node_element) return;
    while (n.first_child()) n.remove_child(n.first_child());
    if (value && *value) n.append_child(pugi::node_pcdata).set_value(value);
}

// ---- CXmlDocumentWrapper ----

CXmlDocumentWrapper::CXmlDocumentWrapper() : m_doc(new XmlDocHandle) {}

CXmlDocumentWrapper::CXmlDocumentWrapper(const CXmlDocumentWrapper& other) : m_doc(other.m_doc) {
    if (m_doc) ++m_doc->refs;
}

CXmlDocumentWrapper& CXmlDocumentWrapper::operator=(const CXmlDocumentWrapper& other) {
    if (this != &other) {
        if (other.m_doc) ++other.m_doc->refs;
        release();
        m_doc = other.m_doc;
    }
    return *this;
}

CXmlDocumentWrapper::~CXmlDocumentWrapper() { release(); }

void CXmlDocumentWrapper::release() {
    if (m_doc && --m_doc->refs == 0) delete m_doc;
    m_doc = nullptr;
}

int CXmlDocumentWrapper::Load(const char* path) {
    if (!m_doc) return 0;
    m_doc->url.clear();
    // Only a regular file: pugixml sizes its buffer by seeking to the end,
    // which a folder answers with a huge length.
    std::error_code ec;
    if (!path || !std::filesystem::is_regular_file(path, ec)) {
        m_doc->doc.reset();
        return 0;
    }
    if (!Accept(*m_doc, m_doc->doc.load_file(path, kParseFlags))) return 0;
    m_doc->url = path;
    return 1;
}

// Like the DOM's own URL, the file last loaded stays the target of Save("").
int CXmlDocumentWrapper::LoadText(const char* text) {
    if (!m_doc) return 0;
    return text && Accept(*m_doc, m_doc->doc.load_string(text, kParseFlags)) ? 1 : 0;
}

int CXmlDocumentWrapper::Save(const char* path) {
    if (!m_doc) return 0;
    const std::string target = path && *path ? std::string(path) : m_doc->url;
    if (target.empty()) return 0;
    const std::string temp = xml_text::TempPathFor(target);
    if (!m_doc->doc.save_file(temp.c_str(), "\t", pugi::format_default, pugi::encoding_utf8)) {
        std::remove(temp.c_str());
        return 0;
    }
    return platform::ReplaceWithFlushed(temp.c_str(), target.c_str()) ? 1 : 0;
}

CXmlNodeWrapper CXmlDocumentWrapper::Root() const {
    if (!m_doc) return {};
    return Wrap(m_doc->doc.document_element());
}
