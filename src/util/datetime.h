// Date-time values: a double counting days since 30 December 1899, the time
// of day as its fraction. Day 1 is 31 December 1899; negative values reach back
// to 1 January 0001. Years run from 1 to 9999. The date part is the value
// truncated toward zero and the time its absolute fraction, so -1.25 is
// 29 December 1899, 6:00.
#pragma once

namespace tessaro {

using TDateTime = double;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// false (and `out` untouched) when the date or time is not valid.
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out);
// Throw Exception "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);

// Split a value into its parts. Values outside years 1..9999 give year 0 and
// month and day 0, never undefined behaviour.
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);

// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);

// The local date and time of the system clock.
TDateTime Now();
TDateTime Date();

}  // namespace tessaro
