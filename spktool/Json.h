// Numbers in spktool's JSON, as its CSV writes them, so that the two outputs agree.
#pragma once
#include <nlohmann/json.hpp>

// Plain's text as a JSON number: whole numbers as integers, null for infinity and NaN.
nlohmann::ordered_json JsonNumber(double value);
