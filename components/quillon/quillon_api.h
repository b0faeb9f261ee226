// The three exports of Quillon.dll, the HID access library. Each answers
// non-zero for success and 0 for failure; every buffer is 8 bytes, and a
// null or unreadable one is refused with 0.
#pragma once

#ifdef QUILLON_EXPORTS
#define QUILLON_API __declspec(dllexport)
#else
#define QUILLON_API __declspec(dllimport)
#endif

extern "C" {

// Non-zero when the device is attached. The scratch area is left as it is.
QUILLON_API int QUILLON_IsDeviceExist(unsigned short vendorId, unsigned short productId, unsigned char* scratch);
// Delivers the 8-byte report (byte 0: report id) to the device unchanged.
QUILLON_API int QUILLON_SetReport(unsigned short vendorId, unsigned short productId, unsigned char* report);
// Asks the device for the report whose id is in byte 0; on success the
// buffer holds the device's 8-byte answer, otherwise it is unchanged.
QUILLON_API int QUILLON_GetReport(unsigned short vendorId, unsigned short productId, unsigned char* report);
}

// The types the program binds the exports to by name.
using QuillonIsDeviceExistFn = int (*)(unsigned short, unsigned short, unsigned char*);
using QuillonSetReportFn = int (*)(unsigned short, unsigned short, unsigned char*);
using QuillonGetReportFn = int (*)(unsigned short, unsigned short, unsigned char*);
