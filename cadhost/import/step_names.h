// The names a model's translation reads, decoded into UTF-8 in the model itself before it is translated.
#ifndef CADHOST_IMPORT_STEP_NAMES_H
#define CADHOST_IMPORT_STEP_NAMES_H

#include "cadhost/import/name_encoding.h"

class StepData_StepModel;

namespace cadhost::import {

// Rewrites the names and ids of products and their occurrences, the names of representation items and of layers,
// read from the file in kTranslatorCodePage, as UTF-8 decoded by `decoding`, which then holds the notes about them.
void decode_model_names(StepData_StepModel& model, NameDecoding& decoding);

}  // namespace cadhost::import

#endif
