/* config.def: where it lies on this platform, and the scanner both of its readers share.
 *
 * The file is a stream of tokens separated by blanks, commas, line feeds and carriage returns; a key is a token that
 * starts with the key's text, its value the next non-empty token, and "EOF" closes an entry without a value. */
#ifndef MY_FUNC_CONFIG_READER_H
#define MY_FUNC_CONFIG_READER_H

#include <cstddef>
#include <cstdio>

/* The configuration directory as the command's messages name it. */
#define CONFIG_FIXED_DIR "D:\\tarn_conf\\"
#define CONFIG_FILE_FIXED_PATH CONFIG_FIXED_DIR "config.def"

/* Room for a file of the configuration directory as this platform names it (terminator included). */
#define CONFIG_PATH_BUFSIZE 1024

/* Longest token the file may hold; a longer one is cut off. */
#define CONFIG_TOKEN_LEN 79

/* Maps a path under CONFIG_FIXED_DIR to the configuration directory named by QUILLON_CONF ("conf" when unset);
 * other paths are copied as they are. Returns 1, or 0 when the result does not fit out (size bytes). */
int map_config_path(const char *fixed_path, char *out, size_t size);

/* Opens config.def for reading; shows the missing-file message and returns NULL when it does not open. */
FILE *open_config_file(void);

/* Scans from the file's current position until the key has been read from a token's start. 1 found, 0 end of file. */
int scan_config_key(FILE *file, const char *key);

/* Scans for the value that follows a found key. 1: a value was read into value (CONFIG_TOKEN_LEN + 1 bytes);
 * 2: the entry closed with "EOF" and has no value; 0: the end of the file came first. */
int scan_config_value(FILE *file, char value[CONFIG_TOKEN_LEN + 1]);

/* Looks up one numeric key. 1 on success: *value holds the key's value, or is left unchanged when the entry has no
 * value. 0 after a message when the file or the key or its end marker is missing. */
int read_config_number(const char *key, double *value);

/* Copies text into a field of size bytes, cut at a UTF-8 character boundary when it is longer than size - 1 bytes,
 * so that a long value neither overruns the field nor leaves half a character in it. Returns 1 when nothing was cut. */
int copy_text_cut(char *field, size_t size, const char *text);

#endif
