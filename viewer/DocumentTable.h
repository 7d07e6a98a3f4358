// The table of open documents: up to 16 records, numbered 1 to 16, the open ones
// always at 1 to DocCount in tab order (the tab at index k-1 belongs to document k).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "richedit/RichStream.h"
#include "viewer/Paragraphs.h"

namespace viewer {

// The most documents the viewer keeps open at once.
inline constexpr int kMaxDocs = 16;
// Files larger than this many bytes are big: the status box reports the later
// stages of their loading.
inline constexpr std::int64_t kBigFileSize = 262144;

// One open document.
struct TF {
  // The name as it was given: a full path, a relative path or a bare name.
  std::string FileName;
  // True: paragraph filtering; false: line filtering.
  bool BlockFilter = false;
  // The whole-word option.
  bool WholeWord = false;
  // The file is larger than kBigFileSize bytes.
  bool BigFile = false;
  // Word wrap of the document's view.
  bool WordWrap = false;
  // Matches of the last filter run.
  std::int32_t Found = 0;
  // Paragraphs of the text; also the highest used index of Bounds.
  std::int32_t ParaCount = 0;
  // Entries of Bounds; a multiple of kBoundsStep.
  std::int32_t BoundsCapacity = 0;
  // Length of the text as the editor holds it after loading.
  std::int32_t TextLen = 0;
  // The editor holds the whole text (true) or the last filter result (false).
  bool ShowsWholeText = false;
  // The key last applied, at most 255 characters.
  std::string Key;
  // Paragraph boundaries (see TParagraphIndex).
  TEmpties Bounds;
  // The document as rich text.
  richedit::TRichStream WholeText;
  // The last filter result as rich text; empty until the first run.
  richedit::TRichStream Filtered;
};

// Docs[1] to Docs[16]; Docs[0] is never used.
inline std::array<TF, kMaxDocs + 1> Docs;
// Open documents, 0 to 16.
inline std::uint8_t DocCount = 0;
// The current document, 1 to DocCount while one is open.
inline std::uint8_t CurDoc = 0;
// Set while a loading document is measured, indexed and shown, and while a filter
// run works: filter requests do nothing and the view update leaves the editor's
// content alone.
inline bool Busy = false;
// Set for the whole of a load, which lets window messages through at several points:
// actions that would disturb it are refused meanwhile.
inline bool Loading = false;

}  // namespace viewer
