// The numeric reader of config.def and the scanner under both readers.
#include "my_func/config_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/uf_ui.h"

namespace {

// A carriage return separates too: a file written with CRLF line ends must not give a value "\r", which reads as 0.
bool is_separator(int c) { return c == ' ' || c == ',' || c == '\n' || c == '\r'; }

// Bytes that are gathered into a token. A token that would grow past CONFIG_TOKEN_LEN is emptied and the byte that
// overran it dropped, so no token can outgrow its buffer.
struct token {
    char text[CONFIG_TOKEN_LEN + 1];
    size_t length;
};

void clear(token *t) {
    t->length = 0;
    t->text[0] = '\0';
}

// 1 when the byte ended the token (separator or overrun), 0 when it was appended.
int take(token *t, int c) {
    if (is_separator(c) || t->length == CONFIG_TOKEN_LEN) return 1;
    t->text[t->length++] = static_cast<char>(c);
    t->text[t->length] = '\0';
    return 0;
}

}  // namespace

int map_config_path(const char *fixed_path, char *out, size_t size) {
    const size_t prefix = std::strlen(CONFIG_FIXED_DIR);
    if (std::strncmp(fixed_path, CONFIG_FIXED_DIR, prefix) != 0) {
        int written = std::snprintf(out, size, "%s", fixed_path);
        return written >= 0 && static_cast<size_t>(written) < size;
    }
    const char *dir = std::getenv("QUILLON_CONF");
    if (dir == NULL || dir[0] == '\0') dir = "conf";
    int written = std::snprintf(out, size, "%s/%s", dir, fixed_path + prefix);
    // A path cut short by the buffer would name another file.
    if (written < 0 || static_cast<size_t>(written) >= size) return 0;
    // The rest of a fixed path names sub-folders the Windows way.
    for (char *p = out + std::strlen(dir) + 1; *p; ++p)
        if (*p == '\\') *p = '/';
    return 1;
}

FILE *open_config_file(void) {
    char path[CONFIG_PATH_BUFSIZE];
    FILE *file = NULL;
    if (map_config_path(CONFIG_FILE_FIXED_PATH, path, sizeof path)) file = std::fopen(path, "rb");
    if (file == NULL) {
        uc1601("找不到 D:\\tarn_conf\\config.def 文件,请重新安装!", 1);
        return NULL;
    }
    // The scanner would take a NUL byte for the end of a token and read "65\0junk" as 65: such a file is refused.
    long line = 1;
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        if (c == '\n') ++line;
        if (c != '\0') continue;
        char message[160];
        std::snprintf(message, sizeof message, "D:\\tarn_conf\\config.def 文件第 %ld 行有空字节 (NUL), 请检查文件!",
                      line);
        uc1601(message, 1);
        std::fclose(file);
        return NULL;
    }
    std::rewind(file);
    return file;
}

int scan_config_key(FILE *file, const char *key) {
    token t;
    clear(&t);
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        if (take(&t, c)) clear(&t);
        if (std::strcmp(t.text, key) == 0) return 1;
    }
    return 0;
}

int scan_config_value(FILE *file, char value[CONFIG_TOKEN_LEN + 1]) {
    token t;
    clear(&t);
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        if (take(&t, c)) {
            if (t.length > 0) {
                std::memcpy(value, t.text, t.length + 1);
                return 1;
            }
            continue;
        }
        if (std::strcmp(t.text, "EOF") == 0) return 2;
    }
    return 0;
}

int read_config_number(const char *key, double *value) {
    FILE *file = open_config_file();
    if (file == NULL) return 0;
    char message[512];
    if (!scan_config_key(file, key)) {
        std::snprintf(message, sizeof message, "在config.def 文件中找不到%s标题,请查看标题%s是否正确!", key, key);
        uc1601(message, 1);
        std::fclose(file);
        return 0;
    }
    char text[CONFIG_TOKEN_LEN + 1];
    int found = scan_config_value(file, text);
    std::fclose(file);
    if (found == 0) {
        std::snprintf(message, sizeof message,
                      "在config.def 文件中找不到结续标题 EOF,请查看标题%s是否有结续标题 EOF,且要有逗号相隔!", key);
        uc1601(message, 1);
        return 0;
    }
    if (found == 1) *value = std::atof(text);
    return 1;
}

int copy_text_cut(char *field, size_t size, const char *text) {
    if (size == 0) return 0;
    size_t length = std::strlen(text);
    const int whole = length < size;
    if (!whole) {
        length = size - 1;
        // Back up over continuation bytes (10xxxxxx) to the start of the character that did not fit.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(field, text, length);
    field[length] = '\0';
    return whole;
}
