#pragma once

#include <string>
#include <string_view>

#include "calendar/CalendarGrid.h"

// Marks the holidays of a list of holiday records on the cells of year (laid out beforehand,
// no holiday marked) and gives each its name.
//
// Records of the four-field form mark as they always did.  When the list holds no substitute
// rule (codes 30 and 31), a Sunday holiday makes the following cell a holiday, as lists without
// those records always meant; otherwise the substitute and in-between rules in force decide.
// A day marked by a record keeps that record's name (the first record's when several mark it);
// substitute and in-between days take the name of their rule's record.
void MarkHolidays(int year, std::string_view list, YearCells& cells);
