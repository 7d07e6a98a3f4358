// The resource description of one program: a small text file (UTF-8) that says
// which resources the packer appends to the program file. One statement a line;
// a line whose first character other than blanks is "#" is a comment. Words are
// split by blanks; a word in double quotes may hold blanks and the escapes \" \\ \n
// \r \t. "${NAME}" anywhere in a word is replaced by the value given for NAME.
// Relative file names are taken against the description's folder.
//
//   language 0x0419                  language of the resources declared after it
//   version file 1.4.0.6             fixed file version
//   version product 1.4.0.6          fixed product version
//   version flags prerelease ...     debug prerelease patched privatebuild
//                                    infoinferred specialbuild
//   version os windows32             windows32, nt or nt-windows32
//   version type app                 app or dll
//   translation 0x0419 1251          a translation the version resource lists;
//                                    without one, those of the string tables
//   string 0x0419 1251 Name "Value"  a value of that language's string table
//   manifest level asInvoker         asInvoker, highestAvailable or
//                                    requireAdministrator
//   manifest common-controls 6.0.0.0
//   icon MAINICON "file.svg" [W H]   an image of an icon group (svg or png)
//   resource EXE DARVENA "file"      a resource holding a file's bytes
#pragma once

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ResourcesFormat.h"

namespace rcpack {

// A fault in a description: its file, line and what is wrong.
class EDescriptionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TDescription {
  // The resources to pack, in the order the packer writes them.
  std::vector<platform::TResource> Resources;
  // The files the description names (icons and resource files), in order.
  std::vector<std::filesystem::path> Inputs;
};

// The resources a description declares, read from its file. Throws
// EDescriptionError for a statement it cannot take, an undefined variable, text
// that Windows-1251 cannot hold, or a file it cannot read.
[[nodiscard]] TDescription ReadDescription(const std::filesystem::path& file,
                                           const std::map<std::string, std::string>& variables);

}  // namespace rcpack
