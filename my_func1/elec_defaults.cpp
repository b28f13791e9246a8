// The reader of the four spark-gap and count defaults.
#include "my_func1/elec_defaults.h"

#include <cstdio>
#include <cstring>

#include "host/uf_ui.h"
#include "my_func/config_reader.h"

elec_defaults the_elec_defaults;

namespace {

struct default_key {
    const char *key;
    const char *words;
};

const default_key keys[4] = {
    {"elec_rough_space:", "粗公的默认火花位"},
    {"elec_finish_space:", "精公的默认火花位"},
    {"elec_rough_number:", "粗公的默认数量"},
    {"elec_finish_number:", "精公的默认数量"},
};

}  // namespace

int read_elec_defaults(elec_defaults *defaults) {
    std::memset(defaults, 0, sizeof *defaults);
    FILE *file = open_config_file();
    if (file == NULL) return 0;
    char message[512];
    char *fields[4] = {defaults->elec_rough_space, defaults->elec_finish_space, defaults->elec_rough_number,
                       defaults->elec_finish_number};
    for (int i = 0; i < 4; ++i) {
        const default_key &k = keys[i];
        std::rewind(file);
        if (!scan_config_key(file, k.key)) {
            std::snprintf(message, sizeof message, "在config.def 文件中找不到电极%s标题,请查看标题 %s 是否正确!",
                          k.words, k.key);
            uc1601(message, 1);
            std::fclose(file);
            return 0;
        }
        char value[CONFIG_TOKEN_LEN + 1];
        int found = scan_config_value(file, value);
        if (found == 0) {
            std::snprintf(message, sizeof message,
                          "读数据错误!找不到电极%s结束标题 EOF ,请查看 %s 是否有结续标题 EOF,且要有逗号相隔!", k.words,
                          k.key);
            uc1601(message, 1);
            std::fclose(file);
            return 0;
        }
        if (found == 1) copy_text_cut(fields[i], ELEC_DEFAULT_LEN + 1, value);
    }
    std::fclose(file);
    return 1;
}
