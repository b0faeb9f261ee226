// The XML document layer over the MSXML 3 DOM document, reached through COM.
#include <windows.h>
#include <msxml2.h>
#include <ole2.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>

#include "profile_store/platform/file_replace.h"
#include "profile_store/xml/xml_document.h"
#include "profile_store/xml/xml_text.h"

namespace {

// The platform's published identities, spelled out here so that nothing
// depends on which of them the import libraries carry.
constexpr CLSID kClsidDomDocument30 = {0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
constexpr IID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kIidNode = {0x2933BF80, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kIidAttribute = {0x2933BF85, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kIidDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// In-process server, in-process handler, local server, remote server.
constexpr DWORD kClassContext = 23;

IXMLDOMDocument* Doc(XmlDocHandle* h) { return reinterpret_cast<IXMLDOMDocument*>(h); }
IXMLDOMNode* Node(XmlNodeHandle* h) { return reinterpret_cast<IXMLDOMNode*>(h); }
XmlNodeHandle* Handle(IXMLDOMNode* n) { return reinterpret_cast<XmlNodeHandle*>(n); }

// Releases a COM reference at the end of a scope.
template <class T>
struct Ref {
    T* p = nullptr;
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() {
        if (p) p->Release();
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

struct Bstr {
    BSTR b = nullptr;
    Bstr() = default;
    explicit Bstr(const char* text) {
        const int n = MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, nullptr, 0);
        b = SysAllocStringLen(nullptr, n > 0 ? n - 1 : 0);
        if (b && n > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, b, n);
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b); }
    BSTR* out() { return &b; }
};

// A string variant that owns its text.
struct PathVariant {
    Bstr text;
    VARIANT v;
    explicit PathVariant(const char* path) : text(path) {
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = text.b;
    }
};

std::string Narrow(BSTR b) {
    if (!b) return {};
    const int len = static_cast<int>(SysStringLen(b));
    if (len == 0) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, b, len, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, b, len, s.data(), n, nullptr, nullptr);
    return s;
}

// A failing DOM call inside an operation: carries the call and its code.
void Check(HRESULT hr, const char* call) {
    if (FAILED(hr)) {
        char text[96];
        std::snprintf(text, sizeof text, "%s failed (0x%08lx)", call, static_cast<unsigned long>(hr));
        throw XmlError(text);
    }
}

CXmlNodeWrapper Wrap(IXMLDOMNode* n) { return n ? CXmlNodeWrapper(Handle(n), 1) : CXmlNodeWrapper(); }

// Profile and string files come from users: no DTD, no external resources,
// no validation. The platform may not honour ProhibitDTD, so a loaded
// document that still has a doctype is emptied afterwards as well.
void Harden(IXMLDOMDocument* doc) {
    Ref<IXMLDOMDocument2> doc2;
    if (SUCCEEDED(doc->QueryInterface(kIidDocument2, reinterpret_cast<void**>(doc2.out())))) {
        VARIANT on;
        VariantInit(&on);
        on.vt = VT_BOOL;
        on.boolVal = VARIANT_TRUE;
        Bstr name("ProhibitDTD");
        doc2->setProperty(name.b, on);
    }
    doc->put_resolveExternals(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
}

bool RefuseDoctype(IXMLDOMDocument* doc) {
    Ref<IXMLDOMDocumentType> type;
    if (doc->get_doctype(type.out()) != S_OK || !type) return false;
    Bstr empty("");
    VARIANT_BOOL ok = VARIANT_FALSE;
    doc->loadXML(empty.b, &ok);  // fails, leaving no root element
    return true;
}

IXMLDOMNamedNodeMap* AttributeMap(IXMLDOMNode* node) {
    IXMLDOMNamedNodeMap* map = nullptr;
    Check(node->get_attributes(&map), "get_attributes");
    return map;  // null for nodes without attributes
}

// The attribute at index, or null when any step yields nothing.
IXMLDOMAttribute* AttributeAt(IXMLDOMNode* node, int index) {
    if (!node || index < 0) return nullptr;
    Ref<IXMLDOMNamedNodeMap> map;
    map.p = AttributeMap(node);
    if (!map) return nullptr;
    Ref<IXMLDOMNode> item;
    if (map->get_item(index, item.out()) != S_OK || !item) return nullptr;
    IXMLDOMAttribute* attr = nullptr;
    if (FAILED(item->QueryInterface(kIidAttribute, reinterpret_cast<void**>(&attr)))) return nullptr;
    return attr;
}

}  // namespace

// ---- CXmlNodeWrapper ----

CXmlNodeWrapper::CXmlNodeWrapper(XmlNodeHandle* node, int autoRelease) : m_autoRelease(autoRelease), m_node(node) {}

CXmlNodeWrapper::CXmlNodeWrapper(const CXmlNodeWrapper& other) : m_autoRelease(1), m_node(other.m_node) {
    if (m_node) Node(m_node)->AddRef();
}

CXmlNodeWrapper& CXmlNodeWrapper::operator=(const CXmlNodeWrapper& other) {
    if (this != &other) {
        if (other.m_node) Node(other.m_node)->AddRef();
        reset();
        m_node = other.m_node;
        m_autoRelease = 1;
    }
    return *this;
}

CXmlNodeWrapper::CXmlNodeWrapper(CXmlNodeWrapper&& other) noexcept
    : m_autoRelease(other.m_autoRelease), m_node(other.m_node) {
    other.m_node = nullptr;
}

CXmlNodeWrapper& CXmlNodeWrapper::operator=(CXmlNodeWrapper&& other) noexcept {
    if (this != &other) {
        reset();
        m_autoRelease = other.m_autoRelease;
        m_node = other.m_node;
        other.m_node = nullptr;
    }
    return *this;
}

CXmlNodeWrapper::~CXmlNodeWrapper() { reset(); }

void CXmlNodeWrapper::reset() {
    if (m_node && m_autoRelease) Node(m_node)->Release();
    m_node = nullptr;
}

CXmlNodeWrapper CXmlNodeWrapper::SelectSingle(const char* xpath) const {
    if (!m_node || !xpath) return {};
    Bstr query(xpath);
    IXMLDOMNode* hit = nullptr;
    if (Node(m_node)->selectSingleNode(query.b, &hit) != S_OK) {
        if (hit) hit->Release();
        return {};
    }
    return Wrap(hit);
}

int CXmlNodeWrapper::ChildCount() const {
    if (!m_node) return 0;
    Ref<IXMLDOMNodeList> list;
    Check(Node(m_node)->get_childNodes(list.out()), "get_childNodes");
    long n = 0;
    if (list) Check(list->get_length(&n), "get_length");
    return static_cast<int>(n);
}

CXmlNodeWrapper CXmlNodeWrapper::ChildAt(int index) const {
    if (!m_node || index < 0) return {};
    Ref<IXMLDOMNodeList> list;
    Check(Node(m_node)->get_childNodes(list.out()), "get_childNodes");
    if (!list) return {};
    IXMLDOMNode* child = nullptr;
    Check(list->get_item(index, &child), "get_item");
    return Wrap(child);
}

std::string CXmlNodeWrapper::Name() const {
    if (!m_node) return {};
    Bstr name;
    Check(Node(m_node)->get_baseName(name.out()), "get_baseName");
    return Narrow(name.b);
}

std::string CXmlNodeWrapper::TypeText() const {
    if (!m_node) return {};
    Bstr type;
    Check(Node(m_node)->get_nodeTypeString(type.out()), "get_nodeTypeString");
    return Narrow(type.b);
}

std::string CXmlNodeWrapper::Text() const {
    if (!m_node) throw XmlError("Text on a null node");
    Bstr text;
    Check(Node(m_node)->get_text(text.out()), "get_text");
    return Narrow(text.b);
}

int CXmlNodeWrapper::AttributeCount() const {
    if (!m_node) return 0;
    Ref<IXMLDOMNamedNodeMap> map;
    map.p = AttributeMap(Node(m_node));
    long n = 0;
    if (map) Check(map->get_length(&n), "get_length");
    return static_cast<int>(n);
}

std::string CXmlNodeWrapper::AttributeNameAt(int index) const {
    Ref<IXMLDOMAttribute> attr;
    attr.p = AttributeAt(Node(m_node), index);
    if (!attr) return {};
    Bstr name;
    Check(attr->get_name(name.out()), "get_name");
    return Narrow(name.b);
}

std::string CXmlNodeWrapper::AttributeValueAt(int index) const {
    Ref<IXMLDOMAttribute> attr;
    attr.p = AttributeAt(Node(m_node), index);
    if (!attr) return {};
    Bstr value;
    Check(attr->get_text(value.out()), "get_text");
    return Narrow(value.b);
}

void CXmlNodeWrapper::SetAttribute(const char* name, const char* value) {
    if (!m_node) throw XmlError("SetAttribute on a null node");
    Ref<IXMLDOMDocument> owner;
    Check(Node(m_node)->get_ownerDocument(owner.out()), "get_ownerDocument");
    if (!owner) return;
    Ref<IXMLDOMNamedNodeMap> map;
    map.p = AttributeMap(Node(m_node));
    if (!map) return;
    Bstr attrName(name);
    Bstr attrValue(value);
    Ref<IXMLDOMAttribute> attr;
    Check(owner->createAttribute(attrName.b, attr.out()), "createAttribute");
    Check(attr->put_text(attrValue.b), "put_text");
    Ref<IXMLDOMNode> replaced;
    Check(map->setNamedItem(attr.p, replaced.out()), "setNamedItem");
}

void CXmlNodeWrapper::SetText(const char* value) {
    if (!m_node) throw XmlError("SetText on a null node");
    IXMLDOMNode* node = Node(m_node);
    DOMNodeType type = NODE_INVALID;
    Check(node->get_nodeType(&type), "get_nodeType");
    if (type != NODE_ELEMENT) return;
    for (;;) {
        Ref<IXMLDOMNode> child;
        Check(node->get_firstChild(child.out()), "get_firstChild");
        if (!child) break;
        Ref<IXMLDOMNode> removed;
        Check(node->removeChild(child.p, removed.out()), "removeChild");
    }
    if (!value || !*value) return;
    Ref<IXMLDOMDocument> owner;
    Check(node->get_ownerDocument(owner.out()), "get_ownerDocument");
    if (!owner) return;
    Bstr text(value);
    Ref<IXMLDOMText> textNode;
    Check(owner->createTextNode(text.b, textNode.out()), "createTextNode");
    Ref<IXMLDOMNode> added;
    Check(node->appendChild(textNode.p, added.out()), "appendChild");
}

// ---- CXmlDocumentWrapper ----

// COM is initialised on the calling thread by each document and balanced by
// its destructor, so the library's first object starts COM and its last one
// ends it; nothing is done in the library's load notification.
CXmlDocumentWrapper::CXmlDocumentWrapper() {
    m_comInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    Ref<IUnknown> unknown;
    if (FAILED(CoCreateInstance(kClsidDomDocument30, nullptr, kClassContext, kIidUnknown,
                                reinterpret_cast<void**>(unknown.out()))))
        return;
    if (FAILED(OleRun(unknown.p))) return;
    IXMLDOMDocument* doc = nullptr;
    if (FAILED(unknown->QueryInterface(kIidDocument, reinterpret_cast<void**>(&doc)))) return;
    Harden(doc);
    m_doc = reinterpret_cast<XmlDocHandle*>(doc);
}

CXmlDocumentWrapper::CXmlDocumentWrapper(const CXmlDocumentWrapper& other) : m_doc(other.m_doc) {
    m_comInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (m_doc) Doc(m_doc)->AddRef();
}

CXmlDocumentWrapper& CXmlDocumentWrapper::operator=(const CXmlDocumentWrapper& other) {
    if (this != &other) {
        if (other.m_doc) Doc(other.m_doc)->AddRef();
        release();
        m_doc = other.m_doc;
    }
    return *this;
}

CXmlDocumentWrapper::~CXmlDocumentWrapper() {
    release();
    if (m_comInitialised) CoUninitialize();
}

void CXmlDocumentWrapper::release() {
    if (m_doc) Doc(m_doc)->Release();
    m_doc = nullptr;
}

int CXmlDocumentWrapper::Load(const char* path) {
    if (!m_doc || !path) return 0;
    IXMLDOMDocument* doc = Doc(m_doc);
    doc->put_async(VARIANT_FALSE);
    PathVariant file(path);
    VARIANT_BOOL ok = VARIANT_FALSE;
    const HRESULT hr = doc->load(file.v, &ok);
    if (RefuseDoctype(doc)) return 0;
    return hr == S_OK && ok == VARIANT_TRUE ? 1 : 0;
}

int CXmlDocumentWrapper::LoadText(const char* text) {
    if (!m_doc || !text) return 0;
    IXMLDOMDocument* doc = Doc(m_doc);
    Bstr xml(text);
    VARIANT_BOOL ok = VARIANT_FALSE;
    const HRESULT hr = doc->loadXML(xml.b, &ok);
    if (RefuseDoctype(doc)) return 0;
    return hr == S_OK && ok == VARIANT_TRUE ? 1 : 0;
}

int CXmlDocumentWrapper::Save(const char* path) {
    if (!m_doc) return 0;
    IXMLDOMDocument* doc = Doc(m_doc);
    std::string target = path ? path : "";
    if (target.empty()) {
        Bstr url;
        if (doc->get_url(url.out()) != S_OK || !url.b) return 0;
        const std::string u = Narrow(url.b);
        char file[MAX_PATH];
        DWORD size = MAX_PATH;
        if (FAILED(PathCreateFromUrlA(u.c_str(), file, &size, 0))) return 0;
        target = file;
    }
    const std::string temp = xml_text::TempPathFor(target);
    PathVariant dest(temp.c_str());
    if (doc->save(dest.v) != S_OK) {
        DeleteFileA(temp.c_str());
        return 0;
    }
    return platform::ReplaceWithFlushed(temp.c_str(), target.c_str()) ? 1 : 0;
}

CXmlNodeWrapper CXmlDocumentWrapper::Root() const {
    if (!m_doc) return {};
    Ref<IXMLDOMElement> root;
    if (Doc(m_doc)->get_documentElement(root.out()) != S_OK || !root) return {};
    IXMLDOMNode* node = nullptr;
    if (FAILED(root->QueryInterface(kIidNode, reinterpret_cast<void**>(&node)))) return {};
    return Wrap(node);
}
