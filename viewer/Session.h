// What the viewer opens when it starts, and the session it leaves behind: the open
// documents in tab order with their filtering mode and word wrap, and which of them
// was current, kept as values of the product key.
#pragma once

#include <cstdint>

namespace viewer {

class TMainForm;
class TToolsForm;

// Set when a remembered current document waits for the next view update that finds
// a document open; SavedCurDoc is its number (1 to 16).
inline bool RestoreCurDoc = false;
inline std::int32_t SavedCurDoc = 0;

// Opens the documents the viewer starts with: those named on the command line when
// there is any parameter; otherwise, as the settings say, those of the previous
// session or every *.txt and *.rtf file of the current folder. First the tool bar
// follows the settings. Missing files and more than 16 documents are reported in
// message boxes; registry failures while restoring end the restore quietly, with
// the documents opened so far kept.
void LoadStartDocuments(TMainForm& MainForm, TToolsForm& ToolsForm);

// Replaces the stored session with the documents open now (none: the session is
// emptied). Registry failures end the saving quietly.
void SaveSession();

}  // namespace viewer
