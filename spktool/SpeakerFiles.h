// Speaker files as spktool reads and writes them: whole and checked, never half.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "record/DriverSheet.h"
#include "record/Speaker.h"

// The record of a 164-byte speaker file. A file of another size, a text without its
// NUL or a number that is not finite is reported as damaged (exit status 1): the
// program itself would read such a file as far as it goes and keep zeros for the rest.
Speaker LoadSpeakerFile(const std::string& path);

// Reads, changes and writes a speaker file under an exclusive lock, so that two
// changes at once are both kept. A read-only file is changed only when `readOnlyToo`.
void UpdateSpeakerFile(const std::string& path, bool readOnlyToo,
                       const std::function<void(Speaker&)>& change);

// Writes the file as the program saves: a complete temporary file, then one move.
// An existing file (read-only too) is replaced only when `replace` is set.
void SaveSpeakerFile(const std::string& path, const Speaker& record, bool replace);

// The same for any file's bytes, and its first check alone, for a command that wants
// to fail before it does its work.
void WriteWholeFile(const std::string& path, const std::string& bytes, bool replace);
void RefuseToReplace(const std::string& path, bool replace);

// The 164 bytes of a record.
std::string SpeakerBytes(const Speaker& record);

// The driver sheet beside a speaker file: the same name with .txt for .spk.
std::string SheetPath(const std::string& speakerPath);

// The sheet beside `speakerPath`, empty when there is none; a sheet that cannot be read
// is bad data naming its line.
DriverSheet LoadSheet(const std::string& speakerPath);

// Writes the sheet beside `speakerPath` when it holds anything or one is there already.
void SaveSheet(const std::string& speakerPath, const DriverSheet& sheet, bool replace);

// Applies "field=value" assignments in order, as if the values were typed into the
// program's fields: numbers through its own reading, texts in Windows-1252, and a
// sealed volume or Fb re-deriving the sealed Q as the main window does. The sheet's
// values go by their names ("sd=330"); "sd=" forgets one.
void ApplyAssignments(Speaker& record, DriverSheet& sheet,
                      const std::vector<std::string>& assignments);

// Stores a UTF-8 text into a 50-byte field, or fails naming `what` and the fault.
void StoreText(char* field, const std::string& utf8, const std::string& what);

// A model name in the speaker file, shortened to its 49 bytes with a warning; the whole
// name, when it had to be shortened, goes to the sheet.
void StoreModel(Speaker& record, DriverSheet& sheet, const std::string& utf8,
                const std::string& where);
