// The viewer's start before its first window: the running marker other programs
// of the product look for, the product's identity, and the check of its own file.
#pragma once

#include "platform/KernelObjects.h"

namespace viewer {

// The name of the marker that tells setup and uninstall a viewer runs.
inline constexpr const char* kRunningMarkerName = "darvena_memfile";

// Creates (or joins) the running marker into RunningMarker, which the caller holds
// for the whole run; a marker that cannot be made is no reason to stop. Sets the
// identity values. True when the program's own file is intact, so that the program
// may create its windows; false for a damaged file.
[[nodiscard]] bool StartUp(platform::TKernelHandle& RunningMarker);

}  // namespace viewer
