// Dialog values of a batch run: "--set FIELD=VALUE" on the command line and the answers file.
//
// The answers file holds one FIELD=VALUE a line (UTF-8); blank lines and lines starting with '#' are ignored. The field
// is trimmed of blanks, the value is taken as written up to the end of the line. --set values come after the file's,
// so they win. Lines written as prompt answers (prompt_answers.h) are the answers to the command's prompts, in order.
#ifndef CADHOST_DIALOG_BATCH_VALUES_H
#define CADHOST_DIALOG_BATCH_VALUES_H

#include <string>
#include <vector>

#include "cadhost/dialog/prompt_answers.h"

namespace cadhost::dialog {

struct BatchValue {
    std::string field;
    std::string value;
    std::string origin;  // where it was given, for messages: "--set" or "FILE:LINE"
};

bool parse_assignment(const std::string& text, const std::string& origin, BatchValue& out, std::string& error);
bool read_answers_file(const std::string& path, std::vector<BatchValue>& out, std::vector<PromptAnswer>& answers,
                       std::string& error);

// Every value must name a field of one of the dialog files, by identifier or English name, and fit its kind; false
// with a message otherwise. A value given by name is renamed to the field's identifier.
bool check_batch_values(std::vector<BatchValue>& values, const std::vector<std::string>& dialog_files,
                        std::string& error);
bool check_batch_values(const std::vector<BatchValue>& values, const std::vector<std::string>& dialog_files,
                        std::string& error);

}  // namespace cadhost::dialog

#endif
