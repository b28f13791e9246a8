// The annotation preferences of the displayed part.
#include <cstring>

#include "cadhost/api/boundary.h"
#include "host/uf_drf.h"

using cadhost::Document;
using cadhost::DraftingPreferences;
using cadhost::Part;
using cadhost::api::with_part;

static_assert(UF_DRF_PREF_INTEGERS == DraftingPreferences::kIntegers);
static_assert(UF_DRF_PREF_REALS == DraftingPreferences::kReals);
static_assert(UF_DRF_SYMBOL_TEXT_SIZE == DraftingPreferences::kSymbolTextLength + 1);

extern "C" {

int UF_DRF_ask_preferences(int mpi[UF_DRF_PREF_INTEGERS], double mpr[UF_DRF_PREF_REALS],
                           char radius_val[UF_DRF_SYMBOL_TEXT_SIZE], char diameter_val[UF_DRF_SYMBOL_TEXT_SIZE]) {
    if (!mpi || !mpr || !radius_val || !diameter_val) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const DraftingPreferences& prefs = doc.drafting_preferences();
        std::memcpy(mpi, prefs.mpi.data(), sizeof(int) * prefs.mpi.size());
        std::memcpy(mpr, prefs.mpr.data(), sizeof(double) * prefs.mpr.size());
        cadhost::api::copy_text(prefs.radius_text, radius_val, UF_DRF_SYMBOL_TEXT_SIZE);
        cadhost::api::copy_text(prefs.diameter_text, diameter_val, UF_DRF_SYMBOL_TEXT_SIZE);
        return UF_ok;
    });
}

int UF_DRF_set_preferences(const int mpi[UF_DRF_PREF_INTEGERS], const double mpr[UF_DRF_PREF_REALS],
                           const char* radius_val, const char* diameter_val) {
    if (!mpi || !mpr || !radius_val || !diameter_val) return UF_err_bad_argument;
    if (std::strlen(radius_val) > DraftingPreferences::kSymbolTextLength ||
        std::strlen(diameter_val) > DraftingPreferences::kSymbolTextLength)
        return UF_err_bad_argument;
    if (!cadhost::api::finite(mpr, UF_DRF_PREF_REALS) || !cadhost::is_utf8(radius_val) ||
        !cadhost::is_utf8(diameter_val))
        return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        // Only what the arguments carry changes: the lettering that is not among the entries (fonts, line spacing,
        // the other kinds' spacing and aspect, the text angle) stays as it was set.
        DraftingPreferences prefs = doc.drafting_preferences();
        std::memcpy(prefs.mpi.data(), mpi, sizeof(int) * prefs.mpi.size());
        std::memcpy(prefs.mpr.data(), mpr, sizeof(double) * prefs.mpr.size());
        prefs.radius_text = radius_val;
        prefs.diameter_text = diameter_val;
        doc.set_drafting_preferences(prefs);
        return UF_ok;
    });
}

}  // extern "C"
