// The answers file, checked against the shipped dialog file as a batch run does.
#include <vector>

#include "cadhost/dialog/batch_values.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = fuzz::input_file(data, size, ".answers");
    std::vector<cadhost::dialog::BatchValue> values;
    std::vector<cadhost::dialog::PromptAnswer> answers;
    std::string error;
    if (cadhost::dialog::read_answers_file(file, values, answers, error))
        cadhost::dialog::check_batch_values(values, {QUILLON_SOURCE_DIR "/quillon/quillon_dlg.dlg"}, error);
    return 0;
}
