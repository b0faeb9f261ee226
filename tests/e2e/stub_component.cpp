// A component library that lacks one entry point, for the start-up tests:
// built once per entry point with OMIT naming the one left out.
#define EXPORT extern "C" __declspec(dllexport)
#define STUB(name) EXPORT int name() { return 0; }

#ifdef STUB_QUILLON
#if OMIT != 1
STUB(QUILLON_IsDeviceExist)
#endif
#if OMIT != 2
STUB(QUILLON_SetReport)
#endif
#if OMIT != 3
STUB(QUILLON_GetReport)
#endif
#endif

#ifdef STUB_SILVEX
#if OMIT != 1
STUB(CreateQXClassInstance)
#endif
#if OMIT != 2
STUB(CreateXmlClassInstance)
#endif
#endif

#ifdef STUB_MERROWIN
#if OMIT != 1
STUB(InitMouse)
#endif
#if OMIT != 2
STUB(UninitMouse)
#endif
#if OMIT != 3
STUB(InitKeyboard)
#endif
#if OMIT != 4
STUB(UninitKeyboard)
#endif
#endif
