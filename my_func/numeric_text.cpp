#include "my_func/numeric_text.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

int used_decimals(int n) { return n >= 0 && n <= 3 ? n : 4; }

/* The "%f" text of x after the half-adjustment, cut after the decimal point and `decimals` digits; keep_point keeps
 * the decimal point when no digit follows it. False for a value outside the routines' domain (not finite, or too
 * large for the text). */
bool rounded_text(double x, int decimals, bool keep_point, char text[NUMERIC_TEXT_SIZE]) {
    static const double half_unit[] = {0.5, 0.05, 0.005, 0.0005, 0.00005};
    const double adjusted = x >= 0 ? x + half_unit[decimals] : x - half_unit[decimals];
    const int length = snprintf(text, NUMERIC_TEXT_SIZE, "%f", adjusted);
    if (length < 0 || length >= NUMERIC_TEXT_SIZE) return false;
    char *point = strchr(text, '.');
    if (point == NULL) return false;
    const size_t cut = static_cast<size_t>(point - text) + (decimals > 0 || keep_point ? 1 : 0) + decimals;
    text[cut] = '\0';
    return true;
}

char *copy_out(const char *text, char *out, size_t out_size) {
    if (out_size > 0) snprintf(out, out_size, "%s", text);
    return out;
}

}  // namespace

double abs_value(double x) { return x >= 0 ? x : -x; }

double round_decimals(double x, int n) {
    char text[NUMERIC_TEXT_SIZE];
    if (!rounded_text(x, used_decimals(n), true, text)) return x;
    return strtod(text, NULL);
}

char *format_decimals(double x, int n, char *out, size_t out_size) {
    const int decimals = used_decimals(n);
    char text[NUMERIC_TEXT_SIZE];
    if (!rounded_text(x, decimals, false, text)) snprintf(text, sizeof text, "%g", x);
    return copy_out(text, out, out_size);
}

char *format_trimmed(double x, int n, char *out, size_t out_size) {
    const int decimals = used_decimals(n);
    char text[NUMERIC_TEXT_SIZE];
    if (!rounded_text(x, decimals, false, text)) {
        snprintf(text, sizeof text, "%g", x);
        return copy_out(text, out, out_size);
    }
    if (decimals > 0) {
        size_t length = strlen(text);
        while (length > 0 && text[length - 1] == '0') text[--length] = '\0';
        if (length > 0 && text[length - 1] == '.') text[--length] = '\0';
    }
    return copy_out(text, out, out_size);
}

void round_point(double point[3]) {
    for (int i = 0; i < 3; ++i) point[i] = round_decimals(point[i], 3);
}

bool within_tolerance(double a, double b, double tol) { return round_decimals(abs_value(a - b), 3) <= tol; }
