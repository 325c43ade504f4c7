#pragma once

#include <cstdio>
#include <string>

class CAtomicFile;
class CTorqDoc;

// The engine file (*.trq): the engine's parameters in English units, the cam
// and airflow blocks, the compression calculator's inputs and two blocks of
// results for other programs, as text lines. The newest version is written
// and every readable one read (kReadableFileVersions, base/LineFile.h; those
// before 3.08 have no calculator section). Results are never read back:
// opening recomputes them.

// Writes the document to path. The content goes to a temporary file beside
// the target, which replaces the target only once every line is written and
// the file is closed: a failed save leaves the old file exactly as it was.
// With nitrous the first result block is a run on plain gasoline without
// nitrous, so the document is run twice; afterwards it holds the results of
// its own engine again. Errors 43, 44 and 46 are shown once and give false;
// on failure the fuel, the nitrous flow, the results and the unit system are
// put back as they were before the call.
bool WriteEngineFile(CTorqDoc& doc, const std::string& path);

// The same up to the rename: the engine file is written to the file's
// temporary and finished, and replaces its target only when the caller
// commits it, so that several files can appear together (base/AtomicFile.h).
bool FinishEngineFile(CTorqDoc& doc, CAtomicFile& file);

// Reads an engine file into the document, which should be freshly cleared
// (a 3.07 file leaves the calculator inputs alone). Errors 43 to 50 (the
// blocks raise 49 and 50 for their own versions) are shown once and give
// false; the document then holds whatever was read before the failure.
bool ReadEngineFile(CTorqDoc& doc, const std::string& path);

// The reader without the file around it: reads the items of an engine file
// from an open text stream and raises the 16-bit error code of the first
// problem (RaisedError). ReadEngineFile and the fuzz targets use it.
void ReadEngineItems(CTorqDoc& doc, std::FILE* file);

// The Save command: ConfirmEngineSave, then WriteEngineFile. On success the
// document is unmodified and takes the path and, as its title, the file name
// with its extension ("My Big Engine.trq").
bool SaveEngineDocument(CTorqDoc& doc, const std::string& path);

// The checks before a save: Validate (its code is shown and the save
// refused); no results asks warning 204 (Cancel refuses).
bool ConfirmEngineSave(CTorqDoc& doc);

// The Open command: reads the file into a fresh engine and, only when the
// whole file was read, puts that engine into doc, runs Recalculate, marks it
// unmodified and gives it the path and the file name as its title. A file
// that fails leaves doc exactly as it was.
bool OpenEngineDocument(CTorqDoc& doc, const std::string& path);

// The file name part of a path, extension included: the document title.
std::string DocumentTitleFromPath(const std::string& path);
