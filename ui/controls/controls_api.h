// Korelle.exe exports the skinned control classes under their names; the
// build that links them into the program defines KORELLE_CONTROLS_EXPORTS.
#pragma once

#if defined(_WIN32) && defined(KORELLE_CONTROLS_EXPORTS)
#define KORELLE_CONTROLS_API __declspec(dllexport)
#else
#define KORELLE_CONTROLS_API
#endif
