#include "record/NumberText.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void FormatNumber(char (&text)[NUMBER_TEXT_SIZE], const char* format, double value)
{
    std::snprintf(text, sizeof text, format, value);
}

double ReadNumber(const char* text)
{
    char head[TYPED_NUMBER_CHARS + 1] = {};
    std::strncpy(head, text, TYPED_NUMBER_CHARS);
    return std::atof(head);
}
