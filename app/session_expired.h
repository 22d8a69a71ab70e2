#pragma once
// The report of expired records over all known databases, made at start-up
// and again once a day by the timer.

#include "engine/base.h"

namespace corvane {

// The records of the database, in all folders, whose expiry date is set and
// lies before `today` (a whole-day date serial). For a closed database these
// are the dates its file keeps outside the encrypted part.
int CountExpiredRecords(const TPwdBase& base, double today);

// Notes today as the day of the last check, counts the expired records of
// every known database (a closed one is read without its password for this,
// into a copy of its own) and shows one warning that lists each database with
// expired records and their number. Nothing is shown when there are none.
void CheckExpiredRecords();

// The whole day of the last check (0: not yet), and whether a check is due
// today.
double LastExpiryCheck();
bool ExpiryCheckDue();

}  // namespace corvane
