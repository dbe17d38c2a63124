#pragma once

#include "core/base/paths.h"

#include <string>
#include <vector>

namespace cw {

// The environment variable that names the lib folder of an AviSynth+
// installed where nothing else would find it (several folders joined by ":").
inline constexpr const char* aviSynthLibraryVariable = "CLIPWRIGHT_AVISYNTH_LIB";

// The folders the frame-server library is looked for in, in order, each
// once: the folders of CLIPWRIGHT_AVISYNTH_LIB, those of LD_LIBRARY_PATH,
// ~/.local/lib, the folders listed in ldSoConf (following its "include"
// lines), then /lib, /usr/lib, /lib64 and /usr/lib64. Folders need not exist.
std::vector<std::string> aviSynthLibraryFolders(const EnvLookup& env,
                                                const std::string& ldSoConf = "/etc/ld.so.conf");

// What the frame server hands to dlopen, in order: libavisynth.so in every
// folder of aviSynthLibraryFolders, then each versioned name in every
// folder, then the bare names for the loader's own search. The version
// reader looks at the same folders in the same way, so the status bar names
// the library the preview loads.
std::vector<std::string> aviSynthLibraryCandidates(const EnvLookup& env,
                                                   const std::string& ldSoConf = "/etc/ld.so.conf");

// The source checkout this program was built from while its installer
// tools/install-avisynth is still there; "" for a packaged program.
std::string sourceCheckoutFolder();

// The text shown when no frame-server library could be loaded: it names the
// installer of sourceCheckout, or the install notes when that is "".
std::string aviSynthNotFoundText(const std::string& sourceCheckout = sourceCheckoutFolder());

} // namespace cw
