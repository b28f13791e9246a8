/* Rounding and text of numbers. Positions are compared on rounded values, so every analysis rounds the same way: half
 * away from zero by adding half a unit of the last kept decimal, then cutting the "%f" text after it. */
#ifndef MY_FUNC_NUMERIC_TEXT_H
#define MY_FUNC_NUMERIC_TEXT_H

#include <stddef.h>

/* Room for every text the routines make from a model dimension, terminator included. */
#define NUMERIC_TEXT_SIZE 80

double abs_value(double x);

/* x rounded to n decimals; n outside 0 to 3 means 4. */
double round_decimals(double x, int n);

/* x rounded to n decimals as text with exactly n decimals (no decimal point for 0). Returns out. */
char *format_decimals(double x, int n, char *out, size_t out_size);

/* As format_decimals, without trailing zeros and without a trailing decimal point. Returns out. */
char *format_trimmed(double x, int n, char *out, size_t out_size);

/* Rounds each coordinate of a point to 3 decimals, the precision at which model positions are compared. */
void round_point(double point[3]);

/* Whether a and b, both already rounded to 3 decimals, lie within tol of each other, bounds included. The difference is
 * rounded as well so that a gap of exactly tol is not lost to binary fractions. */
bool within_tolerance(double a, double b, double tol);

#endif
