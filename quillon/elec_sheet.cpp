#include "quillon/elec_sheet.h"

#include <cstdio>

#include "host/uf.h"
#include "host/uf_call.h"
#include "host/uf_draw.h"
#include "host/uf_drf.h"
#include "host/uf_part.h"
#include "host/uf_ui.h"
#include "my_func/config_reader.h"
#include "quillon/run_settings.h"
#include "quillon/sheet_notes.h"

time_t (*elec_sheet_clock)(time_t *) = time;

namespace {

#define TEMPLATE_FIXED_PATH CONFIG_FIXED_DIR "my_edm_A4_a.prt"
#define POSITIONS_UNREAD -1.0

/* Title-block positions in sheet millimetres, read from config.def on the first sheet of a run. */
struct title_positions {
    double mold_no_note_point_x = POSITIONS_UNREAD;
    double mold_no_note_point_y = 0;
    double part_no_note_point_x = 0;
    double part_no_note_point_y = 0;
    double time_note_point_x = 0;
    double time_note_point_y = 0;
    double client_note_point_x = 0;
    double client_note_point_y = 0;
    double part_type_note_point_x = 0;
    double part_type_note_point_y = 0;
    double page_note_point_x = 0;
    double page_note_point_y = 0;
    double part_path_note_point_x = 0;
    double part_path_note_point_y = 0;
    double part_path_true = 0;
};

title_positions positions;

int read_positions(void) {
    const config_cell keys[] = {
        {"mold_no_note_point_x:", &positions.mold_no_note_point_x},
        {"mold_no_note_point_y:", &positions.mold_no_note_point_y},
        {"part_no_note_point_x:", &positions.part_no_note_point_x},
        {"part_no_note_point_y:", &positions.part_no_note_point_y},
        {"time_note_point_x:", &positions.time_note_point_x},
        {"time_note_point_y:", &positions.time_note_point_y},
        {"client_note_point_x:", &positions.client_note_point_x},
        {"client_note_point_y:", &positions.client_note_point_y},
        {"part_type_note_point_x:", &positions.part_type_note_point_x},
        {"part_type_note_point_y:", &positions.part_type_note_point_y},
        {"page_note_point_x:", &positions.page_note_point_x},
        {"page_note_point_y:", &positions.page_note_point_y},
        {"part_path_note_point_x:", &positions.part_path_note_point_x},
        {"part_path_note_point_y:", &positions.part_path_note_point_y},
        {"part_path_true:", &positions.part_path_true},
    };
    return read_config_cells(keys, sizeof keys / sizeof keys[0]);
}

// A note's origin on the sheet.
void sheet_point(double x, double y, double point[3]) {
    point[0] = x;
    point[1] = y;
    point[2] = 0.0;
}

void set_general_text(UF_DRF_lettering_preferences_t *lettering, double size, double aspect_ratio) {
    lettering->general_text.size = size;
    lettering->general_text.aspect_ratio = aspect_ratio;
    UF_CALL(UF_DRF_set_lettering_preferences(lettering));
}

void import_template(void) {
    // As much room as config.def has: a template path cut short would name another file and lose the border.
    char template_path[CONFIG_PATH_BUFSIZE];
    if (!map_config_path(TEMPLATE_FIXED_PATH, template_path, sizeof template_path))
        copy_text_cut(template_path, sizeof template_path, TEMPLATE_FIXED_PATH);
    UF_import_part_modes_t import_mode = {};
    const double dest_csys[6] = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0};
    const double dest_point[3] = {0.0, 0.0, 0.0};
    tag_t import_group = NULL_TAG;
    // The listing names the template as the user's configuration knows it, not by this platform's folder.
    report_error(QUILLON_SOURCE_MODULE, __LINE__,
                 "UF_PART_import( \"D:\\\\tarn_conf\\\\my_edm_A4_a.prt\", &import_mode, dest_csys, dest_point, 1, "
                 "&import_group)",
                 UF_PART_import(template_path, &import_mode, dest_csys, dest_point, 1, &import_group));
}

}  // namespace

void reset_elec_sheet_positions(void) { positions = title_positions(); }

void format_sheet_date(time_t when, char *text, size_t size) {
    if (size == 0) return;
    text[0] = '\0';
    const struct tm *local = localtime(&when);
    if (local == NULL) return;
    std::snprintf(text, size, "%d.%d.%d", local->tm_year + 1900, local->tm_mon + 1, local->tm_mday);
}

const char *part_type_text(int part_type) {
    static const char *const texts[] = {"前 模", "前模镶件", "后 模", "后模镶件", "滑 块", "滑块镶件", "斜 顶"};
    if (part_type < 1 || part_type > 7) return "";
    return texts[part_type - 1];
}

void upper_case_ascii(char *text) {
    for (; *text; ++text)
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
}

int create_elec_sheet(const char *sheet_name, const char *mold_no, const char *part_no, tag_t *drawing, int sheet_count,
                      int sheet_no) {
    int module = 0;
    UF_ask_application_module(&module);
    if (module != UF_APP_DRAFTING && module != UF_APP_MODELING) {
        uc1601("此功能必需在MODELING或在DRAFTING模块下运行!", 1);
        return 0;
    }
    if (positions.mold_no_note_point_x == POSITIONS_UNREAD && !read_positions()) return 0;

    char time_note[32];
    format_sheet_date(elec_sheet_clock(NULL), time_note, sizeof time_note);
    char page_note[64];
    std::snprintf(page_note, sizeof page_note, "第 %d/%d 页", sheet_no, sheet_count);
    char part_path[UF_CFI_MAX_PATH_NAME_SIZE] = "";
    UF_CALL(UF_PART_ask_part_name(UF_PART_ask_display_part(), part_path));
    upper_case_ascii(part_path);

    UF_DRAW_info_t info = {};
    info.size_state = UF_DRAW_CUSTOM_SIZE;
    info.size.custom_size[0] = 210.0;
    info.size.custom_size[1] = 297.0;
    info.drawing_scale = 1.0;
    info.units = UF_PART_METRIC;
    info.projection_angle = UF_DRAW_THIRD_ANGLE_PROJECTION;
    if (UF_DRAW_create_drawing(sheet_name, &info, drawing) != 0) {
        char message[256];
        std::snprintf(message, sizeof message, "构建%s图纸失败这可能是已经有了这个图纸名称!", sheet_name);
        uc1601(message, 1);
        return 0;
    }
    import_template();

    UF_DRF_lettering_preferences_t saved_lettering, lettering;
    UF_CALL(UF_DRF_ask_lettering_preferences(&saved_lettering));
    UF_CALL(UF_DRF_ask_lettering_preferences(&lettering));
    lettering.general_text.char_space_factor = 1.0;
    set_general_text(&lettering, 3.175, 0.8);
    // Each note is its own call, so that a failure in the listing says which cell stayed empty.
    tag_t note_tag = NULL_TAG;
    double time_point[3], page_point[3], mold_no_point[3], part_no_point[3];
    sheet_point(positions.time_note_point_x, positions.time_note_point_y, time_point);
    sheet_point(positions.page_note_point_x, positions.page_note_point_y, page_point);
    sheet_point(positions.mold_no_note_point_x, positions.mold_no_note_point_y, mold_no_point);
    sheet_point(positions.part_no_note_point_x, positions.part_no_note_point_y, part_no_point);
    UF_CALL(UF_DRF_create_note(1, time_note, time_point, 0, &note_tag));
    UF_CALL(UF_DRF_create_note(1, page_note, page_point, 0, &note_tag));
    UF_CALL(UF_DRF_create_note(1, mold_no, mold_no_point, 0, &note_tag));
    UF_CALL(UF_DRF_create_note(1, part_no, part_no_point, 0, &note_tag));

    // Client and part type are the cells a reader looks for first: a little larger, at full width.
    set_general_text(&lettering, 3.2, 1.0);
    double client_point[3], part_type_point[3];
    sheet_point(positions.client_note_point_x, positions.client_note_point_y, client_point);
    sheet_point(positions.part_type_note_point_x, positions.part_type_note_point_y, part_type_point);
    const char *part_type = part_type_text(the_run_settings.part_type);
    UF_CALL(UF_DRF_create_note(1, the_run_settings.client, client_point, 0, &note_tag));
    UF_CALL(UF_DRF_create_note(1, part_type, part_type_point, 0, &note_tag));

    // The path is long: it starts at the left of its row instead of being centred on the origin.
    lettering.align_position = 4;
    set_general_text(&lettering, 3.175, 0.8);
    if (static_cast<int>(positions.part_path_true) != 0) {
        double part_path_point[3];
        sheet_point(positions.part_path_note_point_x, positions.part_path_note_point_y, part_path_point);
        UF_CALL(UF_DRF_create_note(1, part_path, part_path_point, 0, &note_tag));
    }

    UF_CALL(UF_DRF_set_lettering_preferences(&saved_lettering));
    return 1;
}
