// The XML document layer: one DOM document and short-lived node handles over
// it, with every text crossing as an 8-bit string.
//
// Two back ends share this interface: MSXML 3 through COM in the Windows build
// (xml_document_msxml_win.cpp) and pugixml in the native build
// (xml_document_pugi.cpp). Both keep the same nodes: whitespace-only text
// between elements is dropped, comments and processing instructions count as
// children, attributes stay in file order. A file carrying a DTD is refused
// and loads as a document without a root element.
#pragma once

#include <stdexcept>
#include <string>

// Back-end objects, opaque here so that the header stays free of platform
// includes. MSXML: IXMLDOMDocument / IXMLDOMNode. pugixml: the document holder
// and the parser's node record.
struct XmlDocHandle;
struct XmlNodeHandle;

// Raised inside the profile library by Text and SetAttribute on a null node
// and by failing DOM calls. Exported operations catch it and answer 0.
class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CXmlNodeWrapper {
public:
    CXmlNodeWrapper() = default;  // the null node
    // Takes a node reference. With autoRelease 1 the wrapper owns that
    // reference; with 0 it only borrows it and never releases it.
    CXmlNodeWrapper(XmlNodeHandle* node, int autoRelease);
    CXmlNodeWrapper(const CXmlNodeWrapper& other);
    CXmlNodeWrapper& operator=(const CXmlNodeWrapper& other);
    CXmlNodeWrapper(CXmlNodeWrapper&& other) noexcept;
    CXmlNodeWrapper& operator=(CXmlNodeWrapper&& other) noexcept;
    virtual ~CXmlNodeWrapper();

    bool IsNull() const { return m_node == nullptr; }

    // First node matching the XPath text below this node; null when nothing
    // matches or the query fails.
    CXmlNodeWrapper SelectSingle(const char* xpath) const;
    int ChildCount() const;
    CXmlNodeWrapper ChildAt(int index) const;  // null when out of range
    std::string Name() const;                  // element name without prefix
    std::string TypeText() const;              // "element", "text", "comment", ...
    std::string Text() const;                  // concatenated text; throws on a null node
    int AttributeCount() const;
    std::string AttributeNameAt(int index) const;   // empty when out of range
    std::string AttributeValueAt(int index) const;  // empty when out of range
    // Replaces an attribute of that name or adds one; throws on a null node,
    // does nothing on a node without an attribute map.
    void SetAttribute(const char* name, const char* value);
    // Replaces the children of an element with one text node holding value
    // (with none when value is empty); throws on a null node, does nothing
    // on a node that is not an element.
    void SetText(const char* value);

private:
    void reset();

    int m_autoRelease = 0;
    XmlNodeHandle* m_node = nullptr;
};

class CXmlDocumentWrapper {
public:
    CXmlDocumentWrapper();  // creates an empty document; null if the DOM is unavailable
    // A copy shares the same document.
    CXmlDocumentWrapper(const CXmlDocumentWrapper& other);
    CXmlDocumentWrapper& operator=(const CXmlDocumentWrapper& other);
    virtual ~CXmlDocumentWrapper();

    bool IsNull() const { return m_doc == nullptr; }

    // Synchronous load of a file, replacing the content. A missing, malformed
    // or DTD-carrying file leaves a document without a root element; the
    // result says whether a document was loaded, and callers may ignore it.
    int Load(const char* path);
    // Loads XML text; 1 when it parsed, else 0.
    int LoadText(const char* text);
    // Saves to path, or to the file the document was loaded from when path is
    // empty. The target is replaced whole or not at all. 1 on success.
    int Save(const char* path);
    CXmlNodeWrapper Root() const;  // null without a root element

private:
    void release();

    XmlDocHandle* m_doc = nullptr;
    [[maybe_unused]] bool m_comInitialised = false;  // Windows: this object balances one CoInitialize
};
