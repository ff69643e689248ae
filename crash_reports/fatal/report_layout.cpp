#include "crash_reports/fatal/report_layout.h"

namespace kestrum {

namespace {

void WriteTwoDigits(TextSink& sink, std::int64_t value) {
  const char digits[2] = {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
  sink.Write(std::string_view(digits, 2));
}

}  // namespace

void WriteUtcTime(TextSink& sink, std::int64_t secondsSince1970) {
  // Days to a civil date in the proleptic Gregorian calendar, counted in eras
  // of 400 years from 0000-03-01 (H. Hinnant's days_from_civil inverse).
  const std::int64_t days = (secondsSince1970 >= 0 ? secondsSince1970 : secondsSince1970 - 86399) / 86400;
  const std::int64_t secondOfDay = secondsSince1970 - days * 86400;
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  const std::int64_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
  const std::int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

  WriteDecimal(sink, static_cast<std::uint64_t>(year));
  sink.Write("-");
  WriteTwoDigits(sink, month);
  sink.Write("-");
  WriteTwoDigits(sink, day);
  sink.Write("T");
  WriteTwoDigits(sink, secondOfDay / 3600);
  sink.Write(":");
  WriteTwoDigits(sink, secondOfDay / 60 % 60);
  sink.Write(":");
  WriteTwoDigits(sink, secondOfDay % 60);
  sink.Write("Z");
}

void WriteField(TextSink& sink, std::string_view label, std::string_view value) {
  sink.Write(label);
  sink.Write(": ");
  sink.Write(value);
  sink.Write("\n");
}

void WriteSectionHeading(TextSink& sink, std::string_view heading) {
  sink.Write("\n");
  sink.Write(heading);
  sink.Write(":\n");
}

}  // namespace kestrum
