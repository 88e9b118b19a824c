// What the importers of spktool/import share and nothing else sees: a driver's values
// as its source gives them, the units they come in, and the one way a driver becomes
// a record.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "Importers.h"
#include "numbers/Units.h"

// More drivers than any database holds; the limit keeps a hostile table's cost bounded.
constexpr int MAX_DRIVERS = 100000;
constexpr char TOO_MANY[] = ": more than 100,000 drivers, the most one import takes";

// What one driver's source gave, before it becomes a record.
struct Values {
    std::string maker, model, info;         // UTF-8; the model without the maker
    std::map<std::string, double> numbers;  // field name -> value in the program's units
    DriverSheet sheet = EmptySheet();       // texts still UTF-8 here; values in its units
};

// The file name of a source without its folders and extension, for drivers' names.
std::string Stem(const std::string& source);

// The blank-separated words of a list ("fs qts vas").
std::vector<std::string> Words(const char* list);

// Sources write 0 where a datasheet gave nothing (WinISD's files, scraped tables), and
// no real driver has a value of 0, so 0 stays unknown.
void SetSheetValue(Values& values, int index, double value);

// A number as tables and WinISD write it: with a decimal point, or a decimal comma when
// there is no point and only one comma.
bool ReadDecimalComma(std::string text, double& value);

// Makes the record and adds the driver, or adds one error line naming `where` and
// returns false. `fallbackName` names a driver whose source gave neither maker nor model.
bool AddDriver(const std::string& where, const std::string& fallbackName, const Values& values,
               ImportResult& result);

// One reader a format; each adds what it finds to `result`.
void ImportCsv(const std::string& source, std::string text, ImportResult& result);
void ImportXml(const std::string& source, const std::string& text, ImportResult& result);
void ImportJson(const std::string& source, const std::string& text, ImportResult& result);
void ImportWinIsd(const std::string& source, std::string text, ImportResult& result);
