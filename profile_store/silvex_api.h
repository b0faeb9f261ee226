// Export rules of the profile library. Silvex.dll exports its two factories
// by name as plain C functions; the program binds them with GetProcAddress and
// uses the classes only through their virtual operations.
#pragma once

#if defined(_WIN32) && defined(SILVEX_EXPORTS)
#define SILVEX_API extern "C" __declspec(dllexport)
#else
#define SILVEX_API extern "C"
#endif
