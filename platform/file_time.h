#pragma once
// The two forms in which Corvane stores a file's time, and their conversions:
// - the file-time form: 100-nanosecond intervals since 1 January 1601 UTC, as
//   attachments and synchronisation records keep it;
// - the date serial: days since 30 December 1899 in local time, the form of
//   Clock().Now(), so a file's age can be compared with now.

#include <time.h>

#include <cstdint>

namespace corvane {

// 100-ns intervals between 1 January 1601 and the Unix epoch.
inline constexpr std::uint64_t kFileTimeUnixEpoch = 116444736000000000ull;

// A moment in the file-time form. Moments before 1601 give 0.
std::uint64_t FileTimeFromUnix(const timespec& moment);
timespec UnixFromFileTime(std::uint64_t fileTime);

// Local-time date serial of a moment, and back. The way back resolves a local
// time that occurs twice (the hour when clocks go back) as the system does.
double DateFromUnix(const timespec& moment);
timespec UnixFromDate(double date);

inline double DateFromFileTime(std::uint64_t fileTime) { return DateFromUnix(UnixFromFileTime(fileTime)); }
inline std::uint64_t FileTimeFromDate(double date) { return FileTimeFromUnix(UnixFromDate(date)); }

}  // namespace corvane
