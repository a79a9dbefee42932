// Dates, times and numbers in the Japanese locale the system is made for: short date yyyy/MM/dd,
// long time H:mm:ss, "." as decimal separator. Date-times are days since 1899-12-30 00:00 as a
// double; the fraction is the time of day.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace tabulon {

// Builds a date-time from its parts. REQUIRES: a valid calendar date (year 1-9999) and time.
double EncodeDate(int year, int month, int day);
double EncodeTime(int hour, int minute, int second, int millisecond);
bool IsValidDate(int year, int month, int day);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Splits a date-time into its parts. The time is rounded to the nearest millisecond first.
void DecodeDate(double dateTime, int* year, int* month, int* day);
void DecodeTime(double dateTime, int* hour, int* minute, int* second, int* millisecond);
// The time of day in whole milliseconds after midnight (0 .. 86399999), rounded as DecodeTime
// rounds it, so that it agrees with the hour, minute and second DecodeTime gives.
int32_t TimeOfDayMs(double dateTime);

// 1 Sunday .. 7 Saturday.
int DayOfWeek(double dateTime);

// The current local date-time.
double Now();

// A file time (seconds since the epoch) as a local date-time, truncated to an even second as
// the packed file-date format keeps it.
double FileTimeToDateTime(time_t seconds);

// "yyyy/MM/dd H:mm:ss", the time left out when it is exactly midnight: 2024/03/31 9:05:00.
std::string FormatDateTime(double dateTime);

// Formats with a pattern of yyyy, mm, dd, hh, nn, ss and literal characters; used by the labels.
// An mm that follows hh (with only literals between) is the minute, as in "hh:mm".
std::string FormatDateTimePattern(std::string_view pattern, double dateTime);

// Parses the date-time texts of the Japanese locale. A date, optionally followed by blanks and a
// time; or a time alone; blanks around the whole are allowed. A date is two or three numbers
// separated by "/": with three, year, month and day (a year of one or two digits lies in the
// current century); with two, month and day of the current year; one "/" may follow the last
// number. A time is an hour, optionally ":" minutes, optionally ":" seconds, optionally "."
// milliseconds, with an optional AM/PM designator ("AM", "PM" in any case, or 午前, 午後) before
// or after it (the hour then runs from 1 to 12). All parts must form a valid calendar date and a
// time below 24 hours; any text left over is a failure. A time alone is a time of day on
// 1899-12-30. So 2024/3/31, 2024/03/31 9:05, 3/31 and 12 (noon) are date-times; 123 and
// 2024-03-31 are not. Returns false when the text is not a date-time.
bool TryParseDateTime(std::string_view text, double* dateTime);

// Reads the time stamps "yyyy/mm/dd hh:mm" of a column, cell after cell: a stamp that begins
// with the same ten bytes as the last one read whole takes that one's day and reads only its
// time, since stamps listed in time order mostly repeat the day before them. Gives the very value
// TryParseDateTime gives a stamp. False for a text of any other shape and for a stamp of a day
// that does not exist; TryParseDateTime then has the say.
class TStampReader {
 public:
  bool TryRead(std::string_view text, double* dateTime);

 private:
  char day_[10] = {};   // the date bytes of the last stamp read whole
  int64_t serial_ = 0;  // and their day serial
  bool known_ = false;  // a stamp has been read whole
};

// Appends the stamp "yyyy/mm/dd hh:mm" of a date-time that TStampReader read: the very text it
// read. REQUIRES: dateTime is such a value.
void AppendStamp(double dateTime, std::string* out);

// TryParseDateTime for the texts FormatDateTime wrote: the last second of 9999-12-31, the text of
// the column store's date null marker, reads back as the marker's exact bits.
bool TryParseStoredDateTime(std::string_view text, double* dateTime);

// The general float format: up to 15 significant digits, "." as decimal separator, no trailing
// zeros, exponent form ("1E15", "1.5E-7") when the exponent is below -4 or at least 15.
std::string FormatFloat(double value);

// Parses a float: optional blanks, sign, digits with optional "." and fraction, optional exponent,
// optional trailing blanks. Returns false when the text is not a number.
bool TryParseFloat(std::string_view text, double* value);

}  // namespace tabulon
