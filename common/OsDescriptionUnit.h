// A one-line English description of the running Windows ("Microsoft Windows 7
// Ultimate 64-bit Service Pack 1"), whether it is 64-bit, and the output of a command
// run by the command interpreter.
//
// The unit comes in two builds that name some editions differently: the
// uninstaller's (DARVENA_UNINSTALLER_BUILD=1) names the editions of Windows Vista and
// later from the product code GetProductInfo answers; the viewer's and setup's take
// the registry's "ProductName" instead, call the 10.0 server "Server 2016" and the
// x86 compute cluster edition "Computer Cluster".
#pragma once

#include <cstdint>
#include <string>

namespace darvena {

// Whether the last successful DescribeWindows found " 64" in its description; false
// until then.
extern bool Windows64;

// The description, or "unknown" when Windows answers no version query. Every call
// that does not give "unknown" sets Windows64.
[[nodiscard]] std::string DescribeWindows();

// The name with its version word, edition and bitness, and the service-pack text.
// False when the version cannot be queried or the platform is neither the Windows 9x
// nor the NT family (name and service pack are then unspecified).
bool ReadWindowsVersion(std::string& Name, std::string& ServicePack);

// The edition a product code of GetProductInfo names, or nullptr for a code the
// table lacks.
[[nodiscard]] const char* EditionNames(uint32_t productCode);

// The standard output of Command run by the command interpreter (%ComSpec% /c),
// converted to the ANSI code page, each line ended with CR LF. The output passes
// through a file of 8 random letters in %Temp%, deleted afterwards. Empty when
// ComSpec is not set; a single CR LF when the command cannot be started or its
// output cannot be read.
[[nodiscard]] std::string CaptureCommandOutput(const std::string& Command);

// Text converted from the OEM code page to the ANSI one, character for character.
[[nodiscard]] std::string ConvertFromOem(const std::string& Text);

// Appends a backslash to a non-empty text that does not end with one.
void AddBackslash(std::string& Text);

}  // namespace darvena
