#pragma once

#include "core/base/paths.h"

#include <string>

namespace cw {

// Makes the program this user's opener of .avs files, the way desktops
// expect it: the MIME type text/x-avisynth for *.avs (a package in
// $XDG_DATA_HOME/mime/packages), a desktop entry clipwright.desktop whose
// Exec line runs executablePath with "-i %f", and that entry as the type's
// default in $XDG_CONFIG_HOME/mimeapps.list, whose other lines stay as they
// were. Then refreshes the desktop's caches with update-mime-database and
// update-desktop-database where they are installed. Returns "" on success,
// else the file or tool and the reason.
std::string registerAvsFiles(const std::string& executablePath, const EnvLookup& env);

// Whether an installed package already registered the type for this very
// program: one of the system's data folders ($XDG_DATA_DIRS, by default
// /usr/local/share and /usr/share) holds a clipwright.desktop that declares
// text/x-avisynth and whose Exec program, looked up on PATH and with links
// followed, is executablePath. A program built from source has none.
bool isRegisteredByPackage(const std::string& executablePath, const EnvLookup& env);

// For a program whose package registered the type: makes the package's
// entry this user's default for .avs files and removes the user's own
// clipwright.desktop, left by an earlier registration, that would hide it.
// Returns "" on success, else the file or tool and the reason.
std::string makePackagedEntryDefault(const EnvLookup& env);

// Removes the desktop entry and the default, keeping the MIME type. A file
// that is already gone counts as removed. Returns "" or the reason.
std::string unregisterAvsFiles(const EnvLookup& env);

// executablePath as the first word of an Exec line: quoted, with the escapes
// of the quoting rules and of the string value on top, and "%" doubled.
// GLib looks the program up before it turns "%%" back into "%", so GLib-based
// desktops refuse an entry whose program path holds a "%".
std::string desktopExecProgram(const std::string& executablePath);

// mimeapps.list text with mimeType's default set to desktopId in the
// [Default Applications] group, added when missing; every other line kept.
std::string withDefaultApplication(const std::string& mimeapps, const std::string& mimeType,
                                   const std::string& desktopId);

// mimeapps.list text with desktopId taken out of mimeType's default; the
// line goes when nothing else is left in it.
std::string withoutDefaultApplication(const std::string& mimeapps, const std::string& mimeType,
                                      const std::string& desktopId);

} // namespace cw
