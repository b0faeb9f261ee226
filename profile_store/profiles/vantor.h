// The profile library's profile object: loads and saves profile files of the
// device folder, lists them, reads the device description and writes the
// current-device and product-information files.
#pragma once

#include <cstdint>

#include "profile_store/silvex_api.h"
#include "profile_store/xml/xml_document.h"

// Created by CreateQXClassInstance inside the library and deleted by the
// program through the virtual destructor. The order of the virtual
// operations is part of the library's binary interface. Every operation
// returns 1 for success and 0 for failure and never lets an error out.
// Records are the caller's 2070-byte buffers; texts are NUL-terminated.
class Vantor {
public:
    Vantor() = default;
    Vantor(const Vantor& other) = default;  // shares the document
    Vantor& operator=(const Vantor& other) = default;
    virtual ~Vantor();

    // Loads fileName of the device folder into the software section and the
    // profile blocks. All or nothing: on 0 the record is unchanged.
    virtual int LoadVantorProfile(unsigned char* record, unsigned char* fileName);
    // Fills the device's "__default.xml" with the record and writes it as
    // fileName of the device folder, replacing the file whole.
    virtual int SaveVantorProfile(unsigned char* record, unsigned char* fileName);
    // Fills the device section from "__DeviceInfo.xml"; touches nothing else.
    virtual int LoadVantorInfo(unsigned char* record);
    // Lists the "*.xml" files of the device folder in 32-byte slots, at most
    // kProfileNameSlots - 1 names, ended by an empty slot.
    virtual int GetAllProfileName(unsigned char* record, unsigned char* nameList);
    // Writes "current.xml" from the record's device section.
    virtual int SaveVantorInfo(unsigned char* record);

private:
    // Sets the product information of "Help\About\file.xml" and shows it on
    // the About page, "Help\about.xml"; always 0.
    // Private, and still called by the program through its virtual slot.
    virtual int WriteProductInfo(unsigned char* productInfo);
    friend int CallWriteProductInfo(Vantor& vantor, unsigned char* productInfo);

    CXmlDocumentWrapper m_xml;
};

inline int CallWriteProductInfo(Vantor& vantor, unsigned char* productInfo) {
    return vantor.WriteProductInfo(productInfo);
}

// ProfileNameList: 32-byte slots; the program passes 3200 bytes.
inline constexpr int kProfileNameSize = 32;
inline constexpr int kProfileNameSlots = 100;
// ProductInfoBlock: ProductName, File, FirmWare, HardWare, 64 bytes each.
inline constexpr int kProductInfoField = 64;

// The low 16 bits of each ID become the library-wide vendor and product ID.
SILVEX_API Vantor* CreateQXClassInstance(int vendorId, int productId);

using CreateQXClassInstanceFn = Vantor* (*)(int vendorId, int productId);
