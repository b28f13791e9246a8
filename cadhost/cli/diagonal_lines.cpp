#include "cadhost/cli/diagonal_lines.h"

#include "cadhost/render/number_text.h"

namespace cadhost::cli {

namespace {

// The name the designer's convention gives the line, when it fits beside the body's name; the body's name otherwise.
std::string line_name(const std::string& body_name) {
    if (body_name.empty()) return {};
    const std::string named = body_name + " 对角线";
    return named.size() <= UF_OBJ_NAME_LEN ? named : body_name;
}

std::string point_text(const std::array<double, 3>& p) {
    std::string text = "(";
    for (int k = 0; k < 3; ++k) {
        if (k) text += ", ";
        render::append_trimmed(text, p[k], 3);
    }
    return text + ")";
}

}  // namespace

std::vector<AddedDiagonal> add_missing_diagonals(Document& doc, const std::vector<CheckStage>& stages) {
    std::vector<AddedDiagonal> added;
    for (const CheckStage& stage : stages) {
        const command_check_body& r = stage.report;
        if (!stage.reported || r.without_base || !r.base_found || r.diagonal_found || !r.have_depth_corners) continue;
        const Object* body = doc.find(r.body);
        if (!body) continue;
        AddedDiagonal line;
        line.body = r.body;
        line.layer = body->layer;
        line.body_name = body->name;
        for (int k = 0; k < 3; ++k) line.from[k] = r.depth_corners[0][k], line.to[k] = r.depth_corners[1][k];
        if (line.from == line.to) continue;
        line.line =
            doc.add_line(gp_Pnt(line.from[0], line.from[1], line.from[2]), gp_Pnt(line.to[0], line.to[1], line.to[2]));
        doc.set_layer(line.line, line.layer);
        doc.set_name(line.line, line_name(line.body_name));
        added.push_back(line);
    }
    return added;
}

std::string added_diagonal_text(const AddedDiagonal& added, const std::vector<CheckStage>& stages) {
    std::string text = "diagonal line added to " + (added.body_name.empty() ? "an unnamed body" : added.body_name) +
                       " on layer " + std::to_string(added.layer);
    for (const CheckStage& stage : stages)
        if (stage.reported && stage.report.body == added.body && stage.report.count_on_layer > 1)
            text += " (body " + std::to_string(stage.report.index_on_layer) + " of " +
                    std::to_string(stage.report.count_on_layer) + ")";
    return text + ": " + point_text(added.from) + " to " + point_text(added.to);
}

}  // namespace cadhost::cli
