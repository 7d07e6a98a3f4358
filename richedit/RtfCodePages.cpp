#include "richedit/RtfCodePages.h"

#include <iconv.h>

#include <string>

#include "platform/CodePage.h"

namespace richedit {

int CodePageOfCharset(int charset) {
  switch (charset) {
    case 0:
      return 1252;
    case 77:
      return 10000;
    case 128:
      return 932;
    case 129:
      return 949;
    case 130:
      return 1361;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    case 254:
      return 437;
    case 255:
      return 850;
    default:
      return 0;
  }
}

bool IsDoubleByteCodePage(int codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
         codePage == 1361;
}

namespace {

// The iconv name of a single-byte code page, or empty when we know none.
std::string IconvName(int codePage) {
  if ((codePage >= 1250 && codePage <= 1258) || codePage == 437 || codePage == 850 ||
      codePage == 852 || codePage == 855 || codePage == 866 || codePage == 874)
    return "CP" + std::to_string(codePage);
  if (codePage >= 28591 && codePage <= 28605) return "ISO-8859-" + std::to_string(codePage - 28590);
  switch (codePage) {
    case 10000:
      return "MACINTOSH";
    case 10007:
      return "MAC-CYRILLIC";
    case 20866:
      return "KOI8-R";
    case 21866:
      return "KOI8-U";
    default:
      return {};
  }
}

}  // namespace

const TCodePageTables::TTable& TCodePageTables::Table(int codePage) {
  auto found = tables_.find(codePage);
  if (found != tables_.end()) return found->second;
  TTable table;
  for (int b = 0; b < 256; ++b)
    table[b] = b < 0x80 || codePage == 1251 ? b : '?';
  const std::string name = codePage == 1251 ? std::string() : IconvName(codePage);
  if (!name.empty()) {
    iconv_t cd = iconv_open("UTF-32LE", name.c_str());
    if (cd != reinterpret_cast<iconv_t>(-1)) {
      for (int b = 0x80; b < 256; ++b) {
        char in = static_cast<char>(b);
        unsigned char out[8];
        char* src = &in;
        char* dst = reinterpret_cast<char*>(out);
        std::size_t srcLeft = 1;
        std::size_t dstLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1) &&
            dstLeft == sizeof out - 4) {
          const char32_t u =
              out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
          const int ansi = platform::UnicodeToAnsi(u);
          table[b] = ansi < 0 ? '?' : static_cast<unsigned char>(ansi);
        }
      }
      iconv_close(cd);
    }
  }
  return tables_.emplace(codePage, table).first->second;
}

}  // namespace richedit
