#pragma once

#include <string>

#include "model.h"

namespace sample {

// The sidecar: what STEP cannot carry (attributes, blank status), each object found by layer and position on it.
std::string attrs_json(const Model& model);

// What the generator built, from its construction values, for tests to compare against.
std::string expected_json(const Model& model);

}  // namespace sample
