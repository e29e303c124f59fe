// The C runtime's number reading and printing that the widgets rely on, always in the C locale:
// "50.5" is 50.5 whatever the user's locale.
#pragma once

#include <QString>

// _wtoi: leading blanks, an optional sign and the digits that follow; 0 when there are none;
// saturated at the limits of int.
int crtToInt(const QString &text);

// _wtof / atof: the longest number at the start of the text after leading blanks; 0.0 when none.
double crtToDouble(const QString &text);

// printf's "%.{precision}f", "%.{precision}e" or "%g" (conversion 'f', 'e' or 'g'; 'g' ignores precision).
QString crtFormat(double value, char conversion, int precision = 6);
