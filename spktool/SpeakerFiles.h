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

// A speaker file and its sheet changed as one: `change` is given the record (the
// file's, or zeros when `fresh`) and the sheet (empty when there is none). Both new
// files are staged and both targets checked before either is replaced, and both are
// replaced under the speaker file's lock, or neither. The sheet the user has is edited
// where it stands, only in the lines of the values that changed, and left alone when
// none did. `force`: a read-only file is replaced too, and a fresh file takes the place
// of one that exists (without it, a fresh file and its sheet must both be new).
void ChangeSpeakerFile(const std::string& path, bool fresh, bool force,
                       const std::function<void(Speaker&, DriverSheet&)>& change);

// Puts a record and, when it holds anything, a whole new sheet in the place of an
// existing speaker file and its sheet, under the speaker file's lock, read-only ones
// too; false with `error` naming the file that failed.
bool ReplaceSpeakerFile(const std::string& path, const Speaker& record,
                        const DriverSheet& sheet, std::string& error);

// Writes `bytes` as the program saves a file: a complete temporary file, then one
// move; an existing file (read-only too) is replaced only when `replace` is set. And
// its first check alone, for a command that wants to fail before it does its work.
void WriteWholeFile(const std::string& path, const std::string& bytes, bool replace);
void RefuseToReplace(const std::string& path, bool replace);

// Refuses an output that is one of the command's input files or their driver sheets,
// whatever name it is given by: "report f.spk -o f.spk --force" would replace the
// driver with its page.
void RefuseInputs(const std::string& output, const std::vector<std::string>& inputs);

// The 164 bytes of a record.
std::string SpeakerBytes(const Speaker& record);

// The driver sheet beside a speaker file: the same name with .txt for .spk.
std::string SheetPath(const std::string& speakerPath);

// The sheet beside `speakerPath`, empty when there is none; a sheet that cannot be read
// is bad data naming its line.
DriverSheet LoadSheet(const std::string& speakerPath);

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
