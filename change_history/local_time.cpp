#include "local_time.h"

#include <cstdio>
#include <cstdlib>

namespace kestrum::history {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's
// days_from_civil), so that the offset needs neither timegm nor %z, which
// Windows' C library writes as the zone's name.
long long DaysFromCivil(long long year, unsigned month, unsigned day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

long long SecondsOf(const std::tm& fields) {
  return DaysFromCivil(fields.tm_year + 1900LL, static_cast<unsigned>(fields.tm_mon + 1),
                       static_cast<unsigned>(fields.tm_mday)) *
             86400 +
         fields.tm_hour * 3600LL + fields.tm_min * 60LL + fields.tm_sec;
}

bool Split(std::time_t time, std::tm& local, std::tm& utc) {
#ifdef _WIN32
  return localtime_s(&local, &time) == 0 && gmtime_s(&utc, &time) == 0;
#else
  return localtime_r(&time, &local) != nullptr && gmtime_r(&time, &utc) != nullptr;
#endif
}

}  // namespace

std::string LocalTimeText(std::time_t time) {
  std::tm local{};
  std::tm utc{};
  if (!Split(time, local, utc)) return {};
  const long long offsetMinutes = (SecondsOf(local) - SecondsOf(utc)) / 60;
  const long long offset = std::llabs(offsetMinutes);
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02lld:%02lld", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                offsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
  return text;
}

std::string LocalTimeNow() { return LocalTimeText(std::time(nullptr)); }

}  // namespace kestrum::history
