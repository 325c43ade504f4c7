#pragma once

#include <string>

class CTorqDoc;

// The racing game's engine file (*.gme): a few engine figures and two blocks
// of performance curves as text, in English units. The menu command runs in
// three steps around the platform's save dialog:
//
//   CheckGameTextExport   the engine must be complete and have results
//   ProposedGameTextName  the name the dialog proposes
//   ExportGameTextFile    the file the user chose, in its DOS 8.3 form
//
// Every refusal shows exactly one message and leaves the document unchanged.

// Validate (its code) and results (79); false after showing the first failure.
bool CheckGameTextExport(CTorqDoc& doc);

// DosFileName of the document title with ".gme" ("Untitled" stands in for
// a document that has no title yet).
std::string ProposedGameTextName(const CTorqDoc& doc);

// Writes folder / DosFileName(chosenFileName, ".gme"). A chosen name that
// the 8.3 form changes and whose 8.3 form names an existing file gives 78. The
// engine is run afresh for both blocks (the first on plain gasoline without
// nitrous when it has nitrous); a failed run gives 42, file errors 43, 44
// and 46. The file appears only when it is complete: on failure an existing
// file of that name is left untouched and nothing else is left behind.
// Afterwards, also on failure, the document has its own fuel, nitrous flow,
// unit system and results again.
bool ExportGameTextFile(CTorqDoc& doc, const std::string& folder, const std::string& chosenFileName);
