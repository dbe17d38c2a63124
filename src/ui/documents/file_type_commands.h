#pragma once

namespace cw {

// "Register .avs files" and "Unregister .avs files": the outcome is shown,
// a failure with its reason.
void registerAvsFilesCommand();
void unregisterAvsFilesCommand();

} // namespace cw
