// rcpack: appends a program's resources, as its description declares them, to its
// program file and seals the file.
//
//   rcpack [-D NAME=VALUE]... DESCRIPTION PROGRAM [-o OUTPUT]
//   rcpack --list PROGRAM
//
// Without -o the program file is replaced in place. --list shows the seal and the
// resources of a program file.
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/PlatformError.h"
#include "platform/Resources.h"
#include "tools/rcpack/ResourceDescription.h"

namespace {

int Usage() {
  std::cerr << "usage: rcpack [-D NAME=VALUE]... DESCRIPTION PROGRAM [-o OUTPUT]\n"
               "       rcpack --list PROGRAM\n";
  return 2;
}

int List(const std::string& program) {
  platform::TProgramFile file = platform::TProgramFile::OpenPosix(program);
  switch (file.CheckSeal()) {
    case platform::TSealStatus::Intact:
      std::cout << "sealed, intact\n";
      break;
    case platform::TSealStatus::Damaged:
      std::cout << "sealed, damaged\n";
      break;
    case platform::TSealStatus::NotSealed:
      std::cout << "not sealed\n";
      break;
  }
  for (const platform::TResourceEntry& e : file.Resources()) {
    char language[8];
    std::snprintf(language, sizeof language, "%04X", e.Language);
    std::cout << platform::AnsiToUtf8(e.Type) << " " << platform::AnsiToUtf8(e.Name) << " "
              << language << " " << e.Size << "\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 2 && args[0] == "--list") return List(args[1]);
    std::map<std::string, std::string> variables;
    std::vector<std::string> positional;
    std::string output;
    for (size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if ((a == "-D" || a == "-o") && i + 1 == args.size()) return Usage();
      if (a == "-D" || (a.size() > 2 && a.compare(0, 2, "-D") == 0)) {
        std::string def = a == "-D" ? args[++i] : a.substr(2);
        size_t eq = def.find('=');
        if (eq == std::string::npos || eq == 0) return Usage();
        variables[def.substr(0, eq)] = def.substr(eq + 1);
      } else if (a == "-o") {
        output = args[++i];
      } else if (!a.empty() && a[0] == '-') {
        return Usage();
      } else {
        positional.push_back(a);
      }
    }
    if (positional.size() != 2) return Usage();
    rcpack::TDescription description = rcpack::ReadDescription(positional[0], variables);
    platform::PackResources(positional[1], description.Resources,
                            output.empty() ? positional[1] : output);
    return 0;
  } catch (const rcpack::EDescriptionError& e) {
    std::cerr << "rcpack: " << e.what() << "\n";
  } catch (const platform::EPlatformError& e) {
    std::cerr << "rcpack: " << e.what() << "\n";
  }
  return 1;
}
