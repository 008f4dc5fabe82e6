/*
** OleDate <-> text "YYYY-MM-DD HH:MM:SS" (local time, as the OleDate itself) for task
** files and the call record. All conversions go through oleaut32, as the host's do.
*/
#ifndef STANDIN_OLE_DATE_TEXT_H
#define STANDIN_OLE_DATE_TEXT_H

#include <windows.h>

#include <string>

/* The date as "YYYY-MM-DD HH:MM:SS" when that text converts back to exactly the same
   double; otherwise empty (fractions of a second, out of range, NaN). */
std::string ExactDateText(double date);
/* Parses "YYYY-MM-DD HH:MM:SS" (nothing before or after, a real calendar date).
   Returns false for anything else and leaves *date alone. */
bool ParseDateText(const std::string &text, double *date);
/* The SYSTEMTIME as {Y-M-D h:m:s.ms}, fields unpadded and unchecked. */
std::string SystemTimeText(const SYSTEMTIME &time);

#endif
