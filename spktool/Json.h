// Numbers in spktool's JSON, as its CSV writes them, so that the two outputs agree.
#pragma once
#include <string>

#include <nlohmann/json.hpp>

// A number as its `text` shows it (whole numbers as integers: "30", not "30.0"), or
// null for no text, "inf" or "nan".
nlohmann::ordered_json JsonNumber(const std::string& text);

// The same for Plain's text of `value`.
nlohmann::ordered_json JsonNumber(double value);

// The document as spktool prints it: indented by two, bytes that are not UTF-8 (a file
// name need not be) replaced, and DEL escaped like every other control character, which
// some readers refuse raw.
std::string JsonText(const nlohmann::ordered_json& document);
