// The UI string table: every text the user sees, looked up by its "Str_" key
// in the string file of the selected language.
#pragma once

#include "profile_store/silvex_api.h"
#include "profile_store/xml/xml_document.h"

// Capacity of the unsized lookup: it writes at most this many bytes,
// terminating NUL included.
inline constexpr int kResourceStringMax = 256;

// Created by CreateXmlClassInstance inside the library and deleted by the
// program through the virtual destructor. The order of the virtual operations
// is part of the library's binary interface: destructor, the unsized lookup,
// the sized lookup.
class XmlRW {
public:
    // Loads the file named by the library's path buffer (set by the factory).
    XmlRW();
    XmlRW(const XmlRW& other) = default;  // shares the loaded document
    XmlRW& operator=(const XmlRW& other) = default;
    virtual ~XmlRW();

    // Copies the text of key into out (at most kResourceStringMax bytes with
    // the NUL; a longer text is cut) and returns 1. Returns 0 and leaves out
    // untouched when the key is not found or there is no document.
    virtual int GetResourceString(const char* key, char* out);
    // As above, writing at most size bytes with the NUL.
    virtual int GetResourceString(const char* key, char* out, int size);

private:
    CXmlDocumentWrapper m_xml;
};

// relativePath is relative to the process's current directory. Returns the
// table even when the file is missing or unreadable (every lookup then
// answers 0); null only when the object cannot be allocated.
SILVEX_API XmlRW* CreateXmlClassInstance(const char* relativePath);

using CreateXmlClassInstanceFn = XmlRW* (*)(const char* relativePath);
