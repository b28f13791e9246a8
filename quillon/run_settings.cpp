#include "quillon/run_settings.h"

#include <cstring>

run_settings the_run_settings;

void clear_run_settings(run_settings *settings) { std::memset(settings, 0, sizeof *settings); }
