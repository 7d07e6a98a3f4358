#include "viewer/StartUp.h"

#include "common/CommonUnit.h"
#include "platform/Resources.h"
#include "viewer/QtText.h"

namespace viewer {

bool StartUp(platform::TKernelHandle& RunningMarker) {
  // Whether the marker existed already (another viewer runs) or could not be made
  // at all changes nothing here: only its existence matters, to other programs.
  RunningMarker =
      platform::CreateFileMapping(kRunningMarkerName, 64, platform::kPageReadWrite).Handle;

  darvena::ProductName = "Darvena";
  darvena::RusTitle = Ansi("Дарвена");
  darvena::EngTitle = "Darvena";
  darvena::VersionText = "1.4 beta 7";

  return platform::OwnProgramFileIntact();
}

}  // namespace viewer
