#include <cstdio>

#include "host/uf_call.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "quillon/run_driver.h"

namespace {

#define GROUP_SHEET_FORMAT "MY_ELEC_SHEET%s%d"

bool name_taken(const char *name) {
    tag_t tag = NULL_TAG;
    return UF_OBJ_cycle_by_name(name, &tag) == 0 && tag != NULL_TAG;
}

void group_sheet_name(char letter, int counter, char name[SHEET_NAME_BUFSIZE]) {
    const char group[2] = {letter, '\0'};
    std::snprintf(name, SHEET_NAME_BUFSIZE, GROUP_SHEET_FORMAT, group, counter);
}

/* Only a drawing takes a sheet name: the electrode body itself carries the name it is drawn under. */
bool drawing_named(const char *name) {
    tag_t tag = NULL_TAG;
    while (UF_OBJ_cycle_by_name(name, &tag) == 0 && tag != NULL_TAG) {
        int type = 0, subtype = -1;
        UF_CALL(UF_OBJ_ask_type_and_subtype(tag, &type, &subtype));
        if (type == UF_drawing_type) return true;
    }
    return false;
}

}  // namespace

int choose_group_letter(char *letter) {
    char name[SHEET_NAME_BUFSIZE];
    for (char candidate = 'A'; candidate <= 'Z'; ++candidate) {
        group_sheet_name(candidate, 1, name);
        if (!name_taken(name)) {
            *letter = candidate;
            return 1;
        }
    }
    uc1601("图纸组群已满!最多只能构建26组图纸", 1);
    return 0;
}

void next_group_sheet_name(char letter, int *counter, char name[SHEET_NAME_BUFSIZE]) {
    ++*counter;
    group_sheet_name(letter, *counter, name);
    while (name_taken(name)) {
        uc1601("构建下一张图纸时,已经有了一个相同的图纸名称. 图纸名称将不相连!", 1);
        ++*counter;
        group_sheet_name(letter, *counter, name);
    }
}

int elec_sheet_name(tag_t elec_tag, char name[SHEET_NAME_BUFSIZE]) {
    char elec_name[UF_OBJ_NAME_BUFSIZE] = "";
    if (UF_OBJ_ask_name(elec_tag, elec_name) != 0) {
        uc1601("有铜公未命名,请检查未命名的铜公!", 1);
        return 0;
    }
    std::snprintf(name, SHEET_NAME_BUFSIZE, "%s", elec_name);
    for (int k = 1; drawing_named(name); ++k) std::snprintf(name, SHEET_NAME_BUFSIZE, "%s_%d", elec_name, k);
    return 1;
}

void show_sheet_progress(const elec_entry *entry) {
    char elec_name[UF_OBJ_NAME_BUFSIZE] = "";
    char progress[UF_OBJ_NAME_BUFSIZE + 64];
    if (UF_OBJ_ask_name(entry->data.elec_tag, elec_name) == 0)
        std::snprintf(progress, sizeof progress, "%s (%d/%d)", elec_name, entry->sheet_no, entry->sheet_count);
    else
        std::snprintf(progress, sizeof progress, "第 %d 层 (%d/%d)", entry->data.elec_layer, entry->sheet_no,
                      entry->sheet_count);
    UF_CALL(UF_UI_set_status(progress));
}
