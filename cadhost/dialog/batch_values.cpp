#include "cadhost/dialog/batch_values.h"

#include <filesystem>
#include <sstream>

#include "cadhost/dialog/dialog_file.h"
#include "cadhost/files/read_file.h"

namespace cadhost::dialog {

namespace {

std::string trim(const std::string& text) {
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    std::size_t end = text.find_last_not_of(" \t");
    return text.substr(start, end - start + 1);
}

}  // namespace

bool parse_assignment(const std::string& text, const std::string& origin, BatchValue& out, std::string& error) {
    std::size_t equals = text.find('=');
    std::string field = equals == std::string::npos ? std::string() : trim(text.substr(0, equals));
    if (field.empty()) {
        error = origin + ": '" + text + "' is not FIELD=VALUE";
        return false;
    }
    out = BatchValue{field, text.substr(equals + 1), origin};
    return true;
}

bool read_answers_file(const std::string& path, std::vector<BatchValue>& out, std::vector<PromptAnswer>& answers,
                       std::string& error) {
    std::string bytes, why;
    if (!files::read_whole_file(path, bytes, why)) {
        error = "cannot read answers file '" + path + "': " + why;
        return false;
    }
    if (const std::string place = files::nul_byte_place(bytes); !place.empty()) {
        error = "answers file '" + path + "', " + place + ": a NUL byte";
        return false;
    }
    std::istringstream in(bytes);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        std::string content = trim(line);
        if (content.empty() || content[0] == '#') continue;
        const std::string origin = path + ":" + std::to_string(number);
        if (is_prompt_answer(content)) {
            PromptAnswer answer;
            if (!parse_prompt_answer(content, origin, answer, error)) return false;
            answers.push_back(answer);
            continue;
        }
        BatchValue value;
        if (!parse_assignment(line, origin, value, error)) return false;
        out.push_back(value);
    }
    return true;
}

bool check_batch_values(std::vector<BatchValue>& values, const std::vector<std::string>& dialog_files,
                        std::string& error) {
    if (values.empty()) return true;
    std::vector<std::pair<std::string, DialogDefinition>> dialogs;
    for (const std::string& file : dialog_files) {
        DialogDefinition definition;
        if (!read_dialog_file(file, definition, error)) return false;
        dialogs.emplace_back(std::filesystem::path(file).filename().string(), std::move(definition));
    }
    if (dialogs.empty()) {
        error = values.front().origin + ": " + values.front().field +
                ": the command has no dialog file beside it or in the configuration directory";
        return false;
    }
    for (BatchValue& value : values) {
        std::string why;
        bool known = false, fits = false;
        for (const auto& [name, definition] : dialogs) {
            const Field* field = definition.find_id_or_name(value.field);
            if (!field) continue;
            known = true;
            FieldValue parsed;
            std::string reason;
            if (parse_value(*field, value.value, parsed, reason)) {
                fits = true;
                // The command asks its fields by identifier.
                value.field = field->id;
                break;
            }
            why = value.field + " is a " + kind_name(field->kind) + " field of " + name + ": " + reason;
        }
        if (!known) {
            error = value.origin + ": no field " + value.field + " in";
            for (std::size_t i = 0; i < dialogs.size(); ++i) error += (i ? ", " : " ") + dialogs[i].first;
            return false;
        }
        if (!fits) {
            error = value.origin + ": " + why;
            return false;
        }
    }
    return true;
}

bool check_batch_values(const std::vector<BatchValue>& values, const std::vector<std::string>& dialog_files,
                        std::string& error) {
    std::vector<BatchValue> copy = values;
    return check_batch_values(copy, dialog_files, error);
}

}  // namespace cadhost::dialog
